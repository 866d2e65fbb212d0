// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/SettingsFile.h"

#include "storage/TextFile.h"

namespace lumbra {
namespace {

constexpr std::string_view kHeader = "[Setting]";
// The one line that may follow the six pairs, written only when the user turned following
// programs off (or on, where no profile lists a program).
constexpr std::string_view kFollowOff = "FollowPrograms=0";
constexpr std::string_view kFollowOn = "FollowPrograms=1";

bool ReadFollowLine(std::string_view line, SettingsStore& store) {
    if (line != kFollowOff && line != kFollowOn) return false;
    store.SetFollowPrograms(line == kFollowOn);
    return true;
}

}  // namespace

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
    if (const auto follow = store.FollowPrograms())
        AppendLine(out, *follow ? kFollowOn : kFollowOff);
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
    if (text && ParseSettings(*text, store)) return true;
    store.ResetDefaults(appDirectory);
    if (KeepRejectedFile(path)) WriteSettingsFile(store, appDirectory);
    return false;
}

bool WriteSettingsFile(const SettingsStore& store, const std::string& appDirectory) {
    return WriteFileAtomically(SettingsFilePath(appDirectory), FormatSettings(store));
}

}  // namespace lumbra
