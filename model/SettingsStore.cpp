#include "model/SettingsStore.h"

#include "model/Decimal.h"

namespace lumbra {
namespace {

const std::string kEmpty;

bool InRange(int i) {
    return i >= 0 && i < SettingsStore::kPairCount;
}

}  // namespace

const std::string& SettingsStore::Name(int i) const {
    return InRange(i) ? m_names[static_cast<size_t>(i)] : kEmpty;
}

const std::string& SettingsStore::Value(int i) const {
    return InRange(i) ? m_values[static_cast<size_t>(i)] : kEmpty;
}

void SettingsStore::SetName(int i, std::string text) {
    if (InRange(i)) m_names[static_cast<size_t>(i)] = std::move(text);
}

void SettingsStore::SetValue(int i, std::string text) {
    if (InRange(i)) m_values[static_cast<size_t>(i)] = std::move(text);
}

int SettingsStore::CurrentProfile() const {
    return ParseDecimal(m_values[0]);
}

void SettingsStore::SetCurrentProfile(int n) {
    m_values[0] = FormatDecimal(n);
}

void SettingsStore::SetSlotPath(int slot, std::string path) {
    SetValue(SlotPair(slot), std::move(path));
}

std::string SettingsStore::DefaultSlotPath(const std::string& appDirectory, int slot) {
    return appDirectory + "config/default" + std::to_string(slot) + ".psf";
}

void SettingsStore::ResetDefaults(const std::string& appDirectory) {
    m_names[0] = "CurrentProfile";
    m_values[0] = "0";
    for (int slot = 0; slot < 5; ++slot) {
        const auto pair = static_cast<size_t>(slot + 1);
        m_names[pair] = "ProfileSlot" + std::to_string(slot) + "URL";
        m_values[pair] = DefaultSlotPath(appDirectory, slot);
    }
}

}  // namespace lumbra
