// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/ProgramFollower.h"
#include "platform/ActiveWindowWatcher.h"
#include "platform/DesktopFocus.h"
#include "platform/PopupMenu.h"

namespace lumbra {

class KeyboardModel;

// Profiles that follow programs: watches the desktop's active window and asks
// for the profile the follower's rule gives, and offers the "Follow programs"
// switch where the desktop tells which window is active.
class ProgramFollowing {
public:
    // current: the profile the window shows; switchTo: called with the profile
    // an active window asks for.
    ProgramFollowing(KeyboardModel& model, std::string appDirectory, std::function<int()> current,
                     std::function<void(int profile)> switchTo);
    ~ProgramFollowing();

    // Starts watching the active window.
    void StartWatching();
    // Ends watching; nothing is followed any more.
    void Stop();

    // The desktop's active window changed: a window of a program listed in a
    // profile selects that profile, any other window the profile the user chose.
    void Follow(const ActiveWindow& window);
    // A window reported over the session bus by a desktop's own part (a KWin
    // script, a GNOME Shell extension): followed like one the watcher saw.
    void FollowReported(const ActiveWindow& window) {
        if (m_watcher && m_watcher->ReportsOnBus()) Follow(window);
    }
    // The profile the user chose, to return to after a program's.
    void SetBase(int profile) { m_follower.SetBase(profile); }

    // The context menu's "Follow programs" item with its check; nothing where
    // the desktop does not tell which window is active.
    std::optional<MenuItem> FollowMenuItem(int command) const;
    // What following sees on this desktop, with the part that tells it.
    FollowCoverage Coverage() const;
    // Turns following over and writes the choice to Lumbra's own settings
    // file; a failed write is said on standard error.
    void Toggle();

private:
    KeyboardModel& m_model;
    std::string m_appDirectory;
    std::function<int()> m_current;
    std::function<void(int)> m_switchTo;
    ProgramFollower m_follower;
    bool m_stopped = false;
    std::unique_ptr<FocusWatch> m_watcher;
};

}  // namespace lumbra
