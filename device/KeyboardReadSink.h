// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>

#include "device/Reports.h"

namespace lumbra {

// The first answers of a read-back: the keyboard's current profile, and each
// on-board profile's lighting and key table, or nothing where the keyboard
// did not answer.
struct ReadBackAnswers {
    int profile = -1;
    // A profile was chosen (by the window or the keyboard) after the read-back
    // was asked for: that choice stays.
    bool profileChosenSince = false;
    std::array<std::optional<LightingReportBytes>, kOnBoardProfileCount> lighting;
    std::array<std::optional<KeyTableReportBytes>, kOnBoardProfileCount> keyTables;
};

// What the keyboard changed by itself: the lighting of its current profile,
// or the profile it switched to.
struct KeyboardChange {
    enum class Kind : uint8_t { kLighting, kProfile };
    Kind kind = Kind::kLighting;
    int slot = 0;  // the profile lit, or the one switched to
    std::optional<int> lightColor;
    std::optional<int> lightBrightness;
};

// Why a macro answer came: the read-back asked for it, or the keyboard
// recorded a macro on one of its G keys.
enum class MacroAnswerRule : uint8_t { kReadBack, kImport };

// What the keyboard's answers and events become. The link's jobs and its
// listener hand their decoded results here, on the UI thread, which changes
// the model and writes the files; the link itself changes neither.
class KeyboardReadSink {
public:
    virtual ~KeyboardReadSink() = default;

    // The read-back's first answers, before its macros are asked for.
    virtual void OnReadBackProfiles(const ReadBackAnswers& answers) = 0;
    // One G key's macro, or nothing when its fetch failed. Whether the
    // keyboard must be given the G key's macro back.
    virtual bool OnMacroAnswer(int slot, int gIndex, const MacroReportBytes* answer,
                               MacroAnswerRule rule) = 0;
    // The read-back has ended with every macro asked for (`readMacros`: at
    // least one).
    virtual void OnReadBackDone(bool readMacros) = 0;
    // A change the keyboard made, in the order it sent them.
    virtual void OnKeyboardChange(const KeyboardChange& change) = 0;
};

}  // namespace lumbra
