// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "macro/MacroHook.h"
#include "macro/MacroLists.h"
#include "macro/MacroListsControls.h"
#include "model/MacroLibrary.h"
#include "ui/CDlgBase.h"

namespace lumbra {

class CComboButton;
class CEditShowList;
class CImageButton;
class CImageShowList;
class CVScrollBar;

// The macro manager: every macro set of the library file in a working copy,
// with sets added and deleted, and macros added, deleted and recorded in the
// chosen set. OK writes the working copy to the file; Cancel leaves the file
// as it was. Its two lists, their scroll bars and the recording work as the
// macro page's do (MacroLists over MacroListsControls).
class CMacroManagerDlg : public CDlgBase {
public:
    static constexpr int kWidth = 715;
    static constexpr int kHeight = 476;
    static constexpr uint32_t kIdClose = 2004;
    static constexpr uint32_t kIdOk = 2010;
    static constexpr uint32_t kIdCancel = 2011;
    static constexpr uint32_t kIdNewMacro = 2012;
    static constexpr uint32_t kIdDeleteMacro = 2013;
    static constexpr uint32_t kIdSetCombo = 2014;
    static constexpr uint32_t kIdMacroList = 2015;
    static constexpr uint32_t kIdDelaySwitch = 2017;
    static constexpr uint32_t kIdRecord = 2018;
    static constexpr uint32_t kIdActionList = 2020;
    static constexpr uint32_t kIdMacroScroll = 2021;
    static constexpr uint32_t kIdActionScroll = 2022;

    // setNumber: the set to show, 1-based; 0 for none. The hook delivers its
    // key messages to this dialog's window while recording.
    CMacroManagerDlg(HostWindow* parent, std::string appDirectory, uint32_t setNumber,
                     MacroHook& hook);
    ~CMacroManagerDlg() override;

    bool OnInitDialog() override;
    void DrawBackground(Surface& surface, const Rect& client) override;
    void BuildControls(int left, int top, int right, int bottom) override;
    // The hook's key messages, and the set dialogs it opens after the set list closed.
    intptr_t OnMessage(uint32_t msg, uintptr_t first, intptr_t second) override;
    void OnLButtonDown(uint32_t flags, int x, int y) override;
    // Scrolls the hovered list by one row.
    void OnMouseWheel(uint32_t flags, int delta, int x, int y) override;

    // How the small dialogs are run; DoModal unless a test replaces it.
    using ModalRunner = std::function<int(CDlgBase&)>;
    void SetModalRunner(ModalRunner runner) { m_runModal = std::move(runner); }
    // How a refused macro name is explained: the main window's modal message
    // dialog, given as (text, title); the system's message box when unset.
    using MessageShower = std::function<void(std::string_view text, std::string_view title)>;
    void SetMessageShower(MessageShower shower) { m_showMessage = std::move(shower); }

    MacroLibrary& WorkingCopy() { return m_library; }
    uint32_t SetNumber() const { return m_setNumber; }
    MacroKey* Current() const { return m_lists ? m_lists->Current() : nullptr; }
    bool IsRecording() const { return m_lists && m_lists->IsRecording(); }
    CEditShowList* MacroList() const { return m_macroList; }
    CImageShowList* ActionList() const { return m_view ? m_view->Controls().actionList : nullptr; }
    CVScrollBar* MacroScroll() const { return m_view ? m_view->Controls().macroScroll : nullptr; }
    CVScrollBar* ActionScroll() const { return m_view ? m_view->Controls().actionScroll : nullptr; }
    CComboButton* SetCombo() const { return m_combo; }

private:
    void Refresh();
    void Ok();
    void OpenSetList();
    void CloseSetList();
    void OnSetChoice(int code);
    void ShowSet(uint32_t position);
    void AddSet(const std::string& name);
    void DeleteSet(const std::string& name);
    void NewMacro();
    void DeleteMacro();
    void CommitNameOnClick(int x, int y);
    void OnRecordToggle();
    int RunModal(CDlgBase& dlg);
    void ShowMessage(std::string_view text);

    std::string m_appDirectory;
    uint32_t m_setNumber;
    MacroHook& m_hook;
    MacroLibrary m_library;
    ModalRunner m_runModal;
    MessageShower m_showMessage;
    Image m_panel;

    CComboButton* m_combo = nullptr;
    CEditShowList* m_macroList = nullptr;
    CImageButton* m_deleteButton = nullptr;
    // Both exist from BuildControls on.
    std::unique_ptr<MacroListsControls> m_view;
    std::unique_ptr<MacroLists> m_lists;
};

// Closes a macro list's name editor without adding anything.
void CloseNameEditor(CEditShowList& list);

}  // namespace lumbra
