// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Synthetic key events as the display server would deliver them: with the
// key's hardware scan code (the kernel's key code + 8), through the window
// system's window, so that the toolkit routes them to the focus widget or the
// keyboard grabber as it does with real keys.

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

#include "platform/HostWidget.h"

namespace lumbra::test {

// Kernel key codes of the keys the tests press.
namespace Evdev {
constexpr uint32_t kEsc = 1, kTab = 15, kQ = 16, kW = 17, kEnter = 28, kCtrlL = 29, kA = 30;
constexpr uint32_t kShiftL = 42, kB = 48, kShiftR = 54, kAltL = 56, kKp5 = 76, kKpEnter = 96;
constexpr uint32_t kCtrlR = 97, kPrint = 99, kAltR = 100, kPause = 119, kWinL = 125, kApp = 127;
constexpr uint32_t kF4 = 62, kUnknown = 84;
}  // namespace Evdev

inline QObject* KeyTarget(HostWindow& w) {
    QWidget* widget = WidgetOf(w);
    if (!widget) return nullptr;
    if (QWindow* handle = widget->window()->windowHandle()) return handle;
    return widget;
}

inline void SendKey(HostWindow& w, bool press, uint32_t evdev, int qtKey = Qt::Key_unknown,
                    unsigned long timestamp = 1, bool autoRepeat = false) {
    QObject* target = KeyTarget(w);
    if (!target) return;
    QKeyEvent e(press ? QEvent::KeyPress : QEvent::KeyRelease, qtKey, Qt::NoModifier, evdev + 8, 0,
                0, QString(), autoRepeat);
    e.setTimestamp(timestamp);
    QCoreApplication::sendEvent(target, &e);
}

// Press and release.
inline void Tap(HostWindow& w, uint32_t evdev, int qtKey = Qt::Key_unknown) {
    SendKey(w, true, evdev, qtKey);
    SendKey(w, false, evdev, qtKey);
}

}  // namespace lumbra::test
