// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace lumbra {

// The Windows virtual-key code of a key, from the hardware scan code the
// display server reports for it (an X11/XKB key code: the kernel's evdev
// key code + 8, as Qt's nativeScanCode gives on xcb and on Wayland). Left
// and right modifiers are told apart, and the keys this keyboard has beyond
// a standard one (Keypad Enter, Power, Wake Up, the international and
// language keys) get the codes the name tables give them. 0 for a key with
// no virtual-key code.
uint8_t VirtualKeyFromScanCode(uint32_t nativeScanCode);

// The kernel's key code of a virtual-key code, for tests and synthetic
// input; 0 when no key produces it.
uint32_t EvdevCodeForVirtualKey(uint8_t virtualKey);

constexpr uint32_t kXkbKeycodeOffset = 8;

}  // namespace lumbra
