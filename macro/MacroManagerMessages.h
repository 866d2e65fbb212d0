// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace lumbra {

// The messages the macro manager posts to itself: a set dialog opens once the
// set list that chose it has gone.
constexpr uint32_t kMsgOpenAddSet = 0x420;
constexpr uint32_t kMsgOpenDeleteSet = 0x423;

}  // namespace lumbra
