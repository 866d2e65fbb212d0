// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "platform/ActiveWindowWatcher.h"

namespace lumbra {

// One part of the desktop that tells which window is active (a compositor's
// socket, a Wayland protocol, a script or extension of the desktop). Each
// runs on the UI loop, event-driven: nothing is polled. UI thread only.
class FocusWatch {
public:
    using Callback = std::function<void(const ActiveWindow&)>;
    virtual ~FocusWatch() = default;
    // False once the desktop went away or never answered.
    virtual bool IsActive() const = 0;
};

}  // namespace lumbra
