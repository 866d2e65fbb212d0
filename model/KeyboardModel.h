// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>

#include "model/KeyboardProfile.h"
#include "model/PendingWrites.h"
#include "model/SettingsStore.h"

namespace lumbra {

// The whole in-memory configuration: settings, the five profile slots and
// the changes waiting to be sent.
//
// Threads: the model belongs to the UI thread. No other thread reads or
// writes it; the input listener hands every change it has to make to the UI
// thread through the UiDispatcher, and the UI thread applies it between two
// of its own messages. That is why nothing here takes a lock.
class KeyboardModel {
public:
    SettingsStore settings;
    std::array<KeyboardProfile, kProfileSlotCount> profiles;
    PendingWrites pending;

    // The record of a slot. The slot number may come from a file or from the
    // keyboard; one outside 0..4 addresses slot 0, as a slot path does.
    KeyboardProfile& Profile(int slot);
    const KeyboardProfile& Profile(int slot) const;

    // CurrentProfile of the settings as a slot index that is safe to use.
    int CurrentSlot() const;
    KeyboardProfile& Current() { return Profile(CurrentSlot()); }

    // Gives G key `gKey` (0..4 for G1..G5) a new function in the current
    // profile. An index outside 0..4 writes G3 (index 2), so that a caller's
    // stray button still lands on one fixed slot. The caller marks what is
    // pending.
    void AssignGKeyFunction(int gKey, std::string name, std::string launchPath, KeyAction action);

    // Stores a key code at key-table position `position` (kKeyPositionMap has
    // each on-screen key's) in the current profile; a position past the table
    // writes kStrayKeyPosition.
    void SetKeyCode(size_t position, uint8_t code);

    // The code at every on-screen key's position in a profile, by key index.
    std::array<uint8_t, kKeyButtonCount> RefreshKeyButtons(int slot) const;

    // The factory settings and profile slots 0..2; slots 3 and 4 keep their
    // contents. This is the "reset everything" of the main window.
    void ResetAllDefaults(const std::string& appDirectory);
};

// The process-wide model, alive from first use to the end of the program.
KeyboardModel& TheKeyboardModel();

}  // namespace lumbra
