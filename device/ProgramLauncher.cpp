// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/ProgramLauncher.h"

#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <thread>
#include <vector>

extern char** environ;

namespace lumbra {

namespace {

bool IsRegularExecutable(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

// The child's side of a launch; only calls that are safe after fork() in a
// program with threads. posix_spawn cannot do this: it leaves the C
// library's own two signals ignored in the program it starts.
[[noreturn]] void ExecInChild(char* const argv[], bool direct) {
    // Lumbra ignores SIGXFSZ for itself and a thread may block signals; the
    // program starts with every signal at its default and none blocked. An
    // all-zero kernel sigaction is SIG_DFL with no flags and an empty mask,
    // and the kernel takes it for every signal, the library's included.
    const unsigned char defaults[64] = {};
    for (int signal = 1; signal < NSIG; ++signal)
        ::syscall(SYS_rt_sigaction, signal, defaults, nullptr, (NSIG - 1) / 8);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    // A session of its own: the program outlives Lumbra and its terminal.
    ::setsid();
    // Only the standard descriptors go along, even one a library opened
    // without close-on-exec.
    ::close_range(STDERR_FILENO + 1, ~0U, 0);
    if (direct)
        ::execve(argv[0], argv, environ);
    else
        ::execvp(argv[0], argv);
    ::_exit(127);
}

}  // namespace

void SpawnProgramLauncher::Open(const std::string& path) {
    if (path.empty()) return;
    const bool direct = IsRegularExecutable(path);
    // xdg-open takes a word beginning with '-' for an option and knows no "--".
    std::string target = path;
    if (!direct && target.front() == '-') {
        std::error_code error;
        target = std::filesystem::absolute(target, error).string();
        if (error) return;
    }
    std::string opener = "xdg-open";
    std::vector<char*> argv;
    if (direct) {
        argv.push_back(target.data());
    } else {
        argv.push_back(opener.data());
        argv.push_back(target.data());
    }
    argv.push_back(nullptr);

    // No handler of Lumbra's may run in the child before it is reset.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    const pid_t child = ::fork();
    if (child == 0) ExecInChild(argv.data(), direct);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (child < 0) return;
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
}

}  // namespace lumbra
