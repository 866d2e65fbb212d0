// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/KeyboardModel.h"

namespace lumbra {

KeyboardProfile& KeyboardModel::Profile(int slot) {
    return profiles[static_cast<size_t>((slot >= 0 && slot < kProfileSlotCount) ? slot : 0)];
}

const KeyboardProfile& KeyboardModel::Profile(int slot) const {
    return profiles[static_cast<size_t>((slot >= 0 && slot < kProfileSlotCount) ? slot : 0)];
}

int KeyboardModel::CurrentSlot() const {
    const int slot = settings.CurrentProfile();
    return (slot >= 0 && slot < kProfileSlotCount) ? slot : 0;
}

void KeyboardModel::AssignGKeyFunction(int gKey, std::string name, std::string launchPath,
                                       KeyAction action) {
    GKeySlot* slot = Current().GKey((gKey >= 0 && gKey < kGKeyCount) ? gKey : 2);
    slot->name = std::move(name);
    slot->launchPath = std::move(launchPath);
    slot->action = action;
}

void KeyboardModel::SetKeyCode(size_t position, uint8_t code) {
    Current().Keys()[position < kKeyTableSize ? position : kStrayKeyPosition] = code;
}

std::array<uint8_t, kKeyButtonCount> KeyboardModel::RefreshKeyButtons(int slot) const {
    std::array<uint8_t, kKeyButtonCount> codes{};
    const KeyTable& keys = Profile(slot).Keys();
    for (size_t i = 0; i < kKeyButtonCount; ++i) codes[i] = keys[kKeyPositionMap[i]];
    return codes;
}

void KeyboardModel::ResetAllDefaults(const std::string& appDirectory) {
    settings.ResetDefaults(appDirectory);
    for (int slot = 0; slot < kOnBoardProfileCount; ++slot) Profile(slot).ResetDefaults(slot);
}

KeyboardModel& TheKeyboardModel() {
    static KeyboardModel model;
    return model;
}

}  // namespace lumbra
