#include "model/KeyboardProfile.h"

#include "model/Decimal.h"

namespace lumbra {
namespace {

const std::string kEmpty;

bool PairInRange(int i) {
    return i >= 0 && i < KeyboardProfile::kPairCount;
}

}  // namespace

KeyAction DefaultGKeyAction(int n) {
    if (n < 1 || n > kGKeyCount) n = 1;
    return {KeyActionType::kKeyCombination, KeyModifier::kCtrl, static_cast<uint8_t>(0x1E + n - 1)};
}

std::string DefaultGKeyName(int n) {
    if (n < 1 || n > kGKeyCount) n = 1;
    return "CTRL+" + std::to_string(n);
}

const std::string& KeyboardProfile::PairName(int i) const {
    return PairInRange(i) ? m_names[static_cast<size_t>(i)] : kEmpty;
}

const std::string& KeyboardProfile::PairValue(int i) const {
    return PairInRange(i) ? m_values[static_cast<size_t>(i)] : kEmpty;
}

void KeyboardProfile::SetPairName(int i, std::string text) {
    if (PairInRange(i)) m_names[static_cast<size_t>(i)] = std::move(text);
}

void KeyboardProfile::SetPairValue(int i, std::string text) {
    if (PairInRange(i)) m_values[static_cast<size_t>(i)] = std::move(text);
}

int KeyboardProfile::LightColor() const {
    return ParseDecimal(m_values[kLightColorPair]);
}

int KeyboardProfile::LightBrightness() const {
    return ParseDecimal(m_values[kLightBrightnessPair]);
}

void KeyboardProfile::SetLightColor(int n) {
    m_values[kLightColorPair] = FormatDecimal(n);
}

void KeyboardProfile::SetLightBrightness(int n) {
    m_values[kLightBrightnessPair] = FormatDecimal(n);
}

GKeySlot* KeyboardProfile::GKey(int g) {
    return (g >= 0 && g < kGKeyCount) ? &m_gkeys[static_cast<size_t>(g)] : nullptr;
}

const GKeySlot* KeyboardProfile::GKey(int g) const {
    return (g >= 0 && g < kGKeyCount) ? &m_gkeys[static_cast<size_t>(g)] : nullptr;
}

std::string KeyboardProfile::DefaultProfileName(int slot) {
    return "Default" + std::to_string(static_cast<unsigned>(slot) + 1u);
}

void KeyboardProfile::ResetDefaults(int slot) {
    m_names = {"ProfileName", "LightColor", "LightBrightness"};
    m_values = {DefaultProfileName(slot), "1", "8"};
    for (GKeySlot& g : m_gkeys) {
        g.name = "No Function";
        g.action = {};
    }
    m_keyTable = kDefaultKeyTable;
}

}  // namespace lumbra
