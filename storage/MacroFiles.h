// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "model/MacroLibrary.h"
#include "storage/TextFile.h"

namespace lumbra {

std::string MacroLibraryFilePath(const std::string& appDirectory);

// A control character in a set or macro name is written, and read, as '_'.
std::string FormatMacroLibrary(const MacroLibrary& library);
// Fills an empty library from a library text; false on any missing or bad
// line. On false the library is left empty.
bool ParseMacroLibrary(std::string_view text, MacroLibrary& library);

std::string FormatMacroKeyFile(const MacroKey& key);
// Reads a macro key text into a macro, all or nothing: on false the macro
// is left exactly as it was. The name is never touched.
bool ParseMacroKeyFile(std::string_view text, MacroKey& key);

// The library file under the application directory. Write: false when the
// file could not be written, and when the reader would not take it back (an
// empty name, more than the reader reads); the file is then left as it was.
// The reason goes to `failure` when one is given (also for the .mkf writer
// below). Read: the library is emptied first; false when the file is missing
// or not acceptable, and the library is then empty. Names are read whole.
bool WriteMacroLibrary(const MacroLibrary& library, const std::string& appDirectory,
                       WriteFailure* failure = nullptr);
bool ReadMacroLibrary(MacroLibrary& library, const std::string& appDirectory);

// The main window's read: on failure the library becomes one empty set
// "Keyboard Macro Set" and that is written to the file at once.
bool LoadMacroLibraryOrDefault(MacroLibrary& library, const std::string& appDirectory);

bool WriteMacroKeyFile(const MacroKey& key, const std::string& path,
                       WriteFailure* failure = nullptr);
bool ReadMacroKeyFile(MacroKey& key, const std::string& path);

}  // namespace lumbra
