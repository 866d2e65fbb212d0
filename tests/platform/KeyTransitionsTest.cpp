#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <vector>

#include "platform/Application.h"
#include "platform/HostWidget.h"
#include "platform/KeyTransitions.h"

namespace lumbra {
namespace {

TEST(KeyTransitions, LinuxKeyCodesNameKeysByPlaceWithSidesApart) {
    struct Case {
        uint32_t code;
        uint8_t vk;
    };
    // KEY_A, KEY_1, KEY_0, KEY_LEFTSHIFT, KEY_RIGHTSHIFT, KEY_LEFTCTRL,
    // KEY_RIGHTCTRL, KEY_LEFTALT, KEY_RIGHTALT, KEY_LEFTMETA, KEY_KPENTER,
    // KEY_F12, KEY_F13, KEY_BACKSLASH, KEY_102ND, KEY_KP0, KEY_DELETE.
    const Case cases[] = {{30, 0x41},  {2, 0x31},  {11, 0x30},  {42, 0xA0},  {54, 0xA1}, {29, 0xA2},
                          {97, 0xA3},  {56, 0xA4}, {100, 0xA5}, {125, 0x5B}, {96, 0x0E}, {88, 0x7B},
                          {183, 0x7C}, {43, 0xDC}, {86, 0xF3},  {82, 0x60},  {111, 0x2E}};
    for (const Case& c : cases) EXPECT_EQ(VirtualKeyForLinuxKeyCode(c.code), c.vk) << c.code;
    EXPECT_EQ(VirtualKeyForLinuxKeyCode(0), 0);
    EXPECT_EQ(VirtualKeyForLinuxKeyCode(5000), 0);
}

struct NullHandler : WindowHandler {
    void OnPaint(Surface&, const Rect&) override {}
};

TEST(KeyTransitions, PressesAndReleasesReachTheSinkOnceUntilStopped) {
    NullHandler h;
    HostWindow w(&h, WindowStyle::kDialog);
    w.Show();
    WidgetOf(w)->activateWindow();
    Application::ProcessEvents();
    std::vector<KeyTransition> seen;
    SetKeyTransitionSink([&](const KeyTransition& t) { seen.push_back(t); });
    QWidget* target =
        QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
    ASSERT_NE(target, nullptr);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 38, 0, 0, "a");
    down.setTimestamp(0x80000005u);
    QCoreApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier, 0, 0, 0);
    up.setTimestamp(7);
    QCoreApplication::sendEvent(target, &up);
    SetKeyTransitionSink(nullptr);
    QCoreApplication::sendEvent(target, &down);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].virtualKey, 0x41);  // X key code 38 is KEY_A
    EXPECT_FALSE(seen[0].released);
    EXPECT_EQ(seen[0].timestamp, 5u);
    EXPECT_EQ(seen[1].virtualKey, 0xA0);  // no hardware code: the key's meaning
    EXPECT_EQ(HookSecondParameter(seen[1]), 0x80000007u);
    Application::ProcessEvents();
}

}  // namespace
}  // namespace lumbra
