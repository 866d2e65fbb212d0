// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace lumbra {

// No name (of a macro, a macro set or a profile) holds a control character,
// U+0000..U+001F or U+007F: the files keep one name per line, and the keyboard
// gives such a byte of a name back as '_'. In UTF-8 each of them is one byte
// that never occurs inside another character, so names are checked bytewise.
constexpr bool IsControlCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// A name as the user typed or pasted it: without its control characters.
std::string WithoutControlCharacters(std::string_view text);

// A name read from a file written before names were checked: each control
// character becomes '_', the way the keyboard gives it back, so a name that
// reached the keyboard with a TAB still names the same macro when it returns.
// Nothing is removed, so a name never becomes empty.
std::string CleanStoredName(std::string_view text);

}  // namespace lumbra
