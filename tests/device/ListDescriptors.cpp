// SPDX-License-Identifier: GPL-3.0-or-later
// Started by the tests as a quick-launch program: writes the descriptors it
// was started with, "<number> <what it names>" one a line, to the file
// $LUMBRA_DESCRIPTOR_LIST.

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main() {
    const char* out = std::getenv("LUMBRA_DESCRIPTOR_LIST");
    if (!out) return 2;
    DIR* fds = opendir("/proc/self/fd");
    if (!fds) return 3;
    std::string list;
    while (const dirent* entry = readdir(fds)) {
        const std::string name = entry->d_name;
        if (name.front() == '.' || std::atoi(name.c_str()) == dirfd(fds)) continue;
        char target[4096] = {};
        const ssize_t n = readlink(("/proc/self/fd/" + name).c_str(), target, sizeof target - 1);
        list += name + " " + std::string(target, n > 0 ? static_cast<size_t>(n) : 0) + "\n";
    }
    closedir(fds);
    // Renamed into place, so the test never reads half a list.
    const std::string part = std::string(out) + ".part";
    FILE* file = std::fopen(part.c_str(), "we");
    if (!file) return 4;
    std::fputs(list.c_str(), file);
    std::fclose(file);
    return std::rename(part.c_str(), out) == 0 ? 0 : 5;
}
