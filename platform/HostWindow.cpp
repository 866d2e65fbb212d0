// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <QScreen>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <optional>

#include "platform/HostWidget.h"
#include "platform/QtImpl.h"

namespace lumbra {

// ---- HostWidget -----------------------------------------------------------

HostWidget::HostWidget(HostWindow* host, WindowHandler* handler, Qt::WindowFlags flags,
                       QWidget* parent)
    : QWidget(parent, flags), m_host(host), m_handler(handler) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    hoverTimer.setSingleShot(true);
    QObject::connect(&hoverTimer, &QTimer::timeout, this, [this] { OnHoverTimeout(); });
    InstallAccessibleFactory();
}

void HostWidget::Detach() {
    m_host = nullptr;
    m_handler = nullptr;
    hoverTimer.stop();
    if (modalLoop) modalLoop->exit(-1);
}

uint32_t HostWidget::Flags() const {
    uint32_t f = 0;
    if (lastButtons & Qt::LeftButton) f |= MouseFlags::kLButton;
    if (lastButtons & Qt::RightButton) f |= MouseFlags::kRButton;
    if (lastButtons & Qt::MiddleButton) f |= MouseFlags::kMButton;
    if (lastModifiers & Qt::ShiftModifier) f |= MouseFlags::kShift;
    if (lastModifiers & Qt::ControlModifier) f |= MouseFlags::kControl;
    return f;
}

void HostWidget::Remember(QMouseEvent* e) {
    lastPos = e->position().toPoint();
    haveLastPos = true;
    lastButtons = e->buttons();
    lastModifiers = e->modifiers();
}

bool HostWidget::event(QEvent* e) {
    // A deferred delete ends with this object gone; nothing may be touched after it.
    if (e->type() == QEvent::DeferredDelete) return QWidget::event(e);
    ++accessibleGeneration;
    ++m_depth;
    bool handled = false;
    switch (e->type()) {
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
            if (m_handler) m_handler->OnActivate(e->type() == QEvent::WindowActivate);
            handled = true;
            break;
        case QEvent::WindowStateChange:
            // A window drawn while minimised holds that picture: restored (by
            // the window manager too), it is drawn whole again at once.
            if (static_cast<QWindowStateChangeEvent*>(e)->oldState() & Qt::WindowMinimized &&
                !isMinimized())
                update();
            handled = QWidget::event(e);
            break;
        case QEvent::KeyPress: {
            // Tab and Shift+Tab move the toolkit's own focus, not the widget's.
            const int key = static_cast<QKeyEvent*>(e)->key();
            if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
                keyPressEvent(static_cast<QKeyEvent*>(e));
                handled = true;
                break;
            }
            handled = QWidget::event(e);
            break;
        }
        default:
            handled = QWidget::event(e);
            break;
    }
    --m_depth;
    return handled;
}

namespace {

std::optional<NavKey> NavKeyOf(int key) {
    switch (key) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return NavKey::kTab;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return NavKey::kEnter;
        case Qt::Key_Escape:
            return NavKey::kEscape;
        case Qt::Key_Space:
            return NavKey::kSpace;
        case Qt::Key_Left:
            return NavKey::kLeft;
        case Qt::Key_Right:
            return NavKey::kRight;
        case Qt::Key_Up:
            return NavKey::kUp;
        case Qt::Key_Down:
            return NavKey::kDown;
        case Qt::Key_Home:
            return NavKey::kHome;
        case Qt::Key_End:
            return NavKey::kEnd;
        case Qt::Key_Menu:
            return NavKey::kMenu;
        default:
            return std::nullopt;
    }
}

}  // namespace

void HostWidget::keyPressEvent(QKeyEvent* e) {
    std::optional<NavKey> key = NavKeyOf(e->key());
    // Shift+F10 stands for the Menu key.
    if (e->key() == Qt::Key_F10 && e->modifiers() == Qt::ShiftModifier) key = NavKey::kMenu;
    // Enter left over by an edit box that acts on it is not the window's.
    const QWidget* focus = QApplication::focusWidget();
    const bool boxUsesEnter =
        focus && focus != this && focus->property(kUsesEnterProperty).toBool();
    if (!key || !m_handler || (*key == NavKey::kEnter && boxUsesEnter)) {
        e->ignore();
        return;
    }
    const Qt::KeyboardModifiers m = e->modifiers();
    const NavKeyPress press{*key, (m & Qt::ShiftModifier) || e->key() == Qt::Key_Backtab,
                            (m & Qt::ControlModifier) != 0, (m & Qt::AltModifier) != 0,
                            e->isAutoRepeat()};
    if (m_handler->OnNavKey(press))
        e->accept();
    else
        e->ignore();
}

// What this paint event draws into, as a surface over its pixels: the
// window's backing store where that is a plain 32-bit picture of this window
// (the raster platforms), at its device pixel ratio. Null elsewhere (grabs
// into a pixmap, shared painters).
std::unique_ptr<Surface> HostWidget::PaintTarget() {
    QPoint offset;
    QPaintDevice* device = redirected(&offset);
    if (!device || sharedPainter() || !offset.isNull() || device->devType() != QInternal::Image)
        return nullptr;
    auto* store = static_cast<QImage*>(device);
    const QImage::Format format = store->format();
    auto impl = std::make_unique<Surface::Impl>();
    impl->ratio = store->devicePixelRatio();
    impl->logical = size();
    const int deviceWidth = impl->Device(width()), deviceHeight = impl->Device(height());
    if ((format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied) ||
        impl->ratio < 1.0 || store->width() < deviceWidth || store->height() < deviceHeight)
        return nullptr;
    impl->image = QImage(store->bits(), deviceWidth, deviceHeight, store->bytesPerLine(), format);
    impl->clip = {0, 0, width(), height()};
    return std::make_unique<Surface>(std::move(impl));
}

void HostWidget::paintEvent(QPaintEvent* e) {
    if (!m_handler) return;
    const Rect client{0, 0, width(), height()};
    if (std::unique_ptr<Surface> target = PaintTarget()) {
        // The backing store keeps the last picture: only the dirty
        // rectangles are drawn again, and nothing outside them changes.
        for (const QRect& r : e->region()) {
            if (!m_handler) return;
            target->SetClip(Rect::FromSize(r.x(), r.y(), r.width(), r.height()));
            m_handler->OnPaint(*target, client);
        }
        return;
    }
    const double ratio = std::max(devicePixelRatioF(), 1.0);
    QRect dirty = e->rect();
    if (!backBuffer || backBuffer->Width() != width() || backBuffer->Height() != height() ||
        backBuffer->DevicePixelRatio() != ratio) {
        backBuffer = std::make_unique<Surface>(width(), height(), ratio);
        dirty = rect();
    }
    // The back buffer keeps the last picture, so only the dirty part is drawn again.
    backBuffer->SetClip(Rect::FromSize(dirty.x(), dirty.y(), dirty.width(), dirty.height()));
    m_handler->OnPaint(*backBuffer, client);
    if (!backBuffer) return;
    backBuffer->ClearClip();
    backBuffer->impl()->EndPainting();
    QPainter p(this);
    const Surface::Impl& drawn = *backBuffer->impl();
    const QRect from =
        drawn.DeviceRect(Rect::FromSize(dirty.x(), dirty.y(), dirty.width(), dirty.height()));
    p.drawImage(
        QRectF(from.x() / ratio, from.y() / ratio, from.width() / ratio, from.height() / ratio),
        drawn.image, from);
}

void HostWidget::mouseMoveEvent(QMouseEvent* e) {
    Remember(e);
    if (moving) {
        if (e->buttons() & Qt::LeftButton) {
            move(moveStartWindow + (e->globalPosition().toPoint() - moveStartGlobal));
            return;
        }
        moving = false;
    }
    if (hoverRequested) hoverTimer.start();
    if (m_handler) m_handler->OnMouseMove(Flags(), lastPos.x(), lastPos.y());
}

void HostWidget::mousePressEvent(QMouseEvent* e) {
    Remember(e);
    if (e->button() == Qt::LeftButton && m_handler)
        m_handler->OnLButtonDown(Flags(), lastPos.x(), lastPos.y());
}

void HostWidget::mouseReleaseEvent(QMouseEvent* e) {
    Remember(e);
    if (e->button() == Qt::RightButton && m_handler) {
        m_handler->OnRButtonUp(Flags(), lastPos.x(), lastPos.y());
        return;
    }
    if (e->button() != Qt::LeftButton) return;
    if (moving) {
        // The move took the button's release, as a system move loop would.
        moving = false;
        return;
    }
    if (m_handler) m_handler->OnLButtonUp(Flags(), lastPos.x(), lastPos.y());
}

void HostWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    Remember(e);
    if (e->button() == Qt::LeftButton && m_handler)
        m_handler->OnLButtonDblClk(Flags(), lastPos.x(), lastPos.y());
}

void HostWidget::wheelEvent(QWheelEvent* e) {
    lastPos = e->position().toPoint();
    haveLastPos = true;
    lastButtons = e->buttons();
    lastModifiers = e->modifiers();
    if (m_handler) m_handler->OnMouseWheel(Flags(), e->angleDelta().y(), lastPos.x(), lastPos.y());
}

void HostWidget::leaveEvent(QEvent*) {
    if (!tracking) return;
    tracking = false;
    hoverRequested = false;
    hoverTimer.stop();
    if (m_handler) m_handler->OnMouseLeave();
}

void HostWidget::OnHoverTimeout() {
    if (!hoverRequested || !m_handler) return;
    hoverRequested = false;
    m_handler->OnMouseHover(Flags(), lastPos.x(), lastPos.y());
}

void HostWidget::closeEvent(QCloseEvent* e) {
    // Destruction is the host's business; the widget never just hides.
    e->ignore();
    if (!m_handler || !m_host) return;
    HostWindow* host = m_host;
    if (m_handler->OnCloseRequest() && m_host == host) host->Destroy();
}

// ---- HostWindow -----------------------------------------------------------

HostWindow::HostWindow(WindowHandler* handler, WindowStyle style, HostWindow* owner)
    : m_handler(handler), m_owner(owner), m_impl(std::make_unique<Impl>()) {
    Qt::WindowFlags flags = Qt::FramelessWindowHint;
    if (style == WindowStyle::kPopup)
        flags |= Qt::Tool | Qt::WindowStaysOnTopHint;
    else
        flags |= Qt::Window;
    QWidget* parent = (owner && owner->m_impl->widget) ? owner->m_impl->widget : nullptr;
    m_impl->widget = new HostWidget(this, handler, flags, parent);
    if (owner) owner->m_owned.push_back(this);
}

HostWindow::~HostWindow() {
    DestroyInternal(false);
    if (m_owner) std::erase(m_owner->m_owned, this);
}

bool HostWindow::IsAlive() const { return !m_impl->destroyed; }

void HostWindow::Destroy() { DestroyInternal(true); }

void HostWindow::DestroyInternal(bool notify) {
    if (m_impl->destroyed) return;
    m_impl->destroyed = true;
    // Owned windows go first, as they would with the system's owned windows.
    std::vector<HostWindow*> owned = m_owned;
    for (HostWindow* w : owned) w->Destroy();
    HostWidget* widget = m_impl->widget;
    m_impl->widget = nullptr;
    if (widget) {
        widget->Detach();
        widget->hide();
        if (widget->InEvent())
            widget->deleteLater();
        else
            delete widget;
    }
    if (notify && m_handler) m_handler->OnWindowDestroyed();  // may delete this
}

void HostWindow::SetSize(int width, int height) {
    if (auto* w = m_impl->widget) w->resize(std::max(width, 1), std::max(height, 1));
}

namespace {

// The part of the screen windows may cover, in logical pixels, on the screen
// that holds the point (the primary screen when none does).
QRect AvailableArea(QPoint at) {
    QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// Where a window asked to go to topLeft goes.
QPoint PlaceOnScreen(const HostWidget* w, QPoint topLeft) {
    // Popups are placed by their owners against the control they belong to.
    if (!w || w->windowFlags().testFlag(Qt::Tool)) return topLeft;
    const QRect area = AvailableArea(topLeft + QPoint(w->width() / 2, 0));
    if (area.isEmpty()) return topLeft;
    // The title area and its buttons, at the top, stay on the screen; a
    // window too large for the screen keeps its top left corner on it.
    const int x = std::max(std::min(topLeft.x(), area.right() + 1 - w->width()), area.left());
    const int y = std::max(std::min(topLeft.y(), area.bottom() + 1 - w->height()), area.top());
    return {x, y};
}

}  // namespace

void HostWindow::Move(int x, int y) {
    if (auto* w = m_impl->widget) w->move(PlaceOnScreen(w, QPoint(x, y)));
}

Rect HostWindow::ClientRect() const {
    auto* w = m_impl->widget;
    return w ? Rect{0, 0, w->width(), w->height()} : Rect{};
}

Point HostWindow::ScreenPos() const {
    auto* w = m_impl->widget;
    return w ? Point{w->x(), w->y()} : Point{};
}

Point HostWindow::ClientToScreen(Point p) const {
    Point o = ScreenPos();
    return {o.x + p.x, o.y + p.y};
}

void HostWindow::CenterOnOwner() {
    auto* w = m_impl->widget;
    if (!w) return;
    QRect area;
    if (m_owner && m_owner->m_impl->widget)
        area = m_owner->m_impl->widget->geometry();
    else if (QScreen* s = QGuiApplication::primaryScreen())
        area = s->availableGeometry();
    if (area.isEmpty()) return;
    w->move(PlaceOnScreen(w, area.center() - QPoint(w->width() / 2, w->height() / 2)));
}

void HostWindow::Show() {
    if (auto* w = m_impl->widget) {
        // A window shown where it was created, or moved by someone else, is
        // brought onto the screen before it first shows.
        if (!w->isVisible() && !w->testAttribute(Qt::WA_WState_ExplicitShowHide))
            w->move(PlaceOnScreen(w, w->pos()));
        w->show();
    }
}

void HostWindow::Hide() {
    if (auto* w = m_impl->widget) w->hide();
}

bool HostWindow::IsVisible() const { return m_impl->widget && m_impl->widget->isVisible(); }
bool HostWindow::IsMinimized() const { return m_impl->widget && m_impl->widget->isMinimized(); }
bool HostWindow::IsMaximized() const { return m_impl->widget && m_impl->widget->isMaximized(); }

void HostWindow::Minimize() {
    if (auto* w = m_impl->widget) w->showMinimized();
}

void HostWindow::ShowNormal() {
    if (auto* w = m_impl->widget) w->showNormal();
}

void HostWindow::Activate() {
    if (auto* w = m_impl->widget) w->activateWindow();
}

bool HostWindow::IsActive() const { return m_impl->widget && m_impl->widget->isActiveWindow(); }

void HostWindow::SetTitle(const std::string& title) {
    if (auto* w = m_impl->widget) w->setWindowTitle(QString::fromStdString(title));
}

void HostWindow::SetIcon(const Image& icon) {
    if (auto* w = m_impl->widget; w && !icon.IsNull())
        w->setWindowIcon(QIcon(QPixmap::fromImage(QImageOf(icon))));
}

void HostWindow::SetOutline(const Region& region) {
    auto* w = m_impl->widget;
    if (!w) return;
    QRegion r;
    for (const Rect& rc : region.Rects()) r += QRect(rc.left, rc.top, rc.Width(), rc.Height());
    if (r.isEmpty())
        w->clearMask();
    else
        w->setMask(r);
    w->update();
}

void HostWindow::ClearOutline() {
    if (auto* w = m_impl->widget) w->clearMask();
}

void HostWindow::Invalidate(const Rect& r) {
    if (m_invalidateObserver) m_invalidateObserver(r);
    if (auto* w = m_impl->widget) ++w->accessibleGeneration;
    if (auto* w = m_impl->widget; w && !r.IsEmpty())
        w->update(QRect(r.left, r.top, r.Width(), r.Height()));
}

void HostWindow::InvalidateAll() {
    if (m_invalidateObserver) m_invalidateObserver(ClientRect());
    if (auto* w = m_impl->widget) ++w->accessibleGeneration;
    if (auto* w = m_impl->widget) w->update();
}

void HostWindow::RepaintNow() {
    if (auto* w = m_impl->widget; w && w->isVisible()) w->repaint();
}

Image HostWindow::Render(double devicePixelRatio) {
    Rect client = ClientRect();
    if (client.IsEmpty() || !m_handler) return {};
    Surface s(client.Width(), client.Height(), devicePixelRatio);
    m_handler->OnPaint(s, client);
    return s.Snapshot();
}

bool HostWindow::TrackMouse(int hoverMilliseconds) {
    auto* w = m_impl->widget;
    if (!w) return false;
    w->tracking = true;
    w->hoverRequested = true;
    w->hoverTimer.start(std::max(hoverMilliseconds, 1));
    return true;
}

bool HostWindow::IsTracking() const { return m_impl->widget && m_impl->widget->tracking; }

void HostWindow::SetCapture() {
    // While a button is held the widget keeps the pointer to itself; the flag
    // records that the toolkit asked for it.
    if (auto* w = m_impl->widget) w->captured = true;
}

void HostWindow::ReleaseCapture() {
    if (auto* w = m_impl->widget) w->captured = false;
}

bool HostWindow::HasCapture() const { return m_impl->widget && m_impl->widget->captured; }

Point HostWindow::CursorPos() const {
    auto* w = m_impl->widget;
    if (!w) return {};
    // Headless platforms have no pointer of their own: there the last event's
    // position stands for it.
    static const bool headless = QGuiApplication::platformName() == QLatin1String("offscreen") ||
                                 QGuiApplication::platformName() == QLatin1String("minimal");
    QPoint p = (headless && w->haveLastPos) ? w->lastPos : w->mapFromGlobal(QCursor::pos());
    return {p.x(), p.y()};
}

void HostWindow::BeginWindowMove(int x, int y) {
    auto* w = m_impl->widget;
    if (!w) return;
    ++w->moveCount;
    if (w->windowHandle() && w->windowHandle()->startSystemMove()) return;
    // Platforms without a system move: follow the pointer until the release.
    w->moving = true;
    w->moveStartGlobal = w->mapToGlobal(QPoint(x, y));
    w->moveStartWindow = w->pos();
}

int HostWindow::WindowMoveCount() const { return m_impl->widget ? m_impl->widget->moveCount : 0; }

intptr_t HostWindow::Send(uint32_t msg, uintptr_t first, intptr_t second) {
    if (!m_handler || m_impl->destroyed) return 0;
    return m_handler->OnMessage(msg, first, second);
}

void HostWindow::Post(uint32_t msg, uintptr_t first, intptr_t second) {
    auto* w = m_impl->widget;
    if (!w) return;
    QPointer<HostWidget> guard(w);
    QMetaObject::invokeMethod(
        w,
        [guard, msg, first, second] {
            if (guard && guard->Host()) guard->Host()->Send(msg, first, second);
        },
        Qt::QueuedConnection);
}

void HostWindow::Post(std::function<void()> task) {
    auto* w = m_impl->widget;
    if (!w) return;
    QPointer<HostWidget> guard(w);
    QMetaObject::invokeMethod(
        w,
        [guard, task = std::move(task)] {
            HostWindow* host = guard ? guard->Host() : nullptr;
            if (host && host->m_handler && host->IsAlive()) task();
        },
        Qt::QueuedConnection);
}

void HostWindow::PostClose() {
    auto* w = m_impl->widget;
    if (!w) return;
    QPointer<HostWidget> guard(w);
    QMetaObject::invokeMethod(
        w,
        [guard] {
            if (guard && guard->Host()) guard->close();
        },
        Qt::QueuedConnection);
}

void HostWindow::SetModal(bool modal) {
    auto* w = m_impl->widget;
    const Qt::WindowModality modality = modal ? Qt::ApplicationModal : Qt::NonModal;
    if (!w || w->windowModality() == modality) return;
    const bool shown = w->isVisible();
    if (shown) w->hide();
    w->setWindowModality(modality);
    if (shown) w->show();
}

bool HostWindow::IsModal() const {
    return m_impl->widget && m_impl->widget->windowModality() != Qt::NonModal;
}

int HostWindow::RunModal() {
    auto* w = m_impl->widget;
    if (!w) return -1;
    SetModal(true);
    Show();
    QEventLoop loop;
    w->modalLoop = &loop;
    m_impl->modalResult = -1;
    QPointer<HostWidget> guard(w);
    int code = loop.exec();
    if (guard) guard->modalLoop = nullptr;
    return code;
}

void HostWindow::EndModal(int code) {
    auto* w = m_impl->widget;
    if (w && w->modalLoop) {
        w->modalLoop->exit(code);
        w->hide();
    }
}

bool HostWindow::InModalLoop() const { return m_impl->widget && m_impl->widget->modalLoop; }

}  // namespace lumbra
