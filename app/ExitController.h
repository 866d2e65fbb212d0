// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "base/LifeToken.h"
#include "platform/Timer.h"

namespace lumbra {

class KeyboardSession;

// How the main window ends. Exit runs the commands that waited for the
// read-back (they write their files; what they would send is dropped with the
// rest of the queue), then closes at once unless the worker is sending a
// plan: then the window hides and closes when that plan ends or kExitWaitMs
// have passed. A second Exit gives the plan up and closes at once.
class ExitController {
public:
    enum class State {
        kRunning,         // no Exit yet
        kWaitingForPlan,  // Exit waits for the plan the worker is sending
        kClosing,         // the close is posted; the window may close
        kShutDown,        // the window is destroyed and the keyboard told goodbye
    };

    // How long Exit lets the running plan go on before it gives up on it.
    static constexpr int kExitWaitMs = 10000;

    struct Hooks {
        std::function<KeyboardSession*()> session;
        std::function<void()> runDeferredCommands;
        std::function<void()> hideWindow;
        std::function<void()> postClose;
        // Asked before an Exit the user gave; false: no Exit now (the
        // program stays, or ends later by itself). Unset: never asked.
        std::function<bool()> confirm;
    };

    explicit ExitController(Hooks hooks) : m_hooks(std::move(hooks)) {}

    void Exit();
    // An Exit the user gave (the tray's menu, the close button where there
    // is no tray): asked first. Signals, the end of the session and scripts
    // use Exit, which never asks.
    void ExitAsked();
    // The window manager's close button; true when the window may close now.
    // Before Exit it hides the window where there is a tray, and begins an
    // asked Exit where there is none.
    bool OnCloseRequest(bool hasTray);
    // The window is gone: nothing waits for the worker any more. False when
    // it was already shut down.
    bool ShutDown();

    State Current() const { return m_state; }
    bool Exiting() const { return m_state != State::kRunning; }
    bool IsShutDown() const { return m_state == State::kShutDown; }

private:
    void CloseNow();

    Hooks m_hooks;
    State m_state = State::kRunning;
    Timer m_timer;
    LifeToken m_life;
};

}  // namespace lumbra
