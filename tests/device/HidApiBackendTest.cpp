// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "device/HidApiBackend.h"
#include "device/UdevHotPlugMonitor.h"
#include "tests/device/DeviceTestSupport.h"

namespace lumbra {
namespace {

using test::Bytes;

TEST(HidApiBackend, InputReportLengthComesFromTheReportDescriptor) {
    // Vendor collection: report 1 with 7 input bytes, report 2 with 63, and a
    // feature report of 5 bytes that does not count.
    const std::vector<uint8_t> numbered =
        Bytes("06 00 FF 09 01 A1 01 85 01 75 08 95 07 81 02 85 02 95 3F 81 02 95 05 B1 02 C0");
    EXPECT_EQ(MaxInputReportLength(numbered), 64u);

    // Without report ids there is no id byte; push and pop restore the size.
    const std::vector<uint8_t> plain =
        Bytes("05 01 09 06 A1 01 75 08 95 02 A4 75 01 95 08 81 02 B4 81 02 C0");
    EXPECT_EQ(MaxInputReportLength(plain), 3u);

    EXPECT_EQ(MaxInputReportLength(Bytes("05 01 09 06 A1 01 C0")), 0u);
    // A descriptor cut inside an item or a long item stops the walk, no more.
    EXPECT_EQ(MaxInputReportLength(Bytes("75 08 95 04 81 02 96")), 4u);
    EXPECT_EQ(MaxInputReportLength(Bytes("75 08 95 04 81 02 FE 30")), 4u);
}

TEST(HidApiBackend, EnumerationAndHotPlugMonitorStartAndStopCleanly) {
    HidApiBackend backend;
    for (const HidInterfaceInfo& info : backend.Enumerate()) {
        EXPECT_FALSE(info.path.empty());
        EXPECT_GT(info.inputReportLength, 0u);
    }
    EXPECT_EQ(backend.OpenPath("/nonexistent/hidraw99"), nullptr);

    UdevHotPlugMonitor monitor([](DeviceChange) {});
    if (monitor.Start()) monitor.Stop();  // without netlink access there is nothing to watch
    monitor.Stop();
}

}  // namespace
}  // namespace lumbra
