// SPDX-License-Identifier: GPL-3.0-or-later
// Storms of the keyboard's own events: whatever the keyboard sends, the work
// they ask for stays bounded, and nothing the user would miss is dropped.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "tests/device/DeviceTestSupport.h"

namespace lumbra {
namespace {

using test::LinkRig;

// Sends the events and waits until the listener has handled them all, without
// playing the UI thread: the worker's first job stays waiting for it.
void Flood(LinkRig& rig, int count, uint8_t code, std::initializer_list<uint8_t> arguments) {
    const uint64_t handled = rig.link->EventsHandled() + static_cast<uint64_t>(count);
    for (int i = 0; i < count; ++i)
        rig.sim->SendEvent(code, *(arguments.begin() + i % arguments.size()));
    for (int i = 0; i < 60000 && rig.link->EventsHandled() < handled; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(rig.link->EventsHandled(), handled);
}

int Count(const std::vector<std::string>& log, const std::string& prefix) {
    return static_cast<int>(std::count_if(log.begin(), log.end(),
                                          [&](const auto& l) { return l.starts_with(prefix); }));
}

TEST(KeyboardFlood, MacroImportsCollapseToOneWaitingPerGKeyAndLaunchesToOneStarting) {
    LinkRig rig;
    rig.Start();
    rig.log.Take();
    // G4 and G5 recorded 300 times: the import under way, if any, then one for each.
    Flood(rig, 300, 0x01, {4, 5});
    rig.Idle();
    // The worker may take its first job only after the last event.
    const int imports = Count(rig.log.Take(), "get 08");
    EXPECT_TRUE(imports == 2 || imports == 3) << imports;
    EXPECT_NE(rig.library.FindMacroKeyByName("Profile1_G5"), nullptr);

    rig.model.Profile(0).GKey(1)->launchPath = "/usr/bin/true";
    Flood(rig, 500, 0x04, {2});
    rig.dispatcher.RunPending();
    EXPECT_EQ(rig.launcher.opened.size(), 1u);
    // Once started, the next press starts it again.
    Flood(rig, 1, 0x04, {2});
    rig.dispatcher.RunPending();
    EXPECT_EQ(rig.launcher.opened.size(), 2u);
}

}  // namespace
}  // namespace lumbra
