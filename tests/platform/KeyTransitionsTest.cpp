#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <vector>

#include "platform/Application.h"
#include "platform/HostWidget.h"
#include "platform/KeyTransitions.h"

namespace lumbra {
namespace {

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
