// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "model/TextPairs.h"

namespace lumbra {

// Six (name, value) text pairs: the current profile and the file behind each
// of the five profile slots.
class SettingsStore : public TextPairs<6> {
public:
    static constexpr int kPairCount = kCount;

    // The number as the settings hold it, which may name no slot; the
    // profile in use is KeyboardModel::CurrentSlot, which reads one outside
    // 0..4 as 0.
    int CurrentProfile() const;
    void SetCurrentProfile(int n);

    // Slots 1..4 set their own path; every other slot number sets slot 0's.
    void SetSlotPath(int slot, std::string path);
    const std::string& SlotPath(int slot) const { return Value(SlotPair(slot)); }

    // appDirectory ends with the path separator.
    void ResetDefaults(const std::string& appDirectory);

    static std::string DefaultSlotPath(const std::string& appDirectory, int slot);

    // Whether profiles follow programs, only once the user chose otherwise than the default;
    // nothing keeps the default. Not one of the pairs: the defaults clear it.
    std::optional<bool> FollowPrograms() const { return m_followPrograms; }
    void SetFollowPrograms(std::optional<bool> follow) { m_followPrograms = follow; }

private:
    static int SlotPair(int slot) { return (slot >= 1 && slot <= 4) ? slot + 1 : 1; }

    std::optional<bool> m_followPrograms;
};

}  // namespace lumbra
