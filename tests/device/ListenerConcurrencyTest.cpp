// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/device/DeviceTestSupport.h"

namespace lumbra {
namespace {

using test::LinkRig;

// The listener handles a stream of keyboard events while the UI thread
// changes the same model and library and exchanges reports of its own. Run
// under ThreadSanitizer, this must stay silent.
TEST(ListenerConcurrency, EventStreamWhileTheUiChangesTheModel) {
    LinkRig rig;
    rig.sim->SetObserver(nullptr);  // keep the log out of it: nothing to compare
    rig.Start();
    ASSERT_TRUE(rig.link->ListenerRun());
    for (int g = 0; g < kGKeyCount; ++g) rig.model.Profile(0).GKey(g)->launchPath = "";

    std::atomic<bool> producing{true};
    std::thread keyboard([&] {
        for (int i = 0; i < 350; ++i) {
            const uint8_t argument = static_cast<uint8_t>(1 + i % 3);
            switch (i % 7) {
                case 0:
                    rig.sim->SendEvent(0x05, argument);
                    break;
                case 1:
                    rig.sim->SendEvent(0x02, argument);
                    break;
                case 2:
                    rig.sim->SendEvent(0x07, 4);
                    break;
                case 3:
                    rig.sim->SendEvent(0x06, static_cast<uint8_t>(i % 2));
                    break;
                case 4:
                    rig.sim->SendEvent(0x01, argument);
                    break;
                case 5:
                    rig.sim->SendEvent(0x04, argument);
                    break;
                default:
                    rig.sim->SendEvent(0x03, 0);
                    break;
            }
        }
        producing = false;
    });

    // The UI thread works in bursts between its turns at the dispatcher, so
    // that its changes and the listener's handling are not ordered by the
    // hand-over itself: a change made by the listener outside the hand-over
    // would overlap one of these and be reported.
    int round = 0;
    while (producing || rig.dispatcher.RunPending() != 0) {
        rig.dispatcher.RunPending();
        for (int burst = 0; burst < 20; ++burst, ++round) {
            for (int slot = 0; slot < kOnBoardProfileCount; ++slot) {
                KeyboardProfile& profile = rig.model.Profile(slot);
                profile.SetLightColor(1 + round % 7);
                profile.SetLightBrightness(round % 2 ? 8 : 24);
                profile.GKey(round % kGKeyCount)->name = "ui" + std::to_string(round);
            }
            rig.model.settings.SetCurrentProfile(round % kOnBoardProfileCount);
            rig.library.SetAt(0)->AddKey("ui" + std::to_string(round));
            if (round % 3 == 0) rig.library.SetAt(0)->RemoveKey(0);
            std::this_thread::yield();
        }
        if (round % 100 == 0)
            rig.Send([&](WritePlan& plan) { rig.link->AddLightingWrite(plan, round % 3); });
        if (round % 220 == 0)
            rig.Send([&](WritePlan& plan) { rig.link->AddKeyTableWrite(plan, round % 3); });
    }
    keyboard.join();

    // Everything sent has been read once the marker comes through.
    const size_t before = rig.window.notices.size();
    rig.sim->SendEvent(0x09, 0);
    ASSERT_TRUE(rig.WaitFor(
        [&] { return rig.window.notices.size() > before && rig.window.notices.back() == 6; }));
    EXPECT_TRUE(rig.link->ListenerRun());
    EXPECT_GT(rig.window.refreshes, 0);
}

// The worker sends the UI thread's plans and the listener's macro imports
// while the UI thread edits the model, plans more and applies what the
// worker hands back. Run under ThreadSanitizer, this must stay silent.
TEST(ListenerConcurrency, WorkerPlansAndImportsWhileTheUiEdits) {
    LinkRig rig;
    rig.sim->SetObserver(nullptr);
    rig.Start();
    ASSERT_TRUE(rig.link->ListenerRun());
    for (int g = 0; g < kGKeyCount; ++g) {
        const std::string name = "Mine" + std::to_string(g);
        rig.library.SetAt(0)->AddKey(name)->InsertAction(0, MacroAction::KeyEvent(0x41, false));
        rig.model.Profile(0).GKey(g)->name = name;
    }

    std::atomic<bool> producing{true};
    std::thread keyboard([&] {
        for (int i = 0; i < 120; ++i) {
            const auto argument = static_cast<uint8_t>(1 + i % kGKeyCount);
            rig.sim->SendEvent(i % 4 == 3 ? 0x05 : 0x01, i % 4 == 3 ? 1 : argument);
            std::this_thread::yield();
        }
        producing = false;
    });
    int round = 0;
    // The UI stops planning when the keyboard stops sending; the worker then
    // drains what was queued.
    while (producing) {
        rig.dispatcher.RunPending();
        KeyboardProfile& profile = rig.model.Profile(round % kOnBoardProfileCount);
        profile.SetLightColor(1 + round % 7);
        profile.Keys()[static_cast<size_t>(round % 10)] = static_cast<uint8_t>(round);
        rig.model.pending.MarkLighting(round % kOnBoardProfileCount);
        rig.model.pending.MarkKeyTable(round % kOnBoardProfileCount);
        rig.model.pending.MarkMacro(0, round % kGKeyCount);
        if (round % 5 == 0) rig.link->FlushPendingWrites();
        ++round;
        std::this_thread::yield();
    }
    keyboard.join();
    EXPECT_TRUE(rig.link->RunToIdle());
    EXPECT_TRUE(rig.link->ListenerRun());
    EXPECT_GT(rig.window.refreshes, 0);
    EXPECT_FALSE(rig.link->Worker().Busy());
}

}  // namespace
}  // namespace lumbra
