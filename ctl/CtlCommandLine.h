// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra {

enum class CtlCommand {
    kHelp,
    kVersion,
    kStatus,
    kProfileGet,
    kProfileSet,
    kLightingGet,
    kLightingSet,
    kLoad,
    kSave,
    kApply,
    kShow,
    kHide,
    kQuit,
    kFollowGet,
    kFollowSet,
    kWatch,
};

// What lumbractl was asked to do, checked as far as it can be without Lumbra.
struct CtlRequest {
    CtlCommand command = CtlCommand::kHelp;
    std::string helpText;  // kHelp: the text to print
    bool json = false;
    bool commit = true;  // setters send to the keyboard at once unless --no-commit
    int profile = 0;     // 1..5
    int mode = 0;        // 1..7
    int brightness = 0;  // 24, 8, 4, 2 or 1; 0 leaves it as it is
    std::string path;    // absolute
    bool follow = false;
};

// Reads the arguments after the program's name; a relative FILE is made
// absolute against `workingDirectory`, since Lumbra runs elsewhere. Bad usage
// gives nullopt and one line in *error.
std::optional<CtlRequest> ParseCtlCommandLine(const std::vector<std::string>& args,
                                              const std::string& workingDirectory,
                                              std::string* error);

// The lighting modes and brightness levels as Lumbra numbers and names them.
struct CtlNamedValue {
    int value;
    std::string_view name;
};
inline constexpr CtlNamedValue kCtlModes[] = {
    {1, "Mode1"}, {2, "Mode2"}, {3, "Mode3"}, {4, "Orange"},
    {5, "Green"}, {6, "Cyan"},  {7, "White"},
};
inline constexpr CtlNamedValue kCtlBrightnesses[] = {
    {24, "Breath"}, {8, "100%"}, {4, "60%"}, {2, "30%"}, {1, "0%"},
};

// The name of a value of one of the tables above, or empty.
std::string_view CtlNameOf(std::span<const CtlNamedValue> table, int value);

}  // namespace lumbra
