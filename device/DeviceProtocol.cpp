// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/DeviceLink.h"
#include "device/DeviceLinkShared.h"
#include "device/DeviceWorker.h"
#include "storage/MacroFiles.h"

namespace lumbra {

namespace {

template <size_t N>
std::vector<uint8_t> ToVector(const std::array<uint8_t, N>& bytes) {
    return {bytes.begin(), bytes.end()};
}

// The worker: the profile the UI thread chooses as the step runs, sent on the
// plan's connection; sent also when it chose to send nothing.
DeviceLink::Shared::SetResult SendProfileChosenNow(DeviceLink::Shared& s, const PlannedReport& step,
                                                   uint64_t connection) {
    using SetResult = DeviceLink::Shared::SetResult;
    std::optional<uint8_t> value;
    const bool asked = s.worker->OnUi([&s, &step, &value] {
        if (s.link != nullptr) value = step.profileAtStep();
    });
    if (!asked) return SetResult::kNotDelivered;
    if (!value) return SetResult::kSent;
    const SetResult result =
        s.SetOn(connection, EncodeProfileReport(*value), kPauseAfterShortSetMs);
    if (result == SetResult::kSent) s.currentProfile = *value;
    return result;
}

// What a queued plan has not yet delivered. Whoever lets go of it last (the
// worker after the plan, or the one who dropped it from the queue) hands the
// rest to the UI thread, which marks it pending again.
class PlanTicket {
public:
    PlanTicket(const std::shared_ptr<DeviceLink::Shared>& shared, const WritePlan& plan)
        : m_shared(shared) {
        for (const PlannedReport& step : plan) {
            m_parts.push_back(step.part);
            shared->queuedParts.Add(step.part, 1);
        }
    }
    PlanTicket(const PlanTicket&) = delete;
    PlanTicket& operator=(const PlanTicket&) = delete;
    ~PlanTicket() {
        Start();
        std::vector<PendingPart> rest;
        for (const PendingPart& part : m_parts)
            if (part.kind != PendingPart::Kind::kNone) rest.push_back(part);
        const std::shared_ptr<DeviceLink::Shared> s = m_shared.lock();
        if (rest.empty() || !s) return;
        s->PostToUi(s, [rest = std::move(rest)](DeviceLink& link, DeviceLink::Shared&) {
            link.RestorePending(rest);
        });
    }
    // The plan leaves the queue: the worker runs it, or it was dropped.
    void Start() {
        if (m_started) return;
        m_started = true;
        if (const std::shared_ptr<DeviceLink::Shared> s = m_shared.lock())
            for (const PendingPart& part : m_parts) s->queuedParts.Add(part, -1);
    }
    // The step is done with: sent, or failed on the connection it was meant for.
    void Settle(size_t step) { m_parts[step].kind = PendingPart::Kind::kNone; }

private:
    std::weak_ptr<DeviceLink::Shared> m_shared;
    std::vector<PendingPart> m_parts;
    bool m_started = false;
};

// The worker: every report of the plan in order, each with its pause, until
// the end, an abort or the end of the connection it was made for. Whether
// every report went.
bool RunPlan(DeviceLink::Shared& s, const WritePlan& plan, uint64_t connection,
             PlanTicket& ticket) {
    using SetResult = DeviceLink::Shared::SetResult;
    ticket.Start();
    bool all = true;
    for (size_t i = 0; i < plan.size(); ++i) {
        const PlannedReport& step = plan[i];
        if (s.worker->Aborted()) return false;
        SetResult result = SetResult::kSent;
        if (step.profileAtStep) {
            result = SendProfileChosenNow(s, step, connection);
        } else if (step.report.empty()) {
            s.services.clock->SleepMs(step.pauseMs);
        } else {
            result = s.SetOn(connection, step.report, step.pauseMs);
            if (result == SetResult::kSent && step.profileValue >= 0)
                s.currentProfile = step.profileValue;
        }
        if (result == SetResult::kNotDelivered) return false;
        if (result == SetResult::kFailed) all = false;
        ticket.Settle(i);
        s.worker->Step();
    }
    return all;
}

// The exchanges of the read-back before its macros.
constexpr int kReadBackFirstSteps = 1 + 2 * kOnBoardProfileCount;

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

void DeviceLink::QueuePlan(WritePlan plan, std::shared_ptr<std::atomic<bool>> result,
                           uint32_t tag) {
    if (plan.empty()) return;
    const int steps = static_cast<int>(plan.size());
    auto ticket = std::make_shared<PlanTicket>(m_shared, plan);
    m_shared->worker->Post(DeviceJobKind::kWrite, steps,
                           [s = m_shared.get(), plan = std::move(plan), ticket,
                            connection = m_shared->connection.load(), result] {
                               const bool all = RunPlan(*s, plan, connection, *ticket);
                               if (result) *result = all;
                           },
                           tag);
}

void DeviceLink::Execute(WritePlan plan, uint32_t tag) {
    QueuePlan(std::move(plan), nullptr, tag);
}

bool DeviceLink::ExecuteAndWait(WritePlan plan) {
    auto result = std::make_shared<std::atomic<bool>>(false);
    QueuePlan(std::move(plan), result);
    m_shared->worker->RunToIdle();
    return *result;
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

bool DeviceLink::FetchAndWait(int slot, int gIndex, std::span<uint8_t> answer) {
    auto result = std::make_shared<std::atomic<bool>>(false);
    m_shared->worker->Post(DeviceJobKind::kRead, 1,
                           [s = m_shared.get(), slot, gIndex, answer, result] {
                               *result = s->SelectAndGet(slot, gIndex, answer);
                               s->worker->Step();
                           });
    m_shared->worker->RunToIdle();
    return *result;
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

int DeviceLink::ReadCurrentProfile() {
    auto answer = std::make_shared<ProfileReportBytes>(ProfileReportRequest());
    auto ok = std::make_shared<std::atomic<bool>>(false);
    m_shared->worker->Post(DeviceJobKind::kRead, 1, [s = m_shared.get(), answer, ok] {
        *ok = s->Get(*answer, 0);
        s->worker->Step();
    });
    m_shared->worker->RunToIdle();
    // A failed get is a failure, not profile 0.
    if (!*ok) return -1;
    return DecodeProfileReport(*answer);
}

int DeviceLink::WriteCurrentProfile(uint8_t value) {
    WritePlan plan;
    AddCurrentProfileWrite(plan, value);
    return ExecuteAndWait(std::move(plan)) ? 1 : 0;
}

int DeviceLink::ReadLighting(int slot) {
    LightingReportBytes answer = LightingReportRequest();
    if (!FetchAndWait(slot, 0, answer)) return 0;
    const Lighting lighting = DecodeLightingReport(answer);
    KeyboardProfile& profile = m_services.model->Profile(slot);
    profile.SetLightColor(lighting.mode);
    profile.SetLightBrightness(lighting.brightness);
    return 1;
}

int DeviceLink::WriteLighting(int slot) {
    WritePlan plan;
    AddLightingWrite(plan, slot);
    return ExecuteAndWait(std::move(plan)) ? 1 : 0;
}

int DeviceLink::ReadKeyTable(int slot) {
    KeyTableReportBytes answer = KeyTableReportRequest();
    if (!FetchAndWait(slot, 0, answer)) return 0;
    DecodeKeyTableReport(answer, m_services.model->Profile(slot));
    return 1;
}

int DeviceLink::WriteKeyTable(int slot) {
    WritePlan plan;
    AddKeyTableWrite(plan, slot);
    return ExecuteAndWait(std::move(plan)) ? 1 : 0;
}

bool DeviceLink::FetchMacroReport(int slot, int gIndex, MacroReportBytes& answer) {
    answer = MacroReportRequest();
    return m_shared->SelectAndGet(slot, gIndex, answer);
}

int DeviceLink::ReadGKeyMacro(int slot, int gIndex) {
    const GKeySlot* g = m_services.model->Profile(slot).GKey(gIndex);
    if (g == nullptr || g->action.type != KeyActionType::kMacro) return 0;
    m_libraryChanged = true;
    MacroReportBytes answer = MacroReportRequest();
    if (!FetchAndWait(slot, gIndex, answer)) return 0;
    MergeMacroReport(slot, gIndex, answer, false);
    return 1;
}

std::optional<MacroReportBytes> DeviceLink::BuildGKeyMacroReport(int slot, int gIndex) const {
    const GKeySlot* g = m_services.model->Profile(slot).GKey(gIndex);
    if (g == nullptr) return std::nullopt;
    const MacroKey* key = m_services.library->FindMacroKeyByName(g->name);
    if (key == nullptr) return std::nullopt;
    return PackMacroKey(*key, slot, gIndex);
}

int DeviceLink::WriteGKeyMacro(int slot, int gIndex) {
    if (!m_shared->HasHandle()) return 0;
    WritePlan plan;
    AddGKeyMacroWrite(plan, slot, gIndex);
    if (plan.empty()) return 0;
    return ExecuteAndWait(std::move(plan)) ? 1 : 0;
}

int DeviceLink::ResetOnBoardProfile(int slot) {
    WritePlan plan;
    AddResetWrite(plan, slot);
    return ExecuteAndWait(std::move(plan)) ? 1 : 0;
}

bool DeviceLink::ApplyMacroReport(int slot, int gIndex, MacroReportView answer) {
    MacroReportName resolved = DecodeMacroReportName(answer, slot, gIndex);
    if (GKeySlot* g = m_services.model->Profile(slot).GKey(gIndex)) {
        // The keyboard keeps a long name cut; the G key keeps it whole, so that
        // names sharing the part the keyboard keeps stay apart.
        if (!resolved.madeUp && FitMacroNameToField(g->name) == resolved.name)
            resolved.name = g->name;
        g->name = resolved.name;
    }
    // A library without any macro set has nowhere to keep the macro; the G key
    // still carries the name.
    MacroSet* set = m_services.library->SetAt(0);
    if (set == nullptr) return resolved.madeUp;
    MacroKey* key = m_services.library->FindMacroKeyByName(resolved.name);
    if (key == nullptr) key = set->AddKey(resolved.name);
    if (key != nullptr) UnpackMacroReport(answer, *key);
    return resolved.madeUp;
}

void DeviceLink::MergeMacroReport(int slot, int gIndex, MacroReportView answer, bool writeBack) {
    const bool madeUp = ApplyMacroReport(slot, gIndex, answer);
    if (madeUp || writeBack) WriteGKeyMacro(slot, gIndex);
}

// The worker asks; the UI thread decodes and merges after each group of
// answers, in the order of the exchanges, and hands back what the next
// group needs: which G keys hold macros once the key tables are in, and the
// report that stores a made-up macro name on the keyboard. What the model
// holds pending is newer than the keyboard's: the read leaves it alone, and
// the next Apply sends it. The read ends after its current exchange when it
// is given up or the keyboard's connection ends.
void DeviceLink::ReadBackAll() {
    if (!m_found || !m_needReadBack) return;
    m_needReadBack = false;
    m_shared->worker->Post(
        DeviceJobKind::kReadBack, kReadBackFirstSteps,
        [s = m_shared.get(), choices = m_profileChoices, connection = m_shared->connection.load()] {
            DeviceWorker& worker = *s->worker;
            const auto over = [&] {
                return worker.Aborted() || s->readsGivenUp || s->ConnectionLost(connection);
            };
            if (over()) return;
            ProfileReportBytes profileAnswer = ProfileReportRequest();
            // A failed get is a failure, not profile 0.
            const int p =
                s->Get(profileAnswer, 0, connection) ? DecodeProfileReport(profileAnswer) : -1;
            worker.Step();
            if (over()) return;
            s->currentProfile = p;
            if (p < 0 || p > 2) return;

            std::array<std::optional<LightingReportBytes>, kOnBoardProfileCount> lighting;
            std::array<std::optional<KeyTableReportBytes>, kOnBoardProfileCount> keys;
            for (int slot = 0; slot < kOnBoardProfileCount; ++slot) {
                if (over()) return;
                LightingReportBytes answer = LightingReportRequest();
                if (s->SelectAndGet(slot, 0, answer, connection))
                    lighting[static_cast<size_t>(slot)] = answer;
                worker.Step();
            }
            for (int slot = 0; slot < kOnBoardProfileCount; ++slot) {
                if (over()) return;
                KeyTableReportBytes answer = KeyTableReportRequest();
                if (s->SelectAndGet(slot, 0, answer, connection))
                    keys[static_cast<size_t>(slot)] = answer;
                worker.Step();
            }
            if (over()) return;
            std::vector<std::pair<int, int>> macros;
            const bool applied = worker.OnUi([s, p, choices, &lighting, &keys, &macros] {
                if (s->link == nullptr) return;
                KeyboardModel& model = *s->services.model;
                const PendingWrites& pending = model.pending;
                DeviceLink::Shared::QueuedParts& queued = s->queuedParts;
                // A profile chosen while the answers came in wins: its report, if
                // any, is sent after this read.
                if (s->link->m_profileChoices == choices) model.settings.SetCurrentProfile(p);
                for (int slot = 0; slot < kOnBoardProfileCount; ++slot) {
                    const auto i = static_cast<size_t>(slot);
                    KeyboardProfile& profile = model.Profile(slot);
                    if (const auto& answer = lighting[i];
                        answer && !pending.lightingPending[i] && queued.lighting[i] == 0) {
                        const Lighting decoded = DecodeLightingReport(*answer);
                        profile.SetLightColor(decoded.mode);
                        profile.SetLightBrightness(decoded.brightness);
                    }
                    if (const auto& answer = keys[i];
                        answer && !pending.keyTablePending[i] && queued.keyTable[i] == 0)
                        DecodeKeyTableReport(*answer, profile);
                }
                // The window shows the keyboard's profile while its macros come.
                s->link->RefreshWindow();
                // Where a key table did not come, the model's own says which G
                // keys hold macros.
                for (int slot = 0; slot < kOnBoardProfileCount; ++slot) {
                    for (int g = 0; g < kGKeyCount; ++g) {
                        const GKeySlot* key = model.Profile(slot).GKey(g);
                        const auto i = static_cast<size_t>(slot);
                        const auto j = static_cast<size_t>(g);
                        if (key != nullptr && key->action.type == KeyActionType::kMacro &&
                            !pending.macroPending[i][j] && queued.macro[i][j] == 0)
                            macros.emplace_back(slot, g);
                    }
                }
            });
            if (!applied) return;

            for (size_t i = 0; i < macros.size(); ++i) {
                if (over()) return;
                const int slot = macros[i].first;
                const int g = macros[i].second;
                MacroReportBytes answer = MacroReportRequest();
                const bool fetched = s->SelectAndGet(slot, g, answer, connection);
                worker.Step(i == 0 ? static_cast<int>(macros.size()) : 0);
                if (over()) return;
                std::optional<MacroReportBytes> writeBack;
                const bool merged = worker.OnUi([s, slot, g, fetched, &answer, &writeBack] {
                    DeviceLink* link = s->link;
                    if (link == nullptr) return;
                    // Given a macro of the user's since the list was made.
                    const auto i = static_cast<size_t>(slot);
                    const auto j = static_cast<size_t>(g);
                    if (s->services.model->pending.macroPending[i][j] ||
                        s->queuedParts.macro[i][j] != 0)
                        return;
                    link->m_libraryChanged = true;
                    if (!fetched) return;
                    if (link->ApplyMacroReport(slot, g, answer) && s->HasHandle())
                        writeBack = link->BuildGKeyMacroReport(slot, g);
                });
                if (!merged) return;
                if (writeBack) s->Set(*writeBack, kPauseAfterLongSetMs, connection);
            }
            worker.OnUi([s, named = !macros.empty()] {
                DeviceLink* link = s->link;
                if (link == nullptr) return;
                if (link->m_libraryChanged) {
                    WriteMacroLibrary(*link->m_services.library, link->m_services.appDirectory);
                    link->m_libraryChanged = false;
                }
                // The rest was shown when the profiles came.
                if (named) link->RefreshWindow();
            });
        });
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

void DeviceLink::GiveUpReads() {
    m_shared->readsGivenUp = true;
    m_shared->worker->AbortReads();
}

void DeviceLink::FlushPendingWrites() { Execute(PlanPendingWrites()); }

}  // namespace lumbra
