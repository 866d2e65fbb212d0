// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "macro/MacroHook.h"
#include "macro/MacroRecorder.h"
#include "macro/MacroScroll.h"
#include "model/MacroLibrary.h"

namespace lumbra {

// What a window with a macro list and a step list shows of them: the two
// lists, their scroll bars, the delay switch and the record button. The macro
// page and the macro manager both have these; every call is on the UI thread.
class MacroListsView {
public:
    virtual ~MacroListsView() = default;

    // The macro list: the set it shows and its selected item (-1 = none).
    virtual int ShownSet() const = 0;
    // SelectSet: the set from its top, its first macro selected when it has one.
    virtual void ShowSet(int index) = 0;
    virtual int SelectedMacro() const = 0;
    virtual void SetSelectedMacro(int index) = 0;
    virtual int MacroListFirstRow() const = 0;
    virtual void SetMacroListFirstRow(int row) = 0;
    virtual int MacroListRows() const = 0;
    virtual bool MacroListHovered() const = 0;
    virtual void RedrawMacroList() = 0;

    // The step list: shows a macro from its first row with no selection.
    virtual void ShowActions(const MacroKey* key) = 0;
    virtual int ActionListFirstRow() const = 0;
    virtual void SetActionListFirstRow(int row) = 0;
    virtual int ActionListRows() const = 0;
    virtual bool ActionListHovered() const = 0;
    virtual void RedrawActionList() = 0;

    // The two scroll bars: their values, and a new layout (UpdateScroll, redraw).
    virtual ScrollValues MacroScroll() const = 0;
    virtual void UpdateMacroScroll(const ScrollValues& values) = 0;
    virtual ScrollValues ActionScroll() const = 0;
    virtual void UpdateActionScroll(const ScrollValues& values) = 0;

    // The delay switch and the record button.
    virtual bool DelaysOn() const = 0;
    virtual bool RecordButtonOn() const = 0;
    virtual void SetRecordButtonOn(bool on) = 0;
    // Recording: every control of the window but the record button and the
    // delay switch disabled; not recording: all enabled, the record button too.
    virtual void SetRecordingLook(bool recording) = 0;
};

// The part of a macro window's logic that the macro page and the macro
// manager share: the macro the step list shows follows the macro list's
// selection, key events are recorded into it, and both lists scroll by their
// bars and the wheel. What a window adds (saving, messages, the loop) stays
// with the window.
class MacroLists {
public:
    // window: receives the hook's messages while recording.
    MacroLists(MacroLibrary* library, MacroListsView& view, MacroHook* hook, HostWindow* window,
               MacroRecorder recorder);

    // The set the macro list shows, and its selected macro; null when none.
    MacroSet* ShownSet() const;
    MacroKey* SelectedKey() const;
    // The macro the step list shows.
    MacroKey* Current() const { return m_current; }
    bool IsRecording() const { return m_recording; }

    // The selected macro becomes the current one; a newly current macro is
    // shown from its first step.
    void FollowSelection();
    // The macro list's bar to the shown set; nothing without a set.
    void LayOutMacroScroll();
    // The step list's bar to the current macro; nothing without one.
    void LayOutActionScroll();
    // No macro is current any more (it is deleted, or its library is gone); a
    // recording into it ends with the hook stopped and the record button out.
    void DropCurrent();
    // Removes the selected macro from the shown set; the list is left without
    // a selection. False when no macro is selected.
    bool DeleteSelectedKey();

    enum class RecordToggle {
        kStopped,  // the button went out: the recording ended and the hook stopped
        kNoMacro,  // the button went in without a current macro; it is out again
        kStarted,  // the current macro is recorded from an empty step list
    };
    // The record button was released; it has already toggled.
    RecordToggle OnRecordToggle();
    // kMsgHookKey while recording: the event goes into the current macro and
    // the step list keeps its last step in sight. kFull leaves the recording
    // running; the window ends it (EndRecording) in its own order.
    MacroRecorder::Result OnHookMessage(uint32_t first, uint32_t second);
    // Keys are no longer recorded and the controls come back; the hook runs on.
    void EndRecording();
    // The same, with the hook stopped first.
    void StopRecording();

    // A press on a part of the macro list's bar (macroList true) or the step
    // list's, and a drag of its thumb.
    void OnScrollPartPressed(bool macroList, ScrollPart part);
    void OnScrollThumbDragged(bool macroList);
    // One wheel turn scrolls the hovered list by a row.
    void OnMouseWheel(int delta);

private:
    void KeepLastActionVisible();
    void Scroll(bool macroList, const ScrollValues& bar, const ScrollOutcome& out);

    MacroLibrary* m_library;
    MacroListsView& m_view;
    MacroHook* m_hook;
    HostWindow* m_window;
    MacroRecorder m_recorder;
    MacroKey* m_current = nullptr;
    bool m_recording = false;
};

}  // namespace lumbra
