// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumbra {

// Converts up to two characters as a base-16 number, reading leading
// hexadecimal digits of either case only: a pair that starts with any other
// character gives 0, a digit followed by another character gives that digit.
// Characters missing at the end count as not hexadecimal.
uint8_t ParseHexPair(std::string_view text);

// Appends a byte as two upper-case hexadecimal digits.
void AppendHexByte(std::string& out, uint8_t value);

}  // namespace lumbra
