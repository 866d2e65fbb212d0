// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "macro/MacroRecorder.h"

namespace lumbra {
namespace {

constexpr uint32_t kRelease = MacroRecorder::kReleaseBit;
using Result = MacroRecorder::Result;

MacroAction Press(uint8_t vk) { return MacroAction::KeyEvent(vk, false); }
MacroAction Release(uint8_t vk) { return MacroAction::KeyEvent(vk, true); }

class MainRecorder : public ::testing::Test {
protected:
    void SetUp() override { m_recorder.Start(&m_key); }
    Result Down(uint8_t vk, uint32_t ms, bool delays = true) {
        return m_recorder.OnHookMessage(vk, ms, delays);
    }
    Result Up(uint8_t vk, uint32_t ms, bool delays = true) {
        return m_recorder.OnHookMessage(vk, ms | kRelease, delays);
    }

    MacroKey m_key{"m"};
    MacroRecorder m_recorder = MacroRecorder::ForMainWindow();
};

TEST_F(MainRecorder, FirstEventIsAKeyAndEachLaterOneFollowsItsPause) {
    EXPECT_EQ(Down(0x41, 5000), Result::kRecorded);
    EXPECT_EQ(Up(0x41, 5120), Result::kRecorded);
    ASSERT_EQ(m_key.MacroActionNum, 3u);
    EXPECT_EQ(m_key.GetAction(0), Press(0x41));
    EXPECT_EQ(m_key.GetAction(1), MacroAction::Pause(120));
    EXPECT_EQ(m_key.GetAction(2), Release(0x41));
    EXPECT_EQ(m_key.MacroCommandActionNum, 2);
}

TEST_F(MainRecorder, WithoutDelaysOnlyKeysAreRecorded) {
    Down(0x41, 0, false);
    Up(0x41, 900, false);
    Down(0x42, 5000, false);
    EXPECT_EQ(m_key.MacroActionNum, 3u);
    EXPECT_EQ(m_key.GetAction(1), Release(0x41));
    EXPECT_EQ(m_key.MacroCommandActionNum, 3);
}

TEST_F(MainRecorder, HeldKeysPopupNoticesAndLowCodesAreIgnored) {
    Down(0x41, 100);
    EXPECT_EQ(Down(0x41, 130), Result::kIgnored);  // auto-repeat
    EXPECT_EQ(Down(0x41, 160), Result::kIgnored);
    EXPECT_EQ(m_recorder.OnHookMessage(0, 0, true), Result::kIgnored);  // a popup closed
    EXPECT_EQ(Down(0x07, 200), Result::kIgnored);
    EXPECT_EQ(Up(0x41, 300), Result::kRecorded);
    EXPECT_EQ(Up(0x41, 310), Result::kIgnored) << "a repeated release";
    EXPECT_EQ(m_key.MacroActionNum, 3u);
    EXPECT_EQ(m_key.GetAction(1), MacroAction::Pause(200)) << "measured from the first press";
}

TEST_F(MainRecorder, PausesOf1016MsAndMoreCostTwoCommands) {
    Down(0x41, 0);
    Up(0x41, 1015);
    EXPECT_EQ(m_key.MacroCommandActionNum, 2);
    Down(0x42, 1015 + 1016);
    EXPECT_EQ(m_key.MacroCommandActionNum, 4);
    EXPECT_EQ(m_key.GetAction(3), MacroAction::Pause(1016));
}

TEST_F(MainRecorder, LongPausesStopAt65535AndTheClockMayWrap) {
    Down(0x41, 0x7FFFFF00);
    Up(0x41, 0x00000100);  // wrapped: 0x200 ms later
    EXPECT_EQ(m_key.GetAction(1), MacroAction::Pause(0x200));
    Down(0x42, 0x00000100 + 70000);
    EXPECT_EQ(m_key.GetAction(3), MacroAction::Pause(0xFFFF));
}

TEST_F(MainRecorder, FullAtOneHundredCommandsWith199Steps) {
    Down(0x41, 0);
    for (uint32_t i = 1; i < 100; ++i) {
        const uint8_t vk = i % 2 ? 0x42 : 0x43;
        ASSERT_EQ(m_recorder.OnHookMessage(vk, i * 10, true), Result::kRecorded) << i;
    }
    EXPECT_EQ(m_key.MacroCommandActionNum, 100);
    EXPECT_EQ(m_key.MacroActionNum, 199u);
    EXPECT_EQ(Down(0x44, 5000), Result::kFull);
    EXPECT_EQ(m_key.MacroActionNum, 199u) << "what was recorded stays";
    EXPECT_EQ(m_key.MacroCommandActionNum, 100);
}

TEST_F(MainRecorder, WithoutDelaysFullAfterOneHundredKeys) {
    for (uint32_t i = 0; i < 100; ++i) {
        ASSERT_EQ(m_recorder.OnHookMessage(i % 2 ? 0x42 : 0x43, i, false), Result::kRecorded);
    }
    EXPECT_EQ(m_recorder.OnHookMessage(0x44, 200, false), Result::kFull);
    EXPECT_EQ(m_key.MacroActionNum, 100u);
}

TEST_F(MainRecorder, StartingAgainKeepsSlotsButRecordsFromTheBeginning) {
    Down(0x41, 0);
    Up(0x41, 50);
    m_recorder.Start(&m_key);
    EXPECT_EQ(m_key.MacroActionNum, 0u);
    EXPECT_EQ(m_key.MacroCommandActionNum, 0);
    EXPECT_EQ(m_key.GetAction(2), Release(0x41)) << "old slots are not cleared";
    EXPECT_EQ(Down(0x41, 10), Result::kRecorded) << "the last key was forgotten";
    MacroRecorder idle = MacroRecorder::ForMainWindow();
    idle.Start(nullptr);
    EXPECT_EQ(idle.OnHookMessage(0x41, 0, true), Result::kIgnored);
}

TEST(ManagerRecorder, KeepsLongPausesCountsCommandsAndNeverStops) {
    MacroKey key("m");
    key.MacroCommandActionNum = 42;
    MacroRecorder recorder = MacroRecorder::ForManager();
    recorder.Start(&key);
    recorder.OnHookMessage(0x41, 0, true);
    recorder.OnHookMessage(0x41, kRelease | 100000, true);
    EXPECT_EQ(key.GetAction(1), MacroAction::Pause(100000));
    EXPECT_EQ(key.MacroCommandActionNum, 3) << "one key, a long pause, one key";
    for (uint32_t i = 0; i < 300; ++i) {
        EXPECT_NE(recorder.OnHookMessage(i % 2 ? 0x42 : 0x43, 200000 + i, true), Result::kFull);
    }
    EXPECT_EQ(key.MacroActionNum, 200u) << "only the slots limit the manager";
    EXPECT_EQ(key.MacroCommandActionNum, MacroKey::kMaxCommands);
}

}  // namespace
}  // namespace lumbra
