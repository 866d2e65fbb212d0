// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window while the keyboard's worker is busy: the clock holds
// the worker between two exchanges while the keyboard is unplugged, plugged
// in again or the program is told to end.

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "KeyboardBusySupport.h"

namespace lumbra::test {
namespace {

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
        EXPECT_FALSE(rig.model.pending.Any());
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

}  // namespace
}  // namespace lumbra::test
