// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "model/SettingsStore.h"

namespace lumbra {

// The settings file under the application directory.
std::string SettingsFilePath(const std::string& appDirectory);

// The file's text for a store: the header and the six pairs as they stand.
std::string FormatSettings(const SettingsStore& store);

// Reads a settings text into the store, pair by pair, as long as the text is
// acceptable. False means the text was rejected; pairs read before the fault
// may have been replaced, so the caller installs the defaults.
bool ParseSettings(std::string_view text, SettingsStore& store);

// True when the file was accepted. A missing or rejected file installs the
// defaults and is written anew, a rejected one kept first (KeepRejectedFile).
bool ReadSettingsFile(SettingsStore& store, const std::string& appDirectory);
// True when the file could be written.
bool WriteSettingsFile(const SettingsStore& store, const std::string& appDirectory);

}  // namespace lumbra
