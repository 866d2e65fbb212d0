// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

#include "model/KeyTable.h"

namespace lumbra {

// The G-key buttons of the main window, G1..G5: the button with id
// kFirstGKeyButtonId + n stands for G key n.
constexpr int kFirstGKeyButtonId = 0x81E;
constexpr int kLastGKeyButtonId = 0x822;

// The key buttons of the main window have consecutive ids, Esc first: the
// button with id kFirstKeyButtonId + i stands for on-screen key i.
constexpr int kFirstKeyButtonId = 0x898;
constexpr int kLastKeyButtonId = 0x8FE;
static_assert(static_cast<size_t>(kLastKeyButtonId - kFirstKeyButtonId + 1) == kKeyButtonCount);

// Position of a key button in the key table; an id that is not a key
// button's maps to position 10.
inline size_t KeyPosition(int buttonId) {
    if (buttonId < kFirstKeyButtonId || buttonId > kLastKeyButtonId) return kStrayKeyPosition;
    return kKeyPositionMap[static_cast<size_t>(buttonId - kFirstKeyButtonId)];
}

}  // namespace lumbra
