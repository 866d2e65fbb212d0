// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ExitController.h"

#include "app/KeyboardSession.h"

namespace lumbra {

void ExitController::Exit() {
    KeyboardSession* session = m_hooks.session();
    switch (m_state) {
        case State::kShutDown:
            return;
        case State::kWaitingForPlan:
        case State::kClosing:
            // A second Exit while the first waits: the running plan is given
            // up after its current report.
            if (session) session->Abort();
            CloseNow();
            return;
        case State::kRunning:
            break;
    }
    m_state = State::kWaitingForPlan;
    // Commands that wait for the read-back write their files now; what they
    // would send goes with the rest of the queue. Only a plan already on its
    // way is waited for; a read is given up.
    m_hooks.runDeferredCommands();
    if (session) session->PrepareExit();
    if (!session || !session->Busy()) {
        CloseNow();
        return;
    }
    // What the worker is sending finishes first, within a bound; the window
    // goes out of sight meanwhile.
    m_hooks.hideWindow();
    session->WhenIdle(m_life.Guard([this] { CloseNow(); }));
    m_timer.Start(kExitWaitMs, [this] {
        if (KeyboardSession* s = m_hooks.session()) s->Abort();
        CloseNow();
    });
}

void ExitController::ExitAsked() {
    if (m_state == State::kRunning && m_hooks.confirm) {
        if (!m_hooks.confirm()) return;
        // The question is modal: a signal heard meanwhile has begun the Exit.
        if (m_state != State::kRunning) return;
    }
    Exit();
}

void ExitController::CloseNow() {
    m_timer.Stop();
    if (m_state != State::kShutDown) m_state = State::kClosing;
    m_hooks.postClose();
}

bool ExitController::OnCloseRequest(bool hasTray) {
    if (m_state == State::kRunning && hasTray) {
        m_hooks.hideWindow();
        return false;
    }
    if (m_state == State::kClosing) return true;
    ExitAsked();
    return false;
}

bool ExitController::ShutDown() {
    if (m_state == State::kShutDown) return false;
    m_state = State::kShutDown;
    m_life.End();
    return true;
}

}  // namespace lumbra
