// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramFollower.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace lumbra {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    return !a.empty() && Lower(a) == Lower(b);
}

}  // namespace

bool IsWindowOfProgram(const std::string& path, const ActiveWindow& window,
                       const ProcessFacts& process) {
    if (path.empty()) return false;
    const std::optional<std::string> program = ResolvedPath(path);
    if (!program) return false;
    if (process.executable && *process.executable == *program) return true;
    if (std::find(process.firstWords.begin(), process.firstWords.end(), *program) !=
        process.firstWords.end())
        return true;
    // Without a readable process only the window's class can tell.
    if (process.executable) return false;
    const std::string name = std::filesystem::path(path).stem().string();
    return SameNameIgnoringCase(window.instance, name) ||
           SameNameIgnoringCase(window.className, name) ||
           SameNameIgnoringCase(AppIdName(window.appId), name);
}

std::string AppIdName(std::string_view appId) {
    constexpr std::string_view kDesktop = ".desktop";
    if (appId.size() > kDesktop.size() &&
        SameNameIgnoringCase(std::string(appId.substr(appId.size() - kDesktop.size())),
                             std::string(kDesktop)))
        appId.remove_suffix(kDesktop.size());
    // A reverse-DNS id (org.gnome.Nautilus) names the program last.
    if (const auto dot = appId.rfind('.'); dot != std::string_view::npos)
        appId.remove_prefix(dot + 1);
    return std::string(appId);
}

bool AnyProgramListed(const AllProfilePrograms& programs) {
    return std::any_of(programs.begin(), programs.end(), [](const ProfilePrograms& p) {
        return std::any_of(p.paths.begin(), p.paths.end(),
                           [](const std::string& path) { return !path.empty(); });
    });
}

std::optional<int> ProgramFollower::Decide(const AllProfilePrograms& programs,
                                           const ActiveWindow& window, const ProcessFacts& process,
                                           int current) {
    // The user is at work in this program's own windows (a profile tab clicked, a dialog):
    // they change nothing.
    if (window.own) return std::nullopt;
    if (!m_base) m_base = current;
    const auto listed = std::find_if(programs.begin(), programs.end(), [&](const auto& p) {
        return std::any_of(p.paths.begin(), p.paths.end(), [&](const std::string& path) {
            return IsWindowOfProgram(path, window, process);
        });
    });
    const int profile =
        listed == programs.end() ? *m_base : static_cast<int>(listed - programs.begin());
    if (profile == current) return std::nullopt;
    return profile;
}

AllProfilePrograms ProgramsOf(const KeyboardModel& model) {
    AllProfilePrograms all;
    for (int slot = 0; slot < kProfileSlotCount; ++slot)
        all[static_cast<size_t>(slot)] = model.Profile(slot).programs;
    return all;
}

bool FollowsPrograms(const KeyboardModel& model) {
    return model.settings.FollowPrograms().value_or(AnyProgramListed(ProgramsOf(model)));
}

}  // namespace lumbra
