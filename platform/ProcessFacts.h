// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumbra {

// What the system tells of the process behind a window.
struct ProcessFacts {
    // The process's executable with every symlink resolved; nothing when the window has no
    // process or the process may not be read.
    std::optional<std::string> executable;
    // The first two words of its command line, as absolute paths where they name a file: an
    // interpreter and its script, or a wrapper and what it was asked to run.
    std::vector<std::string> firstWords;
};

// Reads /proc/PID (under procRoot, which tests replace).
ProcessFacts ReadProcessFacts(std::optional<int> pid, const std::string& procRoot = "/proc");

// The path with every symlink resolved; nothing when it does not exist.
std::optional<std::string> ResolvedPath(const std::string& path);

}  // namespace lumbra
