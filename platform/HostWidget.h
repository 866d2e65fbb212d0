// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Qt widget behind a HostWindow; seen only by platform sources and tests.

#include <QAccessible>
#include <QEventLoop>
#include <QImage>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/HostWindow.h"

namespace lumbra {

// Set on a child widget that acts on Enter itself: the key then stays with it.
inline constexpr const char* kUsesEnterProperty = "lumbraUsesEnter";

class HostWidget : public QWidget {
public:
    HostWidget(HostWindow* host, WindowHandler* handler, Qt::WindowFlags flags, QWidget* parent);

    // Cut off from its host: no more handler calls.
    void Detach();
    HostWindow* Host() const { return m_host; }
    WindowHandler* Handler() const { return m_handler; }
    bool InEvent() const { return m_depth > 0; }

    bool tracking = false;
    bool hoverRequested = false;
    bool captured = false;
    bool haveLastPos = false;
    QPoint lastPos;
    Qt::MouseButtons lastButtons;
    Qt::KeyboardModifiers lastModifiers;
    QTimer hoverTimer;
    int moveCount = 0;
    bool moving = false;
    QPoint moveStartGlobal;
    QPoint moveStartWindow;
    QEventLoop* modalLoop = nullptr;
    // Counts what may have changed the handler's accessible nodes (events,
    // repaints asked for); a cached copy of the nodes older than this is stale.
    uint64_t accessibleGeneration = 0;
    // Only where the window's backing store cannot be drawn into directly.
    std::unique_ptr<Surface> backBuffer;

    uint32_t Flags() const;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void Remember(QMouseEvent* e);
    std::unique_ptr<Surface> PaintTarget();
    void OnHoverTimeout();

    HostWindow* m_host;
    WindowHandler* m_handler;
    int m_depth = 0;
};

// Makes the host widgets answer assistive tools with their handler's nodes;
// the first host widget calls it.
void InstallAccessibleFactory();
// Sees every accessibility event the host windows send, also where no bridge
// listens (tests on headless platforms); an empty function ends it.
void SetAccessibleEventSpy(std::function<void(QAccessibleEvent*)> spy);

struct HostWindow::Impl {
    HostWidget* widget = nullptr;
    bool destroyed = false;
    int modalResult = -1;
};

// The widget of a host window, for tests that send it synthetic events.
inline QWidget* WidgetOf(HostWindow& host) { return host.impl() ? host.impl()->widget : nullptr; }

}  // namespace lumbra
