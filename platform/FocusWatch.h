// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
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

// One part of the desktop that tells which window is active (a compositor's
// socket, a Wayland protocol, a script or extension of the desktop). Each
// runs on the UI loop, event-driven: nothing is polled. UI thread only.
class FocusWatch {
public:
    using Callback = std::function<void(const ActiveWindow&)>;
    virtual ~FocusWatch() = default;
    // False once the desktop went away or never answered.
    virtual bool IsActive() const = 0;
    // The desktop's own part reports over the session bus (FollowReported)
    // rather than through the callback.
    virtual bool ReportsOnBus() const { return false; }
};

}  // namespace lumbra
