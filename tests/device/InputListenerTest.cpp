// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "storage/MacroFiles.h"
#include "storage/ProfileFile.h"
#include "storage/TextFile.h"
#include "tests/device/DeviceTestSupport.h"

namespace lumbra {
namespace {

using test::FakeWindow;
using test::LinkRig;

// A started link whose listener reads the simulator's events.
class InputListener : public ::testing::Test {
protected:
    void SetUp() override {
        rig.Start();
        ASSERT_TRUE(rig.link->ListenerRun());
        rig.log.Take();
        rig.window.refreshes = 0;
    }

    // Sends events, lets the listener handle them and the worker run what
    // they asked for, then sends a notice as a marker and plays the UI thread
    // until the marker arrives: everything sent before it has been handled.
    void Send(std::initializer_list<std::pair<uint8_t, uint8_t>> events) {
        const uint64_t handled = rig.link->EventsHandled() + events.size();
        for (auto [code, argument] : events) rig.sim->SendEvent(code, argument);
        ASSERT_TRUE(rig.WaitFor([&] { return rig.link->EventsHandled() >= handled; }));
        rig.Idle();
        Settle();
    }
    void Settle() {
        const size_t before = rig.window.notices.size();
        rig.sim->SendEvent(0x09, 0x01);
        // Notices of earlier events may come first; the marker comes last.
        ASSERT_TRUE(rig.WaitFor(
            [&] { return rig.window.notices.size() > before && rig.window.notices.back() == 7; }));
        rig.window.notices.pop_back();
    }

    LinkRig rig;
};

TEST_F(InputListener, ProfileSwitchMovesTheCurrentProfileAndPostsItsNumber) {
    Send({{0x05, 2}});
    EXPECT_EQ(rig.model.settings.CurrentProfile(), 1);
    EXPECT_EQ(rig.link->CurrentProfile(), 1);
    EXPECT_EQ(rig.window.refreshes, 1);
    EXPECT_EQ(rig.window.notices, std::vector<int>{2});

    rig.window.notices.clear();
    Send({{0x05, 4}, {0x05, 6}, {0x05, 0}});  // 4 reaches a PC-only slot; 6 and 0 are ignored
    EXPECT_EQ(rig.model.settings.CurrentProfile(), 3);
    EXPECT_EQ(rig.link->CurrentProfile(), 3);
    EXPECT_TRUE(rig.window.notices.empty());
}

TEST_F(InputListener, LightingEventsChangeTheCurrentSlot) {
    Send({{0x05, 3}, {0x02, 3}});
    EXPECT_EQ(rig.model.Profile(2).LightColor(), 2);
    EXPECT_EQ(rig.model.Profile(0).LightColor(), 1);

    Send({{0x07, 0x10}});  // stored as it comes
    EXPECT_EQ(rig.model.Profile(2).LightBrightness(), 16);

    Send({{0x06, 1}});
    EXPECT_EQ(rig.model.Profile(2).LightBrightness(), 24);
    EXPECT_EQ(rig.model.Profile(2).LightColor(), 2);

    Send({{0x06, 0}});
    EXPECT_EQ(rig.model.Profile(2).LightBrightness(), 8);
    EXPECT_EQ(rig.model.Profile(2).LightColor(), 1);
    EXPECT_EQ(rig.window.refreshes, 5);
}

TEST_F(InputListener, NoticesArePostedWithTheirCodes) {
    Send({{0x03, 0}, {0x03, 9}, {0x09, 0}, {0x08, 1}, {0xEE, 1}});
    EXPECT_EQ(rig.window.notices, (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(rig.window.refreshes, 0);
}

TEST_F(InputListener, QuickLaunchOpensThePathOfThatGKey) {
    rig.model.Profile(1).GKey(1)->launchPath = "/usr/bin/true";
    rig.model.Profile(0).GKey(1)->launchPath = "/wrong/slot";
    Send({{0x05, 2}, {0x04, 2}, {0x04, 6}, {0x04, 0}});
    EXPECT_EQ(rig.launcher.opened, std::vector<std::string>{"/usr/bin/true"});
}

TEST_F(InputListener, MacroRecordedOnTheKeyboardIsImportedNamedAndSaved) {
    Send({{0x01, 4}});
    const std::vector<std::string> log = rig.log.Take();
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(log[0], "in 01 01 04 00 00 00 00 00");
    EXPECT_EQ(log[1], "set 04 00 03");
    EXPECT_EQ(log[2], "sleep 8");
    EXPECT_TRUE(log[3].starts_with("get 08 E2 00 03 00 00 00 00 FF FF")) << log[3];
    EXPECT_EQ(log[4], "sleep 8");
    EXPECT_TRUE(
        log[5].starts_with("set 08 E2 00 03 00 00 00 00 50 72 6F 66 69 6C 65 31 5F 47 34 00"))
        << log[5];
    EXPECT_EQ(log[6], "sleep 350");
    EXPECT_EQ(log[7], "in 01 09 01 00 00 00 00 00");  // the marker

    const GKeySlot& g4 = *rig.model.Profile(0).GKey(3);
    EXPECT_EQ(g4.name, "Profile1_G4");
    EXPECT_EQ(g4.action, (KeyAction{0x01, 0, 0}));
    EXPECT_NE(rig.library.FindMacroKeyByName("Profile1_G4"), nullptr);
    EXPECT_EQ(rig.window.refreshes, 1);

    KeyboardProfile saved;
    ASSERT_TRUE(ReadProfileFile(saved, 0, rig.model.settings.SlotPath(0)));
    EXPECT_EQ(saved.GKey(3)->name, "Profile1_G4");
    EXPECT_EQ(saved.GKey(3)->action, (KeyAction{0x01, 0, 0}));
    MacroLibrary fromFile;
    ASSERT_TRUE(ReadMacroLibrary(fromFile, rig.dir.path));
    EXPECT_NE(fromFile.FindMacroKeyByName("Profile1_G4"), nullptr);

    // The second time the keyboard knows the name: the same macro is reused.
    Send({{0x01, 4}});
    EXPECT_EQ(rig.library.SetAt(0)->MacroKeyNum(), 1u);
    EXPECT_EQ(rig.sim->State().profiles[0].macros[3][0], 'P');
}

TEST_F(InputListener, FailedMacroFetchChangesNothing) {
    rig.sim->FailNext(SimFault::kGet, 1);
    Send({{0x01, 2}, {0x01, 7}});
    EXPECT_EQ(rig.model.Profile(0).GKey(1)->action, KeyAction{});
    EXPECT_EQ(rig.library.SetAt(0)->MacroKeyNum(), 0u);
    EXPECT_FALSE(std::filesystem::exists(MacroLibraryFilePath(rig.dir.path)));
}

// The read-back could not learn the keyboard's profile.
class InputListenerWithoutProfile : public InputListener {
protected:
    void SetUp() override {
        rig.sim->FailNext(SimFault::kGet, 1);
        InputListener::SetUp();
    }
};

TEST_F(InputListenerWithoutProfile, MacroIsImportedOnlyOnceTheProfileIsKnown) {
    ASSERT_EQ(rig.link->CurrentProfile(), -1);
    Send({{0x01, 4}});
    EXPECT_EQ(rig.log.Take(), (std::vector<std::string>{"in 01 01 04 00 00 00 00 00",
                                                        "in 01 09 01 00 00 00 00 00"}));
    EXPECT_EQ(rig.library.SetAt(0)->MacroKeyNum(), 0u);

    Send({{0x05, 2}, {0x01, 4}});
    EXPECT_EQ(rig.model.Profile(1).GKey(3)->name, "Profile2_G4");
    EXPECT_NE(rig.library.FindMacroKeyByName("Profile2_G4"), nullptr);
}

TEST_F(InputListener, ShortAndGarbageReportsNeverHurt) {
    rig.sim->SendInputReport({});
    rig.sim->SendInputReport({0x01});
    rig.sim->SendInputReport({0x01, 0x05});  // too short to carry an argument
    Settle();
    EXPECT_EQ(rig.model.settings.CurrentProfile(), 0);
    EXPECT_TRUE(rig.window.notices.empty());

    std::mt19937 random(1234);
    for (int i = 0; i < 300; ++i) {
        std::vector<uint8_t> report(random() % 20);
        for (uint8_t& b : report) b = static_cast<uint8_t>(random());
        if (report.size() > 1 && report[1] == 0x04) report[1] = 0x08;  // launch nothing
        rig.sim->SendInputReport(report);
    }
    Settle();
    EXPECT_TRUE(rig.launcher.opened.empty());
    EXPECT_TRUE(rig.link->ListenerRun());
}

TEST_F(InputListener, FailedReadEndsTheListenerAndUnplugEndsIt) {
    rig.sim->FailNext(SimFault::kRead, 1);
    EXPECT_TRUE(rig.WaitFor([&] { return !rig.link->ListenerActive(); }));
    // A new scan starts a new listener.
    rig.link->FindKeyboard();
    EXPECT_TRUE(rig.WaitFor([&] { return rig.sim->OpenReaders() == 1; }));
    Send({{0x05, 3}});
    EXPECT_EQ(rig.model.settings.CurrentProfile(), 2);

    rig.sim->Unplug();
    EXPECT_TRUE(rig.WaitFor([&] { return !rig.link->ListenerActive(); }));
}

TEST_F(InputListener, SecondStartWhileOneRunsStartsNothing) {
    rig.link->StartListener();
    rig.link->FindKeyboard();
    Settle();
    EXPECT_EQ(rig.sim->OpenReaders(), 1);
}

TEST_F(InputListener, ShutdownWakesTheBlockedRead) {
    rig.link->StopListener();
    EXPECT_FALSE(rig.link->ListenerRun());
    EXPECT_FALSE(rig.link->ListenerActive());
    EXPECT_EQ(rig.sim->OpenReaders(), 0);
}

// Changes posted by the listener land after the link is gone: nothing runs.
TEST(InputListenerLifetime, WorkQueuedForADestroyedLinkIsDropped) {
    auto rig = std::make_unique<LinkRig>();
    rig->Start();
    rig->sim->SendEvent(0x05, 2);
    ASSERT_TRUE(rig->WaitFor([&] { return rig->model.settings.CurrentProfile() == 1; }));
    rig->sim->SendEvent(0x07, 4);
    rig->link->StopListener();
    rig->session.reset();
    rig->dispatcher.RunPending();
    EXPECT_EQ(rig->window.refreshes, 2);  // the read-back's and the switch's
}

}  // namespace
}  // namespace lumbra
