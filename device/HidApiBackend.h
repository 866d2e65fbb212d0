// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <mutex>

#include "device/HidBackend.h"

namespace lumbra {

// The machine's HID interfaces through hidapi's hidraw backend. The
// enumeration is hid_enumerate(0, 0) in its own order; the input report
// length comes from the interface's report descriptor in sysfs.
class HidApiBackend final : public HidBackend {
public:
    HidApiBackend();
    ~HidApiBackend() override;

    std::vector<HidInterfaceInfo> Enumerate() override;
    std::unique_ptr<HidHandle> OpenPath(const std::string& path) override;
    bool AccessDenied(const std::string& path) override;

private:
    // hidapi keeps a global error text that enumeration and open write.
    std::mutex m_mutex;
};

// The largest input report a report descriptor declares, report id byte
// included; 0 when it declares none.
size_t MaxInputReportLength(std::span<const uint8_t> descriptor);

}  // namespace lumbra
