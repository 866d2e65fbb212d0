// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/SettingsStore.h"

#include "model/Decimal.h"

namespace lumbra {

int SettingsStore::CurrentProfile() const { return ParseDecimal(Value(0)); }

void SettingsStore::SetCurrentProfile(int n) { SetValue(0, FormatDecimal(n)); }

void SettingsStore::SetSlotPath(int slot, std::string path) {
    SetValue(SlotPair(slot), std::move(path));
}

std::string SettingsStore::DefaultSlotPath(const std::string& appDirectory, int slot) {
    return appDirectory + "config/default" + std::to_string(slot) + ".psf";
}

void SettingsStore::ResetDefaults(const std::string& appDirectory) {
    SetName(0, "CurrentProfile");
    SetValue(0, "0");
    for (int slot = 0; slot < 5; ++slot) {
        SetName(slot + 1, "ProfileSlot" + std::to_string(slot) + "URL");
        SetValue(slot + 1, DefaultSlotPath(appDirectory, slot));
    }
    m_followPrograms.reset();
}

}  // namespace lumbra
