// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "base/UiDispatcher.h"
#include "device/DeviceJob.h"

namespace lumbra {

// The one thread that exchanges reports with the keyboard: a queue of jobs
// run in order, each completed on the UI thread once it has run or left the
// queue. The UI thread never waits on the keyboard; a job that needs the
// model mid-way hands a task to the UI thread and waits for it instead.
class DeviceWorker final : public DeviceJobContext {
public:
    using Job = std::function<void()>;

    explicit DeviceWorker(UiDispatcher& ui);
    ~DeviceWorker();
    DeviceWorker(const DeviceWorker&) = delete;
    DeviceWorker& operator=(const DeviceWorker&) = delete;

    // Any thread. Queues a job; dropped once the worker has stopped, or for a
    // read once reads are given up. A job with a tag other than 0 stands for
    // all of its tag: it replaces the queued job that has the same tag, which
    // is dropped, and goes to the back of the queue. The running job stays.
    void Post(std::shared_ptr<DeviceJob> job);
    // Any thread. A job of one closure with the number of steps it reports.
    void Post(DeviceJobKind kind, int steps, Job job, uint32_t tag = 0);
    // Any thread. Drops the queued jobs; the running one goes on.
    void CancelQueued();
    // Any thread. Drops the queued jobs and cancels the running one.
    void Abort();
    // Any thread. Drops the queued jobs, cancels a running read (a running
    // write goes on) and every read posted from now on.
    void GiveUpReads();
    // Any thread: a job is queued or running.
    bool Busy();
    // Waits until nothing is queued or running, running the UI thread's
    // posted work meanwhile (a job may be waiting for it). Not on the worker.
    // False when the limit passed first.
    bool RunToIdle(std::chrono::milliseconds limit = std::chrono::minutes(10));
    // Ends the thread: queued jobs dropped, the running one asked to end and
    // waited for. On the UI thread.
    void Stop();

    // --- the running job's context, on the worker thread
    bool OnUi(std::function<void()> task) override;
    bool Aborted() const override { return m_current && m_current->Cancelled(); }
    void Step(int more = 0) override;

    // UI thread, before the first job: receives the progress, coalesced (at
    // most one hand-over waits on the UI thread at a time).
    void SetProgressSink(std::function<void(const DeviceProgress&)> sink);
    bool OnWorkerThread() const { return std::this_thread::get_id() == m_thread.get_id(); }

private:
    using Queue = std::deque<std::shared_ptr<DeviceJob>>;
    // The progress waiting for the UI thread; shared with the posted task,
    // which may run after the worker is gone.
    struct ProgressBox {
        std::mutex mutex;
        DeviceProgress latest;
        bool posted = false;
        std::function<void(const DeviceProgress&)> sink;
    };

    struct Handover {
        std::mutex mutex;
        std::condition_variable signal;
        bool done = false;
        bool cancelled = false;
    };

    void Run();
    void Report(const DeviceProgress& progress);
    // Not under the lock: each job's Dropped, then its completion posted.
    void Drop(Queue& jobs);
    void PostCompletion(std::shared_ptr<DeviceJob> job, bool done);

    UiDispatcher& m_ui;
    std::mutex m_mutex;
    std::condition_variable m_signal;
    Queue m_queue;
    bool m_running = false;  // a job runs
    // The running job; replaced only by the worker thread, under m_mutex.
    std::shared_ptr<DeviceJob> m_current;
    // The worker is idle and its idle report is on its way to the UI thread.
    bool m_reportingIdle = false;
    bool m_stopping = false;               // guarded by m_mutex
    bool m_readsGivenUp = false;           // guarded by m_mutex
    std::shared_ptr<Handover> m_handover;  // the one the running job waits on
    DeviceProgress m_progress;             // worker thread only
    std::shared_ptr<ProgressBox> m_box = std::make_shared<ProgressBox>();
    std::thread m_thread;
};

}  // namespace lumbra
