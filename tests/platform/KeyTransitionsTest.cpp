// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <utility>
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

// Transitions with each run of one key's presses counted once.
std::vector<std::pair<uint8_t, bool>> Collapsed(const std::vector<KeyTransition>& seen) {
    std::vector<std::pair<uint8_t, bool>> out;
    for (const KeyTransition& t : seen) {
        const std::pair<uint8_t, bool> step{t.virtualKey, t.released};
        if (out.empty() || out.back() != step) out.push_back(step);
    }
    return out;
}

TEST(KeyTransitions, RepeatPairsOfAHeldKeyAreNoReleaseFlaggedOrNot) {
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
    // X11 key codes: 38 A, 56 B.
    auto send = [&](QEvent::Type type, quint32 code, unsigned long ms, bool flagged = false) {
        QKeyEvent e(type, Qt::Key_unknown, Qt::NoModifier, code, 0, 0, QString(), flagged);
        e.setTimestamp(ms);
        QCoreApplication::sendEvent(target, &e);
    };
    // A held for two seconds as X delivers it: after the repeat delay, a
    // release and a press with the same time stamp per repeat, unflagged
    // (and the toolkit's flagged pair, now and then).
    send(QEvent::KeyPress, 38, 1000);
    for (unsigned long ms = 1660; ms < 3000; ms += 40) {
        const bool flagged = ms % 200 == 0;
        send(QEvent::KeyRelease, 38, ms, flagged);
        send(QEvent::KeyPress, 38, ms, flagged);
    }
    send(QEvent::KeyRelease, 38, 3010);
    Application::ProcessEvents();
    const size_t held = seen.size();
    // A quick double tap of B is two taps: its press comes later than the release.
    send(QEvent::KeyPress, 56, 4000);
    send(QEvent::KeyRelease, 56, 4020);
    send(QEvent::KeyPress, 56, 4021);
    send(QEvent::KeyRelease, 56, 4040);
    Application::ProcessEvents();
    SetKeyTransitionSink(nullptr);

    const std::vector<KeyTransition> a(seen.begin(), seen.begin() + held);
    using Step = std::pair<uint8_t, bool>;
    EXPECT_EQ(Collapsed(a), (std::vector<Step>{{0x41, false}, {0x41, true}}));
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a.back().timestamp, 3010u) << "the last release, once the queue was done";
    EXPECT_EQ(Collapsed({seen.begin() + held, seen.end()}),
              (std::vector<Step>{{0x42, false}, {0x42, true}, {0x42, false}, {0x42, true}}));
}

}  // namespace
}  // namespace lumbra
