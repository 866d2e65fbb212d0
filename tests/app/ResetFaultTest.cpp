// SPDX-License-Identifier: GPL-3.0-or-later
// The two reset commands with each of their reports failing in turn.

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "storage/ProfileFile.h"

namespace lumbra::test {
namespace {

// Lighting and a stored macro unlike the factory's on every profile; the
// keyboard is on profile 2.
SimKeyboardState KeyboardWithMacros() {
    SimKeyboardState state = SimKeyboardState::Factory();
    state.currentProfile = 1;
    for (SimProfileState& p : state.profiles) {
        p.mode = 5;
        p.brightness = 2;
        p.macros[0].fill(0);
        p.macros[0][0] = 'M';
    }
    return state;
}

// The window resets and saves its side whatever the keyboard answers, and
// clears the flags it clears after a reset that went through. On the keyboard
// only what the failed report would have done is missing: the lighting and
// key-table writes come before the reset report, which puts back the factory
// state anyway, so a failed reset keeps just that profile's macros, and a
// failed profile report keeps the keyboard's current profile.
TEST(MainWindowResets, EachFailingReportLeavesTheRestOfTheResetDone) {
    struct Case {
        uint32_t command;
        size_t sets;
    };
    for (const Case c : {Case{MainId::kResetProfile, 4}, Case{MainId::kResetAll, 10}}) {
        const bool all = c.command == MainId::kResetAll;
        for (size_t k = 1; k <= c.sets; ++k) {
            SCOPED_TRACE((all ? "reset all, set " : "reset profile, set ") + std::to_string(k));
            MainWindowRig rig;
            rig.sim->SetState(KeyboardWithMacros());
            rig.Start();
            ASSERT_EQ(rig.dlg->CurrentProfileNumber(), 1);
            rig.model.Profile(3).SetLightColor(6);
            rig.model.pending.MarkLighting(1);
            rig.model.pending.MarkKeyTable(0);
            rig.model.pending.MarkMacro(2, 0);
            rig.model.pending.MarkLighting(4);
            rig.log.Clear();
            rig.sim->FailNth(SimFault::kSet, static_cast<int>(k));
            rig.ClickControl(c.command);

            const std::vector<std::string> sets = rig.log.Sets();
            ASSERT_EQ(sets.size(), c.sets);
            const std::string& failed = sets[k - 1];
            ASSERT_TRUE(failed.ends_with(" FAIL")) << failed;
            const SimKeyboardState board = rig.sim->State();
            for (int p = 0; p < kOnBoardProfileCount; ++p) {
                const SimProfileState& onBoard = board.profiles[static_cast<size_t>(p)];
                const SimProfileState before =
                    KeyboardWithMacros().profiles[static_cast<size_t>(p)];
                if (!all && p != 1) {
                    EXPECT_EQ(onBoard, before) << p;
                    continue;
                }
                SimProfileState expected = SimProfileState::Factory();
                if (failed.starts_with("set 0D 04 0" + std::to_string(p))) {
                    expected.macros = before.macros;
                }
                EXPECT_EQ(onBoard, expected) << p;
                KeyboardProfile defaults;
                defaults.ResetDefaults(p);
                EXPECT_EQ(FormatProfile(rig.model.Profile(p)), FormatProfile(defaults)) << p;
                EXPECT_EQ(ReadText(rig.Config("default" + std::to_string(p) + ".psf")),
                          FormatProfile(defaults))
                    << p;
            }
            const bool profileFailed = failed.starts_with("set 05 03");
            EXPECT_EQ(board.currentProfile, all && !profileFailed ? 0 : 1);
            EXPECT_EQ(rig.model.Profile(3).LightColor(), 6);
            const PendingWrites& pending = rig.model.pending;
            EXPECT_FALSE(pending.lightingPending[1]);
            EXPECT_EQ(pending.keyTablePending[0], !all);
            EXPECT_EQ(pending.macroPending[2][0], !all);
            EXPECT_EQ(pending.lightingPending[4], !all);
        }
    }
}

}  // namespace
}  // namespace lumbra::test
