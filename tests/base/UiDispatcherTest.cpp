// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "base/UiDispatcher.h"

namespace lumbra {
namespace {

TEST(UiDispatcher, RunsPostedWorkOnTheDrainingThreadInOrder) {
    UiDispatcher dispatcher;
    std::vector<int> seen;
    std::atomic<int> wakes{0};
    dispatcher.SetWakeHandler([&] { ++wakes; });
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i) dispatcher.Post([&seen, i] { seen.push_back(i); });
    });
    worker.join();
    EXPECT_EQ(wakes.load(), 100);
    EXPECT_TRUE(seen.empty()) << "nothing runs before the UI thread drains";
    EXPECT_EQ(dispatcher.RunPending(), 100);
    ASSERT_EQ(seen.size(), 100u);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[static_cast<size_t>(i)], i);
}

TEST(UiDispatcher, WorkPostedBeforeTheWakeHandlerIsNotLost) {
    UiDispatcher dispatcher;
    int ran = 0;
    dispatcher.Post([&] { ++ran; });
    int wakes = 0;
    dispatcher.SetWakeHandler([&] { ++wakes; });
    EXPECT_EQ(wakes, 1);
    dispatcher.RunPending();
    EXPECT_EQ(ran, 1);
}

TEST(UiDispatcher, PostAndWaitReturnsAfterTheUiThreadRanTheTask) {
    UiDispatcher dispatcher;
    std::atomic<bool> stop{false};
    int value = 0;
    std::thread ui([&] {
        while (!stop) dispatcher.RunPending();
        dispatcher.RunPending();
    });
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w) {
        workers.emplace_back([&] {
            for (int i = 0; i < 50; ++i) dispatcher.PostAndWait([&] { ++value; });
        });
    }
    for (auto& t : workers) t.join();
    stop = true;
    ui.join();
    EXPECT_EQ(value, 200);
}

}  // namespace
}  // namespace lumbra
