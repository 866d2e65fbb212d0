// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace lumbra {

// A single-instance lock: an exclusive advisory lock on "<name>.lock" in the
// user's runtime folder, or in a folder given (the config folder, whose lock
// holds wherever each process's runtime folder is). The lock file is opened
// without following a link and counts only when it belongs to this user. The
// kernel drops the lock when the process ends, however it ends.
class InstanceLock {
public:
    enum class Result {
        kAcquired,
        kHeldElsewhere,  // another process of this user holds it
        kUnavailable,    // no lock could be taken: no usable folder or file
    };

    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock in `directory`, or in DefaultDirectory() when empty. A
    // second InstanceLock of this process counts as another holder.
    Result Acquire(const std::string& name, const std::string& directory = {});
    // True only when the lock was taken.
    bool TryAcquire(const std::string& name, const std::string& directory = {}) {
        return Acquire(name, directory) == Result::kAcquired;
    }
    void Release();
    bool IsHeld() const { return m_fd >= 0; }

    // $XDG_RUNTIME_DIR when it is a folder of this user; otherwise a folder
    // "lumbra-<uid>" in the temporary folder, created 0700 and used only while
    // it is a real folder of this user that nobody else may enter. Nothing
    // when neither is usable.
    static std::optional<std::string> DefaultDirectory();

private:
    int m_fd = -1;
};

}  // namespace lumbra
