// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

namespace lumbra {

// A UI-thread timer: calls its callback after the interval, once or repeatedly.
// Destroying it stops it.
class Timer {
public:
    Timer();
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void Start(int milliseconds, std::function<void()> callback, bool repeat = false);
    void Stop();
    bool IsActive() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace lumbra
