// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <thread>

#include "sim/KeyboardSimulator.h"

namespace lumbra {

// One command of the control pipe (--sim-control):
//   event CODE ARG      two hexadecimal bytes: the keyboard sends that event
//   unplug | plug
//   fail set|get|read N
// False for a line that is none of these; it then changes nothing.
bool ApplySimControlLine(KeyboardSimulator& simulator, std::string_view line);

// Reads the control pipe line by line on a thread of its own, which sleeps in
// poll() until a writer sends something. The pipe is created when missing.
class SimControlReader {
public:
    SimControlReader(KeyboardSimulator& simulator, std::string fifoPath);
    ~SimControlReader();
    SimControlReader(const SimControlReader&) = delete;
    SimControlReader& operator=(const SimControlReader&) = delete;

    // False when the pipe cannot be created or opened.
    bool Start();
    void Stop();

private:
    void Run();

    KeyboardSimulator& m_simulator;
    std::string m_path;
    int m_fifoFd = -1;
    int m_wakeFd = -1;
    std::thread m_thread;
};

}  // namespace lumbra
