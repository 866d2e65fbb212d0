// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/MacroPage.h"

#include "model/Decimal.h"
#include "storage/MacroFiles.h"

namespace lumbra {

namespace {
constexpr intptr_t kListClicked = 2;
constexpr intptr_t kListNameAdded = 11;
constexpr intptr_t kListNameExists = 12;
constexpr intptr_t kListNameTooLong = 13;
constexpr int32_t kMinLoopCount = 1;
constexpr int32_t kMaxLoopCount = 255;
}  // namespace

std::string_view RefusedNameText(MacroNameCheck check, bool clickInList) {
    if (check == MacroNameCheck::kExists) return MacroPageText::kNameExists;
    return clickInList ? MacroPageText::kListNameTooLong : MacroPageText::kNameTooLong;
}

MacroPage::MacroPage(Services services) : m_s(std::move(services)) {}

MacroSet* MacroPage::FirstSet() const { return m_s.library ? m_s.library->SetAt(0) : nullptr; }

MacroKey* MacroPage::SelectedKey() const {
    const int set = m_s.view->ShownSet();
    const int item = m_s.view->SelectedMacro();
    if (!m_s.library || set < 0 || item < 0) return nullptr;
    MacroSet* shown = m_s.library->SetAt(static_cast<uint32_t>(set));
    return shown ? shown->KeyAt(static_cast<uint32_t>(item)) : nullptr;
}

void MacroPage::WriteLibrary() {
    // A file that cannot be written is skipped without a message.
    if (m_s.library) WriteMacroLibrary(*m_s.library, m_s.appDirectory);
}

void MacroPage::Message(std::string_view text) {
    m_s.view->ShowMessage(text, MacroPageText::kAttention);
}

void MacroPage::Refresh() {
    MacroKey* key = SelectedKey();
    if (key != m_current) {
        m_current = key;
        m_s.view->ShowActions(key);
        m_s.view->RedrawActionList();
    }
    if (!m_current) return;
    m_s.view->UpdateActionScroll({m_s.view->ActionListFirstRow(), m_s.view->ActionListRows(),
                                  static_cast<int>(m_current->ActionCount())});
    const int shown = m_s.view->ShownSet();
    const MacroSet* set = shown >= 0 ? m_s.library->SetAt(static_cast<uint32_t>(shown)) : nullptr;
    m_s.view->UpdateMacroScroll({m_s.view->MacroListFirstRow(), m_s.view->MacroListRows(),
                                 set ? static_cast<int>(set->MacroKeyNum()) : 0});
    // The edit reports this change back like a typed one.
    m_s.view->SetLoopCountText(std::to_string(m_current->LoopNum));
    if (m_current) m_s.view->SetLoopSwitch(m_current->LoopEnable != 0);
}

void MacroPage::LibraryReloaded() {
    if (m_recording) {
        // The macro being recorded is gone with the old library.
        m_recording = false;
        m_recorder.Start(nullptr);
        m_s.hook->Stop();
        m_s.view->SetRecordButtonOn(false);
        m_s.view->SetRecordingLook(false);
    }
    m_current = nullptr;
    m_s.view->ShowActions(nullptr);
    m_s.view->RedrawActionList();
    m_s.view->ShowSet(0);
    m_s.view->RedrawMacroList();
    Refresh();
}

void MacroPage::NewMacro() {
    m_s.view->BeginNameEdit();
    m_s.view->RedrawMacroList();
    Refresh();
    const int shown = m_s.view->ShownSet();
    if (!m_s.library || shown < 0 || !m_s.library->SetAt(static_cast<uint32_t>(shown)))
        Message(MacroPageText::kConfigError);
}

void MacroPage::CommitName(bool click, bool insideDeleteButton) {
    MacroPageView& v = *m_s.view;
    const bool wasEmpty = v.IsNameEditOpen() && v.NameEditText().empty();
    if (click && insideDeleteButton) {
        v.CloseNameEdit();
    } else if (v.IsNameEditOpen()) {
        const std::string name = v.NameEditText();
        MacroSet* set = FirstSet();
        const MacroNameCheck check = set ? set->AddNewKey(name) : MacroNameCheck::kEmpty;
        if (check == MacroNameCheck::kAccepted) {
            v.CloseNameEdit();
            v.RedrawMacroList();
            WriteLibrary();
        } else {
            // A refused name is discarded with its message; an empty one quietly.
            if (check != MacroNameCheck::kEmpty) Message(RefusedNameText(check, false));
            v.CloseNameEdit();
        }
    }
    if (wasEmpty) v.ScrollMacroListToEnd();
    v.TakeFocus();
}

void MacroPage::OnLeftButtonDown(bool insideMacroList, bool insideDeleteButton) {
    if (!insideMacroList) {
        CommitName(true, insideDeleteButton);
        return;
    }
    // The list commits or refuses the name itself when the press reaches it.
    MacroPageView& v = *m_s.view;
    if (v.IsNameEditOpen() && v.NameEditText().empty()) v.ScrollMacroListToEnd();
    v.TakeFocus();
}

void MacroPage::OnEnter() { CommitName(false, false); }

void MacroPage::OnMacroListMessage(intptr_t event) {
    switch (event) {
        case kListClicked:
            m_s.view->TakeFocus();
            Refresh();
            break;
        case kListNameAdded:
            WriteLibrary();
            break;
        case kListNameExists:
            Message(MacroPageText::kNameExists);
            break;
        case kListNameTooLong:
            Message(MacroPageText::kListNameTooLong);
            break;
        default:
            break;
    }
}

void MacroPage::DeleteMacro() {
    MacroKey* key = SelectedKey();
    if (!key) {
        Message(MacroPageText::kSelectToDelete);
    } else if (m_s.model && IsMacroInUse(*m_s.model, key->name)) {
        Message(MacroPageText::kInUse);
    } else {
        if (key == m_current) {
            m_current = nullptr;
            m_s.view->ShowActions(nullptr);
            m_s.view->RedrawActionList();
        }
        const int item = m_s.view->SelectedMacro();
        m_s.library->SetAt(static_cast<uint32_t>(m_s.view->ShownSet()))
            ->RemoveKey(static_cast<uint32_t>(item));
        m_s.view->SetSelectedMacro(-1);
        WriteLibrary();
    }
    m_s.view->RedrawMacroList();
    Refresh();
}

void MacroPage::ImportMacro() {
    // Import and export act on the first set, where the selected macro is.
    MacroSet* set = FirstSet();
    MacroKey* key = SelectedKey() && set
                        ? set->KeyAt(static_cast<uint32_t>(m_s.view->SelectedMacro()))
                        : nullptr;
    if (!key) {
        Message(MacroPageText::kSelectToImport);
        return;
    }
    const std::optional<std::string> path = m_s.view->ChooseMacroFileToOpen();
    if (!path) return;
    if (!ReadMacroKeyFile(*key, *path)) {
        m_s.view->ShowMessage(MacroPageText::kImportFormat, MacroPageText::kImportFormatTitle);
        return;
    }
    WriteLibrary();
    Refresh();
    m_s.view->RedrawActionList();
}

void MacroPage::ExportMacro() {
    MacroSet* set = FirstSet();
    const MacroKey* key = SelectedKey() && set
                              ? set->KeyAt(static_cast<uint32_t>(m_s.view->SelectedMacro()))
                              : nullptr;
    if (!key) {
        Message(MacroPageText::kSelectToExport);
        return;
    }
    const std::optional<std::string> path = m_s.view->ChooseMacroFileToSave();
    if (path) WriteMacroKeyFile(*key, *path);
}

void MacroPage::OnLoopSwitch(bool checked) {
    if (!m_current) return;
    m_current->LoopEnable = checked ? 1 : 0;
    m_s.view->SetLibraryChanged(true);
}

void MacroPage::OnLoopCountText(std::string_view text) {
    if (!m_current) return;
    const int32_t value = ParseDecimal(text);
    if (value < kMinLoopCount || value > kMaxLoopCount) {
        Message(MacroPageText::kLoopCountRange);
        if (m_current) {
            m_current->LoopNum = 1;
            m_s.view->SetLoopCountText("1");
        }
    } else {
        m_current->LoopNum = static_cast<uint8_t>(value);
    }
    m_s.view->SetLibraryChanged(true);
}

void MacroPage::StopRecording() {
    m_recording = false;
    m_s.hook->Stop();
    m_s.view->SetRecordingLook(false);
    if (m_s.view->LibraryChanged()) WriteLibrary();
    m_s.view->SetLibraryChanged(false);
}

void MacroPage::OnRecordToggle() {
    MacroPageView& v = *m_s.view;
    if (!v.RecordButtonOn()) {
        StopRecording();
        return;
    }
    if (!m_current) {
        v.SetRecordButtonOn(false);
        Message(MacroPageText::kSelectToRecord);
        return;
    }
    m_recorder.Start(m_current);
    m_recording = true;
    m_s.hook->Start(m_s.window);
    v.ShowActions(m_current);
    v.RedrawActionList();
    v.SetRecordingLook(true);
}

void MacroPage::KeepLastActionVisible() {
    MacroPageView& v = *m_s.view;
    const int count = static_cast<int>(m_current->ActionCount());
    const int rows = v.ActionListRows();
    if (rows < count) v.SetActionListFirstRow(count - rows);
    v.UpdateActionScroll({v.ActionListFirstRow(), rows, count});
}

void MacroPage::OnHookMessage(uint32_t first, uint32_t second) {
    // Keys typed after recording ended (the full message is being closed, say)
    // are not part of the macro.
    if (!m_recording || !m_current) return;
    MacroPageView& v = *m_s.view;
    const MacroRecorder::Result result = m_recorder.OnHookMessage(first, second, v.DelaysOn());
    if (result == MacroRecorder::Result::kIgnored) return;
    if (result == MacroRecorder::Result::kRecorded) KeepLastActionVisible();
    if (result == MacroRecorder::Result::kFull && v.RecordButtonOn()) {
        m_recording = false;
        v.SetRecordingLook(false);
        v.SetRecordButtonOn(false);
        if (v.LibraryChanged()) WriteLibrary();
        v.SetLibraryChanged(false);
        Message(MacroPageText::kFull);
        m_s.hook->Stop();
    }
    v.RedrawActionList();
    v.SetLibraryChanged(true);
}

void MacroPage::OnScrollMessage(bool macroList, uintptr_t first, intptr_t second) {
    MacroPageView& v = *m_s.view;
    const ScrollValues bar = macroList ? v.MacroScroll() : v.ActionScroll();
    const ScrollOutcome out = ScrollBarMessage(bar, first, second);
    if (out.relayout) {
        const ScrollValues moved{out.position, bar.page, bar.range};
        if (macroList)
            v.UpdateMacroScroll(moved);
        else
            v.UpdateActionScroll(moved);
    }
    if (!out.setFirstRow) return;
    if (macroList) {
        v.SetMacroListFirstRow(out.position);
        v.RedrawMacroList();
    } else {
        v.SetActionListFirstRow(out.position);
        v.RedrawActionList();
    }
}

void MacroPage::OnMouseWheel(int delta) {
    MacroPageView& v = *m_s.view;
    if (v.MacroListHovered()) {
        const int shown = v.ShownSet();
        const MacroSet* set =
            m_s.library && shown >= 0 ? m_s.library->SetAt(static_cast<uint32_t>(shown)) : nullptr;
        if (!set) return;
        const int row = WheelFirstRow(v.MacroListFirstRow(), v.MacroListRows(),
                                      static_cast<int>(set->MacroKeyNum()), delta);
        if (row < 0) return;
        v.SetMacroListFirstRow(row);
        v.RedrawMacroList();
        const ScrollValues bar = v.MacroScroll();
        v.UpdateMacroScroll({row, bar.page, bar.range});
    } else if (v.ActionListHovered()) {
        const int items = m_current ? static_cast<int>(m_current->ActionCount()) : 0;
        const int row = WheelFirstRow(v.ActionListFirstRow(), v.ActionListRows(), items, delta);
        if (row < 0) return;
        v.SetActionListFirstRow(row);
        v.RedrawActionList();
        const ScrollValues bar = v.ActionScroll();
        v.UpdateActionScroll({row, bar.page, bar.range});
    }
}

}  // namespace lumbra
