// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Synthetic pointer events delivered straight to a host window's widget.

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>

#include "platform/HostWidget.h"

namespace lumbra::test {

inline void SendMouse(HostWindow& w, QEvent::Type type, int x, int y, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
    QWidget* widget = WidgetOf(w);
    if (!widget) return;
    QPointF local(x, y);
    QMouseEvent e(type, local, widget->mapToGlobal(local), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &e);
}

inline void Move(HostWindow& w, int x, int y, bool buttonHeld = false) {
    SendMouse(w, QEvent::MouseMove, x, y, Qt::NoButton, buttonHeld ? Qt::LeftButton : Qt::NoButton);
}
inline void Press(HostWindow& w, int x, int y) {
    SendMouse(w, QEvent::MouseButtonPress, x, y, Qt::LeftButton, Qt::LeftButton);
}
inline void Release(HostWindow& w, int x, int y) {
    SendMouse(w, QEvent::MouseButtonRelease, x, y, Qt::LeftButton, Qt::NoButton);
}
inline void DoubleClick(HostWindow& w, int x, int y) {
    SendMouse(w, QEvent::MouseButtonDblClick, x, y, Qt::LeftButton, Qt::LeftButton);
}
// Move, press and release at one point.
inline void Click(HostWindow& w, int x, int y) {
    Move(w, x, y);
    Press(w, x, y);
    Release(w, x, y);
}
inline void Leave(HostWindow& w) {
    if (QWidget* widget = WidgetOf(w)) {
        QEvent e(QEvent::Leave);
        QCoreApplication::sendEvent(widget, &e);
    }
}
inline void Deactivate(HostWindow& w) {
    if (QWidget* widget = WidgetOf(w)) {
        QEvent e(QEvent::WindowDeactivate);
        QCoreApplication::sendEvent(widget, &e);
    }
}

}  // namespace lumbra::test
