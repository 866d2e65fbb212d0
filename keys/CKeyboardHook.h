// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>

namespace lumbra {

class HostWindow;
class KeyboardGrab;

// Reports every key press and release in this program's windows to one
// window as message kMsgHookKey: the key's Windows virtual-key code (from its
// hardware scan code, left and right modifiers told apart) in the first
// parameter; KeyMsg::kHookReleasedBit set on release and a millisecond time
// stamp wrapping at 2^31 in the second. A held key repeats as further
// presses, never with releases between them, however the display server
// reports the repeats.
// The messages are handled in the window's own message loop: they are
// posted, or sent from the loop itself for a release that was held back to
// see whether a repeat follows it.
//
// While a hook runs, keys act on nothing else: Esc, Enter and Tab do not
// close, press or move anything, and where the display server allows it the
// whole keyboard is grabbed, so that Alt+F4, Alt+Tab or the Win key are
// captured instead of acting on the desktop. The grab pauses while the window
// is hidden and ends with StopHook, with the window, or with this object.
//
// At most one hook runs: StartHook takes the delivery over from any other
// hook object. UI thread only.
class CKeyboardHook {
public:
    CKeyboardHook();
    virtual ~CKeyboardHook();
    CKeyboardHook(const CKeyboardHook&) = delete;
    CKeyboardHook& operator=(const CKeyboardHook&) = delete;

    // 1 when the hook runs for `window` now; 0 without a window.
    int32_t StartHook(HostWindow* window);
    // 1 when this object's hook was running; 0 otherwise, changing nothing.
    int32_t StopHook();

    bool IsRunning() const;
    // The display server holds the keyboard for the hook's window (X11).
    bool HoldsDisplayKeyboard() const;

private:
    std::unique_ptr<KeyboardGrab> m_grab;
};

}  // namespace lumbra
