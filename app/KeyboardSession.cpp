#include "app/KeyboardSession.h"

#include <algorithm>

#include "macro/MacroLibrary.h"
#include "model/KeyboardModel.h"
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
    DeviceLinkServices link;
    link.backend = m_services.backend;
    link.clock = m_services.clock;
    link.dispatcher = m_services.dispatcher;
    link.model = m_services.model;
    link.library = m_services.library;
    link.window = m_services.window;
    link.launcher = m_services.launcher;
    link.appDirectory = m_services.appDirectory;
    m_link = std::make_unique<DeviceLink>(std::move(link));
    m_link->InitDeviceLink();
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
    m_link->FlushPendingWrites();
    m_link->WriteCurrentProfile(static_cast<uint8_t>(currentProfile));
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
        m_link->WriteLighting(profile);
        m_link->WriteKeyTable(profile);
        m_link->ResetOnBoardProfile(profile);
        m_link->WriteCurrentProfile(static_cast<uint8_t>(profile));
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
    for (int p = 0; p < kOnBoardProfileCount; ++p) {
        model.Profile(p).ResetDefaults(p);
        WriteProfileFile(model, p);
        m_link->WriteLighting(p);
        m_link->WriteKeyTable(p);
        m_link->ResetOnBoardProfile(p);
    }
    m_link->WriteCurrentProfile(0);
    model.pending.Clear();
}

void KeyboardSession::SaveProfileAs(int profile, const std::string& path) {
    KeyboardModel& model = Model();
    model.settings.SetSlotPath(profile, path);
    WriteSettingsFile(model.settings, m_services.appDirectory);
    WriteProfileFile(model, profile);
}

void KeyboardSession::LoadProfileFrom(int profile, const std::string& path) {
    KeyboardModel& model = Model();
    model.settings.SetSlotPath(profile, path);
    ReadProfileFile(model, profile);
}

void KeyboardSession::Goodbye() {
    if (!m_link) return;
    m_link->StopListener();
    m_link->WriteCurrentProfile(static_cast<uint8_t>(kGoodbyeProfile));
    m_services.clock->SleepMs(kGoodbyePauseMs);
    m_link->CloseFeatureHandle();
}

}  // namespace lumbra
