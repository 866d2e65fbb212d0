// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "model/SettingsStore.h"
#include "storage/TextFile.h"

namespace lumbra {

// The settings file under the application directory.
std::string SettingsFilePath(const std::string& appDirectory);

// Settings of Lumbra's own (the switch to follow programs), in a file of their
// own beside the settings file, so that the settings file keeps exactly its six
// pairs for every reader of its format.
std::string OwnSettingsFilePath(const std::string& appDirectory);

// The file's text for a store: the header and the six pairs as they stand.
std::string FormatSettings(const SettingsStore& store);

// Reads a settings text into the store, pair by pair, as long as the text is
// acceptable. False means the text was rejected; pairs read before the fault
// may have been replaced, so the caller installs the defaults. A seventh line
// "FollowPrograms=0" or "=1", which earlier Lumbras wrote, sets the switch.
bool ParseSettings(std::string_view text, SettingsStore& store);

// True when the file was accepted. A missing or rejected file installs the
// defaults and is written anew, a rejected one kept first (KeepRejectedFile).
// The switch comes from Lumbra's own file; a seventh line in the settings file
// is taken when that file holds none, moved there, and the settings file is
// then rewritten without it.
bool ReadSettingsFile(SettingsStore& store, const std::string& appDirectory);
// The six pairs, then the switch in Lumbra's own file where it changed. True
// when both could be written; otherwise false with the first failure's reason.
bool WriteSettingsFile(const SettingsStore& store, const std::string& appDirectory,
                       WriteFailure* failure = nullptr);

// The switch as Lumbra's own file holds it; nothing when the file holds none.
std::optional<bool> ReadFollowPrograms(const std::string& appDirectory);
// Sets the switch in Lumbra's own file (nothing: the default, no line) and
// keeps the file's other lines; a file that is not Lumbra's own settings is
// kept as rejected first. A file that would not change is not written.
bool WriteFollowPrograms(std::optional<bool> follow, const std::string& appDirectory,
                         WriteFailure* failure = nullptr);
// Sets the switch in the store, kept only while it differs from the default
// (byDefault), and writes it to Lumbra's own file.
bool SaveFollowPrograms(SettingsStore& store, bool follow, bool byDefault,
                        const std::string& appDirectory, WriteFailure* failure = nullptr);

// Rewrites the settings file as it stands on disk with one change, so that
// nothing else the window holds (a profile tab not yet applied) is written with
// it. Where the file cannot be read the fallback is changed and written
// instead.
bool UpdateSettingsFile(const std::string& appDirectory, const SettingsStore& fallback,
                        const std::function<void(SettingsStore&)>& change);

}  // namespace lumbra
