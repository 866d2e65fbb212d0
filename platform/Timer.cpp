// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Timer.h"

#include <QTimer>

namespace lumbra {

struct Timer::Impl {
    QTimer timer;
    std::function<void()> callback;
};

Timer::Timer() : m_impl(std::make_unique<Impl>()) {
    QObject::connect(&m_impl->timer, &QTimer::timeout, [impl = m_impl.get()] {
        // The callback may stop or restart this timer; keep a copy to call.
        auto cb = impl->callback;
        if (cb) cb();
    });
}

Timer::~Timer() { m_impl->timer.stop(); }

void Timer::Start(int milliseconds, std::function<void()> callback, bool repeat) {
    m_impl->callback = std::move(callback);
    m_impl->timer.setSingleShot(!repeat);
    m_impl->timer.start(std::max(milliseconds, 0));
}

void Timer::Stop() { m_impl->timer.stop(); }
bool Timer::IsActive() const { return m_impl->timer.isActive(); }

}  // namespace lumbra
