// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace lumbra {

// A function chosen in a popup or a capture dialog: the name the owner shows
// and three bytes (for key assignments: type, param1, param2).
struct ChoiceRecord {
    std::string text;
    uint8_t b0 = 0;
    uint8_t b1 = 0;
    uint8_t b2 = 0;
};

}  // namespace lumbra
