// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumbra {

// The simulator's command-line options:
//   --simulate[=STATE_FILE]   the simulator instead of the machine's HID
//   --sim-trace FILE          append a trace of every exchange
//   --sim-control FIFO        read commands from a named pipe
struct SimOptions {
    bool simulate = false;
    std::string stateFile;  // the default under config/ when none was given
    std::optional<std::string> traceFile;
    std::optional<std::string> controlFifo;
};

// Where the simulated keyboard keeps its state unless told otherwise.
std::string DefaultSimStateFile(const std::string& appDirectory);

// Picks the simulator's options out of the arguments (program name first),
// leaving every other argument alone. Nothing, with a reason, when an option
// lacks its value.
std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& arguments,
                                          const std::string& appDirectory,
                                          std::string* error = nullptr);

}  // namespace lumbra
