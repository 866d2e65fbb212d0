// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>

#include "model/KeyAction.h"
#include "model/KeyTable.h"
#include "model/TextPairs.h"

namespace lumbra {

constexpr int kGKeyCount = 5;
constexpr int kProfileSlotCount = 5;
constexpr int kOnBoardProfileCount = 3;

// The function of one G key in one profile.
struct GKeySlot {
    std::string name;        // display name; for a macro the macro's name
    std::string launchPath;  // program or document opened by quick launch
    KeyAction action;
};

// Up to three programs that go with a profile (the edit-profile dialog's
// paths). They live only on the PC, in the profile's file.
struct ProfilePrograms {
    static constexpr int kCount = 3;
    std::array<std::string, kCount> paths;

    bool Any() const {
        for (const std::string& p : paths) {
            if (!p.empty()) return true;
        }
        return false;
    }
    friend bool operator==(const ProfilePrograms&, const ProfilePrograms&) = default;
};

// One profile slot. Slots 0..2 mirror the keyboard's on-board profiles.
class KeyboardProfile {
public:
    static constexpr int kPairCount = 3;
    static constexpr int kProfileNamePair = 0;
    static constexpr int kLightColorPair = 1;
    static constexpr int kLightBrightnessPair = 2;

    // Indexes outside 0..2 read as empty text; setters ignore them.
    const std::string& PairName(int i) const { return m_pairs.Name(i); }
    const std::string& PairValue(int i) const { return m_pairs.Value(i); }
    void SetPairName(int i, std::string text) { m_pairs.SetName(i, std::move(text)); }
    void SetPairValue(int i, std::string text) { m_pairs.SetValue(i, std::move(text)); }

    int LightColor() const;
    int LightBrightness() const;
    void SetLightColor(int n);
    void SetLightBrightness(int n);

    // G key g (0..4); nullptr for any other g, and callers then do nothing.
    GKeySlot* GKey(int g);
    const GKeySlot* GKey(int g) const;

    KeyTable& Keys() { return m_keyTable; }
    const KeyTable& Keys() const { return m_keyTable; }

    // The factory state of slot s. Launch paths are kept: a reset forgets the
    // function, not the program the user once picked.
    void ResetDefaults(int slot);

    static std::string DefaultProfileName(int slot);

    // Not touched by ResetDefaults, like the launch paths.
    ProfilePrograms programs;

private:
    TextPairs<kPairCount> m_pairs;
    std::array<GKeySlot, kGKeyCount> m_gkeys;
    KeyTable m_keyTable{};
};

}  // namespace lumbra
