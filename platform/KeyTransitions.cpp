#include "platform/KeyTransitions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QWidget>
#include <array>
#include <memory>

namespace lumbra {

namespace {

// Linux input key codes (linux/input-event-codes.h) to virtual-key codes.
constexpr std::array<uint8_t, 256> MakeLinuxTable() {
    std::array<uint8_t, 256> t{};
    t[1] = 0x1B;                                                            // Esc
    for (int i = 0; i < 9; ++i) t[2 + i] = static_cast<uint8_t>(0x31 + i);  // 1..9
    t[11] = 0x30;
    t[12] = 0xBD;  // -
    t[13] = 0xBB;  // =
    t[14] = 0x08;  // Backspace
    t[15] = 0x09;  // Tab
    const char row1[] = "QWERTYUIOP";
    for (int i = 0; i < 10; ++i) t[16 + i] = static_cast<uint8_t>(row1[i]);
    t[26] = 0xDB;  // [
    t[27] = 0xDD;  // ]
    t[28] = 0x0D;  // Enter
    t[29] = 0xA2;  // Ctrl_L
    const char row2[] = "ASDFGHJKL";
    for (int i = 0; i < 9; ++i) t[30 + i] = static_cast<uint8_t>(row2[i]);
    t[39] = 0xBA;  // ;
    t[40] = 0xDE;  // '
    t[41] = 0xC0;  // ~
    t[42] = 0xA0;  // Shift_L
    t[43] = 0xDC;  // backslash
    const char row3[] = "ZXCVBNM";
    for (int i = 0; i < 7; ++i) t[44 + i] = static_cast<uint8_t>(row3[i]);
    t[51] = 0xBC;                                                             // ,
    t[52] = 0xBE;                                                             // .
    t[53] = 0xBF;                                                             // /
    t[54] = 0xA1;                                                             // Shift_R
    t[55] = 0x6A;                                                             // Keypad *
    t[56] = 0xA4;                                                             // Alt_L
    t[57] = 0x20;                                                             // Space
    t[58] = 0x14;                                                             // Caps Lock
    for (int i = 0; i < 10; ++i) t[59 + i] = static_cast<uint8_t>(0x70 + i);  // F1..F10
    t[69] = 0x90;                                                             // Num Lock
    t[70] = 0x91;                                                             // Scroll Lock
    t[71] = 0x67;                                                             // Keypad 7
    t[72] = 0x68;
    t[73] = 0x69;
    t[74] = 0x6D;  // Keypad -
    t[75] = 0x64;  // Keypad 4
    t[76] = 0x65;
    t[77] = 0x66;
    t[78] = 0x6B;  // Keypad +
    t[79] = 0x61;  // Keypad 1
    t[80] = 0x62;
    t[81] = 0x63;
    t[82] = 0x60;   // Keypad 0
    t[83] = 0x6E;   // Keypad .
    t[86] = 0xF3;   // the extra key left of Z (K45)
    t[87] = 0x7A;   // F11
    t[88] = 0x7B;   // F12
    t[89] = 0xF5;   // Ro (K56)
    t[92] = 0xF8;   // Henkan (K132)
    t[93] = 0xF6;   // Katakana/Hiragana (K133)
    t[94] = 0xF9;   // Muhenkan (K131)
    t[96] = 0x0E;   // Keypad Enter
    t[97] = 0xA3;   // Ctrl_R
    t[98] = 0x6F;   // Keypad /
    t[99] = 0x2C;   // Print Screen
    t[100] = 0xA5;  // Alt_R
    t[102] = 0x24;  // Home
    t[103] = 0x26;  // Up
    t[104] = 0x21;  // Page Up
    t[105] = 0x25;  // Left
    t[106] = 0x27;  // Right
    t[107] = 0x23;  // End
    t[108] = 0x28;  // Down
    t[109] = 0x22;  // Page Down
    t[110] = 0x2D;  // Ins
    t[111] = 0x2E;  // Del
    t[116] = 0xF0;  // Power
    t[119] = 0x13;  // Pause
    t[121] = 0xF4;  // Keypad , (K107)
    t[122] = 0xFA;  // Hangeul (KR)
    t[123] = 0xFB;  // Hanja (KL)
    t[124] = 0xF7;  // Yen (K14)
    t[125] = 0x5B;  // Win_L
    t[126] = 0x5C;  // Win_R
    t[127] = 0x5D;  // App
    t[142] = 0x5F;  // Sleep
    t[143] = 0xF1;  // Wake Up
    for (int i = 0; i < 12; ++i) t[183 + i] = static_cast<uint8_t>(0x7C + i);  // F13..F24
    return t;
}
constexpr std::array<uint8_t, 256> kLinuxToVirtualKey = MakeLinuxTable();

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
        // X and Wayland key codes are the Linux key codes plus 8.
        const quint32 scan = key->nativeScanCode();
        if (scan >= 8 && scan - 8 < kLinuxToVirtualKey.size()) vk = kLinuxToVirtualKey[scan - 8];
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

uint8_t VirtualKeyForLinuxKeyCode(uint32_t code) {
    return code < kLinuxToVirtualKey.size() ? kLinuxToVirtualKey[code] : 0;
}

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
