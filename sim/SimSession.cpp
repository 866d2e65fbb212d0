// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/SimSession.h"

namespace lumbra {

std::unique_ptr<SimSession> SimSession::Start(const SimOptions& options,
                                              std::shared_ptr<Clock> clock, std::string* error) {
    // A file that holds something else is refused rather than replaced at the
    // first change: the user named it, and its content is theirs.
    if (!IsUsableSimStateFile(options.stateFile)) {
        if (error)
            *error = options.stateFile +
                     " is not a simulated keyboard's state file; name a new file or remove it";
        return nullptr;
    }
    std::unique_ptr<SimSession> session(new SimSession);
    session->m_simulator = std::make_shared<KeyboardSimulator>(options.stateFile);
    if (options.traceFile) {
        session->m_trace = std::make_unique<SimTrace>(clock, *options.traceFile);
        if (!session->m_trace->IsOpen()) {
            if (error) *error = "cannot open the trace file " + *options.traceFile;
            return nullptr;
        }
        session->m_trace->Attach(*session->m_simulator);
    }
    if (options.controlFifo) {
        session->m_control =
            std::make_unique<SimControlReader>(*session->m_simulator, *options.controlFifo);
        if (!session->m_control->Start()) {
            if (error) *error = "cannot open the control pipe " + *options.controlFifo;
            return nullptr;
        }
    }
    return session;
}

SimSession::~SimSession() {
    // No command may arrive, and no line be traced, once the parts go.
    m_control.reset();
    m_trace.reset();
}

}  // namespace lumbra
