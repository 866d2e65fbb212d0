// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace lumbra {

// The program's life: the single-instance lock, the keyboard (real or
// simulated), the main window and its event loop, and the order in which
// they end.
class CCorvexApp {
public:
    static constexpr const char* kInstanceName = "Halvard Tessal";
    static constexpr const char* kAlreadyRunning = "This application is already running!";
    static constexpr int kRefusedExitCode = 1;

    explicit CCorvexApp(CommandLine options) : m_options(std::move(options)) {}

    // Runs the program; the process's exit status.
    int InitInstance(int& argc, char** argv);

private:
    CommandLine m_options;
};

}  // namespace lumbra
