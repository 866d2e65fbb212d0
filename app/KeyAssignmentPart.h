// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/MainWindowServices.h"
#include "keys/KeyAssignment.h"

namespace lumbra {

class CComboButton;
class CDlgBase;
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
    // and the system's file dialog.
    KeyAssignmentPart(CDlgBase& window, KeyboardModel& model, const MacroLibrary* library,
                      ModalRunner runModal, ProgramChooser chooseProgram);

    std::optional<intptr_t> OnMessage(uint32_t msg, uintptr_t first, intptr_t second) override;

    KeyAssignment& Assignment() { return m_assign; }

private:
    void OnKeyButton(uint32_t id);
    void OnStoreKeyCode(uintptr_t id, intptr_t code);
    void OpenFunctionMenu(uintptr_t buttonId);
    void OnFunctionMenuChoice(uintptr_t buttonId, intptr_t record);
    void OnFunctionMenuClosed(uintptr_t buttonId);
    void OpenSubList(uint32_t request, uintptr_t buttonId);
    void OnSubListChoice(uint32_t msg, uintptr_t buttonId, intptr_t record);
    void OnSubListClosed(uint32_t msg, uintptr_t buttonId);
    void OnDialogRequest(uint32_t msg, uintptr_t buttonId);
    void RunShortcutDialog();
    void RunQuickLaunchDialog();
    void Show(const std::optional<GKeyUpdate>& update);
    void ReleaseButton(uintptr_t buttonId);
    void CloseMenus();
    void CloseSubLists();
    bool AnySubListOpen() const;
    bool PointerInFunctionMenu() const;
    int RunModal(CDlgBase& dialog);
    CComboButton* GKeyButton(uintptr_t id) const;

    CDlgBase& m_window;
    const MacroLibrary* m_library;
    KeyAssignment m_assign;
    ModalRunner m_runModal;
    ProgramChooser m_chooseProgram;
};

}  // namespace lumbra
