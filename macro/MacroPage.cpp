// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/MacroPage.h"

#include "model/Decimal.h"
#include "storage/MacroFiles.h"

namespace lumbra {

namespace {
constexpr uint32_t kRecordingStopKey = 0x13;  // the virtual key of Pause
constexpr int32_t kMinLoopCount = 1;
constexpr int32_t kMaxLoopCount = 255;
}  // namespace

std::string_view RefusedNameText(MacroNameCheck check, bool clickInList) {
    if (check == MacroNameCheck::kExists) return MacroPageText::kNameExists;
    return clickInList ? MacroPageText::kListNameTooLong : MacroPageText::kNameTooLong;
}

MacroPage::MacroPage(Services services)
    : m_s(std::move(services)),
      m_lists(m_s.library, *m_s.view, m_s.hook, m_s.window, MacroRecorder::ForMainWindow()) {}

MacroSet* MacroPage::FirstSet() const { return m_s.library ? m_s.library->SetAt(0) : nullptr; }

void MacroPage::WriteLibrary() {
    // A file that cannot be written is skipped without a message.
    if (m_s.library) WriteMacroLibrary(*m_s.library, m_s.appDirectory);
}

void MacroPage::SaveRecording() {
    if (m_s.view->LibraryChanged()) WriteLibrary();
    m_s.view->SetLibraryChanged(false);
}

void MacroPage::Message(std::string_view text) {
    m_s.view->ShowMessage(text, MacroPageText::kAttention);
}

void MacroPage::Refresh() {
    m_lists.FollowSelection();
    if (!m_lists.Current()) return;
    m_lists.LayOutActionScroll();
    m_lists.LayOutMacroScroll();
    // The edit reports this change back like a typed one.
    m_s.view->SetLoopCountText(std::to_string(m_lists.Current()->LoopNum));
    if (MacroKey* current = m_lists.Current()) m_s.view->SetLoopSwitch(current->LoopEnable != 0);
}

void MacroPage::LibraryReloaded() {
    // The macro shown, or being recorded, is gone with the old library.
    m_lists.DropCurrent();
    m_s.view->ShowSet(0);
    m_s.view->RedrawMacroList();
    Refresh();
}

void MacroPage::NewMacro() {
    m_s.view->BeginNameEdit();
    m_s.view->RedrawMacroList();
    Refresh();
    if (!m_lists.ShownSet()) Message(MacroPageText::kConfigError);
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

void MacroPage::OnMacroListClicked() {
    m_s.view->TakeFocus();
    Refresh();
}

void MacroPage::OnNameAdded() { WriteLibrary(); }

void MacroPage::OnNameRefused(MacroNameCheck check) { Message(RefusedNameText(check, true)); }

void MacroPage::DeleteMacro() {
    MacroKey* key = m_lists.SelectedKey();
    if (!key) {
        Message(MacroPageText::kSelectToDelete);
    } else if (m_s.model && IsMacroInUse(*m_s.model, key->name)) {
        Message(MacroPageText::kInUse);
    } else {
        m_lists.DeleteSelectedKey();
        WriteLibrary();
    }
    m_s.view->RedrawMacroList();
    Refresh();
}

MacroKey* MacroPage::SelectedInFirstSet() const {
    // Import and export act on the first set, where the selected macro is.
    MacroSet* set = FirstSet();
    return m_lists.SelectedKey() && set
               ? set->KeyAt(static_cast<uint32_t>(m_s.view->SelectedMacro()))
               : nullptr;
}

void MacroPage::ImportMacro() {
    MacroKey* key = SelectedInFirstSet();
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
    WriteFailure failure;
    if (m_s.library && !WriteMacroLibrary(*m_s.library, m_s.appDirectory, &failure)) {
        // Kept for the next Apply to try again.
        m_s.view->SetLibraryChanged(true);
        Message(ReportFailedSave({failure}));
    }
    Refresh();
    m_s.view->RedrawActionList();
}

void MacroPage::ExportMacro() {
    const MacroKey* key = SelectedInFirstSet();
    if (!key) {
        Message(MacroPageText::kSelectToExport);
        return;
    }
    const std::optional<std::string> path = m_s.view->ChooseMacroFileToSave();
    WriteFailure failure;
    if (path && !WriteMacroKeyFile(*key, *path, &failure)) Message(ReportFailedSave({failure}));
}

void MacroPage::OnLoopSwitch(bool checked) {
    MacroKey* current = m_lists.Current();
    if (!current) return;
    current->LoopEnable = checked ? 1 : 0;
    m_s.view->SetLibraryChanged(true);
}

void MacroPage::OnLoopCountText(std::string_view text) {
    if (!m_lists.Current()) return;
    const int32_t value = ParseDecimal(text);
    if (value < kMinLoopCount || value > kMaxLoopCount) {
        Message(MacroPageText::kLoopCountRange);
        if (MacroKey* current = m_lists.Current()) {
            current->LoopNum = 1;
            m_s.view->SetLoopCountText("1");
        }
    } else {
        m_lists.Current()->LoopNum = static_cast<uint8_t>(value);
    }
    m_s.view->SetLibraryChanged(true);
}

void MacroPage::OnRecordToggle() {
    switch (m_lists.OnRecordToggle()) {
        case MacroLists::RecordToggle::kStopped:
            SaveRecording();
            break;
        case MacroLists::RecordToggle::kNoMacro:
            Message(MacroPageText::kSelectToRecord);
            break;
        case MacroLists::RecordToggle::kStarted:
            break;
    }
}

void MacroPage::OnHookMessage(uint32_t first, uint32_t second) {
    // Pause ends a recording as a click on Record does, so that the keyboard,
    // which the recording holds, can end it.
    if (first == kRecordingStopKey && (second & MacroRecorder::kReleaseBit) == 0 &&
        m_lists.IsRecording()) {
        m_s.view->SetRecordButtonOn(false);
        OnRecordToggle();
        return;
    }
    const MacroRecorder::Result result = m_lists.OnHookMessage(first, second);
    if (result == MacroRecorder::Result::kIgnored) return;
    MacroPageView& v = *m_s.view;
    if (result == MacroRecorder::Result::kFull && v.RecordButtonOn()) {
        // The file holds the whole macro by the time the message says it is
        // full; the hook runs on until the message is closed, so the keys
        // that close it reach no macro.
        m_lists.EndRecording();
        v.SetRecordButtonOn(false);
        SaveRecording();
        Message(MacroPageText::kFull);
        m_s.hook->Stop();
    }
    v.SetLibraryChanged(true);
}

void MacroPage::OnScrollPartPressed(bool macroList, ScrollPart part) {
    m_lists.OnScrollPartPressed(macroList, part);
}

void MacroPage::OnScrollThumbDragged(bool macroList) { m_lists.OnScrollThumbDragged(macroList); }

void MacroPage::OnMouseWheel(int delta) { m_lists.OnMouseWheel(delta); }

}  // namespace lumbra
