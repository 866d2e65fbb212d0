// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/KeyboardProfile.h"

#include "model/Decimal.h"

namespace lumbra {

KeyAction DefaultGKeyAction(int n) {
    if (n < 1 || n > kGKeyCount) n = 1;
    return {KeyActionType::kKeyCombination, KeyModifier::kCtrl, static_cast<uint8_t>(0x1E + n - 1)};
}

std::string DefaultGKeyName(int n) {
    if (n < 1 || n > kGKeyCount) n = 1;
    return "CTRL+" + std::to_string(n);
}

int KeyboardProfile::LightColor() const { return ParseDecimal(PairValue(kLightColorPair)); }

int KeyboardProfile::LightBrightness() const {
    return ParseDecimal(PairValue(kLightBrightnessPair));
}

void KeyboardProfile::SetLightColor(int n) { SetPairValue(kLightColorPair, FormatDecimal(n)); }

void KeyboardProfile::SetLightBrightness(int n) {
    SetPairValue(kLightBrightnessPair, FormatDecimal(n));
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
    SetPairName(kProfileNamePair, "ProfileName");
    SetPairValue(kProfileNamePair, DefaultProfileName(slot));
    SetPairName(kLightColorPair, "LightColor");
    SetPairValue(kLightColorPair, "1");
    SetPairName(kLightBrightnessPair, "LightBrightness");
    SetPairValue(kLightBrightnessPair, "8");
    for (GKeySlot& g : m_gkeys) {
        g.name = "No Function";
        g.action = {};
    }
    m_keyTable = kDefaultKeyTable;
}

}  // namespace lumbra
