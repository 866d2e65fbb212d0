// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/SimStateFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <span>
#include <vector>

#include "storage/HexText.h"
#include "storage/TextFile.h"

namespace lumbra {

SimProfileState SimProfileState::Factory() {
    SimProfileState p;
    p.keys = kDefaultKeyTable;
    for (auto& macro : p.macros) {
        macro.fill(0);
        macro[0] = MacroReport::kNoNameByte;
        macro[1] = MacroReport::kNoNameByte;
    }
    return p;
}

SimKeyboardState SimKeyboardState::Factory() {
    SimKeyboardState s;
    for (auto& p : s.profiles) p = SimProfileState::Factory();
    return s;
}

// The state file: a header, the current profile, then per profile its key
// table with the G-key actions, its lighting, and one line per stored macro,
// all bytes as upper-case hexadecimal.
namespace {
constexpr std::string_view kStateHeader = "LumbraSimulatedKeyboard 1";

std::string Hex(std::span<const uint8_t> bytes) {
    std::string out;
    for (uint8_t b : bytes) AppendHexByte(out, b);
    return out;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool FromHex(std::string_view text, std::span<uint8_t> out) {
    if (text.size() != out.size() * 2) return false;
    for (size_t i = 0; i < out.size(); ++i) {
        if (!IsHexDigit(text[2 * i]) || !IsHexDigit(text[2 * i + 1])) return false;
        out[i] = ParseHexPair(text.substr(2 * i, 2));
    }
    return true;
}

std::optional<std::string_view> ValueAfter(std::optional<std::string_view> line,
                                           std::string_view key) {
    if (!line || line->size() <= key.size() || line->substr(0, key.size()) != key ||
        (*line)[key.size()] != '=') {
        return std::nullopt;
    }
    return line->substr(key.size() + 1);
}
}  // namespace

std::string FormatSimState(const SimKeyboardState& state) {
    std::string out;
    AppendLine(out, kStateHeader);
    AppendLine(out, "CurrentProfile=" + std::to_string(state.currentProfile));
    for (size_t s = 0; s < state.profiles.size(); ++s) {
        const SimProfileState& p = state.profiles[s];
        const std::string prefix = "Profile" + std::to_string(s);
        std::vector<uint8_t> actions;
        for (const KeyAction& a : p.actions)
            actions.insert(actions.end(), {a.type, a.param1, a.param2});
        AppendLine(out, prefix + "Keys=" + Hex(p.keys));
        AppendLine(out, prefix + "Actions=" + Hex(actions));
        const uint8_t lighting[2] = {p.mode, p.brightness};
        AppendLine(out, prefix + "Lighting=" + Hex(lighting));
        for (size_t g = 0; g < p.macros.size(); ++g) {
            AppendLine(out, prefix + "Macro" + std::to_string(g) + "=" + Hex(p.macros[g]));
        }
    }
    return out;
}

std::optional<SimKeyboardState> ParseSimState(std::string_view text) {
    LineReader lines(text);
    if (lines.Next() != kStateHeader) return std::nullopt;
    SimKeyboardState state;
    const auto current = ValueAfter(lines.Next(), "CurrentProfile");
    if (!current || current->size() != 1 || (*current)[0] < '0' ||
        (*current)[0] >= '0' + kOnBoardProfileCount) {
        return std::nullopt;
    }
    state.currentProfile = (*current)[0] - '0';
    for (size_t s = 0; s < state.profiles.size(); ++s) {
        SimProfileState& p = state.profiles[s];
        const std::string prefix = "Profile" + std::to_string(s);
        std::array<uint8_t, kGKeyCount * 3> actions{};
        std::array<uint8_t, 2> lighting{};
        const auto keys = ValueAfter(lines.Next(), prefix + "Keys");
        if (!keys || !FromHex(*keys, p.keys)) return std::nullopt;
        const auto acts = ValueAfter(lines.Next(), prefix + "Actions");
        if (!acts || !FromHex(*acts, actions)) return std::nullopt;
        for (size_t g = 0; g < kGKeyCount; ++g) {
            p.actions[g] = KeyAction{actions[g * 3], actions[g * 3 + 1], actions[g * 3 + 2]};
        }
        const auto light = ValueAfter(lines.Next(), prefix + "Lighting");
        if (!light || !FromHex(*light, lighting)) return std::nullopt;
        p.mode = lighting[0];
        p.brightness = lighting[1];
        for (size_t g = 0; g < p.macros.size(); ++g) {
            const auto macro = ValueAfter(lines.Next(), prefix + "Macro" + std::to_string(g));
            if (!macro || !FromHex(*macro, p.macros[g])) return std::nullopt;
        }
    }
    return state;
}

bool IsUsableSimStateFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return errno == ENOENT;
    const auto text = ReadWholeFile(path);
    return text && (text->empty() || ParseSimState(*text));
}

SimKeyboardState LoadSimState(const std::string& path) {
    if (auto text = ReadWholeFile(path)) {
        if (auto state = ParseSimState(*text)) return *state;
    }
    return SimKeyboardState::Factory();
}

bool SaveSimState(const std::string& path, const SimKeyboardState& state) {
    return WriteFileAtomically(path, FormatSimState(state));
}

}  // namespace lumbra
