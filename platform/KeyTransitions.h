// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace lumbra {

class HostWindow;

// One key going down or up in one of this program's windows, named by its
// Windows virtual-key code (left and right modifiers told apart).
struct KeyTransition {
    uint8_t virtualKey = 0;
    bool released = false;
    uint32_t timestamp = 0;  // milliseconds, wrapping at 2^31
    // The display server's hardware key code (X11/XKB: the kernel's key code
    // + 8); 0 where the platform gives none.
    uint32_t nativeScanCode = 0;
    // Delivered from the event loop after its own key event (a release held
    // back), not from inside the key event's delivery.
    bool deferred = false;
};

// The hook message's second parameter: bit 31 set on release, the time stamp below.
constexpr uint32_t HookSecondParameter(const KeyTransition& t) {
    return (t.released ? 0x80000000u : 0u) | (t.timestamp & 0x7FFFFFFFu);
}

using KeyTransitionSink = std::function<void(const KeyTransition&)>;

// What becomes of a key event once the sink has seen it.
enum class KeyDelivery {
    kObserve,  // the key still reaches its window as before
    kSwallow,  // the key goes to the sink only: no window, shortcut or focus change sees it
};

// Delivers every key press and release seen by this program's windows to
// sink, replacing any earlier sink; an empty sink stops the delivery. An
// auto-repeating key arrives as further presses, without the releases some
// display servers put between them: on X11 the server is asked not to send
// them (XKB detectable auto-repeat), and a release followed at once by a
// press of the same key with the same time stamp is taken for a repeat
// whether or not the toolkit flagged it. A release is therefore held back
// until the next key event, the end of the events already queued, or a new
// sink, whichever comes first. Keys without a virtual-key code are not
// delivered (but are swallowed with kSwallow). A press without a time stamp
// of its own gets one from a monotonic clock. UI thread only.
void SetKeyTransitionSink(KeyTransitionSink sink, KeyDelivery delivery = KeyDelivery::kObserve);

// Calls back (from inside the key's delivery) on every press of Enter, the
// main or the keypad key, while the keyboard focus is in `window`: on the
// window itself or any of its edit boxes. A key swallowed by a running sink
// is not seen. The watch ends with the object. UI thread only.
class ReturnKeyWatch {
public:
    ReturnKeyWatch(HostWindow& window, std::function<void()> onReturn);
    ~ReturnKeyWatch();
    ReturnKeyWatch(const ReturnKeyWatch&) = delete;
    ReturnKeyWatch& operator=(const ReturnKeyWatch&) = delete;

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

}  // namespace lumbra
