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

// The on-screen keys of the keyboard picture, numbered 0..102, Esc first.
constexpr size_t kKeyButtonCount = 103;

// Key-matrix position of each on-screen key, entry i for key i.
extern const std::array<uint8_t, kKeyButtonCount> kKeyPositionMap;

// The key-table position that takes a key code naming no key.
constexpr size_t kStrayKeyPosition = 10;

}  // namespace lumbra
