// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/UiDispatcher.h"

namespace lumbra {

void UiDispatcher::Post(Task task) {
    std::function<void()> wake;
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(task));
        wake = m_wake;
    }
    if (wake) wake();
}

void UiDispatcher::SetWakeHandler(std::function<void()> wake) {
    bool pending = false;
    {
        std::lock_guard lock(m_mutex);
        m_wake = std::move(wake);
        pending = !m_queue.empty();
    }
    if (pending && m_wake) m_wake();
}

int UiDispatcher::RunPending() {
    std::deque<Task> batch;
    {
        std::lock_guard lock(m_mutex);
        batch.swap(m_queue);
    }
    for (Task& task : batch) task();
    return static_cast<int>(batch.size());
}

void UiDispatcher::PostAndWait(Task task) {
    std::mutex doneMutex;
    std::condition_variable doneSignal;
    bool done = false;
    Post([&] {
        task();
        std::lock_guard lock(doneMutex);
        done = true;
        doneSignal.notify_all();
    });
    std::unique_lock lock(doneMutex);
    doneSignal.wait(lock, [&] { return done; });
}

UiDispatcher& TheUiDispatcher() {
    static UiDispatcher dispatcher;
    return dispatcher;
}

}  // namespace lumbra
