// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/SimOptions.h"

namespace lumbra {

std::string DefaultSimStateFile(const std::string& appDirectory) {
    return appDirectory + "config/SimulatedKeyboard.state";
}

std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& arguments,
                                          const std::string& appDirectory, std::string* error) {
    SimOptions options;
    options.stateFile = DefaultSimStateFile(appDirectory);
    const std::string simulateWithFile = "--simulate=";
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--simulate") {
            options.simulate = true;
        } else if (a.starts_with(simulateWithFile)) {
            options.simulate = true;
            if (a.size() > simulateWithFile.size())
                options.stateFile = a.substr(simulateWithFile.size());
        } else if (a == "--sim-trace" || a == "--sim-control") {
            if (i + 1 >= arguments.size()) {
                if (error) *error = a + " needs a file name";
                return std::nullopt;
            }
            (a == "--sim-trace" ? options.traceFile : options.controlFifo) = arguments[++i];
        }
    }
    return options;
}

}  // namespace lumbra
