// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/DeviceWorker.h"

namespace lumbra {

DeviceWorker::DeviceWorker(UiDispatcher& ui) : m_ui(ui) {
    m_thread = std::thread([this] { Run(); });
}

DeviceWorker::~DeviceWorker() { Stop(); }

void DeviceWorker::Post(DeviceJobKind kind, int steps, Job job, uint32_t tag) {
    std::deque<Queued> replaced;  // destroyed after the lock is let go
    std::lock_guard lock(m_mutex);
    if (m_stopping) return;
    if (tag != 0) {
        for (auto it = m_queue.begin(); it != m_queue.end();) {
            if (it->tag == tag) {
                replaced.push_back(std::move(*it));
                it = m_queue.erase(it);
            } else {
                ++it;
            }
        }
    }
    m_queue.push_back({kind, steps, std::move(job), tag});
    m_signal.notify_all();
}

void DeviceWorker::CancelQueued() {
    std::deque<Queued> dropped;
    std::lock_guard lock(m_mutex);
    dropped.swap(m_queue);
    m_signal.notify_all();
}

void DeviceWorker::Abort() {
    std::deque<Queued> dropped;
    std::lock_guard lock(m_mutex);
    dropped.swap(m_queue);
    if (m_running) m_abort = true;
    m_signal.notify_all();
}

void DeviceWorker::AbortReads() {
    std::deque<Queued> dropped;
    std::lock_guard lock(m_mutex);
    dropped.swap(m_queue);
    if (m_running && m_runningKind != DeviceJobKind::kWrite) m_abort = true;
    m_signal.notify_all();
}

bool DeviceWorker::Busy() {
    std::lock_guard lock(m_mutex);
    return m_running || !m_queue.empty();
}

bool DeviceWorker::RunToIdle(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        m_ui.RunPending();
        {
            std::unique_lock lock(m_mutex);
            if (!m_running && m_queue.empty() && !m_reportingIdle) break;
            if (std::chrono::steady_clock::now() >= deadline) return false;
            // Woken by a job's end or a hand-over to the UI thread.
            m_signal.wait_for(lock, std::chrono::milliseconds(1));
        }
    }
    // What the last job handed over without waiting.
    m_ui.RunPending();
    return true;
}

void DeviceWorker::Stop() {
    // Dropped jobs may hand work to the UI thread as they go; not under the lock.
    std::deque<Queued> dropped;
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping && !m_thread.joinable()) return;
        m_stopping = true;
        dropped.swap(m_queue);
        if (m_running) m_abort = true;
        m_signal.notify_all();
        if (m_handover) {
            std::lock_guard handoverLock(m_handover->mutex);
            m_handover->cancelled = true;
            m_handover->signal.notify_all();
        }
    }
    if (m_thread.joinable() && !OnWorkerThread()) m_thread.join();
}

bool DeviceWorker::OnUi(std::function<void()> task) {
    auto handover = std::make_shared<Handover>();
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping) return false;
        m_handover = handover;
    }
    // The task may come to run after the worker stopped waiting for it; it
    // then touches nothing, since what it refers to may be gone. Stop runs
    // on the UI thread too, so the two never overlap.
    m_ui.Post([handover, task = std::move(task)] {
        {
            std::lock_guard lock(handover->mutex);
            if (handover->cancelled) return;
        }
        task();
        std::lock_guard lock(handover->mutex);
        handover->done = true;
        handover->signal.notify_all();
    });
    {
        // Whoever runs the worker to idle runs the hand-over at once.
        std::lock_guard lock(m_mutex);
        m_signal.notify_all();
    }
    bool done = false;
    {
        std::unique_lock lock(handover->mutex);
        handover->signal.wait(lock, [&] { return handover->done || handover->cancelled; });
        done = handover->done;
    }
    std::lock_guard lock(m_mutex);
    m_handover.reset();
    return done;
}

void DeviceWorker::Step(int more) {
    m_progress.total += more;
    ++m_progress.done;
    Report(m_progress);
}

void DeviceWorker::SetProgressSink(std::function<void(const DeviceProgress&)> sink) {
    std::lock_guard lock(m_box->mutex);
    m_box->sink = std::move(sink);
}

void DeviceWorker::Report(const DeviceProgress& progress) {
    {
        std::lock_guard lock(m_box->mutex);
        m_box->latest = progress;
        if (m_box->posted || !m_box->sink) return;
        m_box->posted = true;
    }
    m_ui.Post([box = m_box] {
        std::function<void(const DeviceProgress&)> sink;
        DeviceProgress latest;
        {
            std::lock_guard lock(box->mutex);
            box->posted = false;
            latest = box->latest;
            sink = box->sink;
        }
        if (sink) sink(latest);
    });
}

void DeviceWorker::Run() {
    for (;;) {
        Queued next;
        {
            std::unique_lock lock(m_mutex);
            if (m_queue.empty() && m_running) {
                // Idle before the report says so, so that the UI thread finds
                // the worker idle when the report arrives; whoever runs the
                // worker to idle waits until the report is posted.
                m_running = false;
                m_reportingIdle = true;
                lock.unlock();
                Report(DeviceProgress{});
                lock.lock();
                m_reportingIdle = false;
                m_signal.notify_all();
            }
            m_signal.wait(lock, [&] { return m_stopping || !m_queue.empty(); });
            if (m_stopping) {
                m_running = false;
                m_signal.notify_all();
                return;
            }
            next = std::move(m_queue.front());
            m_queue.pop_front();
            m_running = true;
            m_runningKind = next.kind;
            m_abort = false;
        }
        m_progress = DeviceProgress{true, next.kind, 0, next.steps};
        Report(m_progress);
        next.job();
        next.job = nullptr;  // what the job holds goes now, not with the next one
    }
}

}  // namespace lumbra
