// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "device/Clock.h"
#include "sim/KeyboardSimulator.h"
#include "sim/SimControl.h"
#include "sim/SimOptions.h"
#include "sim/SimTrace.h"

namespace lumbra {

// The simulated keyboard as `lumbra --simulate` runs it: the keyboard on its
// state file, with the trace and the control pipe when they were asked for.
// The caller installs the simulator as the device link's backend and routes
// its change notifications to the UI thread (SetChangeSink).
class SimSession {
public:
    // Nothing, with a reason, when the state file holds something else, or
    // when the trace file or the control pipe cannot be opened.
    static std::unique_ptr<SimSession> Start(const SimOptions& options,
                                             std::shared_ptr<Clock> clock,
                                             std::string* error = nullptr);
    ~SimSession();

    const std::shared_ptr<KeyboardSimulator>& Simulator() const { return m_simulator; }

private:
    SimSession() = default;

    std::shared_ptr<KeyboardSimulator> m_simulator;
    std::unique_ptr<SimTrace> m_trace;
    std::unique_ptr<SimControlReader> m_control;
};

}  // namespace lumbra
