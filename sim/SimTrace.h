#pragma once

#include <cstdint>
#include <fstream>
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

    bool IsOpen() const { return m_file.is_open(); }
    // Installs the trace as the simulator's observer.
    void Attach(KeyboardSimulator& simulator);
    void Record(const SimExchange& exchange);

private:
    std::shared_ptr<Clock> m_clock;
    std::mutex m_mutex;
    std::ofstream m_file;
    KeyboardSimulator* m_attached = nullptr;
};

}  // namespace lumbra
