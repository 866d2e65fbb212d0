// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lumbra {

// The G-key buttons of the main window, G1..G5: the button with id
// kFirstGKeyButtonId + n stands for G key n.
constexpr int kFirstGKeyButtonId = 0x81E;
constexpr int kLastGKeyButtonId = 0x822;

}  // namespace lumbra
