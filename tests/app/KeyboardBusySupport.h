// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "device/Reports.h"

namespace lumbra::test {

// Plays the UI thread until the condition holds; false after about five
// seconds of event rounds.
inline bool Until(const std::function<bool()>& condition) {
    for (int i = 0; i < 1000 && !condition(); ++i) Application::ProcessEventsFor(5);
    return condition();
}

// A macro of the user's: one key pressed and released.
inline MacroKey* AddUserMacro(MacroLibrary& library, const std::string& name, uint8_t vk) {
    MacroKey* key = library.SetAt(0)->AddKey(name);
    key->InsertAction(0, MacroAction::KeyEvent(vk, false));
    key->InsertAction(1, MacroAction::KeyEvent(vk, true));
    key->MacroCommandActionNum = 2;
    return key;
}

// Gives the five G keys of a profile macros of their own, as the macro list
// of the G-key menu does, pending for the next Apply. Their names.
inline std::vector<std::string> GiveProfileMacros(MainWindowRig& rig, int slot) {
    std::vector<std::string> names;
    for (int g = 0; g < kGKeyCount; ++g) {
        const std::string name = "P" + std::to_string(slot + 1) + "M" + std::to_string(g + 1);
        if (rig.library.FindMacroKeyByName(name) == nullptr)
            AddUserMacro(rig.library, name, static_cast<uint8_t>(0x41 + g));
        GKeySlot& key = *rig.model.Profile(slot).GKey(g);
        key.name = name;
        key.action = KeyAction{KeyActionType::kMacro, 0, 0};
        rig.model.pending.MarkMacro(slot, g);
        names.push_back(name);
    }
    rig.model.pending.MarkKeyTable(slot);
    rig.dlg->Session().SetLibraryChanged(true);
    return names;
}

// The names of the macros the keyboard keeps on a profile's G keys, a name
// it lacks made up as a read would make it up.
inline std::vector<std::string> KeyboardMacroNames(KeyboardSimulator& sim, int slot) {
    std::vector<std::string> names;
    const SimKeyboardState state = sim.State();
    for (const auto& record : state.profiles[static_cast<size_t>(slot)].macros) {
        MacroReportBytes report{};
        std::copy(record.begin(), record.end(), report.begin() + MacroReport::kNameOffset);
        const int g = static_cast<int>(names.size());
        names.push_back(DecodeMacroReportName(report, slot, g).name);
    }
    return names;
}

}  // namespace lumbra::test
