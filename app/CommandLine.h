// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra {

// What the command line asks for:
//   lumbra [--simulate[=STATE_FILE]] [--sim-trace FILE] [--sim-control FIFO]
//          [--config-dir DIR] [--hidden] [--help] [--version]
struct CommandLine {
    bool help = false;
    bool version = false;
    // Start in the notification area (or minimised without one), as a
    // session's autostart does.
    bool hidden = false;
    std::optional<std::string> configDir;
    bool simulate = false;
    std::optional<std::string> simStateFile;
    std::optional<std::string> simTrace;
    std::optional<std::string> simControl;
};

extern const std::string_view kUsage;

// Nothing, with a reason, for an unknown option or one that lacks its value.
// Options with a value take it as the next argument or after '='.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments,
                                            std::string* error);

}  // namespace lumbra
