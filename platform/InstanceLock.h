#pragma once

#include <string>

namespace lumbra {

// A single-instance lock: an exclusive advisory lock on "<name>.lock" in
// $XDG_RUNTIME_DIR (the temporary folder when unset). The kernel drops the
// lock when the process ends, however it ends.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another process (or another InstanceLock) holds the lock or
    // the file cannot be opened.
    bool TryAcquire(const std::string& name, const std::string& directory = {});
    void Release();
    bool IsHeld() const { return m_fd >= 0; }
    static std::string DefaultDirectory();

private:
    int m_fd = -1;
};

}  // namespace lumbra
