// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

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

// What a running job may ask of the worker that runs it. Worker thread only.
class DeviceJobContext {
public:
    virtual ~DeviceJobContext() = default;
    // The running job was cancelled: it ends after its current exchange.
    virtual bool Aborted() const = 0;
    // One more step of the running job is done; `more` steps are added to
    // what it will take.
    virtual void Step(int more = 0) = 0;
    // A hand-over stage: runs the task on the UI thread and waits until it
    // has run. False when the worker is stopping: the task may then not run.
    virtual bool OnUi(std::function<void()> task) = 0;
};

// One exchange with the keyboard, from its queueing to its completion: what
// it sends runs on the worker, and its completion on the UI thread, once,
// whatever became of it. A job with a tag other than 0 stands for all of its
// tag (see DeviceWorker::Post).
class DeviceJob {
public:
    DeviceJob(DeviceJobKind kind, int steps, uint32_t tag = 0)
        : m_kind(kind), m_steps(steps), m_tag(tag) {}
    virtual ~DeviceJob() = default;
    DeviceJob(const DeviceJob&) = delete;
    DeviceJob& operator=(const DeviceJob&) = delete;

    DeviceJobKind Kind() const { return m_kind; }
    int Steps() const { return m_steps; }
    uint32_t Tag() const { return m_tag; }
    // Any thread: the job ends after its current exchange, or never starts.
    void Cancel() { m_cancelled = true; }
    bool Cancelled() const { return m_cancelled; }

    // Worker thread: the exchanges. Whether the job did all it was for.
    virtual bool Run(DeviceJobContext& context) = 0;
    // Any thread: the job left the queue without running (replaced,
    // cancelled, or the worker stopped). Its completion follows.
    virtual void Dropped() {}
    // UI thread, exactly once, after Run or Dropped: `done` is false when the
    // job was dropped, cancelled or cut short. It may run after the worker
    // is gone, so it touches only what it holds.
    virtual void Complete(bool done) { (void)done; }

private:
    const DeviceJobKind m_kind;
    const int m_steps;
    const uint32_t m_tag;
    std::atomic<bool> m_cancelled{false};
};

// A job made of closures: `run` on the worker, `complete` (may be empty) on
// the UI thread with whether it ran to its end uncancelled.
std::shared_ptr<DeviceJob> MakeDeviceJob(DeviceJobKind kind, int steps,
                                         std::function<void(DeviceJobContext&)> run,
                                         std::function<void(bool done)> complete = nullptr,
                                         uint32_t tag = 0);

}  // namespace lumbra
