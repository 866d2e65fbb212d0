// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a program against the keyboard emulated at the kernel interface:
//
//   lumbra_hidraw_harness TRACE STATE PIDFILE -- PROGRAM [ARGS...]
//
// The harness owns the testbed and the simulator behind it (state in STATE, a
// trace of every exchange in TRACE, as `--sim-trace` writes it), starts the
// program with umockdev's preload library and the testbed's directory, writes
// its process id to PIDFILE, passes SIGTERM and SIGINT on to it and exits with
// its exit status once it has ended. The harness itself runs with the preload
// library too (LD_PRELOAD); when that does not work here it says why and exits
// with 77 before starting anything.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "device/Clock.h"
#include "sim/SimTrace.h"
#include "tests/hidraw/EmulatedKeyboard.h"

extern char** environ;

namespace {

int StatusOf(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw); }

constexpr int kCannotEmulate = 77;

int Run(int argc, char** argv) {
    if (argc < 6 || std::string(argv[4]) != "--") {
        std::fprintf(stderr, "usage: %s TRACE STATE PIDFILE -- PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    if (std::string reason; !lumbra::test::EmulatedKeyboard::Available(&reason)) {
        std::fprintf(stderr, "harness: SKIP: %s\n", reason.c_str());
        return kCannotEmulate;
    }
    // Every thread started from here on leaves these to the loop below.
    sigset_t handled;
    sigemptyset(&handled);
    for (int s : {SIGTERM, SIGINT, SIGCHLD}) sigaddset(&handled, s);
    pthread_sigmask(SIG_BLOCK, &handled, nullptr);

    using namespace lumbra;
    auto clock = std::shared_ptr<Clock>(&TheRealClock(), [](Clock*) {});
    auto simulator = std::make_shared<KeyboardSimulator>(std::string(argv[2]));
    SimTrace trace(clock, argv[1]);
    if (!trace.IsOpen()) {
        std::fprintf(stderr, "harness: cannot open the trace %s\n", argv[1]);
        return 2;
    }
    trace.Attach(*simulator);
    test::EmulatedKeyboard keyboard(simulator);
    if (!keyboard.Plug()) {
        std::fprintf(stderr, "harness: %s\n", keyboard.Error().c_str());
        return 2;
    }

    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (!entry.starts_with("LD_PRELOAD=") && !entry.starts_with("UMOCKDEV_DIR="))
            env.push_back(entry);
    }
    env.push_back("LD_PRELOAD=" LUMBRA_HIDRAW_PRELOAD);
    for (const std::string& e : keyboard.Environment()) env.push_back(e);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    pid_t child = -1;
    const int error = posix_spawn(&child, argv[5], nullptr, &attributes, argv + 5, envp.data());
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        std::fprintf(stderr, "harness: cannot start %s\n", argv[5]);
        return 2;
    }
    std::ofstream(argv[3]) << child << '\n';

    for (;;) {
        int signal = 0;
        sigwait(&handled, &signal);
        if (signal != SIGCHLD) {
            kill(child, signal);
            continue;
        }
        int raw = 0;
        if (waitpid(child, &raw, WNOHANG) == child) return StatusOf(raw);
    }
}

}  // namespace

int main(int argc, char** argv) { return Run(argc, argv); }
