// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/MacroLibrary.h"

#include <algorithm>
#include <new>

#include "model/NameText.h"

namespace lumbra {

MacroAction MacroAction::KeyEvent(uint8_t virtualKey, bool release) {
    return {{virtualKey, release ? kReleaseFlag : kPressFlag, 0, 0}};
}

MacroAction MacroAction::Pause(uint32_t milliseconds) {
    if (milliseconds > kMaxPause) milliseconds = kMaxPause;
    return {{kPauseMarker, static_cast<uint8_t>(milliseconds >> 16),
             static_cast<uint8_t>(milliseconds >> 8), static_cast<uint8_t>(milliseconds)}};
}

uint32_t MacroAction::PauseLength() const {
    return (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
}

uint32_t MacroAction::Word() const {
    return uint32_t{bytes[0]} | (uint32_t{bytes[1]} << 8) | (uint32_t{bytes[2]} << 16) |
           (uint32_t{bytes[3]} << 24);
}

MacroAction MacroAction::FromWord(uint32_t word) {
    return {{static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8),
             static_cast<uint8_t>(word >> 16), static_cast<uint8_t>(word >> 24)}};
}

bool MacroKey::SetAction(uint32_t index, MacroAction action) {
    if (index >= kSlotCount) return false;
    AllAction[index] = action;
    return true;
}

bool MacroKey::InsertAction(uint32_t index, MacroAction action) {
    if (MacroActionNum >= kSlotCount) return false;
    if (index > MacroActionNum) index = MacroActionNum;
    for (uint32_t slot = kSlotCount - 1; slot > index; --slot)
        AllAction[slot] = AllAction[slot - 1];
    AllAction[index] = action;
    ++MacroActionNum;
    return true;
}

MacroAction MacroKey::GetAction(uint32_t index) const {
    return AllAction[index < kSlotCount ? index : 0];
}

void MacroKey::ClearActions() {
    AllAction.fill({});
    MacroActionNum = 0;
    MacroCommandActionNum = 0;
}

MacroKey CreateMacroKey(std::string name) { return MacroKey(std::move(name)); }

MacroKey* MacroSet::AddKey(std::string keyName) {
    try {
        m_keys.push_back(std::make_unique<MacroKey>(std::move(keyName)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return m_keys.back().get();
}

bool MacroSet::RemoveKey(uint32_t position) {
    if (position >= m_keys.size()) return false;
    m_keys.erase(m_keys.begin() + position);
    return true;
}

MacroKey* MacroSet::KeyAt(uint32_t position) {
    return position < m_keys.size() ? m_keys[position].get() : nullptr;
}

const MacroKey* MacroSet::KeyAt(uint32_t position) const {
    return position < m_keys.size() ? m_keys[position].get() : nullptr;
}

MacroSet* MacroLibrary::AddSet(std::string setName) {
    try {
        m_sets.push_back(std::make_unique<MacroSet>(std::move(setName)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return m_sets.back().get();
}

bool MacroLibrary::RemoveSet(uint32_t position) {
    if (position >= m_sets.size()) return false;
    m_sets.erase(m_sets.begin() + position);
    return true;
}

MacroSet* MacroLibrary::SetAt(uint32_t position) {
    return position < m_sets.size() ? m_sets[position].get() : nullptr;
}

const MacroSet* MacroLibrary::SetAt(uint32_t position) const {
    return position < m_sets.size() ? m_sets[position].get() : nullptr;
}

namespace {

// Set is MacroSet or const MacroSet.
template <typename Set>
auto* FindExactly(Set* set, std::string_view keyName) {
    for (uint32_t i = 0; set && i < set->MacroKeyNum(); ++i) {
        auto* key = set->KeyAt(i);
        if (key->name == keyName) return key;
    }
    return static_cast<decltype(set->KeyAt(0))>(nullptr);
}

// Bytes of the character that starts with `lead`; 1 for a byte that starts none.
size_t CharacterBytes(unsigned char lead) {
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

}  // namespace

MacroNameCheck MacroSet::CheckNewKeyName(std::string_view keyName) const {
    const std::string name = WithoutControlCharacters(keyName);
    if (name.empty()) return MacroNameCheck::kEmpty;
    if (FindExactly(this, name)) return MacroNameCheck::kExists;
    if (name.size() > kMaxMacroNameBytes) return MacroNameCheck::kTooLong;
    return MacroNameCheck::kAccepted;
}

MacroNameCheck MacroSet::AddNewKey(std::string_view keyName) {
    const MacroNameCheck check = CheckNewKeyName(keyName);
    if (check == MacroNameCheck::kAccepted) AddKey(WithoutControlCharacters(keyName));
    return check;
}

std::string_view FitMacroNameToField(std::string_view name) {
    // Only a name that fills the field can have been cut by it; a shorter one
    // stays as it is, whatever its bytes, so fitting again changes nothing.
    if (name.size() < kMacroNameFieldBytes) return name;
    size_t end = kMacroNameFieldBytes;
    // The last character that starts before the end must end there too.
    size_t lead = end;
    while (lead > 0 && (static_cast<unsigned char>(name[lead - 1]) & 0xC0) == 0x80) --lead;
    if (lead > 0 && end - (lead - 1) < CharacterBytes(static_cast<unsigned char>(name[lead - 1])))
        end = lead - 1;
    return name.substr(0, end);
}

MacroKey* MacroLibrary::FindMacroKeyByName(std::string_view keyName) {
    MacroSet* first = SetAt(0);
    if (MacroKey* key = FindExactly(first, keyName)) return key;
    const std::string_view kept = FitMacroNameToField(keyName);
    if (kept != keyName) return FindExactly(first, kept);
    for (uint32_t i = 0; first && i < first->MacroKeyNum(); ++i) {
        MacroKey* key = first->KeyAt(i);
        if (FitMacroNameToField(key->name) == keyName) return key;
    }
    return nullptr;
}

void MacroLibrary::ResetToDefault() {
    Clear();
    AddSet(std::string(kDefaultSetName));
}

bool IsMacroInUse(const KeyboardModel& model, std::string_view macroName) {
    for (int slot = 0; slot < kOnBoardProfileCount; ++slot) {
        for (int g = 0; g < kGKeyCount; ++g) {
            const GKeySlot* key = model.Profile(slot).GKey(g);
            if (key->action.type != KeyActionType::kMacro) continue;
            const std::string_view kept = FitMacroNameToField(key->name);
            if (key->name == macroName || kept == macroName) return true;
            if (kept == key->name && FitMacroNameToField(macroName) == kept) return true;
        }
    }
    return false;
}

MacroLibrary& TheMacroLibrary() {
    static MacroLibrary library;
    return library;
}

}  // namespace lumbra
