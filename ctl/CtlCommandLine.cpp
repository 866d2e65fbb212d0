// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/CtlCommandLine.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace lumbra {

namespace {

struct Subcommand {
    std::string_view name;
    std::string_view synopsis;
    std::string_view options;  // the flags it takes, space-separated
    std::string_view description;
};

constexpr Subcommand kSubcommands[] = {
    {"status", "status [--json]", "--json",
     "Prints whether the keyboard is connected, the current profile, the five\n"
     "profile names, the lighting of the current profile, whether changes are\n"
     "pending and whether an exchange with the keyboard is running. --json\n"
     "prints one JSON object instead.\n"},
    {"profile", "profile [get] | set N", "",
     "get (the default) prints the current profile, 1 to 5. set N switches to\n"
     "profile N: for 1 to 3 the keyboard switches at once; changes not yet\n"
     "applied stay pending. Profiles 4 and 5 live on this computer only.\n"},
    {"lighting", "lighting [get] | set MODE [BRIGHTNESS] [--no-commit]", "--no-commit",
     "get (the default) prints the lighting mode and brightness of the current\n"
     "profile. set changes them and sends them to the keyboard, or with\n"
     "--no-commit leaves them pending for a later apply.\n"
     "MODE: 1 to 7, or Mode1, Mode2, Mode3, Orange, Green, Cyan, White.\n"
     "BRIGHTNESS: Breath, 100%, 60%, 30%, 0% (or 24, 8, 4, 2, 1).\n"},
    {"load", "load FILE.psf [--no-commit]", "--no-commit",
     "Reads a profile file into the current profile and sends it to the\n"
     "keyboard, or with --no-commit leaves it pending. A file that is not a\n"
     "Lumbra profile is refused and nothing changes.\n"},
    {"save", "save FILE.psf", "", "Saves the current profile to a file.\n"},
    {"apply", "apply", "",
     "Sends every pending change to the keyboard, as the window's Apply does.\n"},
    {"show", "show", "", "Shows Lumbra's window.\n"},
    {"hide", "hide", "", "Hides Lumbra's window; Lumbra stays in the notification area.\n"},
    {"quit", "quit", "",
     "Ends Lumbra as the tray's Exit does: the keyboard is told first. Waits\n"
     "until Lumbra has ended.\n"},
    {"follow", "follow [on|off]", "",
     "Without an argument prints whether profiles follow the active program;\n"
     "on or off switches it.\n"},
    {"watch", "watch [--json]", "--json",
     "Prints the state once and then one line per change, until interrupted;\n"
     "also when Lumbra ends or starts. --json prints one JSON object per line.\n"},
};

constexpr std::string_view kUsageHead =
    "Usage: lumbractl COMMAND [ARGUMENTS]\n"
    "Drives the running Lumbra, which the session bus starts when needed.\n"
    "\n"
    "Commands:\n";
constexpr std::string_view kUsageTail =
    "\n"
    "Setters send to the keyboard at once unless --no-commit is given.\n"
    "Exit status: 0 done, 1 the keyboard or Lumbra refused or failed, 2 bad usage,\n"
    "3 Lumbra could not be reached.\n"
    "lumbractl COMMAND --help describes one command.\n";

std::string Usage() {
    std::string text(kUsageHead);
    for (const Subcommand& sub : kSubcommands)
        text += "  lumbractl " + std::string(sub.synopsis) + "\n";
    return text + std::string(kUsageTail);
}

std::string HelpOf(const Subcommand& sub) {
    return "Usage: lumbractl " + std::string(sub.synopsis) + "\n" + std::string(sub.description);
}

const Subcommand* Find(std::string_view name) {
    for (const Subcommand& sub : kSubcommands) {
        if (sub.name == name) return &sub;
    }
    return nullptr;
}

bool Takes(const Subcommand& sub, std::string_view flag) {
    std::string_view rest = sub.options;
    while (!rest.empty()) {
        const size_t end = std::min(rest.find(' '), rest.size());
        if (rest.substr(0, end) == flag) return true;
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return false;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// A whole decimal number, or nullopt.
std::optional<int> Number(std::string_view text) {
    if (text.empty() || text.size() > 3) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<int> Lookup(std::span<const CtlNamedValue> table, std::string_view text) {
    const auto number = Number(text);
    for (const CtlNamedValue& entry : table) {
        if (number ? *number == entry.value : EqualsIgnoringCase(text, entry.name)) {
            return entry.value;
        }
    }
    return std::nullopt;
}

std::optional<CtlRequest> Fail(std::string* error, const std::string& message,
                               std::string_view command) {
    *error = message + " (see lumbractl " +
             (command.empty() ? std::string("--help") : std::string(command) + " --help") + ")";
    return std::nullopt;
}

}  // namespace

std::string_view CtlNameOf(std::span<const CtlNamedValue> table, int value) {
    for (const CtlNamedValue& entry : table) {
        if (entry.value == value) return entry.name;
    }
    return {};
}

std::optional<CtlRequest> ParseCtlCommandLine(const std::vector<std::string>& args,
                                              const std::string& workingDirectory,
                                              std::string* error) {
    CtlRequest request;
    if (args.empty()) return Fail(error, "no command given", {});
    const std::string& name = args[0];
    if (name == "--help" || name == "-h" || name == "help") {
        const Subcommand* sub = args.size() > 1 ? Find(args[1]) : nullptr;
        if (args.size() > 1 && sub == nullptr) {
            return Fail(error, "unknown command \"" + args[1] + "\"", {});
        }
        request.helpText = sub != nullptr ? HelpOf(*sub) : Usage();
        return request;
    }
    if (name == "--version") {
        request.command = CtlCommand::kVersion;
        return request;
    }
    const Subcommand* sub = Find(name);
    if (sub == nullptr) return Fail(error, "unknown command \"" + name + "\"", {});

    std::vector<std::string_view> words;
    bool optionsEnded = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            words.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            request.helpText = HelpOf(*sub);
            return request;
        } else if (!Takes(*sub, arg)) {
            return Fail(error, name + " takes no option " + arg, name);
        } else if (arg == "--json") {
            request.json = true;
        } else {
            request.commit = false;
        }
    }

    const auto want = [&](size_t count) { return words.size() == count; };
    const auto extra = [&](size_t from) {
        return Fail(error, "unexpected argument \"" + std::string(words[from]) + "\"", name);
    };
    const std::string_view verb = words.empty() ? std::string_view() : words[0];

    if (name == "status" || name == "watch") {
        if (!want(0)) return extra(0);
        request.command = name == "status" ? CtlCommand::kStatus : CtlCommand::kWatch;
    } else if (name == "profile") {
        if (verb.empty() || verb == "get") {
            if (words.size() > 1) return extra(1);
            request.command = CtlCommand::kProfileGet;
        } else if (verb == "set") {
            if (words.size() < 2) return Fail(error, "profile set needs a profile, 1 to 5", name);
            if (words.size() > 2) return extra(2);
            const auto profile = Number(words[1]);
            if (!profile || *profile < 1 || *profile > 5) {
                return Fail(error,
                            "no profile \"" + std::string(words[1]) + "\": profiles are 1 to 5",
                            name);
            }
            request.command = CtlCommand::kProfileSet;
            request.profile = *profile;
        } else {
            return extra(0);
        }
    } else if (name == "lighting") {
        if (verb.empty() || verb == "get") {
            if (words.size() > 1) return extra(1);
            request.command = CtlCommand::kLightingGet;
        } else if (verb == "set") {
            if (words.size() < 2) return Fail(error, "lighting set needs a MODE", name);
            if (words.size() > 3) return extra(3);
            const auto mode = Lookup(kCtlModes, words[1]);
            if (!mode)
                return Fail(error, "no lighting mode \"" + std::string(words[1]) + "\"", name);
            request.command = CtlCommand::kLightingSet;
            request.mode = *mode;
            if (words.size() == 3) {
                const auto brightness = Lookup(kCtlBrightnesses, words[2]);
                if (!brightness) {
                    return Fail(error, "no brightness \"" + std::string(words[2]) + "\"", name);
                }
                request.brightness = *brightness;
            }
        } else {
            return extra(0);
        }
    } else if (name == "load" || name == "save") {
        if (words.empty()) return Fail(error, name + " needs a FILE", name);
        if (words.size() > 1) return extra(1);
        request.command = name == "load" ? CtlCommand::kLoad : CtlCommand::kSave;
        const std::filesystem::path path(words[0]);
        request.path = path.is_absolute()
                           ? path.string()
                           : (std::filesystem::path(workingDirectory) / path).string();
    } else if (name == "follow") {
        if (words.size() > 1) return extra(1);
        if (verb.empty()) {
            request.command = CtlCommand::kFollowGet;
        } else if (verb == "on" || verb == "off") {
            request.command = CtlCommand::kFollowSet;
            request.follow = verb == "on";
        } else {
            return Fail(error, "follow takes on or off, not \"" + std::string(verb) + "\"", name);
        }
    } else {
        if (!want(0)) return extra(0);
        request.command = name == "apply"  ? CtlCommand::kApply
                          : name == "show" ? CtlCommand::kShow
                          : name == "hide" ? CtlCommand::kHide
                                           : CtlCommand::kQuit;
    }
    return request;
}

}  // namespace lumbra
