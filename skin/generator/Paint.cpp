// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/generator/Paint.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygonF>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "skin/generator/Palette.h"

namespace skin {

namespace pal = palette;

QString UiFamily() {
    static const QString family = [] {
        const QString wanted = QStringLiteral("WenQuanYi Micro Hei");
        return QFontDatabase::families().contains(wanted) ? wanted : QFont().family();
    }();
    return family;
}

QFont UiFont(double pixelSize, int weight, int stretch) {
    QFont font(UiFamily());
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setStretch(stretch);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

namespace {

QSizeF TextSize(const QString& text, const QFont& font) {
    const QFontMetricsF metrics(font);
    double width = 0.0;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
    // Lines of small legends sit closer than the face's own line spacing.
    const double lineHeight = lines.size() > 1 ? metrics.ascent() : metrics.height();
    return {width, lineHeight * lines.size()};
}

}  // namespace

QFont FitFont(const QString& text, QSizeF box, double maxPx, double minPx, int weight) {
    for (double px = maxPx; px >= minPx; px -= 0.5) {
        for (int stretch : {100, 90, 80}) {
            QFont font = UiFont(px, weight, stretch);
            const QSizeF size = TextSize(text, font);
            if (size.width() <= box.width() && size.height() <= box.height() + 1.0) return font;
        }
    }
    return UiFont(minPx, weight, 75);
}

void DrawText(QPainter& p, const QRectF& box, const QString& text, const QFont& font,
              const QColor& colour, int flags) {
    p.save();
    p.setFont(font);
    p.setPen(colour);
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() == 1) {
        p.drawText(box, flags | Qt::TextSingleLine, text);
    } else {
        const QFontMetricsF metrics(font);
        const double lineHeight = metrics.ascent();
        const double top = box.center().y() - lineHeight * lines.size() / 2.0;
        for (int i = 0; i < lines.size(); ++i) {
            const QRectF lineBox(box.left(), top + i * lineHeight, box.width(), lineHeight);
            p.drawText(lineBox, (flags & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter, lines[i]);
        }
    }
    p.restore();
}

void DrawFittedText(QPainter& p, const QRectF& box, const QString& text, double maxPx, double minPx,
                    const QColor& colour, int weight, int flags) {
    DrawText(p, box, text, FitFont(text, box.size(), maxPx, minPx, weight), colour, flags);
}

void DrawGlyph(QPainter& p, const QRectF& box, Glyph glyph, const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF c = box.center();
    const double s = std::min(box.width(), box.height());
    QPen pen(colour, std::max(1.0, s / 8.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    auto triangle = [&](QPointF a, QPointF b, QPointF d) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawPolygon(QPolygonF{a, b, d});
    };
    const double h = s * 0.32;
    switch (glyph) {
        case Glyph::kArrowUp:
            triangle({c.x(), c.y() - h}, {c.x() - h, c.y() + h * 0.7},
                     {c.x() + h, c.y() + h * 0.7});
            break;
        case Glyph::kArrowDown:
            triangle({c.x(), c.y() + h}, {c.x() - h, c.y() - h * 0.7},
                     {c.x() + h, c.y() - h * 0.7});
            break;
        case Glyph::kArrowLeft:
            triangle({c.x() - h, c.y()}, {c.x() + h * 0.7, c.y() - h},
                     {c.x() + h * 0.7, c.y() + h});
            break;
        case Glyph::kArrowRight:
            triangle({c.x() + h, c.y()}, {c.x() - h * 0.7, c.y() - h},
                     {c.x() - h * 0.7, c.y() + h});
            break;
        case Glyph::kEnter: {
            pen.setWidthF(1.3);
            p.setPen(pen);
            const double r = s * 0.3;
            p.drawLine(QPointF(c.x() + r, c.y() - r), QPointF(c.x() + r, c.y() + r * 0.4));
            p.drawLine(QPointF(c.x() + r, c.y() + r * 0.4),
                       QPointF(c.x() - r * 0.6, c.y() + r * 0.4));
            triangle({c.x() - r * 1.2, c.y() + r * 0.4}, {c.x() - r * 0.4, c.y() - r * 0.2},
                     {c.x() - r * 0.4, c.y() + r * 1.0});
            break;
        }
        case Glyph::kWindows: {
            const double q = s * 0.18;
            const double gap = std::max(1.0, s * 0.06);
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.setRenderHint(QPainter::Antialiasing, false);
            const QPointF o(std::round(c.x() - q - gap / 2), std::round(c.y() - q - gap / 2));
            const double e = std::round(q);
            for (int i = 0; i < 2; ++i)
                for (int j = 0; j < 2; ++j)
                    p.drawRect(QRectF(o.x() + i * (e + gap), o.y() + j * (e + gap), e, e));
            break;
        }
        case Glyph::kMenu: {
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            const double w = std::round(s * 0.45);
            const double x = std::round(c.x() - w / 2);
            const double y = std::round(c.y() - 3);
            for (int i = 0; i < 3; ++i) p.drawRect(QRectF(x, y + i * 3, w, 1.2));
            break;
        }
        case Glyph::kClose: {
            pen.setWidthF(std::max(1.4, s / 10.0));
            p.setPen(pen);
            const double r = s * 0.2;
            p.drawLine(QPointF(c.x() - r, c.y() - r), QPointF(c.x() + r, c.y() + r));
            p.drawLine(QPointF(c.x() + r, c.y() - r), QPointF(c.x() - r, c.y() + r));
            break;
        }
        case Glyph::kMinimise: {
            pen.setWidthF(std::max(1.4, s / 10.0));
            p.setPen(pen);
            const double r = s * 0.2;
            p.drawLine(QPointF(c.x() - r, c.y() + r * 0.6), QPointF(c.x() + r, c.y() + r * 0.6));
            break;
        }
        case Glyph::kFolder: {
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            const double w = s * 0.7;
            const double hh = s * 0.5;
            const QRectF body(c.x() - w / 2, c.y() - hh / 2 + 1, w, hh);
            p.drawRoundedRect(body, 1, 1);
            p.drawRoundedRect(QRectF(body.left(), body.top() - 2, w * 0.45, 3), 1, 1);
            break;
        }
        case Glyph::kKeyDown:
        case Glyph::kKeyUp: {
            // A key cap with an arrow showing the direction of the key's travel.
            p.setPen(QPen(colour, 1.0));
            p.setBrush(Qt::NoBrush);
            const QRectF cap(box.left() + 1.5, box.top() + 1.5, box.width() - 3, box.height() - 3);
            p.drawRoundedRect(cap, 2, 2);
            const QRectF inner = cap.adjusted(2, 2, -2, -2);
            DrawGlyph(p, inner, glyph == Glyph::kKeyDown ? Glyph::kArrowDown : Glyph::kArrowUp,
                      colour);
            break;
        }
        case Glyph::kClock: {
            p.setPen(QPen(colour, 1.2));
            p.setBrush(Qt::NoBrush);
            const double r = s * 0.4;
            p.drawEllipse(c, r, r);
            p.drawLine(c, QPointF(c.x(), c.y() - r * 0.65));
            p.drawLine(c, QPointF(c.x() + r * 0.5, c.y()));
            break;
        }
        case Glyph::kChevronDown: {
            pen.setWidthF(1.5);
            p.setPen(pen);
            const double r = s * 0.22;
            p.drawPolyline(QPolygonF{{c.x() - r, c.y() - r * 0.5},
                                     {c.x(), c.y() + r * 0.5},
                                     {c.x() + r, c.y() - r * 0.5}});
            break;
        }
        case Glyph::kAttention: {
            p.setPen(QPen(colour, std::max(2.0, s / 14.0)));
            p.setBrush(Qt::NoBrush);
            const double r = s * 0.45;
            p.drawEllipse(c, r, r);
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            const double bw = s * 0.09;
            p.drawRoundedRect(QRectF(c.x() - bw / 2, c.y() - r * 0.55, bw, r * 0.7), bw / 2,
                              bw / 2);
            p.drawEllipse(QPointF(c.x(), c.y() + r * 0.42), bw * 0.65, bw * 0.65);
            break;
        }
    }
    p.restore();
}

namespace {
int g_renderScale = 1;
}  // namespace

int RenderScale() { return g_renderScale; }
void SetRenderScale(int scale) { g_renderScale = std::max(scale, 1); }

QImage NewPicture(int width, int height, QImage::Format format) {
    QImage image(width * g_renderScale, height * g_renderScale, format);
    image.setDevicePixelRatio(g_renderScale);
    return image;
}

QImage MakeStrip(int frames, QSize frameSize,
                 const std::function<void(QPainter&, int, const QRectF&)>& paintFrame) {
    QImage image = NewPicture(frameSize.width() * frames, frameSize.height(),
                              QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    for (int k = 0; k < frames; ++k) {
        const QRectF box(k * frameSize.width(), 0, frameSize.width(), frameSize.height());
        p.save();
        p.setClipRect(box);
        paintFrame(p, k, box);
        p.restore();
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

namespace {

QLinearGradient Vertical(const QRectF& box, const QColor& top, const QColor& bottom) {
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0.0, top);
    g.setColorAt(1.0, bottom);
    return g;
}

// A rectangle whose one-pixel outline falls on pixel centres.
QRectF Crisp(const QRectF& box) { return box.adjusted(0.5, 0.5, -0.5, -0.5); }

void StrokeTopLight(QPainter& p, const QRectF& face, double radius, const QColor& colour) {
    p.save();
    p.setPen(QPen(colour, 1.0));
    p.drawLine(QPointF(face.left() + radius, face.top() + 1.0),
               QPointF(face.right() - radius, face.top() + 1.0));
    p.restore();
}

}  // namespace

void FillRaised(QPainter& p, const QRectF& box, int state, double radius) {
    const QRectF face = Crisp(box);
    p.save();
    switch (state) {
        case kHover:
            p.setPen(QPen(pal::kPopupFrame.darker(115), 1.0));
            p.setBrush(Vertical(face, pal::kHoverTop, pal::kHoverBottom));
            p.drawRoundedRect(face, radius, radius);
            StrokeTopLight(p, face, radius, QColor(120, 220, 232, 90));
            break;
        case kPressed:
            p.setPen(QPen(pal::kPressedBorder, 1.0));
            p.setBrush(Vertical(face, pal::kPressedTop, pal::kPressedBottom));
            p.drawRoundedRect(face, radius, radius);
            break;
        default:
            p.setPen(QPen(pal::kButtonBorder, 1.0));
            p.setBrush(Vertical(face, pal::kButtonTop, pal::kButtonBottom));
            p.drawRoundedRect(face, radius, radius);
            StrokeTopLight(p, face, radius, QColor(255, 255, 255, 28));
            break;
    }
    p.restore();
}

namespace {

QColor LabelColour(int state) { return state == kPressed ? pal::kTextOnHighlight : pal::kText; }

bool GlyphFromLegend(const QString& legend, Glyph* glyph) {
    static const struct {
        const char* name;
        Glyph glyph;
    } kNames[] = {{"#up", Glyph::kArrowUp},     {"#down", Glyph::kArrowDown},
                  {"#left", Glyph::kArrowLeft}, {"#right", Glyph::kArrowRight},
                  {"#enter", Glyph::kEnter},    {"#win", Glyph::kWindows},
                  {"#menu", Glyph::kMenu}};
    for (const auto& entry : kNames) {
        if (legend == QLatin1String(entry.name)) {
            *glyph = entry.glyph;
            return true;
        }
    }
    return false;
}

}  // namespace

void DrawKeyCap(QPainter& p, const QRectF& box, int state, const QString& legend) {
    // A cap with a two-pixel lip below its face; a pressed cap sinks onto the lip. The pressed
    // look doubles as the look of a remapped key at rest, so it is the loudest of the three.
    const double radius = 3.0;
    const double lip = state == kPressed ? 1.0 : 2.0;
    const QRectF body = Crisp(box);
    const QRectF face(body.left(), body.top() + (state == kPressed ? 1.0 : 0.0), body.width(),
                      body.height() - lip - (state == kPressed ? 1.0 : 0.0));
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(state == kPressed ? QColor(18, 70, 100) : pal::kCapLip);
    p.drawRoundedRect(body, radius, radius);
    switch (state) {
        case kHover:
            p.setPen(QPen(pal::kPopupFrame, 1.0));
            p.setBrush(Vertical(face, pal::kHoverTop.lighter(112), pal::kHoverBottom));
            break;
        case kPressed:
            p.setPen(QPen(pal::kPressedBorder, 1.0));
            p.setBrush(Vertical(face, pal::kPressedTop, pal::kPressedBottom));
            break;
        default:
            p.setPen(QPen(pal::kCapBorder, 1.0));
            p.setBrush(Vertical(face, pal::kCapTop, pal::kCapBottom));
            break;
    }
    p.drawRoundedRect(face, radius, radius);
    if (state == kNormal) StrokeTopLight(p, face, radius, QColor(255, 255, 255, 22));
    p.restore();

    if (legend.isEmpty()) return;
    const QColor ink = state == kPressed ? pal::kTextOnHighlight
                                         : (state == kHover ? QColor(255, 255, 255) : pal::kText);
    const QRectF textBox = face.adjusted(1.0, 0.5, -1.0, -0.5);
    Glyph glyph;
    if (GlyphFromLegend(legend, &glyph)) {
        const double side = std::min({textBox.width(), textBox.height(), 14.0});
        QRectF glyphBox(0, 0, side, side);
        glyphBox.moveCenter(textBox.center());
        DrawGlyph(p, glyphBox, glyph, ink);
        return;
    }
    const bool single = legend.size() == 1;
    const double maxPx = single ? 12.0 : (legend.contains(QLatin1Char('\n')) ? 8.0 : 10.0);
    const int weight = single ? QFont::DemiBold : QFont::Normal;
    DrawFittedText(p, textBox, legend, maxPx, 7.0, ink, weight);
}

void DrawPushButton(QPainter& p, const QRectF& box, int state, const QString& label, double textPx,
                    double radius) {
    FillRaised(p, box, state, radius);
    Glyph glyph;
    if (label.startsWith(QLatin1Char('#'))) {
        if (label == QLatin1String("#close") || label == QLatin1String("#clear"))
            glyph = Glyph::kClose;
        else if (label == QLatin1String("#min"))
            glyph = Glyph::kMinimise;
        else if (label == QLatin1String("#folder"))
            glyph = Glyph::kFolder;
        else
            glyph = Glyph::kMenu;
        DrawGlyph(p, box.adjusted(2, 2, -2, -2), glyph, LabelColour(state));
        return;
    }
    DrawFittedText(p, box.adjusted(3, 0, -3, 0), label, textPx, 7.0, LabelColour(state),
                   QFont::DemiBold);
}

void DrawTab(QPainter& p, const QRectF& box, int state, const QString& label) {
    // Tabs sit on the window's bottom bar: quiet at rest, underlined under the pointer, filled
    // when their page is shown (the selected look is the pressed frame).
    const QRectF face = Crisp(box);
    p.save();
    if (state == kPressed) {
        p.setPen(QPen(pal::kPressedBorder, 1.0));
        p.setBrush(Vertical(face, pal::kPressedTop, pal::kPressedBottom));
        p.drawRoundedRect(face, 4, 4);
    } else {
        p.setPen(QPen(state == kHover ? pal::kCardBorder.lighter(150) : pal::kCardBorder, 1.0));
        p.setBrush(state == kHover ? QColor(24, 62, 73) : QColor(14, 33, 40));
        p.drawRoundedRect(face, 4, 4);
        if (state == kHover) {
            p.setPen(Qt::NoPen);
            p.setBrush(pal::kPopupFrame);
            p.drawRect(QRectF(box.left() + 10, box.bottom() - 3, box.width() - 20, 2));
        }
    }
    p.restore();
    const QColor ink = state == kPressed
                           ? pal::kTextOnHighlight
                           : (state == kHover ? QColor(255, 255, 255) : pal::kTextDim);
    DrawFittedText(p, box.adjusted(4, -1, -4, -1), label, 12.0, 8.0, ink, QFont::DemiBold);
}

void DrawComboFrame(QPainter& p, const QRectF& box, int frame) {
    // Frames: 0 normal, 1 hover or open list, 2 pressed, 3 and 4 the alternate look (a read-only
    // field without the drop-down arrow) at rest and under the pointer. The control writes its
    // text over the left part, so the field stays dark there.
    const QRectF face = Crisp(box);
    const bool alternate = frame >= 3;
    QColor border = pal::kFieldBorder;
    QColor fill = pal::kField;
    if (frame == 1) border = pal::kPopupFrame.darker(110);
    if (frame == 2) border = pal::kHighlight;
    if (frame == 2) fill = QColor(10, 34, 42);
    if (alternate) {
        border = frame == 4 ? pal::kFieldBorder.lighter(130) : QColor(30, 58, 66);
        fill = QColor(12, 27, 32);
    }
    p.save();
    p.setPen(QPen(border, 1.0));
    p.setBrush(fill);
    p.drawRoundedRect(face, 3, 3);
    if (!alternate) {
        const double side = std::min(box.height(), 22.0);
        const QRectF button(box.right() - side - 1, box.top() + 1, side, box.height() - 2);
        p.setPen(Qt::NoPen);
        QColor buttonFill =
            frame == 0 ? pal::kButtonTop : (frame == 1 ? pal::kHoverTop : pal::kHighlight);
        p.setBrush(buttonFill);
        p.drawRoundedRect(button.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        p.setPen(QPen(border, 1.0));
        p.drawLine(QPointF(button.left() - 0.5, box.top() + 1),
                   QPointF(button.left() - 0.5, box.bottom() - 1));
        const QColor ink = frame == 2 ? pal::kTextOnHighlight : pal::kText;
        DrawGlyph(p, button, Glyph::kChevronDown, ink);
    }
    p.restore();
}

void DrawCheckFrame(QPainter& p, const QRectF& box, int frame) {
    // Frames 0 to 2 unticked (normal, hover, pressed), 3 to 5 ticked, 6 disabled.
    const bool ticked = frame >= 3 && frame <= 5;
    const int state = frame == 6 ? kNormal : frame % 3;
    const double side = std::min(box.width(), box.height());
    QRectF square(0, 0, side, side);
    square.moveCenter(box.center());
    square = QRectF(std::floor(square.left()), std::floor(square.top()), side, side);
    const QRectF face = Crisp(square);
    p.save();
    if (frame == 6) {
        p.setPen(QPen(pal::kDisabled, 1.0));
        p.setBrush(QColor(22, 30, 33));
    } else if (ticked) {
        p.setPen(QPen(state == kHover ? QColor(200, 236, 255) : pal::kPressedBorder, 1.0));
        p.setBrush(state == kPressed
                       ? pal::kPressedBottom
                       : (state == kHover ? pal::kPressedTop.lighter(112) : pal::kHighlight));
    } else {
        p.setPen(QPen(state == kHover
                          ? pal::kPopupFrame
                          : (state == kPressed ? pal::kHighlight : QColor(96, 146, 156)),
                      1.0));
        p.setBrush(state == kPressed ? QColor(20, 58, 70)
                                     : (state == kHover ? QColor(18, 56, 66) : pal::kField));
    }
    p.drawRoundedRect(face, 2, 2);
    if (ticked) {
        p.setPen(QPen(pal::kTextOnHighlight, std::max(1.5, side / 7.0), Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
        const QRectF m = face.adjusted(side * 0.2, side * 0.22, -side * 0.2, -side * 0.22);
        p.drawPolyline(QPolygonF{{m.left(), m.center().y()},
                                 {m.left() + m.width() * 0.38, m.bottom()},
                                 {m.right(), m.top()}});
    }
    p.restore();
}

void DrawRecordFrame(QPainter& p, const QRectF& box, int frame) {
    // Frames 0 to 2: ready to record; 3 to 5: recording (the button now stops it); 6 disabled.
    const bool recording = frame >= 3 && frame <= 5;
    const int state = frame == 6 ? kNormal : frame % 3;
    const QRectF face = Crisp(box);
    p.save();
    if (frame == 6) {
        p.setPen(QPen(pal::kDisabled, 1.0));
        p.setBrush(QColor(20, 30, 34));
        p.drawRoundedRect(face, 5, 5);
    } else if (recording) {
        const QColor top = state == kHover ? pal::kRecord.lighter(115) : pal::kRecord;
        const QColor bottom = state == kPressed ? pal::kRecordDark.darker(115) : pal::kRecordDark;
        p.setPen(QPen(QColor(255, 170, 170), 1.0));
        p.setBrush(Vertical(face, top, bottom));
        p.drawRoundedRect(face, 5, 5);
    } else {
        p.restore();
        FillRaised(p, box, state == kPressed ? kHover : state, 5);
        p.save();
        if (state == kPressed) {
            p.setPen(QPen(pal::kRecord, 1.0));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(face, 5, 5);
        }
    }
    // The mark: a red dot to start, a white square to stop.
    const double mark = std::min(10.0, box.height() - 10.0);
    const QRectF markBox(box.left() + 10, box.center().y() - mark / 2, mark, mark);
    p.setPen(Qt::NoPen);
    if (recording) {
        p.setBrush(QColor(255, 255, 255));
        p.drawRoundedRect(markBox.adjusted(0.5, 0.5, -0.5, -0.5), 1.5, 1.5);
    } else {
        p.setBrush(frame == 6 ? pal::kDisabledText : pal::kRecord);
        p.drawEllipse(markBox);
    }
    p.restore();
    const QString label = recording ? QStringLiteral("Stop recording") : QStringLiteral("Record");
    const QColor ink = frame == 6 ? pal::kDisabledText : QColor(255, 255, 255);
    const QRectF textBox(markBox.right() + 6, box.top(), box.right() - markBox.right() - 12,
                         box.height());
    DrawFittedText(p, textBox, label, 12.0, 8.0, ink, QFont::DemiBold,
                   Qt::AlignLeft | Qt::AlignVCenter);
}

void KeyOutside(QImage& image, const QPainterPath& inside, const QColor& key) {
    QImage mask(image.size(), QImage::Format_ARGB32_Premultiplied);
    mask.setDevicePixelRatio(image.devicePixelRatio());
    mask.fill(Qt::transparent);
    QPainter m(&mask);
    m.setRenderHint(QPainter::Antialiasing, false);
    m.fillPath(inside, Qt::white);
    m.end();
    const QRgb keyRgb = key.rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const auto* maskRow = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(maskRow[x]) == 0) row[x] = keyRgb;
        }
    }
}

}  // namespace skin
