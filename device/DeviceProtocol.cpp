// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/DeviceJobs.h"
#include "device/DeviceLink.h"
#include "device/DeviceLinkShared.h"
#include "device/DeviceWorker.h"

namespace lumbra {

namespace {

template <size_t N>
std::vector<uint8_t> ToVector(const std::array<uint8_t, N>& bytes) {
    return {bytes.begin(), bytes.end()};
}

}  // namespace

std::atomic<int>* DeviceLink::Shared::QueuedParts::Of(const PendingPart& part) {
    if (part.slot < 0 || part.slot >= kOnBoardProfileCount) return nullptr;
    const auto i = static_cast<size_t>(part.slot);
    switch (part.kind) {
        case PendingPart::Kind::kLighting:
            return &lighting[i];
        case PendingPart::Kind::kKeyTable:
            return &keyTable[i];
        case PendingPart::Kind::kMacro:
            if (part.gIndex < 0 || part.gIndex >= kGKeyCount) return nullptr;
            return &macro[i][static_cast<size_t>(part.gIndex)];
        case PendingPart::Kind::kNone:
            break;
    }
    return nullptr;
}

DeviceWorker& DeviceLink::Worker() { return *m_shared->worker; }

bool DeviceLink::RunToIdle() { return m_shared->worker->RunToIdle(); }

void DeviceLink::Execute(WritePlan plan, uint32_t tag, std::function<void(bool)> onComplete) {
    if (plan.empty()) return;
    m_shared->worker->Post(
        std::make_shared<WritePlanJob>(m_shared, std::move(plan), tag, std::move(onComplete)));
}

void DeviceLink::RestorePending(const std::vector<PendingPart>& parts) {
    PendingWrites& pending = m_services.model->pending;
    for (const PendingPart& part : parts) {
        switch (part.kind) {
            case PendingPart::Kind::kLighting:
                pending.MarkLighting(part.slot);
                break;
            case PendingPart::Kind::kKeyTable:
                pending.MarkKeyTable(part.slot);
                break;
            case PendingPart::Kind::kMacro: {
                const GKeySlot* g = m_services.model->Profile(part.slot).GKey(part.gIndex);
                if (g != nullptr && g->action.type == KeyActionType::kMacro)
                    pending.MarkMacro(part.slot, part.gIndex);
                break;
            }
            case PendingPart::Kind::kNone:
                break;
        }
    }
}

void DeviceLink::AddCurrentProfileWrite(WritePlan& plan, uint8_t value) const {
    plan.push_back({ToVector(EncodeProfileReport(value)), kPauseAfterShortSetMs, value, {}});
}

void DeviceLink::AddCurrentProfileWriteAtStep(WritePlan& plan,
                                              std::function<std::optional<uint8_t>()> choose) {
    PlannedReport step;
    step.pauseMs = kPauseAfterShortSetMs;
    step.profileAtStep = std::move(choose);
    plan.push_back(std::move(step));
}

void DeviceLink::AddLightingWrite(WritePlan& plan, int slot) const {
    plan.push_back({ToVector(EncodeLightingReport(m_services.model->Profile(slot), slot)),
                    kPauseAfterShortSetMs,
                    -1,
                    {PendingPart::Kind::kLighting, slot, 0}});
}

void DeviceLink::AddKeyTableWrite(WritePlan& plan, int slot) const {
    plan.push_back({ToVector(EncodeKeyTableReport(m_services.model->Profile(slot), slot)),
                    kPauseAfterLongSetMs,
                    -1,
                    {PendingPart::Kind::kKeyTable, slot, 0}});
}

void DeviceLink::AddGKeyMacroWrite(WritePlan& plan, int slot, int gIndex) const {
    if (const std::optional<MacroReportBytes> report = BuildGKeyMacroReport(slot, gIndex))
        plan.push_back({ToVector(*report),
                        kPauseAfterLongSetMs,
                        -1,
                        {PendingPart::Kind::kMacro, slot, gIndex}});
}

void DeviceLink::AddResetWrite(WritePlan& plan, int slot) const {
    plan.push_back({ToVector(EncodeResetReport(slot)), kPauseAfterLongSetMs, -1, {}});
}

void DeviceLink::AddPause(WritePlan& plan, uint32_t pauseMs) {
    plan.push_back({{}, pauseMs, -1, {}});
}

std::optional<MacroReportBytes> DeviceLink::BuildGKeyMacroReport(int slot, int gIndex) const {
    const GKeySlot* g = m_services.model->Profile(slot).GKey(gIndex);
    if (g == nullptr) return std::nullopt;
    const MacroKey* key = m_services.library->FindMacroKeyByName(g->name);
    if (key == nullptr) return std::nullopt;
    return PackMacroKey(*key, slot, gIndex);
}

void DeviceLink::ReadBackAll() {
    if (!m_found || !m_needReadBack) return;
    m_needReadBack = false;
    auto job = std::make_shared<ReadBackJob>(m_shared);
    std::erase_if(m_readBacks, [](const std::weak_ptr<ReadBackJob>& r) { return r.expired(); });
    m_readBacks.push_back(job);
    m_shared->worker->Post(std::move(job));
}

void DeviceLink::NoteProfileChosen() {
    for (const std::weak_ptr<ReadBackJob>& readBack : m_readBacks)
        if (const std::shared_ptr<ReadBackJob> job = readBack.lock()) job->NoteProfileChosen();
}

bool DeviceLink::HoldsNewer(const PendingPart& part) const {
    if (part.slot < 0 || part.slot >= kOnBoardProfileCount) return false;
    const auto i = static_cast<size_t>(part.slot);
    const PendingWrites& pending = m_services.model->pending;
    std::atomic<int>* queued = m_shared->queuedParts.Of(part);
    const bool isQueued = queued != nullptr && *queued != 0;
    switch (part.kind) {
        case PendingPart::Kind::kLighting:
            return pending.lightingPending[i] || isQueued;
        case PendingPart::Kind::kKeyTable:
            return pending.keyTablePending[i] || isQueued;
        case PendingPart::Kind::kMacro:
            if (part.gIndex < 0 || part.gIndex >= kGKeyCount) return false;
            return pending.macroPending[i][static_cast<size_t>(part.gIndex)] || isQueued;
        case PendingPart::Kind::kNone:
            break;
    }
    return false;
}

std::vector<std::pair<int, int>> DeviceLink::MacroGKeysToRead() const {
    // Where a key table did not come, the model's own says which G keys hold
    // macros.
    std::vector<std::pair<int, int>> macros;
    for (int slot = 0; slot < kOnBoardProfileCount; ++slot) {
        for (int g = 0; g < kGKeyCount; ++g) {
            const GKeySlot* key = m_services.model->Profile(slot).GKey(g);
            if (key != nullptr && key->action.type == KeyActionType::kMacro &&
                !HoldsNewer({PendingPart::Kind::kMacro, slot, g}))
                macros.emplace_back(slot, g);
        }
    }
    return macros;
}

WritePlan DeviceLink::PlanPendingWrites() {
    PendingWrites& pending = m_services.model->pending;
    WritePlan plan;
    for (int slot = 0; slot < kOnBoardProfileCount; ++slot) {
        if (!pending.lightingPending[static_cast<size_t>(slot)]) continue;
        pending.lightingPending[static_cast<size_t>(slot)] = false;
        AddLightingWrite(plan, slot);
    }
    for (int slot = 0; slot < kOnBoardProfileCount; ++slot) {
        if (!pending.keyTablePending[static_cast<size_t>(slot)]) continue;
        pending.keyTablePending[static_cast<size_t>(slot)] = false;
        AddKeyTableWrite(plan, slot);
    }
    for (int slot = 0; slot < kOnBoardProfileCount; ++slot) {
        for (int g = 0; g < kGKeyCount; ++g) {
            bool& flag = pending.macroPending[static_cast<size_t>(slot)][static_cast<size_t>(g)];
            if (!flag) continue;
            flag = false;
            AddGKeyMacroWrite(plan, slot, g);
        }
    }
    return plan;
}

void DeviceLink::GiveUpReads() { m_shared->worker->GiveUpReads(); }

void DeviceLink::FlushPendingWrites() { Execute(PlanPendingWrites()); }

}  // namespace lumbra
