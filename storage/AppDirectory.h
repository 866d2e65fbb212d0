// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace lumbra {

// Where Lumbra keeps its config/ folder, always ending with '/'.
struct AppDirectoryInputs {
    std::optional<std::string> configDirOption;  // --config-dir DIR
    std::optional<std::string> lumbraHome;       // LUMBRA_HOME
    std::string programDirectory;                // folder of the program file
    std::optional<std::string> xdgConfigHome;    // XDG_CONFIG_HOME
    std::optional<std::string> home;             // HOME
};

// The option wins over the environment; without either, the program's own
// folder when it is writable (a build tree, an unpacked copy), else the
// user's configuration folder ($XDG_CONFIG_HOME/lumbra/, or ~/.config/lumbra/).
std::string ResolveAppDirectory(const AppDirectoryInputs& inputs);

// The user's configuration folder with a trailing '/': XDG_CONFIG_HOME, else
// HOME's .config. A value that is not an absolute path is invalid and ignored,
// as the base-directory rules say; nothing when neither gives a folder.
std::optional<std::string> UserConfigFolder(const std::optional<std::string>& xdgConfigHome,
                                            const std::optional<std::string>& home);

// The folder of the running program file, with a trailing '/'.
std::string ProgramDirectory();

// Inputs from the process environment and the program's location.
AppDirectoryInputs AppDirectoryInputsFromEnvironment(std::optional<std::string> configDirOption);

}  // namespace lumbra
