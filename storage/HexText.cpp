// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/HexText.h"

namespace lumbra {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

uint8_t ParseHexPair(std::string_view text) {
    int value = 0;
    for (size_t i = 0; i < 2 && i < text.size(); ++i) {
        const int digit = HexDigit(text[i]);
        if (digit < 0) break;
        value = value * 16 + digit;
    }
    return static_cast<uint8_t>(value);
}

void AppendHexByte(std::string& out, uint8_t value) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    out += kDigits[value >> 4];
    out += kDigits[value & 0x0F];
}

}  // namespace lumbra
