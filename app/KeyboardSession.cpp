// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/KeyboardSession.h"

#include <algorithm>
#include <cstdio>

#include "app/ProgramFollower.h"
#include "device/DeviceWorker.h"
#include "device/Reports.h"
#include "model/KeyboardModel.h"
#include "model/MacroLibrary.h"
#include "storage/MacroFiles.h"
#include "storage/ProfileFile.h"
#include "storage/SettingsFile.h"

namespace lumbra {

KeyboardSession::KeyboardSession(KeyboardSessionServices services)
    : m_services(std::move(services)) {}

KeyboardSession::~KeyboardSession() = default;

void KeyboardSession::LoadFiles() {
    KeyboardModel& model = Model();
    const std::string& dir = m_services.appDirectory;
    LoadMacroLibraryOrDefault(*m_services.library, dir);
    ReadSettingsFile(model.settings, dir);
    for (int slot = 0; slot < kProfileSlotCount; ++slot) ReadProfileFile(model, slot);
}

void KeyboardSession::OpenLink() {
    m_link = std::make_unique<DeviceLink>(m_services);
    m_link->InitDeviceLink();
    m_link->SetReadSink(this);
    m_link->Worker().SetProgressSink([this](const DeviceProgress& p) { OnProgress(p); });
}

void KeyboardSession::Connect() {
    m_link->FindKeyboard();
    m_link->ReadBackAll();
}

void KeyboardSession::OnDeviceChange(DeviceChange change) {
    if (m_link) m_link->OnDeviceChange(change);
}

namespace {

bool NamesAMacro(const KeyboardProfile& profile) {
    for (int g = 0; g < kGKeyCount; ++g)
        if (const GKeySlot* key = profile.GKey(g); key && key->action.type == KeyActionType::kMacro)
            return true;
    return false;
}

// Names the G key, finds or adds the macro in the first macro set and fills
// it. Whether the name was made up.
bool ApplyMacroReport(KeyboardModel& model, MacroLibrary& library, int slot, int gIndex,
                      MacroReportView answer) {
    MacroReportName resolved = DecodeMacroReportName(answer, slot, gIndex);
    if (GKeySlot* g = model.Profile(slot).GKey(gIndex)) {
        // The keyboard keeps a long name cut; the G key keeps it whole, so that
        // names sharing the part the keyboard keeps stay apart.
        if (!resolved.madeUp && FitMacroNameToField(g->name) == resolved.name)
            resolved.name = g->name;
        g->name = resolved.name;
    }
    // A library without any macro set has nowhere to keep the macro; the G key
    // still carries the name.
    MacroSet* set = library.SetAt(0);
    if (set == nullptr) return resolved.madeUp;
    MacroKey* key = library.FindMacroKeyByName(resolved.name);
    if (key == nullptr) key = set->AddKey(resolved.name);
    if (key != nullptr) UnpackMacroReport(answer, *key);
    return resolved.madeUp;
}

}  // namespace

void KeyboardSession::OnReadBackProfiles(const ReadBackAnswers& answers) {
    KeyboardModel& model = Model();
    // A profile chosen while the answers came in wins: its report, if any,
    // is sent after this read.
    if (!answers.profileChosenSince) model.settings.SetCurrentProfile(answers.profile);
    for (int slot = 0; slot < kOnBoardProfileCount; ++slot) {
        const auto i = static_cast<size_t>(slot);
        KeyboardProfile& profile = model.Profile(slot);
        if (const auto& answer = answers.lighting[i];
            answer && !m_link->HoldsNewer({PendingPart::Kind::kLighting, slot, 0})) {
            const Lighting decoded = DecodeLightingReport(*answer);
            profile.SetLightColor(decoded.mode);
            profile.SetLightBrightness(decoded.brightness);
        }
        if (const auto& answer = answers.keyTables[i];
            answer && !m_link->HoldsNewer({PendingPart::Kind::kKeyTable, slot, 0}))
            DecodeKeyTableReport(*answer, profile);
    }
    // The window shows the keyboard's profile while its macros come.
    Refresh();
}

bool KeyboardSession::MergeMacroAnswer(int slot, int gIndex, const MacroReportBytes* answer,
                                       MacroAnswerRule rule) {
    if (rule == MacroAnswerRule::kReadBack) {
        // Given a macro of the user's since the read-back listed it.
        if (m_link->HoldsNewer({PendingPart::Kind::kMacro, slot, gIndex})) return false;
        m_link->SetLibraryChanged(true);
        if (answer == nullptr) return false;
        return ApplyMacroReport(Model(), *m_services.library, slot, gIndex, *answer);
    }
    if (answer == nullptr) return false;
    ApplyMacroReport(Model(), *m_services.library, slot, gIndex, *answer);
    if (GKeySlot* g = Model().Profile(slot).GKey(gIndex))
        g->action = KeyAction{KeyActionType::kMacro, 0, 0};
    return true;
}

bool KeyboardSession::OnMacroAnswer(int slot, int gIndex, const MacroReportBytes* answer,
                                    MacroAnswerRule rule) {
    const bool writeBack = MergeMacroAnswer(slot, gIndex, answer, rule);
    if (rule == MacroAnswerRule::kImport && answer != nullptr) {
        // The library first: the profile names the macro kept there.
        WriteFailure failure;
        if (!WriteMacroLibrary(*m_services.library, m_services.appDirectory, &failure) ||
            !WriteProfileFile(Model(), slot, &failure))
            std::fprintf(stderr, "lumbra: %s\n", failure.Text().c_str());
        Refresh();
    }
    return writeBack;
}

void KeyboardSession::OnReadBackDone(bool readMacros) {
    if (m_link->LibraryChanged()) {
        WriteMacroLibrary(*m_services.library, m_services.appDirectory);
        m_link->SetLibraryChanged(false);
    }
    // The rest was shown when the profiles came.
    if (readMacros) Refresh();
}

void KeyboardSession::OnKeyboardChange(const KeyboardChange& change) {
    if (change.kind == KeyboardChange::Kind::kProfile) {
        Model().settings.SetCurrentProfile(change.slot);
    } else {
        KeyboardProfile& profile = Model().Profile(change.slot);
        if (change.lightColor) profile.SetLightColor(*change.lightColor);
        if (change.lightBrightness) profile.SetLightBrightness(*change.lightBrightness);
    }
    Refresh();
}

void KeyboardSession::Refresh() {
    if (m_services.window) m_services.window->RefreshWindow();
}

SaveFailures KeyboardSession::WriteAllFiles() {
    KeyboardModel& model = Model();
    const std::string& dir = m_services.appDirectory;
    SaveFailures failures;
    WriteFailure failure;
    // The library first: a profile's G keys name its macros, so a profile
    // must not be saved naming a macro the library file failed to keep.
    bool libraryKept = true;
    if (m_link->LibraryChanged()) {
        libraryKept = WriteMacroLibrary(*m_services.library, dir, &failure);
        if (!libraryKept) failures.push_back(failure);
    }
    // A library not written is tried again at the next commit.
    m_link->SetLibraryChanged(!libraryKept);
    if (!WriteSettingsFile(model.settings, dir, &failure)) failures.push_back(failure);
    for (int slot = 0; slot < kProfileSlotCount; ++slot) {
        if (!libraryKept && NamesAMacro(model.Profile(slot)))
            failures.push_back({model.settings.SlotPath(slot), 0,
                                "it names macros of a library that could not be saved"});
        else if (!WriteProfileFile(model, slot, &failure))
            failures.push_back(failure);
    }
    return failures;
}

SaveFailures KeyboardSession::Commit(int currentProfile, std::function<void(bool)> onSent) {
    DeviceLink& link = *m_link;
    WritePlan plan = link.PlanPendingWrites();
    // The profile goes out as the window has it when the flush gets there: a
    // profile key pressed on the keyboard meanwhile is kept, not undone, and
    // the settings file follows it.
    DeviceLink::AddCurrentProfileWriteAtStep(plan, [this, currentProfile] {
        const int now = Model().CurrentSlot();
        if (now != currentProfile) StoreCurrentProfile(now);
        return std::optional<uint8_t>(static_cast<uint8_t>(now));
    });
    link.Execute(std::move(plan), 0, std::move(onSent));
    Model().settings.SetCurrentProfile(currentProfile);
    return WriteAllFiles();
}

void KeyboardSession::StoreCurrentProfile(int profile) {
    UpdateSettingsFile(m_services.appDirectory, Model().settings,
                       [profile](SettingsStore& s) { s.SetCurrentProfile(profile); });
}

void KeyboardSession::ResetProfile(int profile) {
    KeyboardModel& model = Model();
    model.Profile(profile).ResetDefaults(std::clamp(profile, 0, kProfileSlotCount - 1));
    WriteProfileFile(model, profile);
    // Profiles 4 and 5 live on the PC only: a report would carry slot AND 3
    // and reset the wrong on-board profile.
    if (profile >= 0 && profile < kOnBoardProfileCount) {
        WritePlan plan;
        m_link->AddLightingWrite(plan, profile);
        m_link->AddKeyTableWrite(plan, profile);
        m_link->AddResetWrite(plan, profile);
        m_link->AddCurrentProfileWrite(plan, static_cast<uint8_t>(profile));
        m_link->Execute(std::move(plan));
    }
    if (profile < 0 || profile >= kProfileSlotCount) return;
    const auto slot = static_cast<size_t>(profile);
    auto& pending = model.pending;
    pending.lightingPending[slot] = false;
    pending.keyTablePending[slot] = false;
    pending.macroPending[slot].fill(false);
}

void KeyboardSession::ResetAll() {
    KeyboardModel& model = Model();
    model.settings.ResetDefaults(m_services.appDirectory);
    WriteSettingsFile(model.settings, m_services.appDirectory);
    WritePlan plan;
    for (int p = 0; p < kOnBoardProfileCount; ++p) {
        model.Profile(p).ResetDefaults(p);
        WriteProfileFile(model, p);
        m_link->AddLightingWrite(plan, p);
        m_link->AddKeyTableWrite(plan, p);
        m_link->AddResetWrite(plan, p);
    }
    m_link->AddCurrentProfileWrite(plan, 0);
    m_link->Execute(std::move(plan));
    model.pending.Clear();
}

void KeyboardSession::SendCurrentProfile(int profile, std::function<void(bool)> onSent) {
    WritePlan plan;
    // Stored when sent, so that a switch replaced while it waits writes nothing.
    DeviceLink::AddCurrentProfileWriteAtStep(plan, [this, profile] {
        StoreCurrentProfile(profile);
        return std::optional<uint8_t>(static_cast<uint8_t>(profile));
    });
    m_link->Execute(std::move(plan), DeviceLink::kProfileSwitchTag, std::move(onSent));
}

SaveFailures KeyboardSession::SaveProfileAs(int profile, const std::string& path) {
    KeyboardModel& model = Model();
    // The profile first: settings naming a file that was never written would
    // lose the slot at the next start.
    WriteFailure failure;
    if (!WriteProfileFile(model.Profile(profile), path, &failure)) return {failure};
    model.settings.SetSlotPath(profile, path);
    if (!WriteSettingsFile(model.settings, m_services.appDirectory, &failure)) return {failure};
    return {};
}

bool KeyboardSession::LoadProfileFrom(int profile, const std::string& path) {
    KeyboardModel& model = Model();
    // A file the user picked is never rewritten because it was rejected.
    if (!LoadProfileFile(model.Profile(profile), path)) return false;
    model.settings.SetSlotPath(profile, path);
    return true;
}

void KeyboardSession::MarkProfilePending(int profile) {
    if (profile < 0 || profile >= kOnBoardProfileCount) return;
    PendingWrites& pending = Model().pending;
    pending.MarkLighting(profile);
    pending.MarkKeyTable(profile);
    for (int g = 0; g < kGKeyCount; ++g) {
        const GKeySlot* key = Model().Profile(profile).GKey(g);
        if (key->action.type == KeyActionType::kMacro) pending.MarkMacro(profile, g);
    }
}

void KeyboardSession::PrepareExit() {
    if (!m_link) return;
    // Reads first: a read waiting for the handle while the listener stops
    // must find them given up when it gets it. Then the keyboard's events,
    // which would queue work of their own meanwhile.
    m_link->GiveUpReads();
    m_link->StopListener();
}

void KeyboardSession::Goodbye() {
    if (!m_link) return;
    m_link->StopListener();
    // Whatever still runs was given up on by the one who ends the program.
    DeviceWorker& worker = m_link->Worker();
    worker.Abort();
    WritePlan plan;
    m_link->AddCurrentProfileWrite(plan, static_cast<uint8_t>(kGoodbyeProfile));
    DeviceLink::AddPause(plan, kGoodbyePauseMs);
    m_link->Execute(std::move(plan));
    worker.RunToIdle(kGoodbyeLimit);
    m_link->CloseFeatureHandle();
}

bool KeyboardSession::Busy() const { return m_link && m_link->Worker().Busy(); }

void KeyboardSession::Abort() {
    if (m_link) m_link->Worker().Abort();
}

bool KeyboardSession::RunToIdle() { return !m_link || m_link->RunToIdle(); }

void KeyboardSession::WhenIdle(std::function<void()> then) {
    if (!Busy()) {
        then();
        return;
    }
    m_whenIdle.push_back(std::move(then));
}

void KeyboardSession::OnProgress(const DeviceProgress& progress) {
    m_progress = progress;
    if (m_onProgress) m_onProgress(progress);
    if (progress.busy || Busy()) return;
    std::vector<std::function<void()>> waiting;
    waiting.swap(m_whenIdle);
    for (auto& then : waiting) then();
}

}  // namespace lumbra
