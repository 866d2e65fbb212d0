// SPDX-License-Identifier: GPL-3.0-or-later
// Lists the HID interfaces as Lumbra's discovery sees them: hidapi's
// enumeration in its own order (the order of the interface indexes), with
// the keyboard's listener and feature interfaces marked.
//
//   lumbra_hidraw_enumerate              this machine
//   lumbra_hidraw_enumerate RECORDING    a machine recorded by umockdev-record;
//                                        needs umockdev's preload library

#include <umockdev.h>

#include <cstdio>
#include <string>

#include "device/HidApiBackend.h"
#include "device/Reports.h"
#include "tests/hidraw/EmulatedKeyboard.h"

namespace {

constexpr int kCannotEmulate = 77;

const char* Role(const lumbra::HidInterfaceInfo& info) {
    using namespace lumbra;
    if (info.vendorId != kKeyboardVendorId || info.productId != kKeyboardProductId) return "";
    if (info.usagePage == kListenerUsagePage) return "  <- the keyboard's listener interface";
    if (info.usagePage == kFeatureUsagePage) return "  <- the keyboard's feature interface";
    return "  (the keyboard, not used)";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: %s [RECORDING]\n", argv[0]);
        return 2;
    }
    UMockdevTestbed* testbed = nullptr;
    if (argc == 2) {
        if (std::string reason; !lumbra::test::EmulatedKeyboard::Available(&reason)) {
            std::fprintf(stderr, "%s: SKIP: %s\n", argv[0], reason.c_str());
            return kCannotEmulate;
        }
        testbed = umockdev_testbed_new();
        GError* error = nullptr;
        if (!umockdev_testbed_add_from_file(testbed, argv[1], &error)) {
            std::fprintf(stderr, "%s: %s\n", argv[0], error != nullptr ? error->message : argv[1]);
            return 2;
        }
    }
    {
        lumbra::HidApiBackend backend;
        const std::vector<lumbra::HidInterfaceInfo> interfaces = backend.Enumerate();
        for (size_t i = 0; i < interfaces.size(); ++i) {
            const lumbra::HidInterfaceInfo& info = interfaces[i];
            std::printf("%2zu  %04X:%04X  usage page %04X  input report %3zu  %s%s\n", i,
                        info.vendorId, info.productId, info.usagePage, info.inputReportLength,
                        info.path.c_str(), Role(info));
        }
        if (interfaces.empty()) std::printf("no HID interfaces\n");
    }
    if (testbed != nullptr) g_object_unref(testbed);
    return 0;
}
