// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/Clock.h"

#include <chrono>
#include <thread>

namespace lumbra {

namespace {
// Taken while the program starts, before main runs.
const std::chrono::steady_clock::time_point kProgramStart = std::chrono::steady_clock::now();
}  // namespace

void RealClock::SleepMs(uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

uint64_t RealClock::NowMs() {
    const auto elapsed = std::chrono::steady_clock::now() - kProgramStart;
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

Clock& TheRealClock() {
    static RealClock clock;
    return clock;
}

}  // namespace lumbra
