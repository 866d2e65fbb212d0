// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/DeviceWorker.h"

namespace lumbra {

DeviceWorker::DeviceWorker(UiDispatcher& ui) : m_ui(ui) {
    m_thread = std::thread([this] { Run(); });
}

DeviceWorker::~DeviceWorker() { Stop(); }

namespace {

class ClosureJob final : public DeviceJob {
public:
    ClosureJob(DeviceJobKind kind, int steps, uint32_t tag,
               std::function<void(DeviceJobContext&)> run, std::function<void(bool)> complete)
        : DeviceJob(kind, steps, tag), m_run(std::move(run)), m_complete(std::move(complete)) {}
    bool Run(DeviceJobContext& context) override {
        m_run(context);
        m_run = nullptr;  // what the closure holds goes now, not with the completion
        return !Cancelled();
    }
    void Complete(bool done) override {
        if (m_complete) m_complete(done);
    }

private:
    std::function<void(DeviceJobContext&)> m_run;
    std::function<void(bool)> m_complete;
};

}  // namespace

std::shared_ptr<DeviceJob> MakeDeviceJob(DeviceJobKind kind, int steps,
                                         std::function<void(DeviceJobContext&)> run,
                                         std::function<void(bool done)> complete, uint32_t tag) {
    return std::make_shared<ClosureJob>(kind, steps, tag, std::move(run), std::move(complete));
}

void DeviceWorker::Post(DeviceJobKind kind, int steps, Job job, uint32_t tag) {
    Post(MakeDeviceJob(
        kind, steps, [job = std::move(job)](DeviceJobContext&) { job(); }, nullptr, tag));
}

void DeviceWorker::Post(std::shared_ptr<DeviceJob> job) {
    Queue dropped;
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping || (m_readsGivenUp && job->Kind() != DeviceJobKind::kWrite)) {
            dropped.push_back(std::move(job));
        } else {
            if (job->Tag() != 0) {
                for (auto it = m_queue.begin(); it != m_queue.end();) {
                    if ((*it)->Tag() == job->Tag()) {
                        dropped.push_back(std::move(*it));
                        it = m_queue.erase(it);
                    } else {
                        ++it;
                    }
                }
            }
            m_queue.push_back(std::move(job));
            m_signal.notify_all();
        }
    }
    Drop(dropped);
}

void DeviceWorker::Drop(Queue& jobs) {
    for (std::shared_ptr<DeviceJob>& job : jobs) {
        job->Dropped();
        PostCompletion(std::move(job), false);
    }
    jobs.clear();
}

void DeviceWorker::PostCompletion(std::shared_ptr<DeviceJob> job, bool done) {
    m_ui.Post([job = std::move(job), done] { job->Complete(done); });
}

void DeviceWorker::CancelQueued() {
    Queue dropped;
    {
        std::lock_guard lock(m_mutex);
        dropped.swap(m_queue);
        m_signal.notify_all();
    }
    Drop(dropped);
}

void DeviceWorker::Abort() {
    Queue dropped;
    {
        std::lock_guard lock(m_mutex);
        dropped.swap(m_queue);
        if (m_current) m_current->Cancel();
        m_signal.notify_all();
    }
    Drop(dropped);
}

void DeviceWorker::GiveUpReads() {
    Queue dropped;
    {
        std::lock_guard lock(m_mutex);
        m_readsGivenUp = true;
        dropped.swap(m_queue);
        if (m_current && m_current->Kind() != DeviceJobKind::kWrite) m_current->Cancel();
        m_signal.notify_all();
    }
    Drop(dropped);
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
    // Dropped jobs hand their completion to the UI thread; not under the lock.
    Queue dropped;
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping && !m_thread.joinable()) return;
        m_stopping = true;
        dropped.swap(m_queue);
        if (m_current) m_current->Cancel();
        m_signal.notify_all();
        if (m_handover) {
            std::lock_guard handoverLock(m_handover->mutex);
            m_handover->cancelled = true;
            m_handover->signal.notify_all();
        }
    }
    Drop(dropped);
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
        std::shared_ptr<DeviceJob> next;
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
            m_current = next;
        }
        m_progress = DeviceProgress{true, next->Kind(), 0, next->Steps()};
        Report(m_progress);
        const bool done = next->Run(*this) && !next->Cancelled();
        {
            std::lock_guard lock(m_mutex);
            m_current.reset();
        }
        PostCompletion(std::move(next), done);
    }
}

}  // namespace lumbra
