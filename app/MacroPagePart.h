// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/MainWindowLayout.h"
#include "app/MainWindowServices.h"
#include "keys/CKeyboardHook.h"
#include "macro/MacroHook.h"

namespace lumbra {

class CControlBase;
class CDlgBase;
class EditBox;
class MacroPage;
class MacroPageControls;
class ReturnKeyWatch;

// The macro page of the main window over its real controls: the
// macro list and its name editor, the action list, the two scroll bars, the
// loop switch and count, the record button with the keyboard hook, import
// and export; and the macro manager, after whose OK the library is read
// again from its file.
class MacroPagePart : public MainWindowPart {
public:
    static constexpr int kPage = static_cast<int>(MainPage::kMacros);

    struct Services {
        CDlgBase* window = nullptr;
        EditBox* loopEdit = nullptr;
        MacroLibrary* library = nullptr;
        const KeyboardModel* model = nullptr;
        std::string appDirectory;
        std::function<void(std::string_view text, std::string_view title)> showMessage;
        std::function<bool()> libraryChanged;
        std::function<void(bool)> setLibraryChanged;
        std::function<std::optional<std::string>()> chooseFileToOpen;
        std::function<std::optional<std::string>()> chooseFileToSave;
        // Runs the macro manager modally; DoModal when unset.
        std::function<int(CDlgBase& dialog)> runModal;
    };

    explicit MacroPagePart(Services services);
    ~MacroPagePart() override;

    // The page's own controls report through their callbacks.
    void OnHookKey(uint32_t virtualKey, uint32_t flags) override;
    void OpenMacroManager() override { RunMacroManager(0); }
    void OnRefresh() override {}
    void OnPageShown(int page) override { m_page = page; }
    void OnMouseWheel(uint32_t flags, int delta, int x, int y) override;
    void OnLButtonDown(int x, int y) override;

    // The macro manager on a set (1-based, 0 for none); on OK the main
    // library is read again from the file the manager wrote.
    void RunMacroManager(uint32_t setNumber);

    MacroPage& Page() { return *m_macroPage; }
    const CKeyboardHook& Hook() const { return m_hook; }

private:
    bool Shown() const { return m_page == kPage; }
    // The page's controls tell the page what happened through their callbacks.
    void WireControls();
    // Enter while the page is shown commits the name being edited, once the
    // key's own delivery is over (the commit removes the editor).
    void QueueEnter();

    Services m_s;
    CKeyboardHook m_hook;
    MacroHookFor<CKeyboardHook> m_macroHook{m_hook};
    std::unique_ptr<MacroPageControls> m_view;
    std::unique_ptr<MacroPage> m_macroPage;
    std::unique_ptr<ReturnKeyWatch> m_returnWatch;
    // Tasks queued to the UI thread check that the part still exists.
    std::shared_ptr<MacroPagePart*> m_alive = std::make_shared<MacroPagePart*>(this);
    std::vector<CControlBase*> m_wired;
    int m_page = 0;
};

}  // namespace lumbra
