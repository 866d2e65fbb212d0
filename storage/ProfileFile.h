#pragma once

#include <string>
#include <string_view>

#include "model/KeyboardModel.h"

namespace lumbra {

// The file's text for a profile: header, three pairs, the key table, and
// three lines for each G key.
std::string FormatProfile(const KeyboardProfile& profile);

// Reads a profile text into a profile as long as the text is acceptable.
// False means rejected; what was read before the fault stays in the profile,
// so the caller installs the defaults.
bool ParseProfile(std::string_view text, KeyboardProfile& profile);

// Writes one profile to a file; false when it could not be written.
bool WriteProfileFile(const KeyboardProfile& profile, const std::string& path);
// Reads a profile file into the record of slot s; a missing or rejected file
// installs the slot's defaults and is written anew. True when accepted.
bool ReadProfileFile(KeyboardProfile& profile, int slot, const std::string& path);

// The same for a slot of the model, at the path its settings hold for it.
bool WriteProfileFile(const KeyboardModel& model, int slot);
bool ReadProfileFile(KeyboardModel& model, int slot);

}  // namespace lumbra
