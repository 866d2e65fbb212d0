// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "skin/generator/Paint.h"
#include "skin/generator/Palette.h"
#include "skin/generator/Pictures.h"

// Backgrounds of the main window and the dialogs, and the page panels. Coordinates are those of
// the controls each window places over its picture, so captions sit beside their controls.
namespace skin {

namespace pal = palette;

namespace {

constexpr double kWindowRadius = 14.0;

class Canvas {
public:
    Canvas(int width, int height)
        : m_image(NewPicture(width, height, QImage::Format_RGB32)), m_painter() {
        m_image.fill(pal::kCard);
        m_painter.begin(&m_image);
        m_painter.setRenderHint(QPainter::Antialiasing, true);
        m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    }
    QPainter& p() { return m_painter; }
    QImage Finish() {
        m_painter.end();
        return m_image;
    }
    // Yellow outside a rounded outline: the window region is built from it.
    QImage FinishOutlined(double radius) {
        m_painter.end();
        QPainterPath inside;
        inside.addRoundedRect(QRectF(QPointF(0, 0), m_image.deviceIndependentSize()), radius,
                              radius);
        KeyOutside(m_image, inside, pal::kOutlineKey);
        return m_image;
    }

private:
    QImage m_image;
    QPainter m_painter;
};

QRectF Crisp(const QRectF& box) { return box.adjusted(0.5, 0.5, -0.5, -0.5); }

void Caption(QPainter& p, const QRectF& box, const QString& text, double px = 12.0,
             const QColor& colour = pal::kText, int flags = Qt::AlignLeft | Qt::AlignVCenter,
             int weight = QFont::Normal) {
    p.save();
    p.setFont(UiFont(px, weight));
    p.setPen(colour);
    p.drawText(box, flags, text);
    p.restore();
}

void Note(QPainter& p, const QRectF& box, const QString& text, double px = 11.0,
          int align = Qt::AlignLeft) {
    Caption(p, box, text, px, pal::kTextDim, align | Qt::AlignTop | Qt::TextWordWrap);
}

void Heading(QPainter& p, const QRectF& box, const QString& text, double px = 13.0) {
    Caption(p, box, text, px, pal::kText, Qt::AlignLeft | Qt::AlignVCenter, QFont::DemiBold);
}

// The sunken box behind a text the program writes (a key name, a path).
void Field(QPainter& p, const QRectF& box) {
    p.save();
    p.setPen(QPen(pal::kFieldBorder, 1.0));
    p.setBrush(pal::kField);
    p.drawRoundedRect(Crisp(box.adjusted(-2, -1, 2, 1)), 3, 3);
    p.restore();
}

// A frame drawn just outside a list and its scroll bar.
void ListFrame(QPainter& p, const QRectF& box) {
    p.save();
    p.setPen(QPen(pal::kCardBorder, 1.0));
    p.setBrush(pal::kListBackground.darker(160));
    p.drawRoundedRect(Crisp(box.adjusted(-3, -3, 3, 3)), 4, 4);
    p.restore();
}

void Separator(QPainter& p, double left, double right, double y) {
    QLinearGradient g(QPointF(left, y), QPointF(right, y));
    g.setColorAt(0.0, QColor(34, 82, 94, 0));
    g.setColorAt(0.2, pal::kCardBorder);
    g.setColorAt(0.8, pal::kCardBorder);
    g.setColorAt(1.0, QColor(34, 82, 94, 0));
    p.save();
    p.setPen(QPen(QBrush(g), 1.0));
    p.drawLine(QPointF(left, y + 0.5), QPointF(right, y + 0.5));
    p.restore();
}

// Body, border and title bar shared by every dialog. The title bar is where the close button
// sits, so its colour is the one the close button's edges are blended against.
void DialogFrame(QPainter& p, int width, int height, double titleHeight, const QString& title,
                 bool rounded) {
    const QRectF all(0, 0, width, height);
    const double radius = rounded ? kWindowRadius : 0.0;
    QPainterPath body;
    body.addRoundedRect(all, radius, radius);
    p.save();
    p.setClipPath(body);
    p.fillRect(all, pal::kCard);
    p.fillRect(QRectF(0, 0, width, titleHeight), pal::kTitleBar);
    QLinearGradient accent(QPointF(0, 0), QPointF(width, 0));
    accent.setColorAt(0.0, pal::kPopupFrame);
    accent.setColorAt(0.5, QColor(32, 255, 244, 90));
    accent.setColorAt(1.0, QColor(32, 255, 244, 0));
    p.fillRect(QRectF(0, titleHeight - 1, width, 1), accent);
    p.restore();
    p.save();
    p.setPen(QPen(pal::kCardBorder.lighter(120), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(Crisp(all), radius, radius);
    p.restore();
    if (!title.isEmpty()) {
        Caption(p, QRectF(16, 0, width - 80, titleHeight), title, 14.0, pal::kText,
                Qt::AlignLeft | Qt::AlignVCenter, QFont::DemiBold);
    }
}

void KeyCapSample(QPainter& p, const QRectF& box, int state, const QString& legend) {
    DrawKeyCap(p, box, state, legend);
}

}  // namespace

QImage RenderMainWindow() {
    const int width = 818;
    const int height = 628;
    Canvas canvas(width, height);
    QPainter& p = canvas.p();
    const QRectF all(0, 0, width, height);

    QLinearGradient back(all.topLeft(), all.bottomLeft());
    back.setColorAt(0.0, pal::kWindowTop);
    back.setColorAt(1.0, pal::kWindowBottom);
    p.fillRect(all, back);
    // A soft cyan glow behind the header.
    QRadialGradient glow(QPointF(140, 40), 360);
    glow.setColorAt(0.0, QColor(32, 255, 244, 26));
    glow.setColorAt(1.0, QColor(32, 255, 244, 0));
    p.fillRect(all, glow);
    p.setPen(QPen(pal::kCardBorder.lighter(130), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(Crisp(all), kWindowRadius, kWindowRadius);

    // Header: the mark, the name and the window buttons' row.
    p.drawImage(QPointF(34, 24), RenderIcon(44));
    Caption(p, QRectF(90, 22, 300, 30), QStringLiteral("Lumbra"), 26.0, pal::kText,
            Qt::AlignLeft | Qt::AlignVCenter, QFont::Bold);
    Caption(p, QRectF(92, 52, 300, 18), QStringLiteral("Keyboard configuration"), 12.0,
            pal::kTextDim);
    Separator(p, 30, width - 30, 84);
    Note(p, QRectF(80, 103, 480, 18),
         QStringLiteral("Changes stay on this PC until you press OK or Apply."), 11.5);

    // The card the pages are drawn on; the page panels cover its inside exactly.
    const QRectF card(62, 130, 690, 358);
    p.setPen(QPen(pal::kCardBorder, 1.0));
    p.setBrush(pal::kCard);
    p.drawRoundedRect(Crisp(card), 10, 10);

    // Page 0: the keyboard.
    Heading(p, QRectF(95, 146, 400, 22), QStringLiteral("Key Assignment"), 15.0);
    Note(p, QRectF(95, 168, 560, 18),
         QStringLiteral("Click a key to choose what it sends. Remapped keys are lit blue."), 11.5);
    const QRectF deck(140, 198, 550, 196);
    p.setPen(QPen(pal::kDeckBorder, 1.0));
    p.setBrush(pal::kDeck);
    p.drawRoundedRect(Crisp(deck), 9, 9);
    p.setPen(QPen(QColor(255, 255, 255, 14), 1.0));
    p.drawLine(QPointF(150, 199.5), QPointF(680, 199.5));
    Caption(p, QRectF(262, 208, 80, 20), QStringLiteral("Profile"), 11.5, pal::kTextDim);
    Caption(p, QRectF(560, 206, 118, 22), QStringLiteral("LUMBRA"), 10.0, QColor(60, 110, 122),
            Qt::AlignRight | Qt::AlignVCenter, QFont::DemiBold);
    // Lock lights above the keypad.
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(i == 0 ? pal::kPopupFrame : QColor(30, 70, 80));
        p.drawEllipse(QPointF(600 + i * 22, 244), 2.5, 2.5);
    }

    // Legend of the key looks.
    KeyCapSample(p, QRectF(95, 414, 19, 20), kNormal, QStringLiteral("A"));
    Caption(p, QRectF(120, 414, 90, 20), QStringLiteral("Default"), 11.5, pal::kTextDim);
    KeyCapSample(p, QRectF(200, 414, 19, 20), kPressed, QStringLiteral("A"));
    Caption(p, QRectF(225, 414, 90, 20), QStringLiteral("Remapped"), 11.5, pal::kTextDim);
    KeyCapSample(p, QRectF(312, 414, 19, 20), kHover, QStringLiteral("A"));
    Caption(p, QRectF(337, 414, 120, 20), QStringLiteral("Under the pointer"), 11.5, pal::kTextDim);
    Note(p, QRectF(95, 446, 600, 18),
         QStringLiteral("G1 to G5: click one to give it a function on the G-Keys page."), 11.5);

    // The bottom bar with the page tabs and the two reset buttons.
    const QRectF bar(62, 504, 690, 46);
    p.setPen(QPen(pal::kCardBorder, 1.0));
    p.setBrush(QColor(11, 27, 33));
    p.drawRoundedRect(Crisp(bar), 9, 9);
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 92, 104));
        p.drawEllipse(QPointF(395 + i * 12, 527), 1.6, 1.6);
    }
    Note(p, QRectF(70, 566, 680, 18),
         QStringLiteral(
             "Reset Profile and Reset All write the factory settings to the keyboard at once."),
         11.0, Qt::AlignHCenter);
    return canvas.FinishOutlined(kWindowRadius);
}

namespace {

// Page panels replace the inside of the main window's card at (75, 137); they share its colour.
void PanelBase(Canvas& canvas, const QString& heading, const QString& note) {
    canvas.p().fillRect(QRectF(0, 0, 663, 344), pal::kCard);
    Heading(canvas.p(), QRectF(20, 9, 400, 22), heading, 15.0);
    Note(canvas.p(), QRectF(20, 31, 620, 18), note, 11.5);
}

}  // namespace

QImage RenderMacroPanel() {
    Canvas canvas(663, 344);
    PanelBase(
        canvas, QStringLiteral("Macro Editor"),
        QStringLiteral("Create a macro, select it, then press Record and type on the keyboard."));
    QPainter& p = canvas.p();
    Heading(p, QRectF(32, 55, 144, 18), QStringLiteral("Macros"), 12.0);
    ListFrame(p, QRectF(32, 78, 162, 215));
    Heading(p, QRectF(256, 55, 144, 18), QStringLiteral("Actions"), 12.0);
    ListFrame(p, QRectF(256, 78, 162, 215));

    p.setPen(QPen(pal::kCardBorder, 1.0));
    p.drawLine(QPointF(455.5, 60), QPointF(455.5, 330));

    Heading(p, QRectF(480, 58, 170, 18), QStringLiteral("Recording"), 12.0);
    Caption(p, QRectF(500, 114, 160, 18), QStringLiteral("Record the pauses"), 11.5);
    Note(p, QRectF(480, 140, 170, 60),
         QStringLiteral("Keys typed while recording are added to the selected macro."), 10.5);
    Heading(p, QRectF(480, 220, 170, 18), QStringLiteral("Playback"), 12.0);
    Caption(p, QRectF(500, 244, 160, 18), QStringLiteral("Repeat the macro"), 11.5);
    Field(p, QRectF(482, 267, 92, 20));
    Caption(p, QRectF(582, 267, 80, 20), QStringLiteral("times"), 11.5, pal::kTextDim);
    Note(p, QRectF(482, 292, 170, 30), QStringLiteral("From 1 to 255."), 10.5);
    return canvas.Finish();
}

QImage RenderGKeyPanel() {
    Canvas canvas(663, 344);
    PanelBase(canvas, QStringLiteral("G-Key Functions"),
              QStringLiteral("Choose what each G key does in this profile."));
    QPainter& p = canvas.p();
    for (int g = 0; g < 5; ++g) {
        DrawKeyCap(p, QRectF(22, 79 + 35 * g, 32, 23), kNormal, QStringLiteral("G%1").arg(g + 1));
    }
    const QRectF info(330, 66, 310, 214);
    p.setPen(QPen(pal::kCardBorder, 1.0));
    p.setBrush(QColor(12, 30, 36));
    p.drawRoundedRect(Crisp(info), 8, 8);
    Heading(p, QRectF(346, 76, 280, 20), QStringLiteral("A G key can"), 12.0);
    const char* lines[] = {
        "play a recorded macro",
        "control music and volume",
        "open the browser, mail or calculator",
        "click, scroll or fire like a mouse",
        "send its default Ctrl + digit",
        "send a shortcut you type",
        "start a program",
    };
    double y = 102;
    for (const char* line : lines) {
        p.setPen(Qt::NoPen);
        p.setBrush(pal::kHighlight);
        p.drawEllipse(QPointF(352, y + 9), 2.2, 2.2);
        Caption(p, QRectF(362, y, 270, 18), QString::fromUtf8(line), 11.5, pal::kText);
        y += 24;
    }
    Note(p, QRectF(22, 270, 290, 40),
         QStringLiteral("Press Apply to send the new functions to the keyboard."), 11.0);
    return canvas.Finish();
}

QImage RenderLightingPanel() {
    Canvas canvas(663, 344);
    PanelBase(canvas, QStringLiteral("Backlight"),
              QStringLiteral("Lighting mode and brightness of this profile."));
    QPainter& p = canvas.p();
    Heading(p, QRectF(22, 104, 175, 18), QStringLiteral("Lighting mode"), 12.0);
    Heading(p, QRectF(22, 164, 175, 18), QStringLiteral("Brightness"), 12.0);
    Note(p, QRectF(22, 216, 200, 60),
         QStringLiteral("Breath makes the light rise and fall slowly."), 11.0);

    // A lit keyboard: rows of caps glowing from the middle.
    const QRectF board(262, 80, 370, 170);
    p.setPen(QPen(pal::kDeckBorder, 1.0));
    p.setBrush(pal::kDeck);
    p.drawRoundedRect(Crisp(board), 10, 10);
    QRadialGradient light(board.center(), 200);
    light.setColorAt(0.0, QColor(53, 160, 222, 120));
    light.setColorAt(1.0, QColor(53, 160, 222, 0));
    p.setBrush(light);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(board.adjusted(1, 1, -1, -1), 10, 10);
    for (int row = 0; row < 5; ++row) {
        const int count = row == 4 ? 7 : 14;
        const double cap = row == 4 ? 34.0 : 20.0;
        double x = board.left() + 16 + (row % 2) * 6;
        for (int i = 0; i < count; ++i) {
            double w = cap;
            if (row == 4 && i == 3) w = 96;
            const QRectF key(x, board.top() + 16 + row * 29, w, 22);
            const double distance = std::hypot(key.center().x() - board.center().x(),
                                               key.center().y() - board.center().y());
            const int glow = std::max(0, 200 - static_cast<int>(distance));
            p.setPen(QPen(QColor(53 + glow / 4, 160 + glow / 4, 222, 120 + glow / 2), 1.0));
            p.setBrush(QColor(20, 40 + glow / 6, 52 + glow / 4));
            p.drawRoundedRect(Crisp(key), 3, 3);
            x += w + 3.5;
            if (x > board.right() - 20) break;
        }
    }
    return canvas.Finish();
}

QImage RenderKeySettingDialog() {
    Canvas canvas(400, 270);
    QPainter& p = canvas.p();
    DialogFrame(p, 400, 270, 38, QStringLiteral("Key Setting"), false);
    Caption(p, QRectF(24, 60, 92, 23), QStringLiteral("Key"), 12.0);
    Field(p, QRectF(118, 60, 126, 23));
    Caption(p, QRectF(48, 96, 140, 17), QStringLiteral("Send another key"), 12.0);
    Field(p, QRectF(194, 94, 185, 20));
    Note(p, QRectF(48, 116, 330, 16),
         QStringLiteral("Press the key to send while this window is open."), 10.5);
    Caption(p, QRectF(48, 136, 140, 17), QStringLiteral("Mouse function"), 12.0);
    Caption(p, QRectF(48, 174, 140, 17), QStringLiteral("Disable this key"), 12.0);
    Separator(p, 16, 384, 214);
    return canvas.Finish();
}

QImage RenderShortcutDialog() {
    Canvas canvas(420, 206);
    QPainter& p = canvas.p();
    DialogFrame(p, 420, 206, 30, QStringLiteral("Assign a Shortcut"), true);
    Note(p, QRectF(22, 42, 380, 18),
         QStringLiteral("Tick the modifier keys, then press the key of the shortcut."), 11.5);
    Heading(p, QRectF(22, 78, 200, 18), QStringLiteral("Modifiers"), 12.0);
    Heading(p, QRectF(287, 78, 118, 18), QStringLiteral("Key"), 12.0);
    const struct {
        double x;
        const char* text;
    } labels[] = {{38, "None"}, {99, "Ctrl"}, {152, "Shift"}, {202, "Alt"}, {248, "Win"}};
    for (const auto& label : labels) {
        Caption(p, QRectF(label.x, 101, 44, 18), QString::fromUtf8(label.text), 12.0);
    }
    Field(p, QRectF(287, 100, 118, 20));
    Separator(p, 14, 406, 148);
    return canvas.FinishOutlined(kWindowRadius);
}

QImage RenderQuickLaunchDialog() {
    Canvas canvas(305, 245);
    QPainter& p = canvas.p();
    DialogFrame(p, 305, 245, 30, QStringLiteral("Quick Launch"), true);
    Note(p, QRectF(26, 40, 260, 20), QStringLiteral("Choose a program for the G key to start."),
         11.5);
    Heading(p, QRectF(26, 66, 200, 18), QStringLiteral("Program"), 12.0);
    Field(p, QRectF(26, 87, 230, 18));
    Note(p, QRectF(26, 120, 256, 50),
         QStringLiteral("Use the folder button to find the program, then press OK."), 11.0);
    Separator(p, 14, 291, 188);
    return canvas.FinishOutlined(kWindowRadius);
}

QImage RenderMessageDialog() {
    // The title and the message are written by the dialog itself.
    Canvas canvas(400, 270);
    QPainter& p = canvas.p();
    DialogFrame(p, 400, 270, 40, QString(), false);
    DrawGlyph(p, QRectF(176, 62, 48, 48), Glyph::kAttention, pal::kHighlight);
    Separator(p, 16, 384, 214);
    return canvas.Finish();
}

QImage RenderResetDialog(const QString& question, const QString& detail) {
    Canvas canvas(400, 270);
    QPainter& p = canvas.p();
    DialogFrame(p, 400, 270, 40, QString(), false);
    Caption(p, QRectF(21, 11, 154, 20), QStringLiteral("Attention!"), 14.0, pal::kTitleText,
            Qt::AlignLeft | Qt::AlignVCenter, QFont::DemiBold);
    DrawGlyph(p, QRectF(180, 56, 40, 40), Glyph::kAttention, QColor(240, 190, 80));
    Caption(p, QRectF(16, 108, 368, 44), question, 15.0, pal::kText,
            Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap, QFont::DemiBold);
    Note(p, QRectF(30, 158, 340, 40), detail, 11.5, Qt::AlignHCenter);
    Separator(p, 16, 384, 214);
    return canvas.Finish();
}

QImage RenderEditProfileDialog() {
    Canvas canvas(525, 356);
    QPainter& p = canvas.p();
    DialogFrame(p, 525, 356, 32, QStringLiteral("Edit Profile"), false);
    Caption(p, QRectF(14, 76, 98, 20), QStringLiteral("Profile name"), 12.0, pal::kText,
            Qt::AlignRight | Qt::AlignVCenter);
    Field(p, QRectF(119, 78, 183, 16));
    Heading(p, QRectF(18, 108, 300, 20), QStringLiteral("Programs of this profile"), 12.0);
    for (int i = 0; i < 3; ++i) {
        const double y = 136 + 20 * i;
        Caption(p, QRectF(14, y, 14, 18), QString::number(i + 1), 12.0, pal::kTextDim,
                Qt::AlignRight | Qt::AlignVCenter);
        Field(p, QRectF(34, y + 1, 268, 16));
    }
    const QRectF info(350, 70, 156, 130);
    p.setPen(QPen(pal::kCardBorder, 1.0));
    p.setBrush(QColor(12, 30, 36));
    p.drawRoundedRect(Crisp(info), 8, 8);
    Note(p, info.adjusted(10, 10, -10, -10),
         QStringLiteral("Starting one of these programs selects this profile."), 11.5);
    Separator(p, 14, 511, 296);
    return canvas.Finish();
}

QImage RenderMacroManager() {
    Canvas canvas(715, 476);
    QPainter& p = canvas.p();
    DialogFrame(p, 715, 476, 32, QStringLiteral("Macro Manager"), false);
    Heading(p, QRectF(17, 54, 194, 18), QStringLiteral("Macro set"), 12.0);
    ListFrame(p, QRectF(18, 98, 193, 302));
    Separator(p, 14, 701, 418);
    return canvas.Finish();
}

QImage RenderMacroManagerPanel() {
    Canvas canvas(481, 354);
    QPainter& p = canvas.p();
    p.fillRect(QRectF(0, 0, 481, 354), pal::kCard);
    Heading(p, QRectF(4, 24, 215, 18), QStringLiteral("Actions"), 12.0);
    ListFrame(p, QRectF(4, 48, 238, 302));
    Heading(p, QRectF(263, 30, 200, 18), QStringLiteral("Recording"), 12.0);
    Caption(p, QRectF(282, 95, 190, 18), QStringLiteral("Record the pauses"), 11.5);
    Note(p, QRectF(263, 130, 200, 120),
         QStringLiteral("Choose a macro on the left, press Record and type on the keyboard. "
                        "Press the button again to stop."),
         11.0);
    return canvas.Finish();
}

QImage RenderSetNameDialog(const QString& title, const QString& caption) {
    Canvas canvas(305, 215);
    QPainter& p = canvas.p();
    DialogFrame(p, 305, 215, 30, title, false);
    Caption(p, QRectF(57, 74, 240, 20), caption, 12.0);
    Field(p, QRectF(57, 98, 189, 20));
    Separator(p, 14, 291, 158);
    return canvas.Finish();
}

QImage RenderNoticeDialog(const QString& title, const QString& notice) {
    Canvas canvas(305, 215);
    QPainter& p = canvas.p();
    DialogFrame(p, 305, 215, 30, title, false);
    DrawGlyph(p, QRectF(134, 44, 36, 36), Glyph::kAttention, QColor(240, 190, 80));
    Caption(p, QRectF(16, 88, 273, 56), notice, 13.5, pal::kText,
            Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap, QFont::DemiBold);
    Separator(p, 14, 291, 158);
    return canvas.Finish();
}

}  // namespace skin
