// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "device/DeviceJob.h"
#include "device/DeviceLinkShared.h"

namespace lumbra {

// What a queued plan has not yet delivered: its parts count as queued until
// the plan leaves the queue, and those it did not deliver are pending again
// when it completes.
class PlanTicket {
public:
    PlanTicket(const std::shared_ptr<DeviceLink::Shared>& shared, const WritePlan& plan);
    // Any thread: the plan leaves the queue, run or dropped.
    void Start();
    // Worker: the step is done with, sent or failed on its connection.
    void Settle(size_t step) { m_parts[step].kind = PendingPart::Kind::kNone; }
    // UI thread: what was not delivered is pending again.
    void RestoreRest();

private:
    std::weak_ptr<DeviceLink::Shared> m_shared;
    std::vector<PendingPart> m_parts;
    std::atomic<bool> m_started{false};
};

// A write plan, for the connection it was made for.
class WritePlanJob final : public DeviceJob {
public:
    WritePlanJob(const std::shared_ptr<DeviceLink::Shared>& shared, WritePlan plan, uint32_t tag,
                 std::function<void(bool allSent)> onComplete);
    bool Run(DeviceJobContext& context) override;
    void Dropped() override { m_ticket.Start(); }
    void Complete(bool done) override;

private:
    DeviceLink::Shared* m_s;  // alive while the worker runs
    const WritePlan m_plan;
    const uint64_t m_connection;
    PlanTicket m_ticket;
    std::function<void(bool)> m_onComplete;
};

// Every on-board profile of the keyboard into the model, in three stages:
// the profile, lighting and key tables are fetched and handed over; the
// macros of the G keys the model then names are fetched one by one, each
// handed over as it comes (with a made-up name written back); the completion
// saves what changed. It reads only from the connection it was asked on.
class ReadBackJob final : public DeviceJob {
public:
    static constexpr int kFirstSteps = 1 + 2 * kOnBoardProfileCount;

    explicit ReadBackJob(const std::shared_ptr<DeviceLink::Shared>& shared);
    // A profile was chosen since the read-back was asked for: it stays.
    void NoteProfileChosen() { m_profileChosen = true; }
    bool Run(DeviceJobContext& context) override;
    void Complete(bool done) override;

private:
    bool Over(DeviceJobContext& context);

    DeviceLink::Shared* m_s;
    std::weak_ptr<DeviceLink::Shared> m_shared;
    const uint64_t m_connection;
    std::atomic<bool> m_profileChosen{false};
    // Set by the worker before its completion is posted.
    bool m_readAll = false;
    bool m_readMacros = false;
};

// The macro the keyboard recorded on one G key of its current profile,
// merged and saved on the UI thread and written back with its name. Another
// import of the same G key replaces a waiting one: the macro is fetched when
// the job runs.
class MacroImportJob final : public DeviceJob {
public:
    MacroImportJob(DeviceLink::Shared* shared, int slot, int gIndex);
    bool Run(DeviceJobContext& context) override;

private:
    DeviceLink::Shared* m_s;
    const int m_slot;
    const int m_gIndex;
};

}  // namespace lumbra
