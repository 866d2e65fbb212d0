// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/ProfileFile.h"

#include "model/NameText.h"
#include "storage/HexText.h"
#include "storage/TextFile.h"

namespace lumbra {
namespace {

constexpr std::string_view kHeader = "[Setting]";
constexpr std::string_view kKeyTableName = "AllRCKey";
constexpr size_t kKeyTableDigits = kKeyTableSize * 2;
constexpr std::string_view kProgramName = "Program";

// "Program1=path" .. "Program3=path": the program's index and its path.
std::optional<std::pair<int, std::string_view>> ProgramLine(std::string_view line) {
    if (!line.starts_with(kProgramName) || line.size() < kProgramName.size() + 2)
        return std::nullopt;
    const char digit = line[kProgramName.size()];
    if (digit < '1' || digit > '0' + ProfilePrograms::kCount) return std::nullopt;
    if (line[kProgramName.size() + 1] != '=') return std::nullopt;
    return std::pair{digit - '1', line.substr(kProgramName.size() + 2)};
}

// The text after the first '=' when the line has a name of at least one
// character; the value may be empty.
std::optional<std::string_view> NamedValue(std::optional<std::string_view> line) {
    if (!line) return std::nullopt;
    const size_t p = line->find('=');
    if (p == std::string_view::npos || p < 1) return std::nullopt;
    return line->substr(p + 1);
}

}  // namespace

std::string FormatProfile(const KeyboardProfile& profile) {
    std::string out;
    AppendLine(out, kHeader);
    for (int i = 0; i < KeyboardProfile::kPairCount; ++i) {
        out += CleanStoredName(profile.PairName(i));
        out += '=';
        AppendLine(out, CleanStoredName(profile.PairValue(i)));
    }
    out += kKeyTableName;
    out += '=';
    for (uint8_t code : profile.Keys()) AppendHexByte(out, code);
    out += kLineEnd;
    for (int n = 0; n < kGKeyCount; ++n) {
        const GKeySlot& g = *profile.GKey(n);
        const std::string key = "Key" + std::to_string(n);
        AppendLine(out, key + "Name=" + CleanStoredName(g.name));
        out += "\t" + key + "Value=";
        AppendHexByte(out, g.action.type);
        AppendHexByte(out, g.action.param1);
        AppendHexByte(out, g.action.param2);
        out += kLineEnd;
        AppendLine(out, "\t" + key + "URL=" + g.launchPath);
    }
    const ProfilePrograms& programs = profile.programs;
    if (programs.Any()) {
        for (int k = 0; k < ProfilePrograms::kCount; ++k)
            AppendLine(out, std::string(kProgramName) + std::to_string(k + 1) + "=" +
                                programs.paths[static_cast<size_t>(k)]);
    }
    return out;
}

bool ParseProfile(std::string_view text, KeyboardProfile& profile) {
    LineReader lines(text);
    const auto header = lines.Next();
    if (!header || *header != kHeader) return false;

    for (int i = 0; i < KeyboardProfile::kPairCount; ++i) {
        const auto line = lines.Next();
        const auto value = NamedValue(line);
        if (!value) return false;
        profile.SetPairName(i, CleanStoredName(line->substr(0, line->find('='))));
        profile.SetPairValue(i, CleanStoredName(*value));
    }

    // The key table's name may be empty, but exactly 320 digits must follow.
    const auto keyLine = lines.Next();
    if (!keyLine) return false;
    const size_t p = keyLine->find('=');
    if (p == std::string_view::npos || keyLine->size() - p - 1 != kKeyTableDigits) return false;
    const std::string_view digits = keyLine->substr(p + 1);
    for (size_t i = 0; i < kKeyTableSize; ++i) {
        profile.Keys()[i] = ParseHexPair(digits.substr(2 * i, 2));
    }

    for (int n = 0; n < kGKeyCount; ++n) {
        GKeySlot& g = *profile.GKey(n);
        const auto name = NamedValue(lines.Next());
        if (!name) return false;
        g.name = CleanStoredName(*name);

        const auto value = NamedValue(lines.Next());
        if (!value) return false;
        const auto pair = [&](size_t k) {
            return 2 * k < value->size() ? ParseHexPair(value->substr(2 * k, 2)) : uint8_t{0};
        };
        g.action = {pair(0), pair(1), pair(2)};

        const auto url = NamedValue(lines.Next());
        if (!url) return false;
        g.launchPath = std::string(*url);
    }

    // Anything after the G keys is optional: only the program lines mean something.
    ProfilePrograms programs;
    while (const auto line = lines.Next()) {
        if (const auto program = ProgramLine(*line))
            programs.paths[static_cast<size_t>(program->first)] = std::string(program->second);
    }
    profile.programs = std::move(programs);
    return true;
}

namespace {

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != text.npos; }

// Names are written as the reader cleans them; a path cannot be: one with a
// line break, or a setting without a name, would make the file rejected.
bool ReadsBack(const KeyboardProfile& profile) {
    for (int i = 0; i < KeyboardProfile::kPairCount; ++i)
        if (profile.PairName(i).empty()) return false;
    for (int n = 0; n < kGKeyCount; ++n)
        if (HasLineBreak(profile.GKey(n)->launchPath)) return false;
    for (const std::string& program : profile.programs.paths)
        if (HasLineBreak(program)) return false;
    return true;
}

}  // namespace

bool WriteProfileFile(const KeyboardProfile& profile, const std::string& path,
                      WriteFailure* failure) {
    if (!ReadsBack(profile))
        return Refuse(failure, path, "a path holds a line break or a setting has no name");
    const std::string text = FormatProfile(profile);
    if (text.size() > kMaxReadableFileSize)
        return Refuse(failure, path, "it would be too large to read back");
    return WriteFileAtomically(path, text, failure);
}

bool ReadProfileFile(KeyboardProfile& profile, int slot, const std::string& path) {
    const auto text = ReadWholeFile(path);
    if (text && ParseProfile(*text, profile)) return true;
    profile.ResetDefaults(slot);
    profile.programs = {};
    if (KeepRejectedFile(path)) WriteProfileFile(profile, path);
    return false;
}

bool LoadProfileFile(KeyboardProfile& profile, const std::string& path) {
    const auto text = ReadWholeFile(path);
    if (!text) return false;
    // A rejected file must leave the profile as it was, not half read.
    KeyboardProfile loaded = profile;
    if (!ParseProfile(*text, loaded)) return false;
    profile = std::move(loaded);
    return true;
}

bool WriteProfileFile(const KeyboardModel& model, int slot, WriteFailure* failure) {
    return WriteProfileFile(model.Profile(slot), model.settings.SlotPath(slot), failure);
}

bool ReadProfileFile(KeyboardModel& model, int slot) {
    return ReadProfileFile(model.Profile(slot), slot, model.settings.SlotPath(slot));
}

}  // namespace lumbra
