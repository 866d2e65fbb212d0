// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/SettingsFile.h"

#include <unistd.h>

#include <vector>

#include "storage/TextFile.h"

namespace lumbra {
namespace {

constexpr std::string_view kHeader = "[Setting]";
constexpr std::string_view kOwnHeader = "[Lumbra]";
// The switch's line, present only when the user turned following programs off
// (or on, where no profile lists a program). Earlier Lumbras wrote it after
// the six pairs of the settings file.
constexpr std::string_view kFollowOff = "FollowPrograms=0";
constexpr std::string_view kFollowOn = "FollowPrograms=1";
constexpr std::string_view kFollowKey = "FollowPrograms=";

bool ReadFollowLine(std::string_view line, SettingsStore& store) {
    if (line != kFollowOff && line != kFollowOn) return false;
    store.SetFollowPrograms(line == kFollowOn);
    return true;
}

// Lumbra's own settings file as read: whether it is there and is Lumbra's,
// the switch, and the lines of settings this Lumbra does not know, which a
// rewrite keeps.
struct OwnSettings {
    bool exists = false;
    bool accepted = false;
    std::optional<bool> follow;
    std::vector<std::string> others;
};

OwnSettings ReadOwnSettings(const std::string& path) {
    OwnSettings own;
    const auto text = ReadWholeFile(path);
    own.exists = text.has_value() || ::access(path.c_str(), F_OK) == 0;
    if (!text) return own;
    LineReader lines(*text);
    if (lines.Next() != kOwnHeader) return own;
    own.accepted = true;
    while (const auto line = lines.Next()) {
        if (line == kFollowOff || line == kFollowOn)
            own.follow = line == kFollowOn;
        else if (!line->starts_with(kFollowKey) && !line->empty())
            own.others.emplace_back(*line);
    }
    return own;
}

}  // namespace

std::string OwnSettingsFilePath(const std::string& appDirectory) {
    return appDirectory + "config/lumbra.ini";
}

std::string SettingsFilePath(const std::string& appDirectory) {
    return appDirectory + "config/config.ini";
}

std::string FormatSettings(const SettingsStore& store) {
    std::string out;
    AppendLine(out, kHeader);
    for (int i = 0; i < SettingsStore::kPairCount; ++i) {
        out += store.Name(i);
        out += '=';
        AppendLine(out, store.Value(i));
    }
    return out;
}

bool ParseSettings(std::string_view text, SettingsStore& store) {
    LineReader lines(text);
    const auto header = lines.Next();
    if (!header || *header != kHeader) return false;
    for (int i = 0;; ++i) {
        const auto line = lines.Next();
        if (!line) return true;
        if (i == SettingsStore::kPairCount && ReadFollowLine(*line, store)) continue;
        if (i >= SettingsStore::kPairCount) return false;
        // Name and value must each have at least one character.
        const size_t p = line->find('=');
        if (p == std::string_view::npos || p < 1 || p + 1 >= line->size()) return false;
        store.SetName(i, std::string(line->substr(0, p)));
        store.SetValue(i, std::string(line->substr(p + 1)));
    }
}

bool ReadSettingsFile(SettingsStore& store, const std::string& appDirectory) {
    const std::string path = SettingsFilePath(appDirectory);
    const auto text = ReadWholeFile(path);
    store.SetFollowPrograms(std::nullopt);
    const bool accepted = text && ParseSettings(*text, store);
    const std::optional<bool> seventhLine = accepted ? store.FollowPrograms() : std::nullopt;
    const std::optional<bool> own = ReadFollowPrograms(appDirectory);
    if (!accepted) {
        store.ResetDefaults(appDirectory);
        store.SetFollowPrograms(own);
        if (KeepRejectedFile(path)) WriteSettingsFile(store, appDirectory);
        return false;
    }
    store.SetFollowPrograms(own ? own : seventhLine);
    // The line moves only once Lumbra's own file holds the switch, so that a
    // failed write loses nothing.
    if (seventhLine && WriteFollowPrograms(store.FollowPrograms(), appDirectory))
        WriteFileAtomically(path, FormatSettings(store));
    return true;
}

bool WriteSettingsFile(const SettingsStore& store, const std::string& appDirectory,
                       WriteFailure* failure) {
    const bool pairs =
        WriteFileAtomically(SettingsFilePath(appDirectory), FormatSettings(store), failure);
    const bool own =
        WriteFollowPrograms(store.FollowPrograms(), appDirectory, pairs ? failure : nullptr);
    return pairs && own;
}

std::optional<bool> ReadFollowPrograms(const std::string& appDirectory) {
    return ReadOwnSettings(OwnSettingsFilePath(appDirectory)).follow;
}

bool WriteFollowPrograms(std::optional<bool> follow, const std::string& appDirectory,
                         WriteFailure* failure) {
    const std::string path = OwnSettingsFilePath(appDirectory);
    const OwnSettings own = ReadOwnSettings(path);
    if (own.accepted ? own.follow == follow : !own.exists && !follow) return true;
    if (own.exists && !own.accepted && !KeepRejectedFile(path)) {
        if (failure) *failure = {path, 0, "it is not Lumbra's and could not be kept"};
        return false;
    }
    std::string out;
    AppendLine(out, kOwnHeader);
    for (const std::string& line : own.others) AppendLine(out, line);
    if (follow) AppendLine(out, *follow ? kFollowOn : kFollowOff);
    return WriteFileAtomically(path, out, failure);
}

bool SaveFollowPrograms(SettingsStore& store, bool follow, bool byDefault,
                        const std::string& appDirectory, WriteFailure* failure) {
    store.SetFollowPrograms(follow == byDefault ? std::nullopt : std::optional<bool>(follow));
    return WriteFollowPrograms(store.FollowPrograms(), appDirectory, failure);
}

bool UpdateSettingsFile(const std::string& appDirectory, const SettingsStore& fallback,
                        const std::function<void(SettingsStore&)>& change) {
    SettingsStore store = fallback;
    const auto text = ReadWholeFile(SettingsFilePath(appDirectory));
    SettingsStore onDisk = fallback;
    if (text && ParseSettings(*text, onDisk)) store = onDisk;
    // The switch the window holds is the one its own file holds.
    store.SetFollowPrograms(fallback.FollowPrograms());
    change(store);
    return WriteSettingsFile(store, appDirectory);
}

}  // namespace lumbra
