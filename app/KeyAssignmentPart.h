// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/MainWindowServices.h"
#include "keys/KeyAssignment.h"

namespace lumbra {

class CComboButton;
class CDlgBase;
class CKeyboardButton;
class CWndPopup;
class MacroLibrary;

// Key assignment in the main window: the 103 key buttons with the key setting
// dialog, and the five G-key buttons with their function menu, its four
// sub-lists and the shortcut and quick-launch dialogs. Every choice lands in
// the current profile and is marked pending; OK and Apply send it.
class KeyAssignmentPart : public MainWindowPart {
public:
    using ModalRunner = std::function<int(CDlgBase& dialog)>;
    using ProgramChooser = std::function<std::optional<std::string>(HostWindow* dialog)>;

    // `library` lists the macros of "Assign a Macro". Empty runners: DoModal
    // and the system's file dialog. The window's key and G-key buttons tell
    // the part of their clicks from now until the part goes.
    KeyAssignmentPart(CDlgBase& window, KeyboardModel& model, const MacroLibrary* library,
                      ModalRunner runModal, ProgramChooser chooseProgram);
    ~KeyAssignmentPart() override;

    KeyAssignment& Assignment() { return m_assign; }

private:
    void WireButtons();
    void OnKeyButton(CKeyboardButton& button);
    void OnStoreKeyCode(uint32_t id, uint8_t code);
    void OpenFunctionMenu(uintptr_t buttonId);
    void OnFunctionMenuChoice(uintptr_t buttonId, const ChoiceRecord& choice);
    void OnFunctionMenuDeactivated(uintptr_t buttonId);
    void OnSubmenuWanted(std::optional<FunctionSubList> list, uintptr_t buttonId);
    void OpenSubList(FunctionSubList list, uintptr_t buttonId);
    void OnSubListChoice(FunctionSubList list, uintptr_t buttonId, const ChoiceRecord& choice);
    void OnSubListDeactivated(FunctionSubList list, uintptr_t buttonId);
    void OnShortcutWanted(uintptr_t buttonId);
    void OnQuickLaunchWanted(uintptr_t buttonId);
    void RunShortcutDialog();
    void RunQuickLaunchDialog();
    // Runs `task` from the window's queue, once the menus have gone.
    void Later(void (KeyAssignmentPart::*task)());
    void ShowResult(const std::optional<GKeyUpdate>& update);
    void Show(const std::optional<GKeyUpdate>& update);
    void ReleaseButton(uintptr_t buttonId);
    void CloseMenus();
    void CloseSubLists();
    bool AnySubListOpen() const;
    bool PointerInFunctionMenu() const;
    int RunModal(CDlgBase& dialog);
    CComboButton* GKeyButton(uintptr_t id) const;
    // What assistive tools call a G-key button: the key and what it does now.
    std::string GKeyName(uintptr_t buttonId) const;

    CDlgBase& m_window;
    KeyboardModel& m_model;
    const MacroLibrary* m_library;
    KeyAssignment m_assign;
    ModalRunner m_runModal;
    ProgramChooser m_chooseProgram;
    // Held while the part lives: a queued dialog run finds the part gone.
    std::shared_ptr<bool> m_life = std::make_shared<bool>(true);
};

}  // namespace lumbra
