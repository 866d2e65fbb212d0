// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <algorithm>
#include <iterator>

namespace lumbra {

const std::string_view kUsage =
    "Usage: lumbra [--simulate[=STATE_FILE]] [--sim-trace FILE] [--sim-control FIFO]\n"
    "              [--config-dir DIR] [--hidden] [--help] [--version]\n"
    "  --simulate[=STATE_FILE]  use the built-in simulated keyboard instead of the real one;\n"
    "                           its state is kept in STATE_FILE (default:\n"
    "                           config/SimulatedKeyboard.state)\n"
    "  --sim-trace FILE         append every exchange with the simulated keyboard to FILE\n"
    "  --sim-control FIFO       read simulator commands (plug, unplug, event, fail) from the\n"
    "                           named pipe FIFO\n"
    "  --config-dir DIR         keep the config/ folder in DIR (also LUMBRA_HOME)\n"
    "  --hidden                 start in the notification area without showing the window\n"
    "                           (minimised when the desktop has no notification area)\n"
    "  --help                   show this text and exit\n"
    "  --version                show the version and exit\n";

std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments,
                                            std::string* error) {
    CommandLine line;
    auto fail = [&](std::string reason) -> std::optional<CommandLine> {
        if (error) *error = std::move(reason);
        return std::nullopt;
    };
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        struct Flag {
            std::string_view name;
            bool* target;
        };
        const Flag flags[] = {{"--help", &line.help},
                              {"--version", &line.version},
                              {"--hidden", &line.hidden},
                              {"--simulate", &line.simulate}};
        const auto flag = std::find_if(std::begin(flags), std::end(flags),
                                       [&](const Flag& f) { return a == f.name; });
        if (flag != std::end(flags)) {
            *flag->target = true;
            continue;
        }
        if (a.starts_with("--simulate=")) {
            line.simulate = true;
            const std::string file = a.substr(11);
            if (file.empty()) return fail("--simulate= needs a file name");
            line.simStateFile = file;
            continue;
        }
        struct Valued {
            std::string_view name;
            std::optional<std::string>* target;
        };
        const Valued valued[] = {{"--sim-trace", &line.simTrace},
                                 {"--sim-control", &line.simControl},
                                 {"--config-dir", &line.configDir}};
        bool matched = false;
        for (const Valued& v : valued) {
            if (a == v.name) {
                if (i + 1 >= arguments.size()) return fail(a + " needs a value");
                *v.target = arguments[++i];
                matched = true;
            } else if (a.starts_with(std::string(v.name) + "=")) {
                *v.target = a.substr(v.name.size() + 1);
                if (v.target->value().empty()) return fail(std::string(v.name) + " needs a value");
                matched = true;
            }
            if (matched) break;
        }
        if (!matched) return fail("unknown option '" + a + "'");
    }
    if ((line.simTrace || line.simControl) && !line.simulate)
        return fail("--sim-trace and --sim-control need --simulate");
    return line;
}

}  // namespace lumbra
