// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "model/KeyboardModel.h"
#include "platform/ActiveWindowWatcher.h"
#include "platform/ProcessFacts.h"

namespace lumbra {

// True when the window belongs to the program stored as `path`: by its process's executable
// when that can be read; otherwise by its WM_CLASS or app id, compared case-insensitively with
// the program's file name without extension. A path that no longer exists matches nothing.
bool IsWindowOfProgram(const std::string& path, const ActiveWindow& window,
                       const ProcessFacts& process);

// The program name an app id stands for: without a trailing ".desktop", and of a reverse-DNS
// id only its last component ("org.gnome.Nautilus.desktop" -> "Nautilus").
std::string AppIdName(std::string_view appId);

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

}  // namespace lumbra
