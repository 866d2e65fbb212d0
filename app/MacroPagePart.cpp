// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MacroPagePart.h"

#include "app/MainWindowMessages.h"
#include "base/UiDispatcher.h"
#include "macro/CMacroManagerDlg.h"
#include "macro/MacroPage.h"
#include "macro/MacroPageControls.h"
#include "macro/MacroPageIds.h"
#include "platform/EditBox.h"
#include "platform/KeyTransitions.h"
#include "storage/MacroFiles.h"
#include "ui/CCheckButton.h"
#include "ui/CDlgBase.h"
#include "ui/CEditShowList.h"
#include "ui/CVScrollBar.h"
#include "ui/ControlMessages.h"

namespace lumbra {

MacroPagePart::MacroPagePart(Services services) : m_s(std::move(services)) {
    CDlgBase& dlg = *m_s.window;
    // Pauses are recorded from the start.
    if (auto* delays = dynamic_cast<CCheckButton*>(dlg.FindControl(MacroPageId::kDelaySwitch)))
        delays->SetChecked(true);
    MacroPageControls::Hooks hooks;
    hooks.showMessage = m_s.showMessage;
    hooks.libraryChanged = m_s.libraryChanged;
    hooks.setLibraryChanged = m_s.setLibraryChanged;
    hooks.chooseFileToOpen = m_s.chooseFileToOpen;
    hooks.chooseFileToSave = m_s.chooseFileToSave;
    hooks.nameEditorEnter = [this] {
        if (Shown()) m_macroPage->OnEnter();
    };
    // Enter anywhere on the window, the loop count box included.
    if (HostWindow* w = dlg.Window())
        m_returnWatch = std::make_unique<ReturnKeyWatch>(*w, [this] { QueueEnter(); });
    m_view = std::make_unique<MacroPageControls>(dlg, m_s.loopEdit, hooks);
    m_macroPage = std::make_unique<MacroPage>(MacroPage::Services{
        m_s.library, m_s.model, m_view.get(), &m_macroHook, dlg.Window(), m_s.appDirectory});
    if (auto* list = dynamic_cast<CEditShowList*>(dlg.FindControl(MacroPageId::kMacroList)))
        list->SelectSet(0);
    m_macroPage->Refresh();
    // Wired after the first Refresh: the loop count it shows is not an edit.
    WireControls();
}

MacroPagePart::~MacroPagePart() {
    for (CControlBase* control : m_wired) {
        control->onClick = nullptr;
        if (auto* list = dynamic_cast<CEditShowList*>(control)) {
            list->onNameAdded = nullptr;
            list->onNameRefused = nullptr;
        }
        if (auto* bar = dynamic_cast<CVScrollBar*>(control)) {
            bar->onPartPressed = nullptr;
            bar->onThumbDragged = nullptr;
        }
    }
    if (m_s.loopEdit) m_s.loopEdit->OnTextChanged(nullptr);
    m_returnWatch.reset();
    m_hook.StopHook();
    m_macroPage.reset();
    m_view.reset();
}

void MacroPagePart::WireControls() {
    CDlgBase& dlg = *m_s.window;
    MacroPage& page = *m_macroPage;
    auto wire = [&](uint32_t id, std::function<void()> click) {
        if (CControlBase* control = dlg.FindControl(id)) {
            control->onClick = std::move(click);
            m_wired.push_back(control);
        }
    };
    wire(MacroPageId::kNewMacro, [&page] { page.NewMacro(); });
    wire(MacroPageId::kDeleteMacro, [&page] { page.DeleteMacro(); });
    wire(MacroPageId::kImport, [&page] { page.ImportMacro(); });
    wire(MacroPageId::kExport, [&page] { page.ExportMacro(); });
    wire(MacroPageId::kRecord, [&page] { page.OnRecordToggle(); });
    if (auto* loop = dynamic_cast<CCheckButton*>(dlg.FindControl(MacroPageId::kLoopSwitch))) {
        loop->onClick = [&page, loop] { page.OnLoopSwitch(loop->IsChecked()); };
        m_wired.push_back(loop);
    }
    const MacroListsControls::Parts& parts = m_view->Controls();
    if (CEditShowList* list = parts.macroList) {
        list->onClick = [&page] { page.OnMacroListClicked(); };
        list->onNameAdded = [&page] { page.OnNameAdded(); };
        list->onNameRefused = [&page](MacroNameCheck check) { page.OnNameRefused(check); };
        m_wired.push_back(list);
    }
    for (const bool macroList : {true, false}) {
        CVScrollBar* bar = macroList ? parts.macroScroll : parts.actionScroll;
        if (!bar) continue;
        bar->onPartPressed = [&page, macroList](ScrollPart part) {
            page.OnScrollPartPressed(macroList, part);
        };
        bar->onThumbDragged = [&page, macroList] { page.OnScrollThumbDragged(macroList); };
        m_wired.push_back(bar);
    }
    if (EditBox* loopEdit = m_s.loopEdit)
        loopEdit->OnTextChanged([&page, loopEdit] { page.OnLoopCountText(loopEdit->Text()); });
}

void MacroPagePart::QueueEnter() {
    if (!Shown()) return;
    // The name editor reports the same key itself; a second commit finds the
    // editor closed and only gives the window the focus again.
    TheUiDispatcher().Post([this, alive = std::weak_ptr<MacroPagePart*>(m_alive)] {
        if (!alive.expired() && Shown()) m_macroPage->OnEnter();
    });
}

void MacroPagePart::OnHookKey(uint32_t virtualKey, uint32_t flags) {
    m_macroPage->OnHookMessage(virtualKey, flags);
}

void MacroPagePart::OnLButtonDown(int x, int y) {
    if (!Shown()) return;
    const CControlBase* list = m_s.window->FindControl(MacroPageId::kMacroList);
    const CControlBase* del = m_s.window->FindControl(MacroPageId::kDeleteMacro);
    m_macroPage->OnLeftButtonDown(list && list->Contains(x, y), del && del->Contains(x, y));
}

void MacroPagePart::OnMouseWheel(uint32_t, int delta, int, int) {
    if (Shown()) m_macroPage->OnMouseWheel(delta);
}

void MacroPagePart::RunMacroManager(uint32_t setNumber) {
    // The manager records with the same hook; the page's recording ends first.
    if (m_macroPage->IsRecording()) return;
    CMacroManagerDlg dlg(m_s.window->Window(), m_s.appDirectory, setNumber, m_macroHook);
    dlg.SetMessageShower(m_s.showMessage);
    const int result = m_s.runModal ? m_s.runModal(dlg) : dlg.DoModal();
    if (result != DialogResult::kOk) return;
    m_s.library->Clear();
    LoadMacroLibraryOrDefault(*m_s.library, m_s.appDirectory);
    m_macroPage->LibraryReloaded();
}

}  // namespace lumbra
