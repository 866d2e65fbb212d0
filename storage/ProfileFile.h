// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "model/KeyboardModel.h"
#include "storage/TextFile.h"

namespace lumbra {

// A profile's programs are kept in its file as three lines "Program1=" ..
// "Program3=" after the last G-key block, written only when at least one path
// is set, so a profile without programs keeps its plain 20-line file and
// readers that stop after the G keys read it as before.

// The file's text for a profile: header, three pairs, the key table, and
// three lines for each G key. A control character in a pair or a G key's name
// is written as '_'.
std::string FormatProfile(const KeyboardProfile& profile);

// Reads a profile text into a profile as long as the text is acceptable; the
// programs after the G keys replace the record's programs (none when absent).
// A control character in a pair or a G key's name (a file of an older
// program) reads as '_'. False means rejected; what was read before the fault
// stays in the profile, so the caller installs the defaults.
bool ParseProfile(std::string_view text, KeyboardProfile& profile);

// Writes one profile to a file; false when it could not be written, and when
// the reader would reject it (a path with a line break, a setting without a
// name, more than the reader reads): the file is then left as it was. The
// reason goes to `failure` when one is given.
bool WriteProfileFile(const KeyboardProfile& profile, const std::string& path,
                      WriteFailure* failure = nullptr);
// Reads a profile file into the record of slot s; a missing or rejected file
// installs the slot's defaults (without programs) and is written anew, a
// rejected one kept first (KeepRejectedFile). True when accepted.
bool ReadProfileFile(KeyboardProfile& profile, int slot, const std::string& path);

// Reads a file the user picked into a profile. A rejected file changes
// neither the profile nor the file; false then.
bool LoadProfileFile(KeyboardProfile& profile, const std::string& path);
// What the user is told when LoadProfileFile rejects a file.
constexpr std::string_view kNotAProfileMessage = "This file is not a Lumbra profile.";

// The same for a slot of the model, at the path its settings hold for it.
bool WriteProfileFile(const KeyboardModel& model, int slot, WriteFailure* failure = nullptr);
bool ReadProfileFile(KeyboardModel& model, int slot);

}  // namespace lumbra
