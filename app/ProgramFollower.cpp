// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramFollower.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "storage/SettingsFile.h"
#include "storage/TextFile.h"

namespace lumbra {
namespace {

namespace fs = std::filesystem;

constexpr size_t kCommandWords = 2;
// Enough for an interpreter and a script path; the rest of the command line is never read.
constexpr std::streamsize kCommandLineLimit = 8192;

std::optional<std::string> Resolved(const fs::path& path) {
    std::error_code error;
    fs::path real = fs::canonical(path, error);
    if (error) return std::nullopt;
    return real.string();
}

// A word of a command line as an absolute path; a bare name (looked up in PATH by whoever ran
// it) stays as it is and so equals no stored path.
std::string WordAsPath(const std::string& word, const fs::path& processDir) {
    if (word.find('/') == std::string::npos) return word;
    const fs::path path = word.front() == '/' ? fs::path(word) : processDir / "cwd" / word;
    return Resolved(path).value_or(word);
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    return !a.empty() && Lower(a) == Lower(b);
}

}  // namespace

ProcessFacts ReadProcessFacts(std::optional<int> pid, const std::string& procRoot) {
    ProcessFacts facts;
    if (!pid || *pid <= 0) return facts;
    const fs::path dir = fs::path(procRoot) / std::to_string(*pid);
    facts.executable = Resolved(dir / "exe");
    std::ifstream in(dir / "cmdline", std::ios::binary);
    std::string text(static_cast<size_t>(kCommandLineLimit), '\0');
    in.read(text.data(), kCommandLineLimit);
    text.resize(static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    size_t start = 0;
    while (start < text.size() && facts.firstWords.size() < kCommandWords) {
        size_t end = text.find('\0', start);
        if (end == std::string::npos) end = text.size();
        if (end > start)
            facts.firstWords.push_back(WordAsPath(text.substr(start, end - start), dir));
        start = end + 1;
    }
    return facts;
}

bool IsWindowOfProgram(const std::string& path, const ActiveWindow& window,
                       const ProcessFacts& process) {
    if (path.empty()) return false;
    const std::optional<std::string> program = Resolved(path);
    if (!program) return false;
    if (process.executable && *process.executable == *program) return true;
    if (std::find(process.firstWords.begin(), process.firstWords.end(), *program) !=
        process.firstWords.end())
        return true;
    // Without a readable process only the window's class can tell.
    if (process.executable) return false;
    const std::string name = fs::path(path).stem().string();
    return SameNameIgnoringCase(window.instance, name) ||
           SameNameIgnoringCase(window.className, name);
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

void ToggleFollowPrograms(KeyboardModel& model, const std::string& appDirectory) {
    const bool follow = !FollowsPrograms(model);
    const bool byDefault = AnyProgramListed(ProgramsOf(model));
    if (follow == byDefault)
        model.settings.SetFollowPrograms(std::nullopt);
    else
        model.settings.SetFollowPrograms(follow);
    WriteFailure failure;
    if (!WriteFollowPrograms(model.settings.FollowPrograms(), appDirectory, &failure))
        std::fprintf(stderr, "lumbra: %s\n", failure.Text().c_str());
}

bool UpdateSettingsFile(const std::string& appDirectory, const SettingsStore& fallback,
                        const std::function<void(SettingsStore&)>& change) {
    SettingsStore store = fallback;
    const auto text = ReadWholeFile(SettingsFilePath(appDirectory));
    SettingsStore onDisk = fallback;
    if (text && ParseSettings(*text, onDisk)) store = onDisk;
    // The switch the window holds is the one its own file holds.
    store.SetFollowPrograms(fallback.FollowPrograms());
    change(store);
    return WriteSettingsFile(store, appDirectory);
}

}  // namespace lumbra
