// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/UdevHotPlugMonitor.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstring>

namespace lumbra {

UdevHotPlugMonitor::UdevHotPlugMonitor(DeviceChangeSink sink) : m_sink(std::move(sink)) {}

UdevHotPlugMonitor::~UdevHotPlugMonitor() { Stop(); }

bool UdevHotPlugMonitor::Start() {
    if (m_thread.joinable()) return true;
    m_udev = udev_new();
    if (m_udev == nullptr) return false;
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    m_wakeFd = eventfd(0, EFD_CLOEXEC);
    if (m_monitor == nullptr || m_wakeFd < 0 ||
        udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0) {
        Stop();
        return false;
    }
    m_thread = std::thread([this] { Run(); });
    return true;
}

void UdevHotPlugMonitor::Stop() {
    if (m_thread.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(m_wakeFd, &one, sizeof one);
        m_thread.join();
    }
    if (m_wakeFd >= 0) close(m_wakeFd);
    m_wakeFd = -1;
    if (m_monitor != nullptr) udev_monitor_unref(m_monitor);
    m_monitor = nullptr;
    if (m_udev != nullptr) udev_unref(m_udev);
    m_udev = nullptr;
}

void UdevHotPlugMonitor::Run() {
    pollfd fds[2] = {{udev_monitor_get_fd(m_monitor), POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    for (;;) {
        if (poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents != 0) return;
        if ((fds[0].revents & POLLIN) == 0) continue;
        udev_device* device = udev_monitor_receive_device(m_monitor);
        if (device == nullptr) continue;
        const char* action = udev_device_get_action(device);
        if (action != nullptr && std::strcmp(action, "add") == 0) {
            m_sink(DeviceChange::kArrival);
        } else if (action != nullptr && std::strcmp(action, "remove") == 0) {
            m_sink(DeviceChange::kRemoveComplete);
        }
        udev_device_unref(device);
    }
}

}  // namespace lumbra
