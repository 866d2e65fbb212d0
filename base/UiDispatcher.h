// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace lumbra {

// The hand-over from worker threads to the UI thread. A worker posts a
// closure; the UI thread runs the queued closures in order when it is woken.
// The wake handler is set once by the platform layer (a queued call into the
// UI event loop); until then posted work simply waits in the queue.
class UiDispatcher {
public:
    using Task = std::function<void()>;

    // Any thread.
    void Post(Task task);
    // Any thread; the handler is called on the posting thread and must only
    // schedule RunPending on the UI thread.
    void SetWakeHandler(std::function<void()> wake);

    // UI thread: runs everything queued so far, in posting order. Returns the
    // number of tasks run.
    int RunPending();

    // Any thread but the UI thread: posts a task and waits until the UI thread
    // has run it. Used by tests and by workers that need an answer.
    void PostAndWait(Task task);

private:
    std::mutex m_mutex;
    std::deque<Task> m_queue;
    std::function<void()> m_wake;
};

// The process-wide dispatcher to the UI thread.
UiDispatcher& TheUiDispatcher();

}  // namespace lumbra
