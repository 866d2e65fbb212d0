// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/KeyboardGrab.h"

#include <QEvent>
#include <QPointer>
#include <QWindow>

#include "platform/HostWidget.h"

namespace lumbra {

// Follows the window: grabs when it is shown and mapped, lets go when it is
// hidden. A grab asked for before the display server has mapped the window
// fails there, so it is asked for again when the window is exposed or
// activated.
struct KeyboardGrab::Impl : QObject {
    QPointer<HostWidget> widget;
    QPointer<QWindow> handle;
    bool held = false;

    explicit Impl(HostWidget* w) : widget(w) {
        if (!widget) return;
        widget->installEventFilter(this);
        Grab();
    }

    ~Impl() override {
        Release();
        if (widget) widget->removeEventFilter(this);
        if (handle) handle->removeEventFilter(this);
    }

    bool Active() const { return widget && QWidget::keyboardGrabber() == widget; }

    void WatchHandle() {
        QWindow* h = widget ? widget->windowHandle() : nullptr;
        if (!h || h == handle) return;
        if (handle) handle->removeEventFilter(this);
        handle = h;
        handle->installEventFilter(this);
    }

    void Grab() {
        if (!widget || !widget->Host() || !widget->isVisible()) return;
        if (!Active()) widget->grabKeyboard();
        WatchHandle();
        if (handle && !held) held = handle->setKeyboardGrabEnabled(true);
    }

    void Release() {
        if (Active()) widget->releaseKeyboard();  // also ends the display server's grab
        held = false;
    }

    bool eventFilter(QObject* watched, QEvent* e) override {
        switch (e->type()) {
            case QEvent::Show:
                if (watched == widget) Grab();
                break;
            case QEvent::Hide:
                if (watched == widget) Release();
                break;
            case QEvent::Expose:
                if (watched == handle && handle->isExposed() && !held) Grab();
                break;
            case QEvent::WindowActivate:
            case QEvent::FocusIn:
                if (!held) Grab();
                break;
            default:
                break;
        }
        return false;
    }
};

KeyboardGrab::KeyboardGrab(HostWindow* window)
    : m_impl(std::make_unique<Impl>(window && window->impl() ? window->impl()->widget : nullptr)) {}

KeyboardGrab::~KeyboardGrab() = default;

bool KeyboardGrab::Active() const { return m_impl->Active(); }

bool KeyboardGrab::HeldByDisplay() const { return m_impl->held && m_impl->Active(); }

bool KeyboardGrab::WindowAlive() const { return m_impl->widget && m_impl->widget->Host(); }

void KeyboardGrab::Send(uint32_t msg, uintptr_t first, intptr_t second) {
    HostWidget* w = m_impl->widget;
    if (w && w->Host()) w->Host()->Send(msg, first, second);
}

void KeyboardGrab::Post(uint32_t msg, uintptr_t first, intptr_t second) {
    HostWidget* w = m_impl->widget;
    if (!w || !w->Host()) return;
    QPointer<HostWidget> guard(w);
    QMetaObject::invokeMethod(
        w,
        [guard, msg, first, second] {
            if (guard && guard->Host()) guard->Host()->Send(msg, first, second);
        },
        Qt::QueuedConnection);
}

}  // namespace lumbra
