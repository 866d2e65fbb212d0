// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

namespace lumbra {

// The UI process: the event loop, the hand-over of posted work from other
// threads (TheUiDispatcher) and the font set-up. One per process.
class Application {
public:
    Application(int& argc, char** argv);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    int Run();
    static void Quit(int code = 0);
    // Handles every pending event, then returns (tests).
    static void ProcessEvents();
    // Waits up to the given time handling events, then returns (tests).
    static void ProcessEventsFor(int milliseconds);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace lumbra
