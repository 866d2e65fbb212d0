#include "platform/KeyTransitions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QWidget>
#include <memory>

#include "model/ScanCodeTable.h"

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
        auto* key = static_cast<QKeyEvent*>(e);
        const bool released = e->type() == QEvent::KeyRelease;
        // X11 puts a release before each repeated press; a held key is a run of presses.
        if (released && key->isAutoRepeat()) return m_swallow;
        uint8_t vk = 0;
        const quint32 scan = key->nativeScanCode();
        vk = VirtualKeyFromScanCode(scan);
        if (vk == 0) vk = VirtualKeyForQtKey(key->key(), key->modifiers() & Qt::KeypadModifier);
        if (vk == 0) return m_swallow;
        const uint32_t stamp = key->timestamp() != 0 ? static_cast<uint32_t>(key->timestamp())
                                                     : MonotonicMilliseconds();
        KeyTransition t{vk, released, stamp & 0x7FFFFFFFu, scan};
        // The sink may replace this filter; nothing of it is touched afterwards.
        const bool swallow = m_swallow;
        auto sink = m_sink;
        sink(t);
        return swallow;
    }

private:
    KeyTransitionSink m_sink;
    bool m_swallow;
};

std::unique_ptr<KeyFilter>& Filter() {
    static std::unique_ptr<KeyFilter> filter;
    return filter;
}

}  // namespace

void SetKeyTransitionSink(KeyTransitionSink sink, KeyDelivery delivery) {
    std::unique_ptr<KeyFilter>& filter = Filter();
    if (filter && qApp) qApp->removeEventFilter(filter.get());
    // A filter replaced from inside its own call is freed once the event is done.
    if (filter) filter.release()->deleteLater();
    if (!sink || !qApp) return;
    filter = std::make_unique<KeyFilter>(std::move(sink), delivery);
    qApp->installEventFilter(filter.get());
}

}  // namespace lumbra
