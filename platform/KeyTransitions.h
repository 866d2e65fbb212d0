#pragma once

#include <cstdint>
#include <functional>

namespace lumbra {

// One key going down or up in one of this program's windows, named by its
// Windows virtual-key code (left and right modifiers told apart).
struct KeyTransition {
    uint8_t virtualKey = 0;
    bool released = false;
    uint32_t timestamp = 0;  // milliseconds, wrapping at 2^31
    // The display server's hardware key code (X11/XKB: the kernel's key code
    // + 8); 0 where the platform gives none.
    uint32_t nativeScanCode = 0;
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
// display servers put between them. Keys without a virtual-key code are not
// delivered (but are swallowed with kSwallow). A press without a time stamp
// of its own gets one from a monotonic clock. UI thread only.
void SetKeyTransitionSink(KeyTransitionSink sink, KeyDelivery delivery = KeyDelivery::kObserve);

}  // namespace lumbra
