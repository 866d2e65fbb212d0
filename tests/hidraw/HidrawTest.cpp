// SPDX-License-Identifier: GPL-3.0-or-later
// The real HID path - hidapi's hidraw backend, the libudev monitor and the
// device link over them - against the keyboard emulated at the kernel
// interface, whose feature reports the simulator answers.

#include <gtest/gtest.h>

#include <cerrno>
#include <mutex>

#include "device/HidApiBackend.h"
#include "device/UdevHotPlugMonitor.h"
#include "tests/device/DeviceTestSupport.h"
#include "tests/hidraw/EmulatedKeyboard.h"

namespace lumbra::test {
namespace {

using Interface = EmulatedKeyboard::Interface;

// A keyboard that differs from the factory in every part a read-back takes.
SimKeyboardState UsedKeyboard() {
    SimKeyboardState s = SimKeyboardState::Factory();
    s.currentProfile = 1;
    s.profiles[0].mode = 3;  // the model's 2
    s.profiles[0].brightness = 24;
    s.profiles[2].keys[48] = 0x29;
    s.profiles[1].actions[1] = KeyAction{0x01, 0x00, 0x00};  // G2 plays its macro
    s.profiles[1].actions[2] = KeyAction{0x06, 0x02, 0x04};
    auto& macro = s.profiles[1].macros[1];
    macro.fill(0);
    const std::string name = "Hello";
    std::copy(name.begin(), name.end(), macro.begin());
    macro[25] = 2;  // two entries: press and release of A
    macro[26] = 0x04;
    macro[27] = 0x00;
    macro[28] = 0x04;
    macro[29] = 0x8A;
    return s;
}

// The notifications of a libudev monitor, kept until the test hands them on.
class MonitorLog {
public:
    MonitorLog() : m_monitor([this](DeviceChange c) { Add(c); }) {}
    bool Start() { return m_monitor.Start(); }
    int Count(DeviceChange change) {
        std::lock_guard lock(m_mutex);
        return static_cast<int>(std::count(m_changes.begin(), m_changes.end(), change));
    }

private:
    void Add(DeviceChange change) {
        std::lock_guard lock(m_mutex);
        m_changes.push_back(change);
    }
    std::mutex m_mutex;
    std::vector<DeviceChange> m_changes;
    UdevHotPlugMonitor m_monitor;
};

class Hidraw : public ::testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        if (!EmulatedKeyboard::Available(&reason)) GTEST_SKIP() << reason;
    }

    void TearDown() override {
        // The listener ends with the keyboard; the link is not left waiting.
        if (keyboard && keyboard->Plugged()) {
            keyboard->Unplug();
            rig.WaitFor([&] { return !rig.link->ListenerActive(); });
        }
    }

    // Builds and plugs the emulated keyboard, with the simulator behind it in
    // the given state.
    void PlugKeyboard(EmulatedKeyboard::Layout layout = EmulatedKeyboard::Layout(),
                      const SimKeyboardState& state = SimKeyboardState::Factory()) {
        rig.sim->SetState(state);
        keyboard = std::make_unique<EmulatedKeyboard>(rig.sim, layout);
        ASSERT_TRUE(keyboard->Plug()) << keyboard->Error();
        rig.log.Take();
    }

    // The main window's start against the keyboard, listener running.
    void StartLink() {
        rig.Start();
        ASSERT_TRUE(rig.link->Found());
        ASSERT_TRUE(rig.WaitFor([&] { return rig.link->ListenerRun(); })) << "no listener";
    }

    std::shared_ptr<HidApiBackend> backend = std::make_shared<HidApiBackend>();
    LinkRig rig{backend};
    std::unique_ptr<EmulatedKeyboard> keyboard;
};

// ---- discovery --------------------------------------------------------------

class HidrawDiscovery : public Hidraw, public ::testing::WithParamInterface<bool> {};

TEST_P(HidrawDiscovery, InterfacesAreTakenByTheirUsagePageWhereverTheyStand) {
    EmulatedKeyboard::Layout layout;
    layout.configFirst = GetParam();
    ASSERT_NO_FATAL_FAILURE(PlugKeyboard(layout));
    const int events = layout.configFirst ? 1 : 0;
    const int config = 1 - events;

    const std::vector<HidInterfaceInfo> found = backend->Enumerate();
    ASSERT_EQ(found.size(), 2u);
    for (const HidInterfaceInfo& info : found) {
        EXPECT_EQ(info.vendorId, kKeyboardVendorId);
        EXPECT_EQ(info.productId, kKeyboardProductId);
    }
    EXPECT_EQ(found[events].path, keyboard->NodePath(Interface::kEvents));
    EXPECT_EQ(found[events].usagePage, kListenerUsagePage);
    EXPECT_EQ(found[events].inputReportLength, KeyboardSimulator::kInputReportLength)
        << "the events interface's report descriptor, read through the node's device link";
    EXPECT_EQ(found[config].path, keyboard->NodePath(Interface::kConfig));
    EXPECT_EQ(found[config].usagePage, kFeatureUsagePage);

    rig.link->InitDeviceLink();
    rig.link->FindKeyboard();
    EXPECT_TRUE(rig.link->Found());
    EXPECT_EQ(rig.link->ListenerInterface(), events);
    EXPECT_EQ(rig.link->FeatureInterface(), config);
    EXPECT_TRUE(rig.link->HasFeatureHandle());
    EXPECT_TRUE(rig.WaitFor([&] { return rig.link->ListenerRun(); }));
    EXPECT_TRUE(rig.window.denied.empty());
}

INSTANTIATE_TEST_SUITE_P(Order, HidrawDiscovery, ::testing::Values(false, true),
                         [](const auto& info) {
                             return info.param ? "ConfigFirst" : "EventsFirst";
                         });

// ---- feature reports --------------------------------------------------------

// The start-up read-back and a flush of changes to every kind of report, as
// the exchange log of the simulator behind the given backend tells them.
std::vector<std::string> ReadBackAndFlush(LinkRig& rig) {
    rig.Start();
    rig.model.Profile(0).SetLightColor(5);
    rig.model.Profile(0).SetLightBrightness(4);
    rig.model.pending.MarkLighting(0);
    rig.model.Profile(2).Keys()[111] = 0x29;
    rig.model.pending.MarkKeyTable(2);
    rig.model.pending.MarkMacro(1, 1);  // Hello on G2 of profile 2, read back
    rig.link->FlushPendingWrites();
    rig.Idle();
    rig.Send([&](WritePlan& plan) { rig.link->AddCurrentProfileWrite(plan, 2); });
    return rig.log.Take();
}

TEST_F(Hidraw, ReadBackAndFlushCarryTheSameBytesAsTheSimulatorItself) {
    LinkRig direct;
    direct.sim->SetState(UsedKeyboard());
    direct.log.Take();
    const std::vector<std::string> expected = ReadBackAndFlush(direct);

    ASSERT_NO_FATAL_FAILURE(PlugKeyboard(EmulatedKeyboard::Layout(), UsedKeyboard()));
    const std::vector<std::string> sent = ReadBackAndFlush(rig);
    EXPECT_EQ(sent, expected);

    // Spot checks of the bytes themselves, against the report layouts.
    ASSERT_GE(sent.size(), 7u);
    EXPECT_EQ(sent[0], "get 05 03 01");
    EXPECT_EQ(sent[1], "set 04 00 00");
    EXPECT_EQ(sent[3], "get 07 0D 00 00 03 18");
    EXPECT_NE(std::find(sent.begin(), sent.end(), "set 07 0D 00 00 05 04"), sent.end());
    EXPECT_NE(std::find(sent.begin(), sent.end(), "set 05 03 02"), sent.end());
    for (const std::string& line : sent) EXPECT_EQ(line.find("FAIL"), std::string::npos) << line;

    // Every exchange went through the node at the report's own length.
    const std::vector<std::string> ioctls = keyboard->Ioctls(Interface::kConfig);
    EXPECT_EQ(std::count(ioctls.begin(), ioctls.end(), "GFEATURE 184"), 3);
    EXPECT_EQ(std::count(ioctls.begin(), ioctls.end(), "GFEATURE 226"), 1);
    EXPECT_EQ(std::count(ioctls.begin(), ioctls.end(), "SFEATURE 184"), 1);
    EXPECT_EQ(std::count(ioctls.begin(), ioctls.end(), "SFEATURE 226"), 1);
    EXPECT_EQ(std::count(ioctls.begin(), ioctls.end(), "SFEATURE 6"), 1);

    // The model holds what the keyboard held, the keyboard what was flushed.
    EXPECT_EQ(rig.model.settings.CurrentProfile(), 1);
    EXPECT_EQ(rig.model.Profile(1).GKey(1)->name, "Hello");
    EXPECT_EQ(rig.model.Profile(1).GKey(2)->action, (KeyAction{0x06, 0x02, 0x04}));
    EXPECT_EQ(rig.model.Profile(2).Keys()[48], 0x29);
    const SimKeyboardState state = rig.sim->State();
    EXPECT_EQ(state.currentProfile, 2);
    EXPECT_EQ(state.profiles[0].mode, 5);
    EXPECT_EQ(state.profiles[0].brightness, 4);
    EXPECT_EQ(state.profiles[2].keys[111], 0x29);
    EXPECT_EQ(state.profiles[1].macros[1], UsedKeyboard().profiles[1].macros[1]);
}

// ---- input reports and hot-plug ---------------------------------------------

TEST_F(Hidraw, InputReportsThroughTheNodeReachTheListenerInOrder) {
    ASSERT_NO_FATAL_FAILURE(PlugKeyboard());
    ASSERT_NO_FATAL_FAILURE(StartLink());
    rig.sim->SendEvent(0x05, 2);  // the keyboard switched to profile 2
    rig.sim->SendEvent(0x02, 3);  // and its lighting to its mode 3
    EXPECT_TRUE(rig.WaitFor([&] { return rig.model.Profile(1).LightColor() == 2; }));
    EXPECT_EQ(rig.link->CurrentProfile(), 1);
    EXPECT_EQ(rig.model.settings.CurrentProfile(), 1);
    EXPECT_EQ(rig.window.notices, std::vector<int>{2});
}

TEST_F(Hidraw, UnplugIsSeenByTheMonitorAndEndsTheListener) {
    ASSERT_NO_FATAL_FAILURE(PlugKeyboard());
    ASSERT_NO_FATAL_FAILURE(StartLink());
    MonitorLog monitor;
    ASSERT_TRUE(monitor.Start());

    keyboard->Unplug();
    // One removal per hidraw node; the link handles them on the UI thread.
    ASSERT_TRUE(rig.WaitFor([&] { return monitor.Count(DeviceChange::kRemoveComplete) == 2; }));
    EXPECT_EQ(monitor.Count(DeviceChange::kArrival), 0);
    rig.link->OnDeviceChange(DeviceChange::kRemoveComplete);
    rig.link->OnDeviceChange(DeviceChange::kRemoveComplete);
    EXPECT_FALSE(rig.link->Found());
    EXPECT_FALSE(rig.link->HasFeatureHandle());
    EXPECT_TRUE(rig.link->NeedReadBack());
    const std::vector<std::string> once = {std::string(kDisconnectedMessage)};
    EXPECT_EQ(rig.window.messages, once);
    EXPECT_TRUE(rig.WaitFor([&] { return !rig.link->ListenerActive(); }))
        << "the listener's read did not fail";
}

TEST_F(Hidraw, ReplugIsAnnouncedAndReadsTheKeyboardAgain) {
    ASSERT_NO_FATAL_FAILURE(PlugKeyboard());
    ASSERT_NO_FATAL_FAILURE(StartLink());
    MonitorLog monitor;
    ASSERT_TRUE(monitor.Start());
    keyboard->Unplug();
    ASSERT_TRUE(rig.WaitFor([&] { return monitor.Count(DeviceChange::kRemoveComplete) == 2; }));
    rig.link->OnDeviceChange(DeviceChange::kRemoveComplete);
    ASSERT_TRUE(rig.WaitFor([&] { return !rig.link->ListenerActive(); }));

    // Elsewhere, the keyboard was changed; plugged in again, it is read again.
    rig.sim->SetState(UsedKeyboard());
    ASSERT_TRUE(keyboard->Plug()) << keyboard->Error();
    ASSERT_TRUE(rig.WaitFor([&] { return monitor.Count(DeviceChange::kArrival) == 2; }));
    rig.log.Take();
    rig.link->OnDeviceChange(DeviceChange::kArrival);
    rig.link->OnDeviceChange(DeviceChange::kArrival);  // the second node: nothing more
    rig.Idle();
    EXPECT_TRUE(rig.link->Found());
    const std::vector<std::string> log = rig.log.Take();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0], "get 05 03 01");
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& l) { return l.starts_with("get 06 B8"); }),
              3);
    EXPECT_EQ(rig.model.settings.CurrentProfile(), 1);
    EXPECT_EQ(rig.model.Profile(0).LightColor(), 2);
    EXPECT_EQ(rig.model.Profile(1).GKey(1)->name, "Hello");

    // A new listener reads the new node.
    ASSERT_TRUE(rig.WaitFor([&] { return rig.link->ListenerRun(); }));
    rig.sim->SendEvent(0x07, 4);
    EXPECT_TRUE(rig.WaitFor([&] { return rig.model.Profile(1).LightBrightness() == 4; }));
}

// ---- failures ---------------------------------------------------------------

struct Refusal {
    const char* name;
    Interface node;
};
void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }

class HidrawIoFailure : public Hidraw, public ::testing::WithParamInterface<Refusal> {};

// An interface that answers every ioctl with EIO cannot be opened: hidapi asks
// for its report descriptor first. The keyboard is found through the other
// one; nothing is said about permissions.
TEST_P(HidrawIoFailure, InterfaceWhoseIoctlsFailIsSkippedSilently) {
    ASSERT_NO_FATAL_FAILURE(PlugKeyboard());
    keyboard->FailIoctls(GetParam().node, EIO);
    const std::string path = keyboard->NodePath(GetParam().node);
    EXPECT_EQ(backend->OpenPath(path), nullptr);
    EXPECT_FALSE(backend->AccessDenied(path));

    rig.link->InitDeviceLink();
    rig.link->FindKeyboard();
    rig.link->ReadBackAll();
    rig.Idle();
    EXPECT_TRUE(rig.link->Found());
    EXPECT_TRUE(rig.window.denied.empty());
    EXPECT_TRUE(rig.window.messages.empty());
    if (GetParam().node == Interface::kConfig) {
        // The feature index stayed at the events interface, which takes no
        // feature reports: the read-back ends at its first request.
        EXPECT_EQ(rig.link->CurrentProfile(), -1);
        EXPECT_EQ(rig.sim->State(), SimKeyboardState::Factory());
        for (const std::string& line : rig.log.Lines())
            EXPECT_FALSE(line.starts_with("get") || line.starts_with("set")) << line;
    } else {
        // Read back through the feature interface; the listener cannot open.
        EXPECT_EQ(rig.link->CurrentProfile(), 0);
        EXPECT_TRUE(rig.WaitFor([&] { return !rig.link->ListenerActive(); }));
        EXPECT_FALSE(rig.link->ListenerRun());
    }
}

INSTANTIATE_TEST_SUITE_P(Node, HidrawIoFailure,
                         ::testing::Values(Refusal{"Config", Interface::kConfig},
                                           Refusal{"Events", Interface::kEvents}),
                         [](const auto& info) { return std::string(info.param.name); });

class HidrawPermission : public Hidraw, public ::testing::WithParamInterface<Refusal> {};

TEST_P(HidrawPermission, NodeThatRefusesToOpenGivesThePermissionMessage) {
    ASSERT_NO_FATAL_FAILURE(PlugKeyboard());
    keyboard->RefuseOpen(GetParam().node);
    const std::string path = keyboard->NodePath(GetParam().node);
    bool opened = true, denied = false;
    WithoutFileOverride([&] {
        opened = backend->OpenPath(path) != nullptr;
        denied = backend->AccessDenied(path);
        rig.link->InitDeviceLink();
        rig.link->FindKeyboard();
    });
    EXPECT_FALSE(opened);
    EXPECT_TRUE(denied) << "the refused open is not told apart from a missing device";
    const std::vector<std::string> told = {path};
    EXPECT_EQ(rig.window.denied, told);
    // The other interface still counts: the keyboard is there.
    EXPECT_TRUE(rig.link->Found());
}

INSTANTIATE_TEST_SUITE_P(Node, HidrawPermission,
                         ::testing::Values(Refusal{"Config", Interface::kConfig},
                                           Refusal{"Events", Interface::kEvents}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumbra::test
