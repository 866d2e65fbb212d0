// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "macro/MacroPage.h"

namespace lumbra {

class CCheckButton;
class CDlgBase;
class CEditShowList;
class CImageShowList;
class CVScrollBar;
class EditBox;

// The macro page's view over the main window's real controls, found by id:
// 2109 macro list, 2111 loop switch, 2112 delay switch, 2113 record button,
// 2114 action list, 2115/2116 scroll bars; the loop count edit 2110 is given.
class MacroPageControls : public MacroPageView {
public:
    struct Hooks {
        // The modal message dialog titled as given.
        std::function<void(std::string_view text, std::string_view title)> showMessage;
        std::function<bool()> libraryChanged;
        std::function<void(bool)> setLibraryChanged;
        // The file dialogs; the platform's own when not set.
        std::function<std::optional<std::string>()> chooseFileToOpen;
        std::function<std::optional<std::string>()> chooseFileToSave;
        // Enter in the name editor (MacroPage::OnEnter). It runs from the UI
        // dispatcher after the key, since the commit destroys the editor.
        std::function<void()> nameEditorEnter;
    };

    MacroPageControls(CDlgBase& dialog, EditBox* loopEdit, Hooks hooks);
    // Every control of the page was found.
    bool IsComplete() const;

    int ShownSet() const override;
    void ShowSet(int index) override;
    int SelectedMacro() const override;
    void SetSelectedMacro(int index) override;
    int MacroListFirstRow() const override;
    void SetMacroListFirstRow(int row) override;
    int MacroListRows() const override;
    bool MacroListHovered() const override;
    void RedrawMacroList() override;
    void BeginNameEdit() override;
    bool IsNameEditOpen() const override;
    std::string NameEditText() const override;
    void CloseNameEdit() override;
    void ScrollMacroListToEnd() override;
    void ShowActions(const MacroKey* key) override;
    int ActionListFirstRow() const override;
    void SetActionListFirstRow(int row) override;
    int ActionListRows() const override;
    bool ActionListHovered() const override;
    void RedrawActionList() override;
    ScrollValues MacroScroll() const override;
    void UpdateMacroScroll(const ScrollValues& values) override;
    ScrollValues ActionScroll() const override;
    void UpdateActionScroll(const ScrollValues& values) override;
    void SetLoopCountText(const std::string& text) override;
    void SetLoopSwitch(bool checked) override;
    bool DelaysOn() const override;
    bool RecordButtonOn() const override;
    void SetRecordButtonOn(bool on) override;
    void SetRecordingLook(bool recording) override;
    void TakeFocus() override;
    void ShowMessage(std::string_view text, std::string_view title) override;
    std::optional<std::string> ChooseMacroFileToOpen() override;
    std::optional<std::string> ChooseMacroFileToSave() override;
    bool LibraryChanged() const override;
    void SetLibraryChanged(bool changed) override;

private:
    CDlgBase& m_dialog;
    EditBox* m_loopEdit;
    Hooks m_hooks;
    CEditShowList* m_macroList = nullptr;
    CImageShowList* m_actionList = nullptr;
    CVScrollBar* m_macroScroll = nullptr;
    CVScrollBar* m_actionScroll = nullptr;
    CCheckButton* m_loopSwitch = nullptr;
    CCheckButton* m_delaySwitch = nullptr;
    CCheckButton* m_recordButton = nullptr;
};

}  // namespace lumbra
