// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "device/Reports.h"

namespace lumbra {

// The keyboard's own configuration as its firmware keeps it.
struct SimProfileState {
    static constexpr size_t kMacroRecordLength = MacroReport::kLength - MacroReport::kNameOffset;

    KeyTable keys{};
    std::array<KeyAction, kGKeyCount> actions{};
    uint8_t mode = 1;  // the keyboard's numbering
    uint8_t brightness = 8;
    // Per G key: bytes 8..225 of the MacroReport (name, loop, count, entries).
    std::array<std::array<uint8_t, kMacroRecordLength>, kGKeyCount> macros{};

    static SimProfileState Factory();
    friend bool operator==(const SimProfileState&, const SimProfileState&) = default;
};

struct SimKeyboardState {
    int currentProfile = 0;
    std::array<SimProfileState, kOnBoardProfileCount> profiles{};

    static SimKeyboardState Factory();
    friend bool operator==(const SimKeyboardState&, const SimKeyboardState&) = default;
};

// The state file's text and its reader; the reader gives nothing for a text
// it does not accept.
std::string FormatSimState(const SimKeyboardState& state);
std::optional<SimKeyboardState> ParseSimState(std::string_view text);

// Whether a file may hold the simulated keyboard: it is missing, empty, or a
// state file. Anything else (notes, another program's data, a folder) is not
// the simulator's to replace.
bool IsUsableSimStateFile(const std::string& path);

// The state a file keeps; the factory state when the file is missing or
// unreadable.
SimKeyboardState LoadSimState(const std::string& path);
// Replaces the file's content as a whole, so a crash leaves the old state or the new.
bool SaveSimState(const std::string& path, const SimKeyboardState& state);

}  // namespace lumbra
