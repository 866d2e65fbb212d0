// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/KeyTransitions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>

#include "model/ScanCodeTable.h"
#include "platform/HostWidget.h"
#include "platform/X11AutoRepeat.h"

namespace lumbra {

namespace {

// Platforms that give no hardware key code (the headless one): the key's
// meaning instead of its place, with the left modifiers.
uint8_t VirtualKeyForQtKey(int key, bool keypad) {
    if (keypad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return static_cast<uint8_t>(0x60 + key - Qt::Key_0);
        switch (key) {
            case Qt::Key_Asterisk:
                return 0x6A;
            case Qt::Key_Plus:
                return 0x6B;
            case Qt::Key_Minus:
                return 0x6D;
            case Qt::Key_Period:
                return 0x6E;
            case Qt::Key_Slash:
                return 0x6F;
            case Qt::Key_Enter:
                return 0x0E;
            default:
                break;
        }
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<uint8_t>(key);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<uint8_t>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<uint8_t>(0x70 + key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Escape:
            return 0x1B;
        case Qt::Key_Tab:
            return 0x09;
        case Qt::Key_Backspace:
            return 0x08;
        case Qt::Key_Return:
            return 0x0D;
        case Qt::Key_Enter:
            return 0x0E;
        case Qt::Key_Space:
            return 0x20;
        case Qt::Key_Shift:
            return 0xA0;
        case Qt::Key_Control:
            return 0xA2;
        case Qt::Key_Alt:
            return 0xA4;
        case Qt::Key_Meta:
            return 0x5B;
        case Qt::Key_Menu:
            return 0x5D;
        case Qt::Key_CapsLock:
            return 0x14;
        case Qt::Key_NumLock:
            return 0x90;
        case Qt::Key_ScrollLock:
            return 0x91;
        case Qt::Key_Pause:
            return 0x13;
        case Qt::Key_Print:
            return 0x2C;
        case Qt::Key_Insert:
            return 0x2D;
        case Qt::Key_Delete:
            return 0x2E;
        case Qt::Key_Home:
            return 0x24;
        case Qt::Key_End:
            return 0x23;
        case Qt::Key_PageUp:
            return 0x21;
        case Qt::Key_PageDown:
            return 0x22;
        case Qt::Key_Left:
            return 0x25;
        case Qt::Key_Up:
            return 0x26;
        case Qt::Key_Right:
            return 0x27;
        case Qt::Key_Down:
            return 0x28;
        case Qt::Key_Semicolon:
            return 0xBA;
        case Qt::Key_Equal:
            return 0xBB;
        case Qt::Key_Comma:
            return 0xBC;
        case Qt::Key_Minus:
            return 0xBD;
        case Qt::Key_Period:
            return 0xBE;
        case Qt::Key_Slash:
            return 0xBF;
        case Qt::Key_QuoteLeft:
            return 0xC0;
        case Qt::Key_BracketLeft:
            return 0xDB;
        case Qt::Key_Backslash:
            return 0xDC;
        case Qt::Key_BracketRight:
            return 0xDD;
        case Qt::Key_Apostrophe:
            return 0xDE;
        default:
            return 0;
    }
}

// Milliseconds of a monotonic clock, for events that come without a time stamp.
uint32_t MonotonicMilliseconds() {
    static QElapsedTimer clock;
    if (!clock.isValid()) clock.start();
    return static_cast<uint32_t>(clock.elapsed());
}

// Both halves of X11's repeat pair carry the time of the repeat.
bool IsRepeatOf(const KeyTransition& press, const KeyTransition& release) {
    return !press.released && press.virtualKey == release.virtualKey &&
           press.nativeScanCode == release.nativeScanCode && press.timestamp == release.timestamp;
}

class KeyFilter : public QObject {
public:
    KeyFilter(KeyTransitionSink sink, KeyDelivery delivery)
        : m_sink(std::move(sink)), m_swallow(delivery == KeyDelivery::kSwallow) {}

    bool eventFilter(QObject* receiver, QEvent* e) override {
        if (e->type() == QEvent::ShortcutOverride) {
            // Accepting the override keeps shortcuts from firing; the key then
            // comes as a press, which is swallowed below.
            if (!m_swallow) return false;
            e->accept();
            return true;
        }
        if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease) return false;
        // A key event ignored by a widget travels on to its parents; only its
        // first receiver counts. A keyboard grab sends every key to the grabber.
        QObject* first = QWidget::keyboardGrabber();
        if (!first) first = QApplication::focusWidget();
        if (!first) first = QApplication::activeWindow();
        if (receiver != first) return false;
        // The sink may replace this filter; nothing of it is touched afterwards.
        const bool swallow = m_swallow;
        auto* key = static_cast<QKeyEvent*>(e);
        const bool released = e->type() == QEvent::KeyRelease;
        const quint32 scan = key->nativeScanCode();
        uint8_t vk = VirtualKeyFromScanCode(scan);
        if (vk == 0) vk = VirtualKeyForQtKey(key->key(), key->modifiers() & Qt::KeypadModifier);
        const uint32_t stamp = key->timestamp() != 0 ? static_cast<uint32_t>(key->timestamp())
                                                     : MonotonicMilliseconds();
        const KeyTransition t{vk, released, stamp & 0x7FFFFFFFu, scan};
        if (m_held && vk != 0 && IsRepeatOf(t, *m_held)) {
            // The held release was the first half of a repeat: the key never
            // went up, and this press is one more of a held key.
            m_held.reset();
        } else {
            DeliverHeld();
        }
        // The toolkit saw the repeat pair itself and flagged the release.
        if (vk == 0 || m_retired || (released && key->isAutoRepeat())) return swallow;
        if (released) {
            // Whether a press of the same key follows is known only with the
            // next event; the events queued now all come before this call.
            m_held = t;
            // Only this release: by then it may have gone out, and another be held.
            QMetaObject::invokeMethod(
                this,
                [this, serial = ++m_heldSerial] {
                    if (serial == m_heldSerial) DeliverHeld(/*deferred=*/true);
                },
                Qt::QueuedConnection);
            return swallow;
        }
        Deliver(t);
        return swallow;
    }

    // The filter is being replaced: a release it holds still goes to its sink.
    void Retire() {
        DeliverHeld();
        m_retired = true;
    }

private:
    void Deliver(const KeyTransition& t) {
        if (m_retired) return;
        auto sink = m_sink;
        sink(t);
    }
    void DeliverHeld(bool deferred = false) {
        if (!m_held) return;
        KeyTransition t = *m_held;
        m_held.reset();
        t.deferred = deferred;
        Deliver(t);
    }

    KeyTransitionSink m_sink;
    bool m_swallow;
    bool m_retired = false;
    std::optional<KeyTransition> m_held;
    uint64_t m_heldSerial = 0;
};

std::unique_ptr<KeyFilter>& Filter() {
    static std::unique_ptr<KeyFilter> filter;
    return filter;
}

// The window itself or one of its child widgets.
bool IsInside(const QWidget* widget, const QWidget* window) {
    return widget && window && (widget == window || window->isAncestorOf(widget));
}

}  // namespace

void SetKeyTransitionSink(KeyTransitionSink sink, KeyDelivery delivery) {
    std::unique_ptr<KeyFilter>& filter = Filter();
    if (filter) filter->Retire();
    if (filter && qApp) qApp->removeEventFilter(filter.get());
    // A filter replaced from inside its own call is freed once the event is done.
    if (filter) filter.release()->deleteLater();
    if (!sink || !qApp) return;
    AskForDetectableAutoRepeat();
    filter = std::make_unique<KeyFilter>(std::move(sink), delivery);
    qApp->installEventFilter(filter.get());
}

struct ReturnKeyWatch::Impl : QObject {
    QPointer<QWidget> window;
    std::function<void()> onReturn;

    bool eventFilter(QObject* receiver, QEvent* e) override {
        if (e->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        if (IsInside(qobject_cast<QWidget*>(receiver), window) && onReturn) onReturn();
        return false;
    }
};

ReturnKeyWatch::ReturnKeyWatch(HostWindow& window, std::function<void()> onReturn)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->window = WidgetOf(window);
    m_impl->onReturn = std::move(onReturn);
    if (qApp) qApp->installEventFilter(m_impl.get());
}

ReturnKeyWatch::~ReturnKeyWatch() {
    if (qApp) qApp->removeEventFilter(m_impl.get());
}

}  // namespace lumbra
