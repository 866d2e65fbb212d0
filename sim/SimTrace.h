// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "device/Clock.h"
#include "sim/KeyboardSimulator.h"

namespace lumbra {

// One trace line without its line end: "<ms> <op> <bytes>", bytes as
// upper-case two-digit hexadecimal separated by single spaces, " FAIL" after
// a failed exchange; plug and unplug have no bytes.
std::string FormatTraceLine(uint64_t milliseconds, const SimExchange& exchange);

// Appends one line per exchange of a simulator to a file (--sim-trace).
class SimTrace {
public:
    SimTrace(std::shared_ptr<Clock> clock, const std::string& path);
    ~SimTrace();
    SimTrace(const SimTrace&) = delete;
    SimTrace& operator=(const SimTrace&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    // Installs the trace as the simulator's observer.
    void Attach(KeyboardSimulator& simulator);
    void Record(const SimExchange& exchange);

private:
    std::shared_ptr<Clock> m_clock;
    std::mutex m_mutex;
    int m_fd = -1;
    KeyboardSimulator* m_attached = nullptr;
};

}  // namespace lumbra
