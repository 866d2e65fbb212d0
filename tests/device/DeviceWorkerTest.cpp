// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "device/DeviceWorker.h"
#include "tests/device/DeviceTestSupport.h"

namespace lumbra {
namespace {

using test::LinkRig;

// A job that holds the worker until the test lets it go.
class Gate {
public:
    DeviceWorker::Job Job() {
        return [this] {
            std::unique_lock lock(m_mutex);
            m_entered = true;
            m_signal.notify_all();
            m_signal.wait(lock, [&] { return m_open; });
        };
    }
    void WaitEntered() {
        std::unique_lock lock(m_mutex);
        m_signal.wait(lock, [&] { return m_entered; });
    }
    void Open() {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_signal.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_signal;
    bool m_entered = false;
    bool m_open = false;
};

TEST(DeviceWorker, RunsJobsInOrderOnItsOwnThreadAndHandsTasksToTheUiThread) {
    UiDispatcher ui;
    DeviceWorker worker(ui);
    std::vector<int> order;  // written by the worker, read after idle
    std::vector<bool> onUiThread;
    const auto uiThread = std::this_thread::get_id();
    for (int i = 0; i < 5; ++i) {
        worker.Post(DeviceJobKind::kWrite, 1, [&, i] {
            EXPECT_TRUE(worker.OnWorkerThread());
            order.push_back(i);
            EXPECT_TRUE(
                worker.OnUi([&] { onUiThread.push_back(std::this_thread::get_id() == uiThread); }));
        });
    }
    EXPECT_TRUE(worker.RunToIdle());
    EXPECT_FALSE(worker.Busy());
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(onUiThread, std::vector<bool>(5, true));
}

TEST(DeviceWorker, CancelDropsTheQueueAbortEndsTheRunningJobAfterItsStep) {
    struct Case {
        bool abort;  // else cancel
        std::vector<std::string> ran;
    };
    for (const Case& c : {Case{false, {"step 1", "step 2"}}, Case{true, {"step 1"}}}) {
        UiDispatcher ui;
        DeviceWorker worker(ui);
        Gate gate;
        std::vector<std::string> ran;
        worker.Post(DeviceJobKind::kWrite, 2, [&] {
            gate.Job()();
            ran.push_back("step 1");
            if (worker.Aborted()) return;
            ran.push_back("step 2");
        });
        worker.Post(DeviceJobKind::kWrite, 1, [&] { ran.push_back("queued"); });
        gate.WaitEntered();
        if (c.abort)
            worker.Abort();
        else
            worker.CancelQueued();
        gate.Open();
        EXPECT_TRUE(worker.RunToIdle());
        EXPECT_EQ(ran, c.ran) << (c.abort ? "abort" : "cancel");
        // The next job runs whole again.
        worker.Post(DeviceJobKind::kWrite, 1, [&] { ran.push_back("after"); });
        EXPECT_TRUE(worker.RunToIdle());
        EXPECT_EQ(ran.back(), "after");
    }
}

// Whatever becomes of a job, its completion runs once, on the UI thread, and
// says whether it ran to its end.
TEST(DeviceWorker, EachJobCompletesOnceOnTheUiThread) {
    UiDispatcher ui;
    auto worker = std::make_unique<DeviceWorker>(ui);
    const auto uiThread = std::this_thread::get_id();
    std::map<std::string, std::vector<bool>> completed;
    const auto post = [&](
                          const std::string& name, DeviceJobKind kind, uint32_t tag = 0,
                          std::function<void()> run = [] {}) {
        worker->Post(MakeDeviceJob(
            kind, 1, [run](DeviceJobContext&) { run(); },
            [&, name](bool done) {
                EXPECT_EQ(std::this_thread::get_id(), uiThread);
                completed[name].push_back(done);
            },
            tag));
    };
    Gate gate;
    post("aborted", DeviceJobKind::kWrite, 0, gate.Job());
    post("replaced", DeviceJobKind::kWrite, 7);
    post("replacing", DeviceJobKind::kWrite, 7);
    gate.WaitEntered();
    worker->Abort();
    gate.Open();
    post("ran", DeviceJobKind::kRead);
    EXPECT_TRUE(worker->RunToIdle());
    worker->GiveUpReads();
    post("read given up", DeviceJobKind::kRead);
    post("write after", DeviceJobKind::kWrite);
    EXPECT_TRUE(worker->RunToIdle());
    worker->Stop();
    post("after stop", DeviceJobKind::kWrite);
    worker.reset();
    ui.RunPending();
    const std::map<std::string, std::vector<bool>> expected = {
        {"aborted", {false}},   {"replaced", {false}},      {"replacing", {false}},
        {"ran", {true}},        {"read given up", {false}}, {"write after", {true}},
        {"after stop", {false}}};
    EXPECT_EQ(completed, expected);
}

TEST(DeviceWorker, StopReleasesAJobWaitingForTheUiThreadAndRefusesNewJobs) {
    UiDispatcher ui;  // never run: the UI thread is busy ending
    auto worker = std::make_unique<DeviceWorker>(ui);
    std::atomic<int> handedOver{-1};
    Gate gate;
    gate.Open();
    worker->Post(DeviceJobKind::kRead, 1, [&] {
        gate.Job()();
        handedOver = worker->OnUi([] {}) ? 1 : 0;
    });
    gate.WaitEntered();
    worker->Stop();
    EXPECT_EQ(handedOver, 0);
    bool ran = false;
    worker->Post(DeviceJobKind::kWrite, 1, [&] { ran = true; });
    EXPECT_FALSE(worker->Busy());
    worker.reset();
    ui.RunPending();  // the late hand-over runs harmlessly
    EXPECT_FALSE(ran);
}

TEST(DeviceWorker, ProgressIsCoalescedToOnePendingHandOverAndEndsIdle) {
    UiDispatcher ui;
    DeviceWorker worker(ui);
    std::vector<DeviceProgress> seen;
    worker.SetProgressSink([&](const DeviceProgress& p) { seen.push_back(p); });
    Gate gate;
    worker.Post(DeviceJobKind::kWrite, 40, [&] {
        for (int i = 0; i < 40; ++i) worker.Step();
        gate.Job()();
    });
    gate.WaitEntered();
    // Forty steps and the start, and one hand-over waiting with the latest.
    EXPECT_EQ(ui.RunPending(), 1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen.back(), (DeviceProgress{true, DeviceJobKind::kWrite, 40, 40}));
    gate.Open();
    worker.Post(DeviceJobKind::kRead, 7, [&] { worker.Step(3); });
    EXPECT_TRUE(worker.RunToIdle());
    ASSERT_GE(seen.size(), 2u);
    EXPECT_FALSE(seen.back().busy);
}

// The report that the worker is idle finds it idle on the UI thread, however
// soon it arrives: whoever waits there for the end acts on it (the exit does).
TEST(DeviceWorker, TheIdleReportFindsTheWorkerIdle) {
    UiDispatcher ui;
    std::mutex mutex;
    std::condition_variable signal;
    int posted = 0;
    int ran = 0;
    std::atomic<DeviceWorker*> workerSeen{nullptr};
    // Each hand-over holds the worker until the UI thread has run it.
    ui.SetWakeHandler([&] {
        DeviceWorker* w = workerSeen;
        if (w == nullptr || !w->OnWorkerThread()) return;
        std::unique_lock lock(mutex);
        const int mine = ++posted;
        signal.notify_all();
        signal.wait(lock, [&] { return ran >= mine; });
    });
    DeviceWorker worker(ui);
    workerSeen = &worker;
    std::vector<bool> busyWhenIdleArrived;
    worker.SetProgressSink([&](const DeviceProgress& p) {
        if (!p.busy) busyWhenIdleArrived.push_back(worker.Busy());
    });
    worker.Post(DeviceJobKind::kWrite, 1, [&] { worker.Step(); });
    std::unique_lock lock(mutex);
    while (busyWhenIdleArrived.empty()) {
        ASSERT_TRUE(signal.wait_for(lock, std::chrono::seconds(60), [&] { return posted > ran; }));
        lock.unlock();
        ui.RunPending();
        lock.lock();
        ran = posted;
        signal.notify_all();
    }
    EXPECT_EQ(busyWhenIdleArrived, std::vector<bool>{false});
}

// ---- the link through its worker --------------------------------------------

// The worker held by a gate job while the UI thread goes on.
struct HeldRig : LinkRig {
    Gate gate;
    void Hold() {
        link->Worker().Post(DeviceJobKind::kWrite, 1, gate.Job());
        gate.WaitEntered();
    }
};

TEST(DeviceWorkerLink, PlansAreEncodedWhenTheCommandIsGivenNotWhenSent) {
    HeldRig rig;
    rig.Start();
    rig.log.Take();
    rig.model.Profile(1).SetLightColor(3);
    rig.model.Profile(1).SetLightBrightness(2);
    rig.model.pending.MarkLighting(1);
    rig.Hold();
    rig.link->FlushPendingWrites();
    // Pending flags are cleared with the command; an edit made while the plan
    // waits is a pending change of its own.
    EXPECT_FALSE(rig.model.pending.lightingPending[1]);
    rig.model.Profile(1).SetLightColor(6);
    rig.model.pending.MarkLighting(1);
    EXPECT_TRUE(rig.log.Lines().empty());
    rig.gate.Open();
    ASSERT_TRUE(rig.link->RunToIdle());
    EXPECT_EQ(rig.log.Take(), (std::vector<std::string>{"set 07 0D 01 00 02 02", "sleep 15"}));
    EXPECT_TRUE(rig.model.pending.lightingPending[1]);
}

TEST(DeviceWorkerLink, RemovalDropsWhatWasQueuedForTheKeyboard) {
    HeldRig rig;
    rig.Start();
    rig.model.pending.MarkLighting(0);
    rig.model.pending.MarkKeyTable(2);
    rig.Hold();
    rig.link->FlushPendingWrites();
    rig.sim->Unplug();
    rig.link->OnDeviceChange(DeviceChange::kRemoveComplete);
    rig.log.Take();
    rig.gate.Open();
    ASSERT_TRUE(rig.link->RunToIdle());
    // The listener's read fails on the unplug; nothing is sent.
    for (const std::string& line : rig.log.Take()) EXPECT_FALSE(line.starts_with("set")) << line;
    EXPECT_EQ(rig.window.messages.size(), 1u);
    EXPECT_FALSE(rig.link->HasFeatureHandle());
}

// A profile the window chooses while the read-back's answers are still on
// their way stays chosen; without a choice the keyboard's profile wins.
TEST(DeviceWorkerLink, AProfileChosenDuringTheReadBackStaysChosen) {
    for (const bool chosen : {false, true}) {
        HeldRig rig;
        rig.link->InitDeviceLink();
        rig.link->FindKeyboard();
        rig.model.settings.SetCurrentProfile(3);
        rig.Hold();
        rig.link->ReadBackAll();
        if (chosen) {
            rig.link->NoteProfileChosen();
            rig.model.settings.SetCurrentProfile(2);
        }
        rig.gate.Open();
        ASSERT_TRUE(rig.link->RunToIdle());
        EXPECT_EQ(rig.model.settings.CurrentProfile(), chosen ? 2 : 0) << chosen;
        EXPECT_EQ(rig.link->CurrentProfile(), 0);
    }
}

// The listener hands a recorded macro to the worker and reads on: a profile
// switch right behind it is taken while the UI thread has not run at all.
TEST(DeviceWorkerLink, MacroImportNeverHoldsTheListener) {
    LinkRig rig;
    rig.Start();
    ASSERT_EQ(rig.link->CurrentProfile(), 0);
    rig.sim->SendEvent(0x01, 2);
    rig.sim->SendEvent(0x05, 3);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (rig.link->CurrentProfile() != 2 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(rig.link->CurrentProfile(), 2);
    ASSERT_TRUE(rig.link->RunToIdle());
    EXPECT_EQ(rig.model.Profile(0).GKey(1)->name, "Profile1_G2");
    EXPECT_EQ(rig.model.settings.CurrentProfile(), 2);
}

}  // namespace
}  // namespace lumbra
