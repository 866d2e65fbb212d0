// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window while the keyboard's worker is in the middle of a job,
// held there by the rig's clock: what the window shows and lets the user do,
// and that the window, the files and the keyboard agree afterwards.

#include <gtest/gtest.h>

#include <atomic>

#include "AppTestSupport.h"
#include "ui/CComboButton.h"

namespace lumbra::test {
namespace {

// Plays the UI thread until the condition holds, for about two seconds at most.
bool PumpUntil(const std::function<bool()>& condition) {
    for (int i = 0; i < 400 && !condition(); ++i) Application::ProcessEventsFor(5);
    return condition();
}

bool Disabled(MainWindowRig& rig, uint32_t id) { return rig.dlg->FindControl(id)->IsDisabled(); }

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
    ASSERT_TRUE(PumpUntil([&] { return inMacros && rig.dlg->IsBusy(); }));
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
    ASSERT_TRUE(PumpUntil([&] { return rig.dlg->CurrentProfileNumber() == 1; }));
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
