// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumbra {

// The base-10 conversion every number kept as text goes through: leading
// white space, an optional sign, then the leading digits; text without
// digits gives 0. Values beyond the 32-bit range saturate instead of
// wrapping, so a huge number never turns into a small valid one.
int32_t ParseDecimal(std::string_view text);

// The same conversion for unsigned fields ("%u" in the files): a negative
// number wraps modulo 2^32 as the C library's unsigned conversion does.
uint32_t ParseUnsignedDecimal(std::string_view text);

std::string FormatDecimal(int64_t value);

}  // namespace lumbra
