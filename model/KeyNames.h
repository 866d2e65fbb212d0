// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace lumbra {

// Names of Windows virtual-key codes (captured keys, key steps of macros).
std::string_view VirtualKeyName(uint8_t code);
// Names of the keyboard's own key codes (the bytes of a key table).
std::string_view KeyCodeName(uint8_t code);

// Translations between virtual-key codes and the keyboard's key codes; 0
// where a code has no counterpart.
uint8_t VkToHid(uint8_t virtualKey);
uint8_t HidToVk(uint8_t keyCode);

}  // namespace lumbra
