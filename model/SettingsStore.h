#pragma once

#include <array>
#include <string>

namespace lumbra {

// Six (name, value) text pairs: the current profile and the file behind each
// of the five profile slots.
class SettingsStore {
public:
    static constexpr int kPairCount = 6;

    // An index of 6 or more reads as empty text; negative indexes likewise.
    const std::string& Name(int i) const;
    const std::string& Value(int i) const;
    // An index out of 0..5 is ignored.
    void SetName(int i, std::string text);
    void SetValue(int i, std::string text);

    int CurrentProfile() const;
    void SetCurrentProfile(int n);

    // Slots 1..4 set their own path; every other slot number sets slot 0's.
    void SetSlotPath(int slot, std::string path);
    const std::string& SlotPath(int slot) const { return Value(SlotPair(slot)); }

    // appDirectory ends with the path separator.
    void ResetDefaults(const std::string& appDirectory);

    static std::string DefaultSlotPath(const std::string& appDirectory, int slot);

private:
    static int SlotPair(int slot) { return (slot >= 1 && slot <= 4) ? slot + 1 : 1; }

    std::array<std::string, kPairCount> m_names;
    std::array<std::string, kPairCount> m_values;
};

}  // namespace lumbra
