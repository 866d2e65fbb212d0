// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Decimal.h"

#include <limits>

namespace lumbra {
namespace {

struct Parsed {
    bool negative = false;
    uint64_t magnitude = 0;  // saturated just above the 32-bit range
};

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

Parsed Parse(std::string_view text) {
    constexpr uint64_t kCap = uint64_t{1} << 33;
    Parsed result;
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        result.negative = text[i] == '-';
        ++i;
    }
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        result.magnitude = result.magnitude * 10 + static_cast<uint64_t>(text[i] - '0');
        if (result.magnitude > kCap) result.magnitude = kCap;
    }
    return result;
}

}  // namespace

int32_t ParseDecimal(std::string_view text) {
    const Parsed p = Parse(text);
    const int64_t value =
        p.negative ? -static_cast<int64_t>(p.magnitude) : static_cast<int64_t>(p.magnitude);
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

uint32_t ParseUnsignedDecimal(std::string_view text) {
    const Parsed p = Parse(text);
    if (p.magnitude > std::numeric_limits<uint32_t>::max()) {
        return std::numeric_limits<uint32_t>::max();
    }
    const auto value = static_cast<uint32_t>(p.magnitude);
    return p.negative ? static_cast<uint32_t>(0u - value) : value;
}

std::string FormatDecimal(int64_t value) { return std::to_string(value); }

}  // namespace lumbra
