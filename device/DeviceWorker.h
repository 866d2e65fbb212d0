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

namespace lumbra {

// What the worker is doing, as the window shows it. A read-back reads every
// profile of the keyboard into the model; a read fetches less.
enum class DeviceJobKind : uint8_t { kWrite, kRead, kReadBack };

struct DeviceProgress {
    bool busy = false;
    DeviceJobKind kind = DeviceJobKind::kWrite;
    int done = 0;
    int total = 0;
    friend bool operator==(const DeviceProgress&, const DeviceProgress&) = default;
};

// The one thread that exchanges reports with the keyboard: a queue of jobs
// run in order. The UI thread never waits on the keyboard; a job that needs
// the model hands a task to the UI thread and waits for it instead.
class DeviceWorker {
public:
    using Job = std::function<void()>;

    explicit DeviceWorker(UiDispatcher& ui);
    ~DeviceWorker();
    DeviceWorker(const DeviceWorker&) = delete;
    DeviceWorker& operator=(const DeviceWorker&) = delete;

    // Any thread. Queues a job with the number of steps it reports; dropped
    // once the worker has stopped. A job with a tag other than 0 stands for
    // all of its tag: it replaces the queued job that has the same tag, which
    // is dropped, and goes to the back of the queue. The running job stays.
    void Post(DeviceJobKind kind, int steps, Job job, uint32_t tag = 0);
    // Any thread. Drops the queued jobs; the running one goes on.
    void CancelQueued();
    // Any thread. Drops the queued jobs and asks the running one to end
    // after its current step.
    void Abort();
    // Any thread. Drops the queued jobs; a running read ends after its
    // current step, a running write goes on.
    void AbortReads();
    // Any thread: a job is queued or running.
    bool Busy();
    // Waits until nothing is queued or running, running the UI thread's
    // posted work meanwhile (a job may be waiting for it). Not on the worker.
    // False when the limit passed first.
    bool RunToIdle(std::chrono::milliseconds limit = std::chrono::minutes(10));
    // Ends the thread: queued jobs dropped, the running one asked to end and
    // waited for. On the UI thread.
    void Stop();

    // --- for jobs, on the worker thread
    // Runs the task on the UI thread and waits until it has run. False when
    // the worker is stopping: the task may then not run at all.
    bool OnUi(std::function<void()> task);
    // The running job should end after its current step.
    bool Aborted() const { return m_abort; }
    // One more step of the running job is done; `more` steps are added to
    // what it will take.
    void Step(int more = 0);

    // UI thread, before the first job: receives the progress, coalesced (at
    // most one hand-over waits on the UI thread at a time).
    void SetProgressSink(std::function<void(const DeviceProgress&)> sink);
    bool OnWorkerThread() const { return std::this_thread::get_id() == m_thread.get_id(); }

private:
    struct Queued {
        DeviceJobKind kind;
        int steps;
        Job job;
        uint32_t tag = 0;
    };
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

    UiDispatcher& m_ui;
    std::mutex m_mutex;
    std::condition_variable m_signal;
    std::deque<Queued> m_queue;
    bool m_running = false;  // a job runs
    DeviceJobKind m_runningKind = DeviceJobKind::kWrite;
    // The worker is idle and its idle report is on its way to the UI thread.
    bool m_reportingIdle = false;
    bool m_stopping = false;  // guarded by m_mutex
    std::atomic<bool> m_abort{false};
    std::shared_ptr<Handover> m_handover;  // the one the running job waits on
    DeviceProgress m_progress;             // worker thread only
    std::shared_ptr<ProgressBox> m_box = std::make_shared<ProgressBox>();
    std::thread m_thread;
};

}  // namespace lumbra
