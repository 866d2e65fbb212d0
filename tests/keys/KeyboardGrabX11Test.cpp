// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard hook against a real X server (run under Xvfb by
// run-under-xvfb.sh): the display server's own key events, with its scan
// codes, arrive as hook messages, and while the hook runs the keyboard is
// grabbed, so that keys typed anywhere — desktop shortcuts included — reach
// the hook's window.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QProcess>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "keys/CKeyboardHook.h"
#include "macro/MacroRecorder.h"
#include "platform/Application.h"
#include "platform/HostWindow.h"
#include "ui/ControlMessages.h"

namespace lumbra {
namespace {

struct HookMsg {
    uintptr_t vk;
    bool released;
    friend bool operator==(const HookMsg&, const HookMsg&) = default;
};
std::ostream& operator<<(std::ostream& os, const HookMsg& m) {
    return os << "{0x" << std::hex << m.vk << std::dec << (m.released ? " up}" : " down}");
}

struct Recorder : WindowHandler {
    void OnPaint(Surface&, const Rect&) override {}
    intptr_t OnMessage(uint32_t msg, uintptr_t first, intptr_t second) override {
        if (msg == kMsgHookKey) {
            seen.push_back({first, (static_cast<uint32_t>(second) & 0x80000000u) != 0});
            words.push_back(static_cast<uint32_t>(second));
        }
        return 0;
    }
    std::vector<HookMsg> seen;
    std::vector<uint32_t> words;  // the second parameters
};

// Types keys through the X server's test extension, as a keyboard would.
void XdoKeys(const std::string& keys) {
    const std::string command = "xdotool key --delay 5 " + keys;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

std::vector<HookMsg> Presses(const std::vector<HookMsg>& all) {
    std::vector<HookMsg> out;
    for (const HookMsg& m : all)
        if (!m.released) out.push_back(m);
    return out;
}

class X11Grab : public testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X server";
        window = std::make_unique<HostWindow>(&recorder, WindowStyle::kDialog);
        window->SetSize(200, 100);
        window->Show();
        Application::ProcessEventsFor(300);
    }
    void TearDown() override {
        window.reset();
        Application::ProcessEvents();
    }
    // Lets the X server's events arrive.
    void Settle() { Application::ProcessEventsFor(300); }

    Recorder recorder;
    std::unique_ptr<HostWindow> window;
};

TEST_F(X11Grab, DesktopShortcutsAndOtherKeysReachTheHookWhileItRuns) {
    CKeyboardHook hook;
    hook.StartHook(window.get());
    for (int i = 0; i < 20 && !hook.HoldsDisplayKeyboard(); ++i) Application::ProcessEventsFor(50);
    ASSERT_TRUE(hook.HoldsDisplayKeyboard());

    XdoKeys("alt+F4 super a Escape Return Tab ctrl+b Up KP_Enter");
    Settle();
    const std::vector<HookMsg> expected = {
        {0xA4, false}, {0x73, false}, {0x5B, false}, {0x41, false}, {0x1B, false}, {0x0D, false},
        {0x09, false}, {0xA2, false}, {0x42, false}, {0x26, false}, {0x0E, false}};
    EXPECT_EQ(Presses(recorder.seen), expected);
    EXPECT_EQ(recorder.seen.size(), 2 * expected.size()) << "every press has its release";
    EXPECT_TRUE(window->IsAlive());
    EXPECT_TRUE(window->IsVisible());

    // Stopped: the grab is gone and nothing more is reported.
    hook.StopHook();
    EXPECT_FALSE(hook.HoldsDisplayKeyboard());
    recorder.seen.clear();
    XdoKeys("b");
    Settle();
    EXPECT_TRUE(recorder.seen.empty());
}

// A key held for two seconds with the server's auto-repeat on (Xvfb's
// default), typed by xdotool while the event loop runs, as a user holds a key
// while recording.
TEST_F(X11Grab, AKeyHeldForTwoSecondsIsRecordedAsOnePressAndOneRelease) {
    CKeyboardHook hook;
    hook.StartHook(window.get());
    for (int i = 0; i < 20 && !hook.HoldsDisplayKeyboard(); ++i) Application::ProcessEventsFor(50);
    ASSERT_TRUE(hook.HoldsDisplayKeyboard());
    for (int round = 0; round < 5; ++round) {
        recorder.seen.clear();
        recorder.words.clear();
        QProcess xdotool;
        xdotool.start("xdotool", {"keydown", "a", "sleep", "2", "keyup", "a"});
        ASSERT_TRUE(xdotool.waitForStarted());
        while (xdotool.state() != QProcess::NotRunning) Application::ProcessEventsFor(20);
        Settle();
        ASSERT_EQ(xdotool.exitCode(), 0);
        // Repeats may come as further presses; a release only at the end.
        ASSERT_GE(recorder.seen.size(), 2u) << "round " << round;
        EXPECT_EQ(recorder.seen.front(), (HookMsg{0x41, false})) << "round " << round;
        EXPECT_EQ(recorder.seen.back(), (HookMsg{0x41, true})) << "round " << round;
        EXPECT_EQ(std::count(recorder.seen.begin(), recorder.seen.end(), HookMsg{0x41, true}), 1)
            << "round " << round << ": " << recorder.seen.size() << " messages";
        // The macro page's recorder keeps one press, the pause and one release.
        MacroKey key("Held");
        MacroRecorder macro = MacroRecorder::ForMainWindow();
        macro.Start(&key);
        for (size_t i = 0; i < recorder.seen.size(); ++i)
            macro.OnHookMessage(static_cast<uint32_t>(recorder.seen[i].vk), recorder.words[i],
                                true);
        ASSERT_EQ(key.MacroActionNum, 3u) << "round " << round;
        EXPECT_EQ(key.AllAction[0], MacroAction::KeyEvent(0x41, false));
        EXPECT_TRUE(key.AllAction[1].IsPause());
        EXPECT_GE(key.AllAction[1].PauseLength(), 1900u);
        EXPECT_EQ(key.AllAction[2], MacroAction::KeyEvent(0x41, true));
    }
}

TEST_F(X11Grab, HidingTheWindowLetsTheKeyboardGo) {
    CKeyboardHook hook;
    hook.StartHook(window.get());
    for (int i = 0; i < 20 && !hook.HoldsDisplayKeyboard(); ++i) Application::ProcessEventsFor(50);
    ASSERT_TRUE(hook.HoldsDisplayKeyboard());
    window->Hide();
    Settle();
    EXPECT_FALSE(hook.HoldsDisplayKeyboard());
    window->Show();
    for (int i = 0; i < 20 && !hook.HoldsDisplayKeyboard(); ++i) Application::ProcessEventsFor(50);
    EXPECT_TRUE(hook.HoldsDisplayKeyboard());
}

}  // namespace
}  // namespace lumbra

int main(int argc, char** argv) {
    lumbra::Application app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
