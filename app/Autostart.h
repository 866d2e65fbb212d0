// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumbra {

// The user's XDG autostart entry that starts Lumbra with the session, in the
// notification area. Free of the toolkit.
struct AutostartInputs {
    std::optional<std::string> xdgConfigHome;  // XDG_CONFIG_HOME
    std::optional<std::string> home;           // HOME
    std::optional<std::string> path;           // PATH
    std::string programPath;                   // the running program file
};

struct AutostartEntry {
    std::string file;     // .../autostart/lumbra.desktop; empty when no folder is known
    std::string exec;     // the entry's Exec value as written in it; empty when refused
    std::string refusal;  // why no entry can start this program, for the user; or empty
};

constexpr std::string_view kControlCharacterRefusal =
    "Lumbra cannot start at login from where it is: the path of the program holds a line break "
    "or another control character. Move it to another folder first.";

// $XDG_CONFIG_HOME/autostart/lumbra.desktop (a relative XDG_CONFIG_HOME does
// not count), else ~/.config/autostart/lumbra.desktop. The entry runs
// "lumbra --hidden" when the first lumbra on PATH is the running program, and
// the running program by its absolute path otherwise (a build tree, an
// unpacked copy), so that login starts the same program the user chose. A
// path with a control character cannot be written into the entry and is
// refused.
AutostartEntry ResolveAutostartEntry(const AutostartInputs& inputs);

// Inputs from the process environment and /proc/self/exe.
AutostartInputs AutostartInputsFromEnvironment();

// The desktop entry's text for an Exec value.
std::string AutostartEntryText(const std::string& exec);

// Whether the entry file exists (whatever it says: a user who edits it keeps it).
bool IsAutostartEnabled(const AutostartEntry& entry);

// Writes the entry atomically (creating the autostart folder) or removes it.
// False when the file could not be written or removed, or the entry was
// refused.
bool SetAutostartEnabled(const AutostartEntry& entry, bool enabled);

}  // namespace lumbra
