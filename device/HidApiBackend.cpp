// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/HidApiBackend.h"

#include <hidapi.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <map>

namespace lumbra {

namespace {

// Without a readable descriptor the buffer is the largest full-speed report.
constexpr size_t kFallbackInputReportLength = 65;

std::string SysfsDescriptorPath(const std::string& devicePath) {
    const size_t slash = devicePath.rfind('/');
    const std::string node = slash == std::string::npos ? devicePath : devicePath.substr(slash + 1);
    return "/sys/class/hidraw/" + node + "/device/report_descriptor";
}

size_t InputReportLengthOf(const std::string& devicePath) {
    std::ifstream file(SysfsDescriptorPath(devicePath), std::ios::binary);
    if (!file) return kFallbackInputReportLength;
    const std::vector<uint8_t> descriptor{std::istreambuf_iterator<char>(file),
                                          std::istreambuf_iterator<char>()};
    const size_t length = MaxInputReportLength(descriptor);
    return length != 0 ? length : kFallbackInputReportLength;
}

class HidApiHandle final : public HidHandle {
public:
    explicit HidApiHandle(hid_device* device) : m_device(device) {}
    ~HidApiHandle() override { hid_close(m_device); }

    bool SendFeatureReport(std::span<const uint8_t> report) override {
        return hid_send_feature_report(m_device, report.data(), report.size()) >= 0;
    }
    bool GetFeatureReport(std::span<uint8_t> buffer) override {
        return hid_get_feature_report(m_device, buffer.data(), buffer.size()) >= 0;
    }
    int Read(std::span<uint8_t> buffer) override {
        // hid_read returns 0 only in non-blocking mode; a blocking read that
        // comes back empty means the interface went away.
        const int n = hid_read(m_device, buffer.data(), buffer.size());
        return n > 0 ? n : -1;
    }
    bool InterruptRead() override { return false; }
    bool Gone() override {
        // A read that waits for nothing fails only on an interface that went
        // away. Only the feature handle is asked, and nothing else reads it.
        std::array<uint8_t, kFallbackInputReportLength> scratch{};
        return hid_read_timeout(m_device, scratch.data(), scratch.size(), 0) < 0;
    }

private:
    hid_device* m_device;
};

}  // namespace

size_t MaxInputReportLength(std::span<const uint8_t> descriptor) {
    // Short items only: global Report Size (0x74), Report ID (0x84), Report
    // Count (0x94), main Input (0x80); push and pop of the global state.
    struct Globals {
        uint32_t size = 0;
        uint32_t count = 0;
        uint32_t id = 0;
    };
    Globals globals;
    std::vector<Globals> stack;
    std::map<uint32_t, uint64_t> bits;
    size_t i = 0;
    while (i < descriptor.size()) {
        const uint8_t prefix = descriptor[i];
        if (prefix == 0xFE) {  // long item: skip it whole
            if (i + 1 >= descriptor.size()) break;
            i += 3 + descriptor[i + 1];
            continue;
        }
        const size_t dataSize = (prefix & 0x03) == 3 ? 4 : (prefix & 0x03);
        if (i + 1 + dataSize > descriptor.size()) break;
        uint32_t value = 0;
        for (size_t b = 0; b < dataSize; ++b) value |= uint32_t{descriptor[i + 1 + b]} << (8 * b);
        switch (prefix & 0xFC) {
            case 0x74:
                globals.size = value;
                break;
            case 0x94:
                globals.count = value;
                break;
            case 0x84:
                globals.id = value;
                break;
            case 0xA4:
                stack.push_back(globals);
                break;
            case 0xB4:
                if (!stack.empty()) {
                    globals = stack.back();
                    stack.pop_back();
                }
                break;
            case 0x80:
                bits[globals.id] += uint64_t{globals.size} * globals.count;
                break;
            default:
                break;
        }
        i += 1 + dataSize;
    }
    size_t longest = 0;
    for (const auto& [id, total] : bits) {
        const size_t bytes = static_cast<size_t>((total + 7) / 8) + (id != 0 ? 1 : 0);
        longest = std::max(longest, bytes);
    }
    return longest;
}

HidApiBackend::HidApiBackend() { hid_init(); }
HidApiBackend::~HidApiBackend() { hid_exit(); }

std::vector<HidInterfaceInfo> HidApiBackend::Enumerate() {
    std::vector<HidInterfaceInfo> result;
    std::lock_guard lock(m_mutex);
    hid_device_info* list = hid_enumerate(0, 0);
    for (const hid_device_info* d = list; d != nullptr; d = d->next) {
        HidInterfaceInfo info;
        info.vendorId = d->vendor_id;
        info.productId = d->product_id;
        info.usagePage = d->usage_page;
        info.path = d->path != nullptr ? d->path : "";
        info.inputReportLength = InputReportLengthOf(info.path);
        result.push_back(std::move(info));
    }
    hid_free_enumeration(list);
    return result;
}

std::unique_ptr<HidHandle> HidApiBackend::OpenPath(const std::string& path) {
    std::lock_guard lock(m_mutex);
    hid_device* device = hid_open_path(path.c_str());
    if (device == nullptr) return nullptr;
    return std::make_unique<HidApiHandle>(device);
}

bool HidApiBackend::AccessDenied(const std::string& path) {
    // The hidraw paths hidapi reports are device nodes, opened read-write.
    // access() rather than faccessat(): the program is not set-id, so both
    // ask for the same ids, and access() is the call that interposers of the
    // file system (umockdev's testbed) see, as they see hidapi's open().
    return access(path.c_str(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM);
}

}  // namespace lumbra
