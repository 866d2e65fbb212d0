// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace lumbra {

// Time and the keyboard's mandated pauses. Tests substitute a clock that
// records the pauses instead of sleeping.
class Clock {
public:
    virtual ~Clock() = default;

    // Any thread: sleeps the calling thread.
    virtual void SleepMs(uint32_t milliseconds) = 0;
    // Any thread: milliseconds since the program started.
    virtual uint64_t NowMs() = 0;
};

// The steady clock of the machine.
class RealClock final : public Clock {
public:
    void SleepMs(uint32_t milliseconds) override;
    uint64_t NowMs() override;
};

// A process-wide real clock.
Clock& TheRealClock();

}  // namespace lumbra
