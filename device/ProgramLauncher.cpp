// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/ProgramLauncher.h"

#include <spawn.h>
#include <sys/stat.h>
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

    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) return;
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) {
        posix_spawnattr_destroy(&attributes);
        return;
    }
    // A session of its own: the program outlives Lumbra and its terminal.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    // Only the standard descriptors go along, even one a library opened
    // without close-on-exec.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    pid_t child = 0;
    const int result =
        direct ? posix_spawn(&child, target.c_str(), &actions, &attributes, argv.data(), environ)
               : posix_spawnp(&child, opener.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) return;
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
}

}  // namespace lumbra
