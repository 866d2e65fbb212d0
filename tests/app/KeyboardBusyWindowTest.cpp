// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window while the keyboard's worker is busy: the clock holds
// the worker between two exchanges while the keyboard is unplugged, plugged
// in again, read back, or the program is told to end. What the window shows
// and lets the user do, and that the window, the files and the keyboard
// agree afterwards.

#include <gtest/gtest.h>

#include <atomic>

#include "AppTestSupport.h"
#include "KeyboardBusySupport.h"
#include "ui/CComboButton.h"

namespace lumbra::test {
namespace {

bool Disabled(MainWindowRig& rig, uint32_t id) { return rig.dlg->FindControl(id)->IsDisabled(); }

constexpr const char* kDisconnected = "Attention!|The keyboard is disconnected.Please connect.";

// Apply of five macros on profile 1's G keys; the keyboard goes away right
// after the key table and is back before the plan ends. Either the window
// hears of the removal while the keyboard is away, or only once it is back.
TEST(MainWindowBusy, AnUnplugDuringApplyKeepsWhatDidNotArrivePendingAndSaysSo) {
    for (const bool noticeAfterReplug : {false, true}) {
        SCOPED_TRACE(noticeAfterReplug ? "notice after the replug" : "notice while away");
        MainWindowRig rig;
        rig.Start();
        const std::vector<std::string> names = GiveProfileMacros(rig, 0);
        const size_t libraryKeys = rig.library.SetAt(0)->MacroKeyNum();
        rig.clock->Hold(true);
        rig.ClickControlWithoutIdle(MainId::kApply);
        ASSERT_TRUE(Until([&] { return rig.log.Count("sleep 350") == 1; }));  // the key table
        rig.sim->Unplug();
        if (!noticeAfterReplug) {
            Application::ProcessEvents();
            rig.clock->Let(2);  // the worker may go on while the keyboard is away
            for (int i = 0; i < 10; ++i) Application::ProcessEventsFor(5);
        }
        rig.sim->Plug();
        Application::ProcessEvents();
        rig.clock->Hold(false);
        rig.Settle();

        EXPECT_EQ(rig.dialogs.messages, std::vector<std::string>{kDisconnected});
        // Nothing of the plan reached the keyboard once it was back.
        const std::vector<std::string> lines = rig.log.Lines();
        const auto plug = std::find(lines.begin(), lines.end(), "plug");
        ASSERT_NE(plug, lines.end());
        for (auto l = plug; l != lines.end(); ++l) {
            EXPECT_FALSE(l->starts_with("set 08")) << *l;
            EXPECT_FALSE(l->starts_with("set 05")) << *l;
        }
        // The G keys keep the user's macros, pending, and the library made up none.
        for (int g = 0; g < kGKeyCount; ++g) {
            EXPECT_EQ(rig.model.Profile(0).GKey(g)->name, names[static_cast<size_t>(g)]);
            EXPECT_TRUE(rig.model.pending.macroPending[0][static_cast<size_t>(g)]) << g;
        }
        EXPECT_EQ(rig.library.SetAt(0)->MacroKeyNum(), libraryKeys);

        // The next Apply sends them.
        rig.ClickControl(MainId::kApply);
        EXPECT_EQ(KeyboardMacroNames(*rig.sim, 0), names);
        EXPECT_EQ(rig.model.pending, PendingWrites{});
    }
}

// Exit while the read-back after a plug waits between two exchanges: the
// exchange in flight ends, the rest of the read is given up, the goodbye
// goes out, and the window closes without waiting for the exit timer.
TEST(MainWindowBusy, ExitDuringAReadBackEndsAfterTheExchangeInFlight) {
    MainWindowRig rig;
    rig.Start();
    GiveProfileMacros(rig, 1);
    rig.ClickControl(MainId::kApply);
    rig.sim->Unplug();
    rig.Settle();
    rig.log.Clear();
    rig.clock->Hold(true);
    rig.sim->Plug();
    ASSERT_TRUE(Until([&] { return rig.log.Count("sleep 8") >= 1; }));
    rig.log.Clear();
    rig.tray.command(MainCommand::kExit);
    rig.clock->Hold(false);
    // A few hundred event rounds, not the exit timer's ten seconds.
    EXPECT_TRUE(Until([&] { return rig.closed; }));
    EXPECT_EQ(rig.log.Count("get"), 1) << "the answer to the select in flight";
    EXPECT_EQ(rig.log.Sets(), std::vector<std::string>{"set 05 03 07"});
}

// The keyboard is on profile 3 with a breathing light and holds a macro on G2
// of profile 1; the worker is held at the macro's get, after the first
// hand-over of the start-up read-back. Reset All given then is done on what
// the read brought, so the keyboard, the files and the window agree.
TEST(BusyKeyboardWindow, AReadBackShowsTheKeyboardAtOnceHoldsEditsAndRunsCommandsAfterIt) {
    MainWindowRig rig;
    SimKeyboardState state = SimKeyboardState::Factory();
    state.currentProfile = 2;
    state.profiles[2].brightness = 24;
    state.profiles[0].actions[1] = KeyAction{0x01, 0, 0};
    rig.sim->SetState(state);
    std::atomic<bool> inMacros = false;
    rig.sim->SetObserver([&](const SimExchange& e) {
        if (e.op != SimExchange::Op::kGet || e.bytes.empty() || e.bytes[0] != 0x08) return;
        inMacros = true;
        rig.clock->Hold(true);
    });
    rig.Start(false);
    ASSERT_TRUE(Until([&] { return inMacros && rig.dlg->IsBusy(); }));
    Application::ProcessEvents();

    EXPECT_EQ(rig.dlg->CurrentProfileNumber(), 2);
    auto* brightness = dynamic_cast<CComboButton*>(rig.dlg->FindControl(MainId::kLightBrightness));
    EXPECT_EQ(brightness->DisplayText(), "Breath");
    const uint32_t edits[] = {MainId::kLightColor, MainId::kLightBrightness, kFirstKeyButtonId,
                              kFirstGKeyButtonId};
    for (uint32_t id : edits) EXPECT_TRUE(Disabled(rig, id)) << id;
    rig.ClickControlWithoutIdle(MainId::kResetAll);
    EXPECT_EQ(rig.dialogs.resetPictures, std::vector<int>{kResetAllPicture});
    EXPECT_EQ(rig.model.Profile(2).LightBrightness(), 24) << "the reset waits for the read";

    rig.clock->Hold(false);
    rig.Idle();
    rig.Idle();
    EXPECT_FALSE(Disabled(rig, kFirstKeyButtonId));
    EXPECT_EQ(rig.sim->State().profiles[2].brightness, 8);
    EXPECT_EQ(rig.dlg->CurrentProfileNumber(), rig.sim->State().currentProfile);
    EXPECT_EQ(brightness->DisplayText(), "100%");
    EXPECT_NE(ReadText(rig.Config("default2.psf")).find("LightBrightness=8\r\n"),
              std::string::npos);
}

// The keyboard's own profile key during Apply's flush: the profile report that
// ends the flush carries it, and the settings file agrees. Then Reset Profile,
// from a session whose window shows profile 1, drops the pending writes of the
// profile it resets.
TEST(BusyKeyboardWindow, AProfileKeyDuringApplyIsKeptAndResetProfileDropsItsOwnPendingWrites) {
    MainWindowRig rig;
    rig.Start();
    PendingWrites& pending = rig.model.pending;
    for (int p = 0; p < kOnBoardProfileCount; ++p) pending.MarkKeyTable(p);
    rig.log.Clear();
    rig.clock->Hold(true);
    rig.ClickControlWithoutIdle(MainId::kApply);
    rig.sim->SendEvent(0x05, 2);
    ASSERT_TRUE(Until([&] { return rig.dlg->CurrentProfileNumber() == 1; }));
    rig.clock->Hold(false);
    rig.Idle();
    EXPECT_EQ(rig.log.Sets().back(), "set 05 03 01");
    EXPECT_EQ(rig.sim->State().currentProfile, 1);
    EXPECT_NE(ReadText(rig.Config("config.ini")).find("CurrentProfile=1\r\n"), std::string::npos);

    pending.MarkLighting(0);
    pending.MarkLighting(2);
    rig.dlg->Session().ResetProfile(2);
    EXPECT_EQ(pending.lightingPending, (std::array<bool, kProfileSlotCount>{true}));
}

}  // namespace
}  // namespace lumbra::test
