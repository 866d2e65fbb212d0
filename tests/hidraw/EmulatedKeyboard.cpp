// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/hidraw/EmulatedKeyboard.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <umockdev.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace lumbra::test {

namespace {

constexpr const char* kUsbDevice = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2";
constexpr const char* kHidMajor = "243";
constexpr uint8_t kEventsReportId = 0x01;

// One feature report of the configuration interface: its id and its length
// with the id byte.
struct FeatureReport {
    uint8_t id;
    uint8_t length;
};
constexpr FeatureReport kFeatureReports[] = {
    {SelectReport::kId, SelectReport::kLength},     {ProfileReport::kId, ProfileReport::kLength},
    {KeyTableReport::kId, KeyTableReport::kLength}, {LightingReport::kId, LightingReport::kLength},
    {MacroReport::kId, MacroReport::kLength},       {ResetReport::kId, ResetReport::kLength},
};

void AppendUsagePage(std::vector<uint8_t>& d, uint16_t page) {
    d.insert(d.end(), {0x06, static_cast<uint8_t>(page & 0xFF), static_cast<uint8_t>(page >> 8)});
    // Usage 1, application collection, bytes 0..255.
    d.insert(d.end(), {0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08});
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (uint8_t b : bytes) out += {digits[b >> 4], digits[b & 15]};
    return out;
}

}  // namespace

struct EmulatedKeyboard::Node {
    EmulatedKeyboard* owner = nullptr;
    Interface which = kEvents;
    int number = 0;  // the USB interface number
    int minor = 0;   // hidrawN; a replugged keyboard gets new nodes
    std::string hidPath;
    std::string sysPath;
    std::vector<uint8_t> descriptor;
    std::atomic<int> failErrno{0};
    std::atomic<bool> gone{true};
    UMockdevIoctlBase* handler = nullptr;
    mutable std::mutex logMutex;
    std::vector<std::string> log;

    std::string Name() const { return "hidraw" + std::to_string(minor); }
    std::string DevNode() const { return "/dev/" + Name(); }
    void Log(std::string line) {
        std::lock_guard lock(logMutex);
        log.push_back(std::move(line));
    }
};

namespace {

gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) {
    auto* node = static_cast<EmulatedKeyboard::Node*>(data);
    return node->owner->HandleIoctl(*node, client);
}

gboolean OnRead(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) {
    auto* node = static_cast<EmulatedKeyboard::Node*>(data);
    return node->owner->HandleRead(*node, client);
}

// The client's buffer of len bytes behind the ioctl's pointer argument.
UMockdevIoctlData* Resolve(UMockdevIoctlClient* client, size_t len) {
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    GError* error = nullptr;
    UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, len, &error);
    if (error != nullptr) g_error_free(error);
    return data;
}

}  // namespace

bool EmulatedKeyboard::Available(std::string* reason) {
    // umockdev tells by the /sys it sees, which is the real one until a
    // testbed exists; the answer is kept for the whole process.
    UMockdevTestbed* probe = umockdev_testbed_new();
    const bool mocked = umockdev_in_mock_environment();
    g_object_unref(probe);
    if (!mocked) {
        if (reason)
            *reason =
                "not running under umockdev's preload library (umockdev-wrapper, or "
                "LD_PRELOAD=libumockdev-preload.so.0)";
        return false;
    }
    return true;
}

std::vector<uint8_t> EmulatedKeyboard::EventsDescriptor(uint16_t usagePage) {
    std::vector<uint8_t> d;
    AppendUsagePage(d, usagePage);
    // Report 1: seven bytes of event after the id.
    d.insert(d.end(), {0x85, kEventsReportId, 0x95, 0x07, 0x09, 0x01, 0x81, 0x02, 0xC0});
    return d;
}

std::vector<uint8_t> EmulatedKeyboard::ConfigDescriptor(uint16_t usagePage) {
    std::vector<uint8_t> d;
    AppendUsagePage(d, usagePage);
    for (const FeatureReport& r : kFeatureReports)
        d.insert(d.end(),
                 {0x85, r.id, 0x95, static_cast<uint8_t>(r.length - 1), 0x09, 0x01, 0xB1, 0x02});
    d.push_back(0xC0);
    return d;
}

EmulatedKeyboard::EmulatedKeyboard(std::shared_ptr<KeyboardSimulator> simulator, Layout layout)
    : m_simulator(std::move(simulator)), m_layout(layout) {
    m_testbed = umockdev_testbed_new();
    gchar* root = umockdev_testbed_get_root_dir(m_testbed);
    m_root = root;
    g_free(root);
    MakeNodes();
}

void EmulatedKeyboard::MakeNodes() {
    for (int i = 0; i < 2; ++i) {
        auto node = std::make_unique<Node>();
        node->owner = this;
        node->which = static_cast<Interface>(i);
        // The hidraw nodes are numbered in the order of the interfaces.
        node->number = (i == kConfig) == !m_layout.configFirst ? 1 : 0;
        node->descriptor = i == kEvents ? EventsDescriptor(m_layout.eventsUsagePage)
                                        : ConfigDescriptor(m_layout.configUsagePage);
        if (auto& old = m_nodes[static_cast<size_t>(i)]) m_retired.push_back(std::move(old));
        m_nodes[static_cast<size_t>(i)] = std::move(node);
    }
}

EmulatedKeyboard::~EmulatedKeyboard() {
    if (m_plugged) Unplug();
    MakeNodes();
    for (auto& node : m_retired) {
        if (node->handler == nullptr) continue;
        umockdev_testbed_detach_ioctl(m_testbed, node->DevNode().c_str(), nullptr);
        g_object_unref(node->handler);
    }
    g_object_unref(m_testbed);
}

std::string EmulatedKeyboard::NodePath(Interface which) const {
    return m_nodes[static_cast<size_t>(which)]->DevNode();
}

std::string EmulatedKeyboard::SysPath(Interface which) const {
    return m_nodes[static_cast<size_t>(which)]->sysPath;
}

std::vector<std::string> EmulatedKeyboard::Environment() const {
    return {"UMOCKDEV_DIR=" + m_root};
}

// The devices as umockdev-record writes them: the USB device, then per
// interface the interface, its hid device and its hidraw node.
std::string EmulatedKeyboard::DeviceText() const {
    std::ostringstream t;
    const std::string usb = std::string(kUsbDevice).substr(4);  // without /sys
    const int devnum = 3 + m_plugs;
    char bus[16];
    std::snprintf(bus, sizeof bus, "001/%03d", devnum);
    t << "P: " << usb << "\nN: bus/usb/" << bus << "\n"
      << "E: DEVNAME=/dev/bus/usb/" << bus << "\nE: DEVTYPE=usb_device\nE: SUBSYSTEM=usb\n"
      << "E: PRODUCT=4f3/1406/110\nE: BUSNUM=001\nE: DEVNUM=" << devnum << "\n"
      << "A: idVendor=04f3\nA: idProduct=1406\nA: bcdDevice=0110\nA: busnum=1\n"
      << "A: devnum=" << devnum << "\nA: manufacturer=ELAN\nA: product=Gaming Keyboard\n"
      << "A: bNumInterfaces= 2\nA: dev=189:" << devnum - 1 << "\n\n";
    for (const auto& node : m_nodes) {
        const std::string n = std::to_string(node->number);
        const std::string minor = std::to_string(node->minor);
        const std::string iface = usb + "/1-2:1." + n;
        const std::string hid = node->hidPath.substr(4);
        t << "P: " << iface << "\nE: DEVTYPE=usb_interface\nE: SUBSYSTEM=usb\n"
          << "E: INTERFACE=3/0/0\nE: PRODUCT=4f3/1406/110\n"
          << "A: bInterfaceNumber=0" << n << "\nA: bInterfaceClass=03\nA: bInterfaceSubClass=00\n"
          << "A: bInterfaceProtocol=00\nA: bNumEndpoints=01\n\n";
        t << "P: " << hid << "\nE: SUBSYSTEM=hid\nE: DRIVER=hid-generic\n"
          << "E: HID_ID=0003:000004F3:00001406\nE: HID_NAME=ELAN Gaming Keyboard\n"
          << "E: HID_PHYS=usb-0000:00:14.0-2/input" << n << "\nE: HID_UNIQ=LUMBRA-EMU\n"
          << "E: MODALIAS=hid:b0003g0001v000004F3p00001406\n"
          << "H: report_descriptor=" << Hex(node->descriptor) << "\n\n";
        t << "P: " << hid << "/hidraw/" << node->Name() << "\nN: " << node->Name() << "\n"
          << "E: DEVNAME=/dev/" << node->Name() << "\nE: SUBSYSTEM=hidraw\n"
          << "E: MAJOR=" << kHidMajor << "\nE: MINOR=" << minor << "\n"
          << "A: dev=" << kHidMajor << ":" << minor << "\n";
        if (m_layout.deviceLinks)
            t << "L: device=../../../" << hid.substr(hid.rfind('/') + 1) << "\n";
        t << "\n";
    }
    return t.str();
}

bool EmulatedKeyboard::Plug() {
    if (m_plugged) return true;
    m_simulator->Plug();
    {
        std::lock_guard lock(m_handleMutex);
        m_configHandle = m_simulator->OpenPath(KeyboardSimulator::kConfigPath);
        m_eventsHandle = m_simulator->OpenPath(KeyboardSimulator::kEventsPath);
    }
    // The kernel numbers the hid devices of every plug anew; the hidraw
    // minors are left to be different, as umockdev keeps a node's name. The
    // nodes of the last plug stay gone for whoever still holds them open.
    if (m_plugs > 0) MakeNodes();
    for (auto& node : m_nodes) {
        node->failErrno = 0;
        node->gone = false;
        node->minor = 2 * m_plugs + node->number;
        char hid[32];
        std::snprintf(hid, sizeof hid, "/0003:04F3:1406.%04X", node->minor + 1);
        node->hidPath = std::string(kUsbDevice) + "/1-2:1." + std::to_string(node->number) + hid;
        node->sysPath = node->hidPath + "/hidraw/" + node->Name();
    }
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(m_testbed, DeviceText().c_str(), &error)) {
        m_error = error != nullptr ? error->message : "the testbed refused the devices";
        if (error != nullptr) g_error_free(error);
        return false;
    }
    // The events node is a FIFO: hidapi polls and reads the real file, which
    // umockdev's read emulation cannot stand in for.
    const std::string events = m_root + NodePath(kEvents);
    unlink(events.c_str());
    if (mkfifo(events.c_str(), 0666) != 0 ||
        (m_fifo = open(events.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC)) < 0) {
        m_error = "cannot make the events node a FIFO: " + std::string(std::strerror(errno));
        return false;
    }
    for (auto& node : m_nodes) {
        node->handler = umockdev_ioctl_base_new();
        g_signal_connect(node->handler, "handle-ioctl", G_CALLBACK(OnIoctl), node.get());
        g_signal_connect(node->handler, "handle-read", G_CALLBACK(OnRead), node.get());
        if (!umockdev_testbed_attach_ioctl(m_testbed, node->DevNode().c_str(), node->handler,
                                           &error)) {
            m_error = error != nullptr ? error->message : "cannot attach the ioctl handler";
            if (error != nullptr) g_error_free(error);
            return false;
        }
    }
    StartPump();
    m_plugged = true;
    ++m_plugs;
    return true;
}

void EmulatedKeyboard::Unplug() {
    if (!m_plugged) return;
    m_plugged = false;
    for (auto& node : m_nodes) node->gone = true;
    // A read blocked on the FIFO wakes, asks the handler and fails.
    const uint8_t wake = 0;
    [[maybe_unused]] const ssize_t written = write(m_fifo, &wake, 1);
    StopPump();
    m_simulator->Unplug();
    {
        std::lock_guard lock(m_handleMutex);
        m_configHandle.reset();
        m_eventsHandle.reset();
    }
    // udev announces the removal of the hidraw nodes; the monitor's user
    // enumerates again when it handles the notice, by then the devices are gone.
    for (auto& node : m_nodes) umockdev_testbed_uevent(m_testbed, node->sysPath.c_str(), "remove");
    // Children first: removing a parent would leave their bus links behind.
    for (auto& node : m_nodes) {
        umockdev_testbed_remove_device(m_testbed, node->sysPath.c_str());
        umockdev_testbed_remove_device(m_testbed, node->hidPath.c_str());
        const std::string iface = node->hidPath.substr(0, node->hidPath.rfind('/'));
        umockdev_testbed_remove_device(m_testbed, iface.c_str());
    }
    umockdev_testbed_remove_device(m_testbed, kUsbDevice);
    close(m_fifo);
    m_fifo = -1;
}

void EmulatedKeyboard::FailIoctls(Interface which, int error) {
    m_nodes[static_cast<size_t>(which)]->failErrno = error;
}

void EmulatedKeyboard::RefuseOpen(Interface which) { chmod((m_root + NodePath(which)).c_str(), 0); }

std::vector<std::string> EmulatedKeyboard::Ioctls(Interface which) const {
    const Node& node = *m_nodes[static_cast<size_t>(which)];
    std::lock_guard lock(node.logMutex);
    return node.log;
}

bool EmulatedKeyboard::HandleIoctl(Node& node, UMockdevIoctlClient* client) {
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    const size_t size = _IOC_SIZE(request);
    auto complete = [&](long result, int error) {
        umockdev_ioctl_client_complete(client, result, error);
        return TRUE;
    };
    if (_IOC_TYPE(request) != 'H') return complete(-1, ENOTTY);
    if (node.gone) return complete(-1, ENODEV);
    if (const int error = node.failErrno; error != 0) return complete(-1, error);

    switch (_IOC_NR(request)) {
        case _IOC_NR(HIDIOCGRDESCSIZE): {
            node.Log("GRDESCSIZE");
            UMockdevIoctlData* data = Resolve(client, sizeof(int));
            if (data == nullptr) return complete(-1, EFAULT);
            const int length = static_cast<int>(node.descriptor.size());
            std::memcpy(data->data, &length, sizeof length);
            g_object_unref(data);
            return complete(0, 0);
        }
        case _IOC_NR(HIDIOCGRDESC): {
            node.Log("GRDESC");
            UMockdevIoctlData* data = Resolve(client, sizeof(hidraw_report_descriptor));
            if (data == nullptr) return complete(-1, EFAULT);
            auto* descriptor = reinterpret_cast<hidraw_report_descriptor*>(data->data);
            const size_t length = std::min<size_t>(descriptor->size, node.descriptor.size());
            std::memcpy(descriptor->value, node.descriptor.data(), length);
            g_object_unref(data);
            return complete(0, 0);
        }
        case _IOC_NR(HIDIOCGRAWINFO): {
            node.Log("GRAWINFO");
            UMockdevIoctlData* data = Resolve(client, sizeof(hidraw_devinfo));
            if (data == nullptr) return complete(-1, EFAULT);
            hidraw_devinfo info{};
            info.bustype = 3;  // BUS_USB
            info.vendor = static_cast<__s16>(kKeyboardVendorId);
            info.product = static_cast<__s16>(kKeyboardProductId);
            std::memcpy(data->data, &info, sizeof info);
            g_object_unref(data);
            return complete(0, 0);
        }
        case _IOC_NR(HIDIOCSFEATURE(0)):
        case _IOC_NR(HIDIOCGFEATURE(0)): {
            const bool set = _IOC_NR(request) == _IOC_NR(HIDIOCSFEATURE(0));
            node.Log((set ? "SFEATURE " : "GFEATURE ") + std::to_string(size));
            UMockdevIoctlData* data = Resolve(client, size);
            if (data == nullptr) return complete(-1, EFAULT);
            bool ok = false;
            if (node.which == kConfig) {
                std::lock_guard lock(m_handleMutex);
                std::span<uint8_t> bytes(data->data, size);
                if (m_configHandle)
                    ok = set ? m_configHandle->SendFeatureReport(bytes)
                             : m_configHandle->GetFeatureReport(bytes);
            }
            g_object_unref(data);
            // The keyboard stalls a report it does not take; the kernel says EPIPE.
            return ok ? complete(static_cast<long>(size), 0) : complete(-1, EPIPE);
        }
        default:
            node.Log("unknown " + std::to_string(_IOC_NR(request)));
            return complete(-1, EINVAL);
    }
}

bool EmulatedKeyboard::HandleRead(Node& node, UMockdevIoctlClient* client) {
    // Reads of a present node fall through to the FIFO; a gone one fails.
    if (!node.gone) return FALSE;
    umockdev_ioctl_client_complete(client, -1, ENODEV);
    return TRUE;
}

void EmulatedKeyboard::StartPump() {
    m_pumpStop = false;
    m_pump = std::thread([this] { Pump(); });
}

void EmulatedKeyboard::StopPump() {
    m_pumpStop = true;
    {
        std::lock_guard lock(m_handleMutex);
        if (m_eventsHandle) m_eventsHandle->InterruptRead();
    }
    if (m_pump.joinable()) m_pump.join();
}

void EmulatedKeyboard::Pump() {
    HidHandle* events = nullptr;
    {
        std::lock_guard lock(m_handleMutex);
        events = m_eventsHandle.get();
    }
    if (events == nullptr) return;
    std::vector<uint8_t> report(KeyboardSimulator::kInputReportLength);
    while (!m_pumpStop) {
        const int length = events->Read(report);
        if (length < 0 || m_pumpStop) return;
        if (write(m_fifo, report.data(), static_cast<size_t>(length)) != length) return;
        // A FIFO is a stream of bytes: the next report goes in only after the
        // reader took this one whole.
        int pending = 0;
        while (!m_pumpStop && ioctl(m_fifo, FIONREAD, &pending) == 0 && pending > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void WithoutFileOverride(const std::function<void()>& work) {
    std::thread thread([&work] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (syscall(SYS_capget, &header, data) == 0) {
            const uint32_t drop =
                (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);
            data[0].effective &= ~drop;
            data[0].permitted &= ~drop;
            data[0].inheritable &= ~drop;
            // Only this thread changes; it ends after the work.
            syscall(SYS_capset, &header, data);
        }
        work();
    });
    thread.join();
}

}  // namespace lumbra::test
