// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace lumbra {

// One HID interface as the enumeration reports it. Its index is its position
// in the enumeration, which is stable while the same devices are present.
struct HidInterfaceInfo {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t usagePage = 0;
    size_t inputReportLength = 0;  // report id byte included
    std::string path;
};

// An open HID interface. Implementations are safe to use from several
// threads at once: one thread may block in Read while another exchanges
// feature reports or closes the handle it owns.
class HidHandle {
public:
    virtual ~HidHandle() = default;

    // Sends the bytes as one feature report; byte 0 is the report id.
    virtual bool SendFeatureReport(std::span<const uint8_t> report) = 0;
    // The caller puts the report id in byte 0; on success the buffer holds the
    // report (byte 0 = id) at the requested length.
    virtual bool GetFeatureReport(std::span<uint8_t> buffer) = 0;
    // Blocks until one input report arrives. The number of bytes placed in the
    // buffer, or -1 when the interface failed (unplugged, closed, interrupted).
    virtual int Read(std::span<uint8_t> buffer) = 0;
    // Wakes a Read blocked on this handle so that it fails. Any thread. False
    // when the implementation cannot do that (the read then stays blocked
    // until the device sends something or goes away).
    virtual bool InterruptRead() = 0;
    // Any thread: the device behind the handle has gone (unplugged), so the
    // handle will never work again, even when the device comes back.
    virtual bool Gone() { return false; }
};

// The HID interfaces of the machine.
class HidBackend {
public:
    virtual ~HidBackend() = default;

    // Any thread.
    virtual std::vector<HidInterfaceInfo> Enumerate() = 0;
    // Any thread. Nothing when the path cannot be opened.
    virtual std::unique_ptr<HidHandle> OpenPath(const std::string& path) = 0;
    // Any thread. Whether the user lacks the permission to open the path for
    // reading and writing (asked after OpenPath failed, to tell why).
    virtual bool AccessDenied(const std::string& path) {
        (void)path;
        return false;
    }
};

// What the hot-plug notifications say: a device arrived, or one was removed.
enum class DeviceChange : uint8_t { kArrival, kRemoveComplete };

// Receives arrival and removal notifications; called on the notifying thread.
using DeviceChangeSink = std::function<void(DeviceChange)>;

}  // namespace lumbra
