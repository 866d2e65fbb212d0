// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "macro/MacroListsControls.h"
#include "macro/MacroPage.h"

namespace lumbra {

class EditBox;

// The macro page's view over the main window's real controls, found by id:
// 2109 macro list, 2111 loop switch, 2112 delay switch, 2113 record button,
// 2114 action list, 2115/2116 scroll bars; the loop count edit 2110 is given.
class MacroPageControls : public MacroListsControls, public MacroPageView {
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

    void BeginNameEdit() override;
    bool IsNameEditOpen() const override;
    std::string NameEditText() const override;
    void CloseNameEdit() override;
    void ScrollMacroListToEnd() override;
    void SetLoopCountText(const std::string& text) override;
    void SetLoopSwitch(bool checked) override;
    void TakeFocus() override;
    void ShowMessage(std::string_view text, std::string_view title) override;
    std::optional<std::string> ChooseMacroFileToOpen() override;
    std::optional<std::string> ChooseMacroFileToSave() override;
    bool LibraryChanged() const override;
    void SetLibraryChanged(bool changed) override;

private:
    EditBox* m_loopEdit;
    Hooks m_hooks;
    CEditShowList* m_macroList;
    CCheckButton* m_loopSwitch;
};

}  // namespace lumbra
