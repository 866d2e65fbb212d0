// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/MacroRecorder.h"

namespace lumbra {

MacroRecorder MacroRecorder::ForMainWindow() { return MacroRecorder(0xFFFF, true); }

MacroRecorder MacroRecorder::ForManager() { return MacroRecorder(MacroAction::kMaxPause, false); }

void MacroRecorder::Start(MacroKey* key) {
    m_key = key;
    if (m_key) {
        m_key->MacroActionNum = 0;
        m_key->MacroCommandActionNum = 0;
    }
    m_lastKey = 0;
    m_lastWord = 0;
}

bool MacroRecorder::Append(MacroAction action) {
    return m_key->InsertAction(m_key->MacroActionNum, action);
}

MacroRecorder::Result MacroRecorder::OnHookMessage(uint32_t first, uint32_t second, bool delaysOn) {
    const auto key = static_cast<uint8_t>(first);
    if (key < 8 || !m_key) return Result::kIgnored;
    const bool release = (second & kReleaseBit) != 0;
    // A key held down repeats its press; only the first one counts.
    if (key == m_lastKey && release == ((m_lastWord & kReleaseBit) != 0)) return Result::kIgnored;

    const MacroAction event = MacroAction::KeyEvent(key, release);
    Result result = Result::kRecorded;
    uint32_t commands = m_key->MacroCommandActionNum;
    if (m_key->MacroActionNum == 0) {
        // The first event of a macro never has a pause before it.
        if (Append(event)) ++commands;
    } else if (delaysOn) {
        uint32_t now = second & kTimeMask;
        const uint32_t before = m_lastWord & kTimeMask;
        if (now < before) now += kReleaseBit;  // the time stamp wrapped
        uint32_t pause = now - before;
        if (pause > m_maxPause) pause = m_maxPause;
        const uint32_t cost = pause < kLongPause ? 1 : 2;
        if (m_stopsWhenFull && commands + cost > MacroKey::kMaxCommands) {
            result = Result::kFull;
        } else if (Append(MacroAction::Pause(pause))) {
            // Only what went into the slots counts: a long pause is a command
            // of its own, a short one rides with the key event after it.
            commands += cost - 1;
            if (Append(event)) ++commands;
        }
    } else if (m_stopsWhenFull && commands >= MacroKey::kMaxCommands) {
        result = Result::kFull;
    } else if (Append(event)) {
        ++commands;
    }
    // The manager has no limit of its own; its count stops where a macro's
    // count may go.
    m_key->MacroCommandActionNum =
        static_cast<uint8_t>(commands < MacroKey::kMaxCommands ? commands : MacroKey::kMaxCommands);
    m_lastKey = key;
    m_lastWord = second;
    return result;
}

}  // namespace lumbra
