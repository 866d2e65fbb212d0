// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <memory>
#include <vector>

#include "KeyEvents.h"
#include "keys/CKeyboardHook.h"
#include "platform/Application.h"
#include "ui/ControlMessages.h"

namespace lumbra {
namespace {

using namespace test::Evdev;
using test::SendKey;

struct HookMsg {
    uintptr_t first;
    uint32_t second;
    friend bool operator==(const HookMsg&, const HookMsg&) = default;
};

// A window that records the hook's messages.
struct Recorder : WindowHandler {
    void OnPaint(Surface&, const Rect&) override {}
    intptr_t OnMessage(uint32_t msg, uintptr_t first, intptr_t second) override {
        if (msg == kMsgHookKey) seen.push_back({first, static_cast<uint32_t>(second)});
        return 0;
    }
    std::vector<HookMsg> seen;
};

// A focusable child that records the keys that reach it.
class Probe : public QWidget {
public:
    explicit Probe(QWidget* parent) : QWidget(parent) {
        setFocusPolicy(Qt::StrongFocus);
        resize(20, 20);
    }
    std::vector<int> keys;

protected:
    void keyPressEvent(QKeyEvent* e) override { keys.push_back(e->key()); }
};

class KeyboardHookTest : public testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<HostWindow>(&recorder, WindowStyle::kDialog);
        window->SetSize(200, 100);
        window->Show();
        WidgetOf(*window)->activateWindow();
        Application::ProcessEvents();
    }
    void TearDown() override {
        window.reset();
        Application::ProcessEvents();
    }
    std::vector<HookMsg> Delivered() {
        Application::ProcessEvents();
        return recorder.seen;
    }

    Recorder recorder;
    std::unique_ptr<HostWindow> window;
};

TEST_F(KeyboardHookTest, PressesAndReleasesArriveAsVirtualKeysWithReleaseBitAndTimeStamp) {
    CKeyboardHook hook;
    EXPECT_EQ(hook.StartHook(window.get()), 1);
    SendKey(*window, true, kA, Qt::Key_A, 0x80000005u);
    SendKey(*window, false, kA, Qt::Key_A, 7);
    // Left and right modifiers, and keys a standard keyboard names otherwise.
    SendKey(*window, true, kShiftR, Qt::Key_Shift, 10);
    SendKey(*window, true, kCtrlR, Qt::Key_Control, 11);
    SendKey(*window, true, kAltR, Qt::Key_Alt, 12);
    SendKey(*window, true, kWinL, Qt::Key_Meta, 13);
    SendKey(*window, true, kKpEnter, Qt::Key_Enter, 14);
    SendKey(*window, true, kApp, Qt::Key_Menu, 15);
    const std::vector<HookMsg> expected = {{0x41, 5},  {0x41, 0x80000007u}, {0xA1, 10}, {0xA3, 11},
                                           {0xA5, 12}, {0x5B, 13},          {0x0E, 14}, {0x5D, 15}};
    EXPECT_EQ(Delivered(), expected);
}

TEST_F(KeyboardHookTest, AutoRepeatArrivesAsFurtherPressesOnly) {
    CKeyboardHook hook;
    hook.StartHook(window.get());
    SendKey(*window, true, kB, Qt::Key_B, 100);
    // X11 reports a held key as release/press pairs marked as repeats.
    SendKey(*window, false, kB, Qt::Key_B, 130, true);
    SendKey(*window, true, kB, Qt::Key_B, 130, true);
    SendKey(*window, false, kB, Qt::Key_B, 160, true);
    SendKey(*window, true, kB, Qt::Key_B, 160, true);
    SendKey(*window, false, kB, Qt::Key_B, 170);
    const std::vector<HookMsg> expected = {
        {0x42, 100}, {0x42, 130}, {0x42, 160}, {0x42, 0x80000000u | 170}};
    EXPECT_EQ(Delivered(), expected);
}

TEST_F(KeyboardHookTest, KeysWithoutAVirtualKeyAreNotReported) {
    CKeyboardHook hook;
    hook.StartHook(window.get());
    SendKey(*window, true, kUnknown);
    SendKey(*window, false, kUnknown);
    EXPECT_TRUE(Delivered().empty());
}

TEST_F(KeyboardHookTest, WhileHookedKeysDoNotActOnTheWindow) {
    QWidget* host = WidgetOf(*window);
    auto* first = new Probe(host);
    auto* second = new Probe(host);
    second->move(30, 0);
    first->show();
    second->show();
    first->setFocus();
    Application::ProcessEvents();
    ASSERT_EQ(QApplication::focusWidget(), first);

    CKeyboardHook hook;
    hook.StartHook(window.get());
    test::Tap(*window, kTab, Qt::Key_Tab);
    test::Tap(*window, kEsc, Qt::Key_Escape);
    test::Tap(*window, kEnter, Qt::Key_Return);
    test::Tap(*window, kA, Qt::Key_A);
    EXPECT_EQ(QApplication::focusWidget(), first) << "Tab moved the focus";
    EXPECT_TRUE(first->keys.empty());
    EXPECT_TRUE(second->keys.empty());
    ASSERT_EQ(Delivered().size(), 8u);
    EXPECT_EQ(recorder.seen[0].first, 0x09u);
    EXPECT_EQ(recorder.seen[2].first, 0x1Bu);
    EXPECT_EQ(recorder.seen[4].first, 0x0Du);

    // Once stopped, keys act again and are no longer reported.
    hook.StopHook();
    recorder.seen.clear();
    test::Tap(*window, kA, Qt::Key_A);
    test::Tap(*window, kTab, Qt::Key_Tab);
    EXPECT_EQ(first->keys, (std::vector<int>{Qt::Key_A}));
    EXPECT_EQ(QApplication::focusWidget(), second);
    EXPECT_TRUE(Delivered().empty());
}

TEST_F(KeyboardHookTest, StopIsHarmlessAndTheLatestStartTakesTheKeys) {
    CKeyboardHook idle;
    EXPECT_EQ(idle.StopHook(), 0);
    EXPECT_EQ(idle.StartHook(nullptr), 0);
    EXPECT_FALSE(idle.IsRunning());

    Recorder other;
    HostWindow otherWindow(&other, WindowStyle::kDialog);
    otherWindow.SetSize(100, 100);
    otherWindow.Show();
    Application::ProcessEvents();

    CKeyboardHook a, b;
    a.StartHook(window.get());
    a.StartHook(window.get());
    EXPECT_EQ(QWidget::keyboardGrabber(), WidgetOf(*window)) << "starting again keeps the grab";
    b.StartHook(&otherWindow);
    EXPECT_FALSE(a.IsRunning());
    EXPECT_TRUE(b.IsRunning());
    EXPECT_EQ(QWidget::keyboardGrabber(), WidgetOf(otherWindow));
    EXPECT_EQ(a.StopHook(), 0) << "a hook taken over is no longer a's to stop";
    SendKey(otherWindow, true, kQ, Qt::Key_Q, 3);
    Application::ProcessEvents();
    EXPECT_TRUE(recorder.seen.empty());
    EXPECT_EQ(other.seen, (std::vector<HookMsg>{{0x51, 3}}));

    EXPECT_EQ(b.StopHook(), 1);
    EXPECT_EQ(b.StopHook(), 0);
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
}

TEST_F(KeyboardHookTest, TheGrabFollowsTheWindowAndEndsWithIt) {
    CKeyboardHook hook;
    hook.StartHook(window.get());
    EXPECT_EQ(QWidget::keyboardGrabber(), WidgetOf(*window));
    window->Hide();
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr) << "a hidden dialog keeps no grab";
    window->Show();
    EXPECT_EQ(QWidget::keyboardGrabber(), WidgetOf(*window));

    // The window goes away before the hook is stopped: keys are dropped.
    window.reset();
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
    Recorder other;
    HostWindow otherWindow(&other, WindowStyle::kDialog);
    otherWindow.Show();
    WidgetOf(otherWindow)->activateWindow();
    Application::ProcessEvents();
    SendKey(otherWindow, true, kA, Qt::Key_A);
    Application::ProcessEvents();
    EXPECT_TRUE(other.seen.empty());
    EXPECT_EQ(hook.StopHook(), 1);
}

TEST_F(KeyboardHookTest, DestroyingARunningHookStopsIt) {
    {
        CKeyboardHook hook;
        hook.StartHook(window.get());
    }
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
    SendKey(*window, true, kA, Qt::Key_A);
    EXPECT_TRUE(Delivered().empty());
}

}  // namespace
}  // namespace lumbra
