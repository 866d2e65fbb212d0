// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/DeviceJobs.h"

#include "device/KeyboardReadSink.h"

namespace lumbra {

namespace {

using SetResult = DeviceLink::Shared::SetResult;

// The worker: the profile the UI thread chooses as the step runs, sent on the
// plan's connection; sent also when it chose to send nothing.
SetResult SendProfileChosenNow(DeviceLink::Shared& s, DeviceJobContext& context,
                               const PlannedReport& step, uint64_t connection) {
    std::optional<uint8_t> value;
    const bool asked = context.OnUi([&s, &step, &value] {
        if (s.link != nullptr) value = step.profileAtStep();
    });
    if (!asked) return SetResult::kNotDelivered;
    if (!value) return SetResult::kSent;
    const SetResult result =
        s.SetOn(connection, EncodeProfileReport(*value), kPauseAfterShortSetMs);
    if (result == SetResult::kSent) s.currentProfile = *value;
    return result;
}

}  // namespace

PlanTicket::PlanTicket(const std::shared_ptr<DeviceLink::Shared>& shared, const WritePlan& plan)
    : m_shared(shared) {
    for (const PlannedReport& step : plan) {
        m_parts.push_back(step.part);
        shared->queuedParts.Add(step.part, 1);
    }
}

void PlanTicket::Start() {
    if (m_started.exchange(true)) return;
    if (const std::shared_ptr<DeviceLink::Shared> s = m_shared.lock())
        for (const PendingPart& part : m_parts) s->queuedParts.Add(part, -1);
}

void PlanTicket::RestoreRest() {
    std::vector<PendingPart> rest;
    for (const PendingPart& part : m_parts)
        if (part.kind != PendingPart::Kind::kNone) rest.push_back(part);
    const std::shared_ptr<DeviceLink::Shared> s = m_shared.lock();
    if (!rest.empty() && s && s->link != nullptr) s->link->RestorePending(rest);
}

WritePlanJob::WritePlanJob(const std::shared_ptr<DeviceLink::Shared>& shared, WritePlan plan,
                           uint32_t tag, std::function<void(bool allSent)> onComplete)
    : DeviceJob(DeviceJobKind::kWrite, static_cast<int>(plan.size()), tag),
      m_s(shared.get()),
      m_plan(std::move(plan)),
      m_connection(shared->connection.load()),
      m_ticket(shared, m_plan),
      m_onComplete(std::move(onComplete)) {}

// Every report of the plan in order, each with its pause, until the end, a
// cancel or the end of the connection it was made for. Whether every report
// went.
bool WritePlanJob::Run(DeviceJobContext& context) {
    DeviceLink::Shared& s = *m_s;
    m_ticket.Start();
    bool all = true;
    for (size_t i = 0; i < m_plan.size(); ++i) {
        const PlannedReport& step = m_plan[i];
        if (context.Aborted()) return false;
        SetResult result = SetResult::kSent;
        if (step.profileAtStep) {
            result = SendProfileChosenNow(s, context, step, m_connection);
        } else if (step.report.empty()) {
            s.services.clock->SleepMs(step.pauseMs);
        } else {
            result = s.SetOn(m_connection, step.report, step.pauseMs);
            if (result == SetResult::kSent && step.profileValue >= 0)
                s.currentProfile = step.profileValue;
        }
        if (result == SetResult::kNotDelivered) return false;
        if (result == SetResult::kFailed) all = false;
        m_ticket.Settle(i);
        context.Step();
    }
    return all;
}

void WritePlanJob::Complete(bool done) {
    m_ticket.RestoreRest();
    if (m_onComplete) m_onComplete(done);
}

ReadBackJob::ReadBackJob(const std::shared_ptr<DeviceLink::Shared>& shared)
    : DeviceJob(DeviceJobKind::kReadBack, kFirstSteps),
      m_s(shared.get()),
      m_shared(shared),
      m_connection(shared->connection.load()) {}

bool ReadBackJob::Over(DeviceJobContext& context) {
    return context.Aborted() || m_s->ConnectionLost(m_connection);
}

// What the model holds pending, or in a plan still queued, is newer than the
// keyboard's: the link's sink leaves it alone, and the next Apply sends it.
bool ReadBackJob::Run(DeviceJobContext& context) {
    DeviceLink::Shared& s = *m_s;
    if (Over(context)) return false;
    ReadBackAnswers answers;
    ProfileReportBytes profileAnswer = ProfileReportRequest();
    // A failed get is a failure, not profile 0.
    const int p = s.Get(profileAnswer, 0, m_connection) ? DecodeProfileReport(profileAnswer) : -1;
    context.Step();
    if (Over(context)) return false;
    s.currentProfile = p;
    if (p < 0 || p >= kOnBoardProfileCount) return false;
    answers.profile = p;

    const auto fetchEach = [&](auto& answers, auto request) {
        for (int slot = 0; slot < kOnBoardProfileCount; ++slot) {
            if (Over(context)) return false;
            auto answer = request();
            if (s.SelectAndGet(slot, 0, answer, m_connection))
                answers[static_cast<size_t>(slot)] = answer;
            context.Step();
        }
        return true;
    };
    if (!fetchEach(answers.lighting, LightingReportRequest) ||
        !fetchEach(answers.keyTables, KeyTableReportRequest))
        return false;
    if (Over(context)) return false;
    // The first hand-over: which G keys hold macros is known only once the
    // key tables are in the model.
    std::vector<std::pair<int, int>> macros;
    const bool applied = context.OnUi([&] {
        DeviceLink* link = s.link;
        if (link == nullptr) return;
        answers.profileChosenSince = m_profileChosen;
        if (KeyboardReadSink* sink = link->ReadSink()) sink->OnReadBackProfiles(answers);
        macros = link->MacroGKeysToRead();
    });
    if (!applied) return false;

    for (size_t i = 0; i < macros.size(); ++i) {
        if (Over(context)) return false;
        const auto [slot, g] = macros[i];
        MacroReportBytes answer = MacroReportRequest();
        const bool fetched = s.SelectAndGet(slot, g, answer, m_connection);
        context.Step(i == 0 ? static_cast<int>(macros.size()) : 0);
        if (Over(context)) return false;
        std::optional<MacroReportBytes> writeBack;
        const bool merged = context.OnUi([&, slot = slot, g = g] {
            DeviceLink* link = s.link;
            if (link == nullptr) return;
            KeyboardReadSink* sink = link->ReadSink();
            if (sink != nullptr &&
                sink->OnMacroAnswer(slot, g, fetched ? &answer : nullptr,
                                    MacroAnswerRule::kReadBack) &&
                s.HasHandle())
                writeBack = link->BuildGKeyMacroReport(slot, g);
        });
        if (!merged) return false;
        if (writeBack) s.Set(*writeBack, kPauseAfterLongSetMs, m_connection);
    }
    m_readMacros = !macros.empty();
    m_readAll = true;
    return true;
}

void ReadBackJob::Complete(bool) {
    // Every macro was asked for, even when the job was cancelled at its last
    // exchange: what came is kept.
    if (!m_readAll) return;
    const std::shared_ptr<DeviceLink::Shared> s = m_shared.lock();
    if (!s || s->link == nullptr) return;
    if (KeyboardReadSink* sink = s->link->ReadSink()) sink->OnReadBackDone(m_readMacros);
}

MacroImportJob::MacroImportJob(DeviceLink::Shared* shared, int slot, int gIndex)
    : DeviceJob(DeviceJobKind::kRead, 2, DeviceLink::MacroImportTag(slot, gIndex)),
      m_s(shared),
      m_slot(slot),
      m_gIndex(gIndex) {}

bool MacroImportJob::Run(DeviceJobContext& context) {
    DeviceLink::Shared& s = *m_s;
    if (context.Aborted()) return false;
    MacroReportBytes answer = MacroReportRequest();
    const bool fetched = s.SelectAndGet(m_slot, m_gIndex, answer);
    context.Step();
    if (!fetched) return false;
    std::optional<MacroReportBytes> writeBack;
    const bool merged = context.OnUi([&] {
        DeviceLink* link = s.link;
        if (link == nullptr) return;
        KeyboardReadSink* sink = link->ReadSink();
        if (sink != nullptr &&
            sink->OnMacroAnswer(m_slot, m_gIndex, &answer, MacroAnswerRule::kImport))
            writeBack = link->BuildGKeyMacroReport(m_slot, m_gIndex);
    });
    if (merged && writeBack && !context.Aborted()) s.Set(*writeBack, kPauseAfterLongSetMs);
    context.Step();
    return merged;
}

}  // namespace lumbra
