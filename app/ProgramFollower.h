// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/KeyboardModel.h"
#include "platform/ActiveWindowWatcher.h"

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

// True when the window belongs to the program stored as `path`. A path that no longer exists
// matches nothing.
bool IsWindowOfProgram(const std::string& path, const ActiveWindow& window,
                       const ProcessFacts& process);

using AllProfilePrograms = std::array<ProfilePrograms, kProfileSlotCount>;

// True when any profile lists a program (the default of following them).
bool AnyProgramListed(const AllProfilePrograms& programs);

// Which profile the active window asks for. The base is the profile the user chose; a window
// of a program listed in a profile asks for that profile instead, the lowest one when several
// list it, and every other window gives the base back, except this program's own windows,
// which leave the profile as it is.
class ProgramFollower {
public:
    void SetBase(int profile) { m_base = profile; }
    // Until the user chooses one, the profile current at the first window change is the base.
    std::optional<int> Base() const { return m_base; }

    // The profile to switch to, or nothing when `current` already is that profile.
    std::optional<int> Decide(const AllProfilePrograms& programs, const ActiveWindow& window,
                              const ProcessFacts& process, int current);

private:
    std::optional<int> m_base;
};

AllProfilePrograms ProgramsOf(const KeyboardModel& model);
// On by default when any profile lists a program, otherwise as the user chose.
bool FollowsPrograms(const KeyboardModel& model);
// Turns following over and writes the choice to Lumbra's own settings file, which keeps it only
// while it differs from the default; a failed write is said on standard error.
void ToggleFollowPrograms(KeyboardModel& model, const std::string& appDirectory);

// Rewrites the settings file as it stands on disk with one change, so that nothing else the
// window holds (a profile tab not yet applied) is written with it. Where the file cannot be
// read the fallback is changed and written instead.
bool UpdateSettingsFile(const std::string& appDirectory, const SettingsStore& fallback,
                        const std::function<void(SettingsStore&)>& change);

}  // namespace lumbra
