// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace lumbra {

// What the desktop tells of its active window, whichever part of the desktop
// tells it: the process that owns it when known (_NET_WM_PID, a compositor's
// pid), the two words of its WM_CLASS for an X11 window, the app id of a native
// Wayland window (or the one a compositor gives an X11 window), whether it is
// one of this program's own windows, and whether it is an X11 window or a
// native one.
struct ActiveWindow {
    enum class Kind { kX11, kNative };
    std::optional<int> pid;
    std::string instance;
    std::string className;
    bool own = false;
    std::string appId = {};
    Kind kind = Kind::kX11;
};

// Reports the desktop's active window each time another window becomes active (a moment
// without any active window is not reported). It listens for changes of the root
// window's _NET_ACTIVE_WINDOW on the display connection the toolkit already has, so it costs
// nothing while nothing changes. Only X11 desktops (also XWayland) whose window manager keeps
// that property have it; elsewhere the watcher does nothing. UI thread only.
class ActiveWindowWatcher {
public:
    using Callback = std::function<void(const ActiveWindow&)>;

    explicit ActiveWindowWatcher(Callback callback);
    ~ActiveWindowWatcher();
    ActiveWindowWatcher(const ActiveWindowWatcher&) = delete;
    ActiveWindowWatcher& operator=(const ActiveWindowWatcher&) = delete;

    // False where the desktop has no active-window property: nothing is listened to.
    bool IsActive() const;

    // True when this desktop tells which window is active.
    static bool DesktopSupported();

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

}  // namespace lumbra
