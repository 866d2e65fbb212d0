// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/KeyboardSimulator.h"

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;

namespace lumbra::test {

// The keyboard emulated at the kernel interface: a private /sys and /dev
// (umockdev's testbed) with the USB device, its two HID interfaces, their hid
// devices and hidraw nodes, as the kernel presents the real keyboard. Feature
// reports sent and fetched through the nodes' ioctls are answered by a
// KeyboardSimulator, so the emulation and the simulator are one keyboard; its
// input reports come out of the events node.
//
// The process that opens the nodes (this one, or a child given Environment())
// must run with umockdev's preload library. Not copyable; one per process at
// a time, since the testbed is named by the process's UMOCKDEV_DIR.
class EmulatedKeyboard {
public:
    enum Interface { kEvents = 0, kConfig = 1 };

    struct Layout {
        // The order of the two interfaces on the USB device (and so of their
        // hidraw nodes): the events interface first, as the keyboard has it.
        bool configFirst = false;
        // Usage pages of the events and the configuration interface.
        uint16_t eventsUsagePage = 0x000A;
        uint16_t configUsagePage = 0x000B;
        // Each hidraw node links to its hid device as `device`.
        bool deviceLinks = true;
    };

    // Whether the testbed can work in this process; the reason when not.
    static bool Available(std::string* reason);

    EmulatedKeyboard(std::shared_ptr<KeyboardSimulator> simulator, Layout layout);
    explicit EmulatedKeyboard(std::shared_ptr<KeyboardSimulator> simulator)
        : EmulatedKeyboard(std::move(simulator), Layout{}) {}
    ~EmulatedKeyboard();
    EmulatedKeyboard(const EmulatedKeyboard&) = delete;
    EmulatedKeyboard& operator=(const EmulatedKeyboard&) = delete;

    // Plugs the keyboard: the devices appear (each with its own "add" uevent),
    // the nodes answer. False, with the reason in Error(), when the testbed
    // refused the devices.
    bool Plug();
    // Unplugs it: the nodes fail every ioctl and read, a "remove" uevent goes
    // out for each hidraw node, then the devices go away.
    void Unplug();
    bool Plugged() const { return m_plugged; }
    const std::string& Error() const { return m_error; }

    // /dev/hidrawN of an interface, and its sysfs path.
    std::string NodePath(Interface which) const;
    std::string SysPath(Interface which) const;
    // The devices of the current plug as umockdev-record writes them.
    std::string Recording() const { return DeviceText(); }
    // The environment a child process needs to see the testbed.
    std::vector<std::string> Environment() const;

    // From now on every ioctl on the node fails with this errno (0: none).
    void FailIoctls(Interface which, int error);
    // The node's file loses every permission, as without the udev rule.
    void RefuseOpen(Interface which);

    // Ioctls the nodes answered, per interface, in order ("GRDESCSIZE",
    // "SFEATURE 3", "GFEATURE 184", ...).
    std::vector<std::string> Ioctls(Interface which) const;

    // The report descriptors the hid devices carry.
    static std::vector<uint8_t> EventsDescriptor(uint16_t usagePage);
    static std::vector<uint8_t> ConfigDescriptor(uint16_t usagePage);

    // For the ioctl handler's callbacks only.
    struct Node;
    bool HandleIoctl(Node& node, UMockdevIoctlClient* client);
    bool HandleRead(Node& node, UMockdevIoctlClient* client);

private:
    void MakeNodes();
    std::string DeviceText() const;
    void StartPump();
    void StopPump();
    void Pump();

    std::shared_ptr<KeyboardSimulator> m_simulator;
    Layout m_layout;
    UMockdevTestbed* m_testbed = nullptr;
    std::string m_root;
    std::string m_error;
    bool m_plugged = false;
    int m_plugs = 0;
    std::array<std::unique_ptr<Node>, 2> m_nodes;
    std::vector<std::unique_ptr<Node>> m_retired;  // their handlers stay attached

    // The simulator's side of the two interfaces while plugged.
    std::mutex m_handleMutex;
    std::unique_ptr<HidHandle> m_configHandle;
    std::unique_ptr<HidHandle> m_eventsHandle;

    // Input reports go from the simulator's events interface into the FIFO
    // that stands in for the events node.
    int m_fifo = -1;
    std::thread m_pump;
    std::atomic<bool> m_pumpStop{false};
};

// Runs a function on a thread of its own that has given up the power to
// override file permissions (root's CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH),
// so that a node without permissions refuses to open even for root.
void WithoutFileOverride(const std::function<void()>& work);

}  // namespace lumbra::test
