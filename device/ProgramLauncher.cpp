#include "device/ProgramLauncher.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

}  // namespace

void SpawnProgramLauncher::Open(const std::string& path) {
    if (path.empty()) return;
    const bool direct = IsRegularExecutable(path);
    std::string opener = "xdg-open";
    std::vector<char*> argv;
    if (direct) {
        argv.push_back(const_cast<char*>(path.c_str()));
    } else {
        argv.push_back(opener.data());
        argv.push_back(const_cast<char*>(path.c_str()));
    }
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) return;
    // A session of its own: the program outlives Lumbra and its terminal.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t child = 0;
    const int result =
        direct ? posix_spawn(&child, path.c_str(), nullptr, &attributes, argv.data(), environ)
               : posix_spawnp(&child, opener.c_str(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) return;
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
}

}  // namespace lumbra
