// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/KeyboardSession.h"

#include <algorithm>

#include "device/DeviceWorker.h"
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
    m_link->Worker().SetProgressSink([this](const DeviceProgress& p) { OnProgress(p); });
}

void KeyboardSession::Connect() {
    m_link->FindKeyboard();
    m_link->ReadBackAll();
}

void KeyboardSession::OnDeviceChange(DeviceChange change) {
    if (m_link) m_link->OnDeviceChange(change);
}

void KeyboardSession::WriteAllFiles() {
    KeyboardModel& model = Model();
    const std::string& dir = m_services.appDirectory;
    WriteSettingsFile(model.settings, dir);
    for (int slot = 0; slot < kProfileSlotCount; ++slot) WriteProfileFile(model, slot);
    if (m_link->LibraryChanged()) WriteMacroLibrary(*m_services.library, dir);
    m_link->SetLibraryChanged(false);
}

void KeyboardSession::Commit(int currentProfile) {
    DeviceLink& link = *m_link;
    WritePlan plan = link.PlanPendingWrites();
    link.AddCurrentProfileWrite(plan, static_cast<uint8_t>(currentProfile));
    link.Execute(std::move(plan));
    Model().settings.SetCurrentProfile(currentProfile);
    WriteAllFiles();
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
    const auto slot = static_cast<size_t>(model.CurrentSlot());
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

void KeyboardSession::SendCurrentProfile(int profile) {
    WritePlan plan;
    m_link->AddCurrentProfileWrite(plan, static_cast<uint8_t>(profile));
    m_link->Execute(std::move(plan));
}

void KeyboardSession::SaveProfileAs(int profile, const std::string& path) {
    KeyboardModel& model = Model();
    model.settings.SetSlotPath(profile, path);
    WriteSettingsFile(model.settings, m_services.appDirectory);
    WriteProfileFile(model, profile);
}

bool KeyboardSession::LoadProfileFrom(int profile, const std::string& path) {
    KeyboardModel& model = Model();
    // A file the user picked is never rewritten because it was rejected.
    if (!LoadProfileFile(model.Profile(profile), path)) return false;
    model.settings.SetSlotPath(profile, path);
    return true;
}

void KeyboardSession::PrepareExit() {
    if (!m_link) return;
    // The keyboard's events would queue work of their own meanwhile.
    m_link->StopListener();
    m_link->Worker().AbortReads();
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
