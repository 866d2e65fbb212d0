// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

namespace lumbra {

// Turns SIGTERM and SIGINT into a call on the UI thread. The signal handler
// only writes a byte to a pipe that the event loop watches, so the callback
// runs between two events like any other. One per process.
class SignalWatcher {
public:
    explicit SignalWatcher(std::function<void(int signal)> callback);
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

    // False when the pipe or the handlers could not be installed.
    bool IsActive() const;

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

}  // namespace lumbra
