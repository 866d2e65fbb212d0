// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/generator/Pictures.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include "skin/SkinResources.h"
#include "skin/generator/Paint.h"
#include "skin/generator/Palette.h"

namespace skin {

namespace pal = palette;

const std::vector<KeyArt>& Keys() {
    // Place and size of every key button of the keyboard picture. Caps too narrow for a name
    // carry the short legend printed on real keyboards.
    static const std::vector<KeyArt> keys = {
        {2200, 271, 177, 236, 19, 20, "Esc", "Esc"},
        {2201, 277, 222, 236, 19, 20, "F1", "F1"},
        {2202, 278, 244, 236, 19, 20, "F2", "F2"},
        {2203, 279, 267, 236, 18, 20, "F3", "F3"},
        {2204, 280, 289, 236, 19, 20, "F4", "F4"},
        {2205, 281, 323, 236, 18, 20, "F5", "F5"},
        {2206, 282, 345, 236, 19, 20, "F6", "F6"},
        {2207, 283, 367, 236, 19, 20, "F7", "F7"},
        {2208, 284, 390, 236, 18, 20, "F8", "F8"},
        {2209, 285, 423, 236, 19, 20, "F9", "F9"},
        {2210, 286, 445, 236, 19, 20, "F10", "F10"},
        {2211, 287, 468, 236, 19, 20, "F11", "F11"},
        {2212, 288, 490, 236, 19, 20, "F12", "F12"},
        {2213, 289, 519, 236, 18, 20, "Print", "Prt\nSc"},
        {2214, 290, 541, 236, 19, 20, "Scroll Lock", "Scr\nLk"},
        {2215, 291, 563, 236, 20, 20, "Pause", "Pause"},
        {2216, 296, 177, 265, 19, 20, "~", "~"},
        {2217, 297, 199, 265, 19, 20, "1", "1"},
        {2218, 298, 222, 265, 19, 20, "2", "2"},
        {2219, 299, 244, 265, 19, 20, "3", "3"},
        {2220, 300, 267, 265, 18, 20, "4", "4"},
        {2221, 301, 289, 265, 19, 20, "5", "5"},
        {2222, 302, 311, 265, 19, 20, "6", "6"},
        {2223, 303, 334, 265, 18, 20, "7", "7"},
        {2224, 304, 356, 265, 19, 20, "8", "8"},
        {2225, 305, 378, 265, 19, 20, "9", "9"},
        {2226, 306, 401, 265, 19, 20, "0", "0"},
        {2227, 307, 423, 265, 19, 20, "-", "-"},
        {2228, 308, 445, 265, 19, 20, "+", "+"},
        {2229, 309, 468, 265, 41, 20, "Backspace", "Bksp"},
        {2230, 310, 519, 265, 18, 20, "Ins", "Ins"},
        {2231, 311, 541, 265, 19, 20, "Home", "Home"},
        {2232, 312, 563, 265, 19, 20, "Page Up", "Pg\nUp"},
        {2233, 292, 592, 265, 18, 20, "Num Lock", "Num\nLk"},
        {2234, 293, 614, 265, 19, 20, "Keypad /", "/"},
        {2235, 294, 636, 265, 19, 20, "Keypad *", "*"},
        {2236, 295, 659, 265, 18, 20, "Keypad -", "-"},
        {2237, 313, 177, 288, 30, 20, "Tab", "Tab"},
        {2238, 314, 211, 288, 19, 20, "Q", "Q"},
        {2239, 315, 233, 288, 19, 20, "W", "W"},
        {2240, 316, 255, 288, 19, 20, "E", "E"},
        {2241, 317, 278, 288, 19, 20, "R", "R"},
        {2242, 318, 300, 288, 19, 20, "T", "T"},
        {2243, 319, 322, 288, 19, 20, "Y", "Y"},
        {2244, 320, 345, 288, 19, 20, "U", "U"},
        {2245, 321, 367, 288, 19, 20, "I", "I"},
        {2246, 322, 389, 288, 20, 20, "O", "O"},
        {2247, 323, 412, 288, 19, 20, "P", "P"},
        {2248, 324, 434, 288, 19, 20, "[", "["},
        {2249, 325, 456, 288, 20, 20, "]", "]"},
        {2250, 326, 462, 311, 19, 20, "\\", "\\"},
        {2251, 327, 518, 288, 20, 20, "Del", "Del"},
        {2252, 328, 540, 288, 20, 20, "End", "End"},
        {2253, 329, 563, 288, 19, 20, "Page Down", "Pg\nDn"},
        {2254, 330, 591, 288, 20, 20, "Keypad 7", "7"},
        {2255, 331, 613, 288, 20, 20, "Keypad 8", "8"},
        {2256, 332, 636, 288, 19, 20, "Keypad 9", "9"},
        {2257, 333, 658, 288, 20, 43, "Keypad +", "+"},
        {2258, 334, 177, 311, 36, 20, "Caps Lock", "Caps"},
        {2259, 335, 216, 311, 19, 20, "A", "A"},
        {2260, 336, 238, 311, 19, 20, "S", "S"},
        {2261, 337, 261, 311, 19, 20, "D", "D"},
        {2262, 338, 283, 311, 19, 20, "F", "F"},
        {2263, 339, 305, 311, 19, 20, "G", "G"},
        {2264, 340, 327, 311, 20, 20, "H", "H"},
        {2265, 341, 350, 311, 19, 20, "J", "J"},
        {2266, 342, 372, 311, 20, 20, "K", "K"},
        {2267, 343, 395, 311, 19, 20, "L", "L"},
        {2268, 344, 417, 311, 19, 20, ";", ";"},
        {2269, 345, 439, 311, 20, 20, "'", "'"},
        {2270, 346, 484, 288, 25, 43, "Enter", "#enter"},
        {2271, 347, 591, 311, 20, 20, "Keypad 4", "4"},
        {2272, 348, 613, 311, 20, 20, "Keypad 5", "5"},
        {2273, 349, 636, 311, 19, 20, "Keypad 6", "6"},
        {2274, 350, 177, 334, 47, 20, "Shift_L", "Shift"},
        {2275, 351, 228, 334, 19, 20, "Z", "Z"},
        {2276, 352, 250, 334, 19, 20, "X", "X"},
        {2277, 353, 272, 334, 20, 20, "C", "C"},
        {2278, 354, 295, 334, 19, 20, "V", "V"},
        {2279, 355, 317, 334, 19, 20, "B", "B"},
        {2280, 356, 339, 334, 20, 20, "N", "N"},
        {2281, 357, 362, 334, 19, 20, "M", "M"},
        {2282, 358, 384, 334, 19, 20, ",", ","},
        {2283, 359, 406, 334, 20, 20, ".", "."},
        {2284, 360, 429, 334, 19, 20, "/", "/"},
        {2285, 361, 451, 334, 58, 20, "Shift_R", "Shift"},
        {2286, 152, 541, 334, 19, 20, "Up Arrow", "#up"},
        {2287, 363, 592, 334, 19, 20, "Keypad 1", "1"},
        {2288, 364, 614, 334, 19, 20, "Keypad 2", "2"},
        {2289, 365, 636, 334, 19, 20, "Keypad 3", "3"},
        {2290, 366, 659, 334, 19, 42, "Keypad Enter", "Ent"},
        {2291, 367, 177, 357, 25, 20, "Ctrl_L", "Ctrl"},
        {2292, 368, 205, 357, 26, 23, "Win_L", "#win"},
        {2293, 369, 234, 357, 25, 25, "Alt_L", "Alt"},
        {2294, 370, 262, 357, 134, 26, "Space", ""},
        {2295, 371, 400, 357, 24, 25, "Alt_R", "Alt"},
        {2296, 372, 456, 357, 25, 22, "App", "#menu"},
        {2297, 373, 484, 357, 25, 20, "Ctrl_R", "Ctrl"},
        {2298, 374, 519, 357, 18, 20, "Left Arrow", "#left"},
        {2299, 375, 541, 357, 19, 20, "Down Arrow", "#down"},
        {2300, 376, 563, 357, 19, 20, "Right Arrow", "#right"},
        {2301, 377, 592, 357, 41, 20, "Keypad 0", "0"},
        {2302, 378, 636, 357, 19, 19, "Keypad .", "."},
    };
    return keys;
}

namespace {

Picture Strip(int id, int frames, int width, int height, QString text,
              std::function<void(QPainter&, int, const QRectF&)> paint) {
    return {
        id,
        Kind::kPng,
        frames,
        QSize(width, height),
        std::move(text),
        [frames, width, height, paint] { return MakeStrip(frames, QSize(width, height), paint); }};
}

Picture Button(int id, int width, int height, const QString& label, double textPx = 12.0) {
    return Strip(id, 3, width, height, label,
                 [label, textPx](QPainter& p, int k, const QRectF& box) {
                     DrawPushButton(p, box, k, label, textPx);
                 });
}

Picture Tab(int id, int width, int height, const QString& label) {
    return Strip(id, 3, width, height, label,
                 [label](QPainter& p, int k, const QRectF& box) { DrawTab(p, box, k, label); });
}

Picture Check(int id, int width, int height) {
    return Strip(id, 7, width, height, QString(),
                 [](QPainter& p, int k, const QRectF& box) { DrawCheckFrame(p, box, k); });
}

Picture Combo(int id, int width, int height) {
    return Strip(id, 5, width, height, QString(),
                 [](QPainter& p, int k, const QRectF& box) { DrawComboFrame(p, box, k); });
}

Picture Bitmap(int id, int width, int height, QString text, std::function<QImage()> render) {
    return {id, Kind::kBitmap, 1, QSize(width, height), std::move(text), std::move(render)};
}

// A colour-keyed button strip: three frames (normal, hover, pressed or selected) on the key
// colour, which also fills the sample point the toolkit reads. Edges are blended against the
// surface the button sits on, so that no pixel mixes the key into the picture.
Picture KeyedStrip(int id, int width, int height, QString text, QColor surface,
                   std::function<QPainterPath(const QRectF&)> shape,
                   std::function<void(QPainter&, int, const QRectF&)> paint) {
    return {id, Kind::kBitmap, 3, QSize(width, height), std::move(text), [=] {
                QImage image = NewPicture(width * 3, height, QImage::Format_RGB32);
                image.fill(surface);
                QPainterPath inside;
                {
                    QPainter p(&image);
                    p.setRenderHint(QPainter::Antialiasing, true);
                    p.setRenderHint(QPainter::TextAntialiasing, true);
                    for (int k = 0; k < 3; ++k) {
                        const QRectF box(k * width, 0, width, height);
                        p.save();
                        p.setClipRect(box);
                        paint(p, k, box);
                        p.restore();
                        inside.addPath(shape(box));
                    }
                }
                KeyOutside(image, inside, pal::kButtonKey);
                return image;
            }};
}

QPainterPath RoundedShape(const QRectF& box, double radius) {
    QPainterPath path;
    path.addRoundedRect(box, radius, radius);
    return path;
}

Picture RegionButton(int id, int width, int height, const QString& label) {
    return KeyedStrip(
        id, width, height, label, pal::kCard,
        [](const QRectF& box) { return RoundedShape(box, 4.0); },
        [label](QPainter& p, int k, const QRectF& box) { DrawPushButton(p, box, k, label, 12.0); });
}

Picture RadioButton(int id, int side) {
    return KeyedStrip(
        id, side, side, QString(), pal::kCard,
        [](const QRectF& box) {
            QPainterPath path;
            path.addEllipse(box.adjusted(0.5, 0.5, -0.5, -0.5));
            return path;
        },
        [](QPainter& p, int k, const QRectF& box) {
            const QRectF ring = box.adjusted(1.0, 1.0, -1.0, -1.0);
            p.setPen(QPen(k == kHover ? pal::kPopupFrame
                                      : (k == kPressed ? pal::kHighlight : QColor(96, 146, 156)),
                          1.5));
            p.setBrush(k == kHover ? QColor(18, 56, 66) : pal::kField);
            p.drawEllipse(ring);
            if (k == kPressed) {
                p.setPen(Qt::NoPen);
                p.setBrush(pal::kHighlight);
                p.drawEllipse(box.center(), box.width() * 0.24, box.width() * 0.24);
            }
        });
}

Picture Icon(int id) {
    return {id,
            Kind::kIcon,
            1,
            QSize(32, 32),
            QStringLiteral("program icon"),
            [] { return RenderIcon(32); }};
}

// The font the program's own lines are drawn in: its control font, 12 pixels high with the
// leading, in the face the skin is drawn with.
QFont LineFont() {
    QFont font(UiFamily());
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QChar GlyphChar(int frame) {
    return frame == lumbra::kGlyphEllipsis ? QChar(0x2026) : QChar(lumbra::kGlyphFirst + frame);
}

// The characters ' ' to '~' and '…' in one ink, each in a frame of its own at the pen position
// kGlyphPad from the frame's left edge.
Picture GlyphStrip(const lumbra::GlyphInk& ink) {
    const QFontMetrics metrics(LineFont());
    int widest = 0;
    for (int i = 0; i < lumbra::kGlyphCount; ++i)
        widest = std::max(widest, metrics.horizontalAdvance(GlyphChar(i)));
    const QColor colour(ink.red, ink.green, ink.blue);
    return Strip(ink.pngId, lumbra::kGlyphCount, widest + 2 * lumbra::kGlyphPad, metrics.height(),
                 QStringLiteral("characters"),
                 [colour, ascent = metrics.ascent()](QPainter& p, int k, const QRectF& box) {
                     p.setFont(LineFont());
                     p.setPen(colour);
                     p.drawText(QPointF(box.left() + lumbra::kGlyphPad, box.top() + ascent),
                                QString(GlyphChar(k)));
                 });
}

}  // namespace

std::vector<int> MeasureGlyphAdvances() {
    const QFontMetrics metrics(LineFont());
    std::vector<int> advances;
    for (int i = 0; i < lumbra::kGlyphCount; ++i)
        advances.push_back(metrics.horizontalAdvance(GlyphChar(i)));
    return advances;
}

namespace {

std::vector<Picture> BuildCatalogue() {
    std::vector<Picture> all;
    // Window buttons, page tabs and commands of the main window.
    all.push_back(Button(135, 22, 22, QStringLiteral("#close")));
    all.push_back(Button(136, 23, 22, QStringLiteral("#min")));
    all.push_back(Tab(137, 88, 22, QStringLiteral("Keys")));
    all.push_back(Tab(262, 88, 22, QStringLiteral("Macros")));
    all.push_back(Tab(263, 88, 22, QStringLiteral("G-Keys")));
    all.push_back(Tab(264, 88, 22, QStringLiteral("Lighting")));
    all.push_back(Button(166, 46, 22, QStringLiteral("OK")));
    all.push_back(Button(167, 46, 22, QStringLiteral("Apply")));
    all.push_back(Button(168, 46, 22, QStringLiteral("Cancel")));
    all.push_back(Button(164, 88, 22, QStringLiteral("Reset Profile")));
    all.push_back(Button(257, 88, 22, QStringLiteral("Reset All")));

    for (const lumbra::GlyphInk& ink : lumbra::kGlyphInks) all.push_back(GlyphStrip(ink));

    // The progress of the keyboard's worker: the bar filled by sixteenths,
    // frame k holding k of them.
    all.push_back(Strip(402, 17, 147, 8, QStringLiteral("progress"),
                        [](QPainter& p, int k, const QRectF& box) {
                            const QRectF trough = box.adjusted(0.5, 0.5, -0.5, -0.5);
                            p.setPen(QPen(pal::kCardBorder, 1.0));
                            p.setBrush(pal::kField);
                            p.drawRoundedRect(trough, 3.0, 3.0);
                            if (k == 0) return;
                            const QRectF inner = trough.adjusted(1.5, 1.5, -1.5, -1.5);
                            QRectF filled = inner;
                            filled.setWidth(inner.width() * k / 16.0);
                            p.setPen(Qt::NoPen);
                            p.setBrush(pal::kHighlight);
                            p.drawRoundedRect(filled, 2.0, 2.0);
                        }));

    // Profile tabs and the G-key shortcuts beside the keyboard picture.
    all.push_back(Tab(171, 23, 20, QStringLiteral("1")));
    all.push_back(Tab(170, 20, 20, QStringLiteral("2")));
    all.push_back(Tab(169, 19, 20, QStringLiteral("3")));
    for (int g = 1; g <= 5; ++g) {
        const QString label = QStringLiteral("G%1").arg(g);
        all.push_back(Strip(
            380 + g, 3, 15, 17, label,
            [label](QPainter& p, int k, const QRectF& box) { DrawKeyCap(p, box, k, label); }));
    }

    // The keyboard picture.
    for (const KeyArt& key : Keys()) {
        const QString legend = QString::fromUtf8(key.legend);
        all.push_back(Strip(
            key.pngId, 3, key.width, key.height, QString::fromUtf8(key.name),
            [legend](QPainter& p, int k, const QRectF& box) { DrawKeyCap(p, box, k, legend); }));
    }

    // Macro page.
    all.push_back(Button(267, 63, 15, QStringLiteral("New"), 10.0));
    all.push_back(Button(268, 63, 15, QStringLiteral("Delete"), 10.0));
    all.push_back(Button(269, 63, 15, QStringLiteral("Import"), 10.0));
    all.push_back(Button(270, 63, 15, QStringLiteral("Export"), 10.0));
    all.push_back(Check(397, 14, 15));
    all.push_back(Check(396, 14, 15));
    all.push_back(Strip(189, 7, 143, 22, QStringLiteral("Record / Stop recording"),
                        [](QPainter& p, int k, const QRectF& box) { DrawRecordFrame(p, box, k); }));
    all.push_back(Combo(265, 225, 20));

    // Dialog buttons.
    all.push_back(Button(276, 88, 20, QStringLiteral("Default")));
    all.push_back(Button(395, 46, 22, QStringLiteral("OK")));
    all.push_back(Button(394, 46, 22, QStringLiteral("Cancel")));
    all.push_back(Button(410, 46, 22, QStringLiteral("Send")));
    all.push_back(Button(411, 60, 22, QStringLiteral("Discard")));
    all.push_back(Button(177, 22, 18, QStringLiteral("#folder")));
    all.push_back(Button(178, 18, 18, QStringLiteral("#clear")));
    all.push_back(Button(182, 66, 23, QStringLiteral("New")));
    all.push_back(Button(183, 91, 25, QStringLiteral("Delete")));
    all.push_back(Combo(184, 194, 22));
    all.push_back(Check(156, 12, 12));

    // Scroll-bar arrows and the action list's icons.
    all.push_back(Strip(188, 3, 13, 13, QStringLiteral("up arrow"),
                        [](QPainter& p, int k, const QRectF& box) {
                            DrawPushButton(p, box, k, QString(), 9.0, 2.0);
                            DrawGlyph(p, box.adjusted(1, 1, -1, -1), Glyph::kArrowUp,
                                      k == kPressed ? pal::kTextOnHighlight : pal::kText);
                        }));
    all.push_back(Strip(187, 3, 13, 13, QStringLiteral("down arrow"),
                        [](QPainter& p, int k, const QRectF& box) {
                            DrawPushButton(p, box, k, QString(), 9.0, 2.0);
                            DrawGlyph(p, box.adjusted(1, 1, -1, -1), Glyph::kArrowDown,
                                      k == kPressed ? pal::kTextOnHighlight : pal::kText);
                        }));
    all.push_back(Strip(191, 1, 14, 14, QStringLiteral("key released"),
                        [](QPainter& p, int, const QRectF& box) {
                            DrawGlyph(p, box, Glyph::kKeyUp, QColor(120, 224, 170));
                        }));
    all.push_back(Strip(192, 1, 14, 14, QStringLiteral("key pressed"),
                        [](QPainter& p, int, const QRectF& box) {
                            DrawGlyph(p, box, Glyph::kKeyDown, pal::kHighlight.lighter(125));
                        }));
    all.push_back(
        Strip(193, 1, 14, 14, QStringLiteral("pause"), [](QPainter& p, int, const QRectF& box) {
            DrawGlyph(p, box, Glyph::kClock, QColor(240, 200, 90));
        }));

    // Backgrounds, panels and notices.
    all.push_back(Bitmap(129, 818, 628, QStringLiteral("main window; yellow outside the outline"),
                         RenderMainWindow));
    all.push_back(Bitmap(261, 663, 344, QStringLiteral("macro page panel"), RenderMacroPanel));
    all.push_back(Bitmap(259, 663, 344, QStringLiteral("G-key page panel"), RenderGKeyPanel));
    all.push_back(
        Bitmap(260, 663, 344, QStringLiteral("lighting page panel"), RenderLightingPanel));
    all.push_back(
        Bitmap(272, 400, 270, QStringLiteral("key setting dialog"), RenderKeySettingDialog));
    all.push_back(Bitmap(153, 420, 206,
                         QStringLiteral("shortcut dialog; yellow outside the outline"),
                         RenderShortcutDialog));
    all.push_back(Bitmap(176, 305, 245,
                         QStringLiteral("quick-launch dialog; yellow outside the outline"),
                         RenderQuickLaunchDialog));
    all.push_back(Bitmap(380, 400, 270, QStringLiteral("message dialog"), RenderMessageDialog));
    all.push_back(Bitmap(
        165, 400, 270, QStringLiteral("Do you want to reset the current profile to default?"), [] {
            return RenderResetDialog(
                QStringLiteral("Do you want to reset the current profile to default?"),
                QStringLiteral("Its keys, G keys and lighting return to the factory settings."));
        }));
    all.push_back(
        Bitmap(258, 400, 270, QStringLiteral("Do you want to reset all profiles to default?"), [] {
            return RenderResetDialog(
                QStringLiteral("Do you want to reset all profiles to default?"),
                QStringLiteral("All three on-board profiles return to the factory settings."));
        }));
    all.push_back(Bitmap(203, 525, 356, QStringLiteral("edit profile: name and three programs"),
                         RenderEditProfileDialog));
    all.push_back(Bitmap(181, 715, 476, QStringLiteral("macro manager"), RenderMacroManager));
    all.push_back(Bitmap(186, 481, 354, QStringLiteral("macro manager action panel"),
                         RenderMacroManagerPanel));
    all.push_back(Bitmap(185, 305, 215, QStringLiteral("Add a Macro Set"), [] {
        return RenderSetNameDialog(QStringLiteral("Add a Macro Set"),
                                   QStringLiteral("Name of the new macro set:"));
    }));
    all.push_back(Bitmap(194, 305, 215, QStringLiteral("Delete a Macro Set"), [] {
        return RenderSetNameDialog(QStringLiteral("Delete a Macro Set"),
                                   QStringLiteral("Name of the macro set to delete:"));
    }));
    all.push_back(Bitmap(196, 305, 215, QStringLiteral("Please select which Macro to delete!"), [] {
        return RenderNoticeDialog(QStringLiteral("Attention!"),
                                  QStringLiteral("Please select which Macro to delete!"));
    }));
    all.push_back(Bitmap(
        195, 305, 215, QStringLiteral("Please choose a macro set and select a macro first!"), [] {
            return RenderNoticeDialog(
                QStringLiteral("Note"),
                QStringLiteral("Please choose a macro set and select a macro first!"));
        }));

    // Colour-keyed buttons: the key-setting dialog's radio buttons, and the region buttons of
    // the outlined dialogs and the macro manager.
    all.push_back(RadioButton(275, 17));
    all.push_back(KeyedStrip(
        388, 23, 21, QStringLiteral("close"), pal::kTitleBar,
        [](const QRectF& box) { return RoundedShape(box, 4.0); },
        [](QPainter& p, int k, const QRectF& box) {
            DrawPushButton(p, box, k, QStringLiteral("#close"), 12.0);
        }));
    all.push_back(RegionButton(389, 52, 21, QStringLiteral("OK")));
    all.push_back(RegionButton(390, 91, 21, QStringLiteral("Cancel")));
    all.push_back(RegionButton(391, 73, 29, QStringLiteral("OK")));
    all.push_back(RegionButton(392, 66, 29, QStringLiteral("Cancel")));

    all.push_back(Icon(387));
    return all;
}

}  // namespace

const std::vector<Picture>& Catalogue() {
    static const std::vector<Picture> all = BuildCatalogue();
    return all;
}

QString ResourceName(const Picture& picture) {
    switch (picture.kind) {
        case Kind::kPng:
            return QStringLiteral("png/%1.png").arg(picture.id);
        case Kind::kBitmap:
            return QStringLiteral("bmp/%1.png").arg(picture.id);
        case Kind::kIcon:
            break;
    }
    return QStringLiteral("icon/%1.png").arg(picture.id);
}

QString DoubleResourceName(const Picture& picture) {
    QString name = ResourceName(picture);
    return name.insert(name.size() - 4, QStringLiteral("@2x"));
}

QImage RenderIcon(int size) {
    // A key cap seen from above, lit from its top edge, with a bright ring: the program's mark.
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const double s = size;
    const QRectF plate(s * 0.04, s * 0.04, s * 0.92, s * 0.92);
    QLinearGradient back(plate.topLeft(), plate.bottomLeft());
    back.setColorAt(0.0, QColor(22, 64, 76));
    back.setColorAt(1.0, QColor(8, 24, 30));
    p.setPen(QPen(pal::kPopupFrame, std::max(1.0, s / 24.0)));
    p.setBrush(back);
    p.drawRoundedRect(plate, s * 0.2, s * 0.2);
    const QRectF cap(s * 0.24, s * 0.22, s * 0.52, s * 0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(18, 70, 100));
    p.drawRoundedRect(cap.translated(0, s * 0.07), s * 0.08, s * 0.08);
    QLinearGradient face(cap.topLeft(), cap.bottomLeft());
    face.setColorAt(0.0, pal::kPressedTop);
    face.setColorAt(1.0, pal::kPressedBottom);
    p.setBrush(face);
    p.drawRoundedRect(cap, s * 0.08, s * 0.08);
    if (size >= 24) {
        QFont font = UiFont(s * 0.36, QFont::Bold);
        p.setFont(font);
        p.setPen(pal::kTextOnHighlight);
        p.drawText(cap, Qt::AlignCenter, QStringLiteral("L"));
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace skin
