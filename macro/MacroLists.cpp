// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/MacroLists.h"

namespace lumbra {

MacroLists::MacroLists(MacroLibrary* library, MacroListsView& view, MacroHook* hook,
                       HostWindow* window, MacroRecorder recorder)
    : m_library(library), m_view(view), m_hook(hook), m_window(window), m_recorder(recorder) {}

MacroSet* MacroLists::ShownSet() const {
    const int shown = m_view.ShownSet();
    if (!m_library || shown < 0) return nullptr;
    return m_library->SetAt(static_cast<uint32_t>(shown));
}

MacroKey* MacroLists::SelectedKey() const {
    MacroSet* set = ShownSet();
    const int item = m_view.SelectedMacro();
    return set && item >= 0 ? set->KeyAt(static_cast<uint32_t>(item)) : nullptr;
}

void MacroLists::FollowSelection() {
    MacroKey* key = SelectedKey();
    if (key == m_current) return;
    m_current = key;
    m_view.ShowActions(key);
    m_view.RedrawActionList();
}

void MacroLists::LayOutMacroScroll() {
    const MacroSet* set = ShownSet();
    if (!set) return;
    m_view.UpdateMacroScroll(
        {m_view.MacroListFirstRow(), m_view.MacroListRows(), static_cast<int>(set->MacroKeyNum())});
}

void MacroLists::LayOutActionScroll() {
    if (!m_current) return;
    m_view.UpdateActionScroll({m_view.ActionListFirstRow(), m_view.ActionListRows(),
                               static_cast<int>(m_current->ActionCount())});
}

void MacroLists::DropCurrent() {
    if (m_recording) {
        // The recorder must not write into a macro that is going away.
        m_recorder.Start(nullptr);
        m_view.SetRecordButtonOn(false);
        StopRecording();
    }
    m_current = nullptr;
    m_view.ShowActions(nullptr);
    m_view.RedrawActionList();
}

bool MacroLists::DeleteSelectedKey() {
    MacroKey* key = SelectedKey();
    if (!key) return false;
    if (key == m_current) DropCurrent();
    ShownSet()->RemoveKey(static_cast<uint32_t>(m_view.SelectedMacro()));
    m_view.SetSelectedMacro(-1);
    return true;
}

MacroLists::RecordToggle MacroLists::OnRecordToggle() {
    if (!m_view.RecordButtonOn()) {
        StopRecording();
        return RecordToggle::kStopped;
    }
    if (!m_current) {
        m_view.SetRecordButtonOn(false);
        return RecordToggle::kNoMacro;
    }
    m_recorder.Start(m_current);
    m_recording = true;
    if (m_hook) m_hook->Start(m_window);
    m_view.ShowActions(m_current);
    m_view.RedrawActionList();
    m_view.SetRecordingLook(true);
    return RecordToggle::kStarted;
}

void MacroLists::EndRecording() {
    m_recording = false;
    m_view.SetRecordingLook(false);
}

void MacroLists::StopRecording() {
    if (m_hook) m_hook->Stop();
    EndRecording();
}

void MacroLists::KeepLastActionVisible() {
    const int count = static_cast<int>(m_current->ActionCount());
    const int rows = m_view.ActionListRows();
    if (rows < count) m_view.SetActionListFirstRow(count - rows);
    m_view.UpdateActionScroll({m_view.ActionListFirstRow(), rows, count});
}

MacroRecorder::Result MacroLists::OnHookMessage(uint32_t first, uint32_t second) {
    // Keys typed after recording ended (a message being closed, say) are not
    // part of the macro.
    if (!m_recording || !m_current) return MacroRecorder::Result::kIgnored;
    // A release first is that of a key pressed before the recording began
    // (Space or Enter on the Record button): played, it would let go of a key
    // never pressed.
    if ((second & MacroRecorder::kReleaseBit) != 0 && m_current->ActionCount() == 0)
        return MacroRecorder::Result::kIgnored;
    const MacroRecorder::Result result = m_recorder.OnHookMessage(first, second, m_view.DelaysOn());
    if (result == MacroRecorder::Result::kIgnored) return result;
    if (result == MacroRecorder::Result::kRecorded) KeepLastActionVisible();
    m_view.RedrawActionList();
    return result;
}

void MacroLists::OnScrollPartPressed(bool macroList, ScrollPart part) {
    const ScrollValues bar = macroList ? m_view.MacroScroll() : m_view.ActionScroll();
    Scroll(macroList, bar, ScrollPartPressed(bar, part));
}

void MacroLists::OnScrollThumbDragged(bool macroList) {
    const ScrollValues bar = macroList ? m_view.MacroScroll() : m_view.ActionScroll();
    Scroll(macroList, bar, ScrollThumbDragged(bar));
}

void MacroLists::Scroll(bool macroList, const ScrollValues& bar, const ScrollOutcome& out) {
    if (out.relayout) {
        const ScrollValues moved{out.position, bar.page, bar.range};
        if (macroList)
            m_view.UpdateMacroScroll(moved);
        else
            m_view.UpdateActionScroll(moved);
    }
    if (!out.setFirstRow) return;
    if (macroList) {
        m_view.SetMacroListFirstRow(out.position);
        m_view.RedrawMacroList();
    } else {
        m_view.SetActionListFirstRow(out.position);
        m_view.RedrawActionList();
    }
}

void MacroLists::OnMouseWheel(int delta) {
    MacroListsView& v = m_view;
    if (v.MacroListHovered()) {
        const MacroSet* set = ShownSet();
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
