// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <thread>

#include "device/HidBackend.h"

struct udev;
struct udev_monitor;

namespace lumbra {

// Arrival and removal of hidraw interfaces from a libudev monitor. A thread of
// its own sleeps in poll() on the monitor and on a wake-up descriptor, so
// nothing runs while no device comes or goes. "add" is an arrival, "remove" a
// removal complete; the sink is called on the monitor's thread and hands the
// notification to the UI thread.
class UdevHotPlugMonitor {
public:
    explicit UdevHotPlugMonitor(DeviceChangeSink sink);
    ~UdevHotPlugMonitor();
    UdevHotPlugMonitor(const UdevHotPlugMonitor&) = delete;
    UdevHotPlugMonitor& operator=(const UdevHotPlugMonitor&) = delete;

    // False when the monitor could not be set up; the program then runs
    // without hot-plug.
    bool Start();
    void Stop();

private:
    void Run();

    DeviceChangeSink m_sink;
    ::udev* m_udev = nullptr;
    ::udev_monitor* m_monitor = nullptr;
    int m_wakeFd = -1;
    std::thread m_thread;
};

}  // namespace lumbra
