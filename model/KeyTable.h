// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace lumbra {

constexpr size_t kKeyTableSize = 160;
using KeyTable = std::array<uint8_t, kKeyTableSize>;

// The keyboard's factory key table, indexed by key-matrix position.
extern const KeyTable kDefaultKeyTable;

// The on-screen key buttons have consecutive ids, Esc first.
constexpr int kFirstKeyButtonId = 0x898;
constexpr int kLastKeyButtonId = 0x8FE;
constexpr size_t kKeyButtonCount = kLastKeyButtonId - kFirstKeyButtonId + 1;
static_assert(kKeyButtonCount == 103);

// Key-matrix position of each key button, entry i for button 0x898 + i.
extern const std::array<uint8_t, kKeyButtonCount> kKeyPositionMap;

// Position of a key button in the key table; an id that is not a key
// button's maps to position 10.
constexpr size_t kStrayKeyPosition = 10;
size_t KeyPosition(int buttonId);

}  // namespace lumbra
