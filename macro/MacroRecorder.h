// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "model/MacroLibrary.h"

namespace lumbra {

// Turns the keyboard hook's key events (message 0x401) into the steps of a
// macro. The main window's recorder and the macro manager's differ only in
// the longest pause they store and in whether a full macro stops them.
class MacroRecorder {
public:
    enum class Result {
        kIgnored,   // nothing changed
        kRecorded,  // steps were appended (or refused by a full slot array)
        kFull,      // the keyboard's command limit was reached; nothing appended
    };

    // The main window's recorder: pauses up to 0xFFFF ms, and recording stops
    // when the macro would need more than 100 keyboard commands.
    static MacroRecorder ForMainWindow();
    // The macro manager's recorder: pauses up to 0xFFFFFF ms and no limit but
    // the 200 slots. It counts the keyboard commands the same way, so that a
    // macro recorded there is sent with the right entry count.
    static MacroRecorder ForManager();

    // Recording starts into a macro (or none): its steps and command count
    // start again from 0; the slots keep their old content.
    void Start(MacroKey* key);
    MacroKey* Current() const { return m_key; }

    // One hook message: the virtual-key code in the low byte of the first
    // parameter; bit 31 of the second set for a release, bits 0..30 a time
    // stamp in ms that wraps at 2^31. delaysOn records the pauses between
    // events.
    Result OnHookMessage(uint32_t first, uint32_t second, bool delaysOn);

    static constexpr uint32_t kReleaseBit = 0x80000000u;
    static constexpr uint32_t kTimeMask = 0x7FFFFFFFu;
    // Pauses from this length on cost the keyboard a command of their own.
    static constexpr uint32_t kLongPause = 1016;

private:
    MacroRecorder(uint32_t maxPause, bool stopsWhenFull)
        : m_maxPause(maxPause), m_stopsWhenFull(stopsWhenFull) {}

    bool Append(MacroAction action);

    uint32_t m_maxPause;
    bool m_stopsWhenFull;
    MacroKey* m_key = nullptr;
    uint8_t m_lastKey = 0;
    uint32_t m_lastWord = 0;
};

}  // namespace lumbra
