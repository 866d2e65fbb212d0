// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/FocusWatch.h"

namespace lumbra {

// Reports the desktop's active window each time another window becomes active (a moment
// without any active window is not reported). It listens for changes of the root
// window's _NET_ACTIVE_WINDOW on the display connection the toolkit already has, so it costs
// nothing while nothing changes. Only X11 desktops (also XWayland) whose window manager keeps
// that property have it; elsewhere the watcher does nothing. UI thread only.
class ActiveWindowWatcher final : public FocusWatch {
public:
    explicit ActiveWindowWatcher(Callback callback);
    ~ActiveWindowWatcher();
    ActiveWindowWatcher(const ActiveWindowWatcher&) = delete;
    ActiveWindowWatcher& operator=(const ActiveWindowWatcher&) = delete;

    // False where the desktop has no active-window property: nothing is listened to.
    bool IsActive() const override;

    // True when this desktop tells which window is active.
    static bool DesktopSupported();

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

}  // namespace lumbra
