// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/KeyboardModel.h"

namespace lumbra {

// One macro step: a key event or a pause, always four bytes in this order.
//   key event: virtual-key code (8..255), 0x00 press / 0x80 release, 0, 0
//   pause:     3, then the length in ms as a 24-bit big-endian number
// Every byte 0 below 8 is shown as a pause.
struct MacroAction {
    std::array<uint8_t, 4> bytes{};

    static constexpr uint8_t kPauseMarker = 3;
    static constexpr uint8_t kPressFlag = 0x00;
    static constexpr uint8_t kReleaseFlag = 0x80;
    static constexpr uint32_t kMaxPause = 0xFFFFFF;

    static MacroAction KeyEvent(uint8_t virtualKey, bool release);
    // Lengths above 0xFFFFFF are stored as 0xFFFFFF.
    static MacroAction Pause(uint32_t milliseconds);

    bool IsPause() const { return bytes[0] < 8; }
    bool IsRelease() const { return bytes[1] == kReleaseFlag; }
    uint8_t VirtualKey() const { return bytes[0]; }
    uint32_t PauseLength() const;

    // The step as one 32-bit value, byte 0 least significant.
    uint32_t Word() const;
    static MacroAction FromWord(uint32_t word);

    friend bool operator==(const MacroAction&, const MacroAction&) = default;
};

// A named macro with its 200 step slots and loop settings.
class MacroKey {
public:
    static constexpr uint32_t kSlotCount = 200;
    static constexpr uint8_t kMaxCommands = 100;

    explicit MacroKey(std::string keyName = {}) : name(std::move(keyName)) {}

    std::string name;
    uint32_t MacroActionNum = 0;  // steps in use; never above 200 (see ActionCount)
    std::array<MacroAction, kSlotCount> AllAction{};
    uint32_t LoopEnable = 1;
    uint8_t LoopNum = 1;
    uint8_t MacroCommandActionNum = 0;

    // Index above 199: false, nothing changes. MacroActionNum is not changed.
    bool SetAction(uint32_t index, MacroAction action);
    // Full (200 steps): false. An index beyond the steps in use appends;
    // later slots move up by one and slot 199's content is dropped.
    bool InsertAction(uint32_t index, MacroAction action);
    // An index of 200 or more yields slot 0.
    MacroAction GetAction(uint32_t index) const;
    void ClearActions();

    // The steps in use, never more than the slots there are.
    uint32_t ActionCount() const {
        return MacroActionNum < kSlotCount ? MacroActionNum : kSlotCount;
    }
};

MacroKey CreateMacroKey(std::string name);

// Macro names. The keyboard keeps a macro's name in a field of 24 bytes, and
// what it is given comes back as the macro's identity, so names are counted
// in bytes of their UTF-8 text, never in characters.
inline constexpr size_t kMacroNameFieldBytes = 24;
// A name the user gives a new macro: 1..12 bytes, which always fits the field
// whole (12 ASCII characters, 4 CJK characters, 3 emoji).
inline constexpr size_t kMaxMacroNameBytes = 12;

enum class MacroNameCheck { kAccepted, kEmpty, kExists, kTooLong };

// A named group of macros; it owns them. Macros keep their address while
// they are in the set.
class MacroSet {
public:
    explicit MacroSet(std::string setName = {}) : name(std::move(setName)) {}

    std::string name;

    uint32_t MacroKeyNum() const { return static_cast<uint32_t>(m_keys.size()); }
    // Appends a new macro with the defaults; nullptr only when memory runs out.
    MacroKey* AddKey(std::string keyName);
    // False when there is no macro at that position.
    bool RemoveKey(uint32_t position);
    MacroKey* KeyAt(uint32_t position);
    const MacroKey* KeyAt(uint32_t position) const;

    // Whether `keyName` may become a new macro of this set. Its control
    // characters are removed first (a pasted line break or TAB); what is left
    // must not be empty, must not be the name of a macro of the set
    // (case-sensitive) and must have at most kMaxMacroNameBytes. A name that
    // fails more than one test gets the first in that order. Every editor of
    // macro names asks this one rule.
    MacroNameCheck CheckNewKeyName(std::string_view keyName) const;
    // Appends a macro of this name, without its control characters, when
    // CheckNewKeyName accepts it; the check's answer either way.
    MacroNameCheck AddNewKey(std::string_view keyName);

private:
    std::vector<std::unique_ptr<MacroKey>> m_keys;
};

// All macro sets. G keys use only the first set.
class MacroLibrary {
public:
    static constexpr std::string_view kDefaultSetName = "Keyboard Macro Set";

    uint32_t MacroSetNum() const { return static_cast<uint32_t>(m_sets.size()); }
    MacroSet* AddSet(std::string setName);
    bool RemoveSet(uint32_t position);
    MacroSet* SetAt(uint32_t position);
    const MacroSet* SetAt(uint32_t position) const;
    void Clear() { m_sets.clear(); }

    // The macro of the first set a G key of this name leads to: the first
    // with exactly this name. Failing that, for a name too long for the
    // keyboard, the macro named by the part of it the keyboard keeps (a
    // library saved when names were cut); for a name as the keyboard keeps
    // it, the first macro the keyboard keeps as that name (it came back from
    // the keyboard, cut).
    MacroKey* FindMacroKeyByName(std::string_view keyName);

    // The library with one empty set named "Keyboard Macro Set".
    void ResetToDefault();

private:
    std::vector<std::unique_ptr<MacroSet>> m_sets;
};

// The longest start of `name` that fits the keyboard's name field, never
// ending inside a character: a name shorter than 24 bytes, or of 24 bytes
// with no cut character at its end, comes back unchanged.
std::string_view FitMacroNameToField(std::string_view name);

// True when a G key of an on-board profile (slots 0..2) is assigned the
// macro of this name: by that name, by a longer name of which the keyboard
// keeps exactly this one, or by the part of this name the keyboard keeps.
bool IsMacroInUse(const KeyboardModel& model, std::string_view macroName);

// The main macro library, alive for the whole run. Like the keyboard model it
// belongs to the UI thread.
MacroLibrary& TheMacroLibrary();

}  // namespace lumbra
