#include "device/DeviceLink.h"
#include "device/DeviceLinkShared.h"
#include "storage/MacroFiles.h"

namespace lumbra {

bool DeviceLink::SetFeature(std::span<const uint8_t> report, uint32_t pauseMs) {
    return m_shared->Set(report, pauseMs);
}

int DeviceLink::ReadCurrentProfile() {
    ProfileReportBytes answer = ProfileReportRequest();
    // A failed get is a failure, not profile 0.
    if (!m_shared->Get(answer, 0)) return -1;
    return DecodeProfileReport(answer);
}

int DeviceLink::WriteCurrentProfile(uint8_t value) {
    if (!SetFeature(EncodeProfileReport(value), kPauseAfterShortSetMs)) return 0;
    m_shared->currentProfile = value;
    return 1;
}

int DeviceLink::ReadLighting(int slot) {
    LightingReportBytes answer = LightingReportRequest();
    if (!m_shared->SelectAndGet(slot, 0, answer)) return 0;
    const Lighting lighting = DecodeLightingReport(answer);
    KeyboardProfile& profile = m_services.model->Profile(slot);
    profile.SetLightColor(lighting.mode);
    profile.SetLightBrightness(lighting.brightness);
    return 1;
}

int DeviceLink::WriteLighting(int slot) {
    return SetFeature(EncodeLightingReport(m_services.model->Profile(slot), slot),
                      kPauseAfterShortSetMs)
               ? 1
               : 0;
}

int DeviceLink::ReadKeyTable(int slot) {
    KeyTableReportBytes answer = KeyTableReportRequest();
    if (!m_shared->SelectAndGet(slot, 0, answer)) return 0;
    DecodeKeyTableReport(answer, m_services.model->Profile(slot));
    return 1;
}

int DeviceLink::WriteKeyTable(int slot) {
    return SetFeature(EncodeKeyTableReport(m_services.model->Profile(slot), slot),
                      kPauseAfterLongSetMs)
               ? 1
               : 0;
}

bool DeviceLink::FetchMacroReport(int slot, int gIndex, MacroReportBytes& answer) {
    answer = MacroReportRequest();
    return m_shared->SelectAndGet(slot, gIndex, answer);
}

int DeviceLink::ReadGKeyMacro(int slot, int gIndex) {
    const GKeySlot* g = m_services.model->Profile(slot).GKey(gIndex);
    if (g == nullptr || g->action.type != KeyActionType::kMacro) return 0;
    m_libraryChanged = true;
    MacroReportBytes answer;
    if (!FetchMacroReport(slot, gIndex, answer)) return 0;
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
    const std::optional<MacroReportBytes> report = BuildGKeyMacroReport(slot, gIndex);
    if (!report) return 0;
    return SetFeature(*report, kPauseAfterLongSetMs) ? 1 : 0;
}

int DeviceLink::ResetOnBoardProfile(int slot) {
    return SetFeature(EncodeResetReport(slot), kPauseAfterLongSetMs) ? 1 : 0;
}

bool DeviceLink::ApplyMacroReport(int slot, int gIndex, MacroReportView answer) {
    const MacroReportName resolved = DecodeMacroReportName(answer, slot, gIndex);
    if (GKeySlot* g = m_services.model->Profile(slot).GKey(gIndex)) g->name = resolved.name;
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

void DeviceLink::ReadBackAll() {
    if (!m_found || !m_needReadBack) return;
    m_needReadBack = false;
    const int p = ReadCurrentProfile();
    m_shared->currentProfile = p;
    if (p < 0 || p > 2) return;
    m_services.model->settings.SetCurrentProfile(p);
    for (int slot = 0; slot < kOnBoardProfileCount; ++slot) ReadLighting(slot);
    for (int slot = 0; slot < kOnBoardProfileCount; ++slot) ReadKeyTable(slot);
    for (int slot = 0; slot < kOnBoardProfileCount; ++slot) {
        for (int g = 0; g < kGKeyCount; ++g) ReadGKeyMacro(slot, g);
    }
    if (m_libraryChanged) {
        WriteMacroLibrary(*m_services.library, m_services.appDirectory);
        m_libraryChanged = false;
    }
    RefreshWindow();
}

void DeviceLink::FlushPendingWrites() {
    PendingWrites& pending = m_services.model->pending;
    for (int slot = 0; slot < kOnBoardProfileCount; ++slot) {
        if (!pending.lightingPending[static_cast<size_t>(slot)]) continue;
        pending.lightingPending[static_cast<size_t>(slot)] = false;
        WriteLighting(slot);
    }
    for (int slot = 0; slot < kOnBoardProfileCount; ++slot) {
        if (!pending.keyTablePending[static_cast<size_t>(slot)]) continue;
        pending.keyTablePending[static_cast<size_t>(slot)] = false;
        WriteKeyTable(slot);
    }
    for (int slot = 0; slot < kOnBoardProfileCount; ++slot) {
        for (int g = 0; g < kGKeyCount; ++g) {
            bool& flag = pending.macroPending[static_cast<size_t>(slot)][static_cast<size_t>(g)];
            if (!flag) continue;
            flag = false;
            WriteGKeyMacro(slot, g);
        }
    }
}

}  // namespace lumbra
