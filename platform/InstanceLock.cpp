// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace lumbra {
namespace {

// A folder of this user, not a symlink, that others may not write to (and,
// when `privateOnly`, may not enter).
bool IsOwnFolder(const std::string& path, bool privateOnly) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    if (info.st_uid != ::geteuid()) return false;
    return (info.st_mode & (privateOnly ? 0077 : 0022)) == 0;
}

}  // namespace

InstanceLock::~InstanceLock() { Release(); }

std::optional<std::string> InstanceLock::DefaultDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && IsOwnFolder(runtime, false) && ::access(runtime, W_OK | X_OK) == 0)
        return std::string(runtime);
    // The shared temporary folder is everyone's: the lock goes into a folder
    // of this user there, so that no other user can hold or block it.
    std::error_code error;
    auto tmp = std::filesystem::temp_directory_path(error);
    const std::string folder =
        (error ? std::string("/tmp") : tmp.string()) + "/lumbra-" + std::to_string(::geteuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::nullopt;
    if (!IsOwnFolder(folder, true)) return std::nullopt;
    return folder;
}

InstanceLock::Result InstanceLock::Acquire(const std::string& name, const std::string& directory) {
    if (m_fd >= 0) return Result::kAcquired;
    const auto dir = directory.empty() ? DefaultDirectory() : std::optional(directory);
    if (!dir) return Result::kUnavailable;
    const std::string path = *dir + "/" + name + ".lock";
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    // A folder that takes no new file may still hold the lock file of an
    // earlier run, and a lock needs no write access.
    if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return Result::kUnavailable;
    // A lock file of another user is not this user's instance.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        ::close(fd);
        return Result::kUnavailable;
    }
    // flock locks belong to the open file description, so a second open in
    // this process is refused just like another process.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int reason = errno;
        ::close(fd);
        return reason == EWOULDBLOCK ? Result::kHeldElsewhere : Result::kUnavailable;
    }
    m_fd = fd;
    return Result::kAcquired;
}

void InstanceLock::Release() {
    if (m_fd < 0) return;
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}

}  // namespace lumbra
