// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/generator/Preview.h"

#include <QDir>
#include <QPainter>
#include <algorithm>
#include <vector>

#include "skin/generator/Paint.h"
#include "skin/generator/Palette.h"
#include "skin/generator/Pictures.h"

namespace skin {

namespace pal = palette;

namespace {

const QColor kSheetBack(40, 44, 48);
const QColor kDesktop(70, 76, 84);

QImage Frame(const QImage& strip, int frames, int k) {
    const int width = strip.width() / frames;
    return strip.copy(k * width, 0, width, strip.height());
}

// Colour-keyed drawing as the toolkit does it: the sample point's colour is left out.
void DrawKeyed(QPainter& p, const QPointF& at, const QImage& frame, QPoint sample) {
    QImage copy = frame.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = copy.pixel(sample);
    for (int y = 0; y < copy.height(); ++y)
        for (int x = 0; x < copy.width(); ++x)
            if (copy.pixel(x, y) == key) copy.setPixel(x, y, qRgba(0, 0, 0, 0));
    p.drawImage(at, copy);
}

QImage WithoutOutline(const QImage& bitmap) {
    QImage copy = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb yellow = pal::kOutlineKey.rgb();
    for (int y = 0; y < copy.height(); ++y)
        for (int x = 0; x < copy.width(); ++x)
            if (copy.pixel(x, y) == yellow) copy.setPixel(x, y, kDesktop.rgb());
    return copy;
}

class Mockup {
public:
    Mockup(const RenderedSet& rendered, int backgroundId)
        : m_rendered(rendered),
          m_image(WithoutOutline(rendered.value(QStringLiteral("bmp/%1.png").arg(backgroundId)))),
          m_painter(&m_image) {
        m_painter.setRenderHint(QPainter::Antialiasing, true);
        m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    }
    QPainter& p() { return m_painter; }
    void Bitmap(int id, int x, int y) {
        m_painter.drawImage(QPointF(x, y), m_rendered.value(QStringLiteral("bmp/%1.png").arg(id)));
    }
    void Png(int id, int frames, int frame, int x, int y, int w, int h) {
        const QImage strip = m_rendered.value(QStringLiteral("png/%1.png").arg(id));
        if (strip.isNull()) return;
        m_painter.drawImage(QRectF(x, y, w, h), Frame(strip, frames, frame));
    }
    void Keyed(int id, int frameW, int frame, int x, int y, QPoint sample) {
        const QImage strip = m_rendered.value(QStringLiteral("bmp/%1.png").arg(id));
        DrawKeyed(m_painter, QPointF(x, y), strip.copy(frame * frameW, 0, frameW, strip.height()),
                  sample);
    }
    void ComboText(int x, int y, int w, int h, const QString& text) {
        m_painter.setFont(UiFont(13.0));
        m_painter.setPen(Qt::white);
        m_painter.drawText(QRectF(x + 4, y + 1, w - 4, h - 1), Qt::AlignVCenter | Qt::AlignLeft,
                           text);
    }
    void Text(const QRectF& box, const QString& text, const QColor& colour,
              int flags = Qt::AlignLeft | Qt::AlignVCenter) {
        m_painter.setFont(UiFont(12.0));
        m_painter.setPen(colour);
        m_painter.drawText(box, flags, text);
    }
    void List(int x, int y, int w, int h, const QStringList& rows, int selected, bool icons) {
        m_painter.fillRect(QRectF(x, y, w, h), pal::kListBackground);
        for (int r = 0; r < rows.size() && (r + 1) * 20 <= h; ++r) {
            const QRectF row(x + (icons ? 17 : 2), y + 20 * r, w - (icons ? 19 : 4), 20);
            if (r == selected) m_painter.fillRect(row, pal::kHighlight);
            Text(row, rows[r], Qt::white);
            if (icons) {
                const int icon = rows[r].endsWith(QLatin1String("ms"))
                                     ? 193
                                     : (rows[r].endsWith(QLatin1String("Press")) ? 192 : 191);
                Png(icon, 1, 0, static_cast<int>(row.left()) - 15, static_cast<int>(row.top()) + 3,
                    14, 14);
            }
        }
    }
    void ScrollBar(int x, int y, int w, int h, double thumbTop, double thumbLength) {
        m_painter.fillRect(QRectF(x + 1, y + 1, w - 2, h - 2), QColor(1, 1, 1));
        Png(188, 3, 0, x, y, 13, 13);
        Png(187, 3, 0, x, y + h - 13, 13, 13);
        const QRectF thumb(x, y + 13 + thumbTop, w, thumbLength);
        m_painter.fillRect(thumb.adjusted(1, 1, -1, -1), QColor(31, 31, 31));
        m_painter.fillRect(thumb.adjusted(2, 2, -2, -2), QColor(50, 50, 50));
    }
    QImage Finish() {
        m_painter.end();
        return m_image;
    }

private:
    const RenderedSet& m_rendered;
    QImage m_image;
    QPainter m_painter;
};

QImage MainWindow(const RenderedSet& rendered, int page) {
    Mockup m(rendered, 129);
    static const int kPanels[] = {0, 261, 259, 260};
    if (page > 0) m.Bitmap(kPanels[page], 75, 137);
    m.Png(135, 3, 0, 707, 36, 22, 22);
    m.Png(136, 3, 1, 678, 36, 23, 22);
    const struct {
        int png, x, page;
    } tabs[] = {{137, 169, 0}, {262, 267, 1}, {263, 458, 2}, {264, 553, 3}};
    for (const auto& tab : tabs) m.Png(tab.png, 3, tab.page == page ? 2 : 0, tab.x, 516, 88, 22);
    m.Png(166, 3, 0, 582, 100, 46, 22);
    m.Png(167, 3, 1, 683, 100, 46, 22);
    m.Png(168, 3, 0, 633, 100, 46, 22);
    m.Png(164, 3, 0, 74, 516, 88, 22);
    m.Png(257, 3, 0, 651, 516, 88, 22);
    if (page == 0) {
        m.Png(171, 3, 2, 180, 208, 23, 20);
        m.Png(170, 3, 1, 209, 208, 20, 20);
        m.Png(169, 3, 0, 236, 208, 19, 20);
        for (int g = 0; g < 5; ++g) m.Png(381 + g, 3, g == 1 ? 1 : 0, 150, 265 + 23 * g, 15, 17);
        for (const KeyArt& key : Keys()) {
            // A few keys shown remapped and one under the pointer, to judge the three looks.
            int frame = 0;
            if (key.buttonId == 2258 || key.buttonId == 2292 || key.buttonId == 2241) frame = 2;
            if (key.buttonId == 2263) frame = 1;
            m.Png(key.pngId, 3, frame, key.x, key.y, key.width, key.height);
        }
    } else if (page == 1) {
        m.Png(267, 3, 0, 117, 448, 63, 15);
        m.Png(268, 3, 1, 190, 448, 63, 15);
        m.Png(269, 3, 0, 341, 448, 63, 15);
        m.Png(270, 3, 0, 414, 448, 63, 15);
        m.Png(397, 7, 3, 555, 383, 14, 15);
        m.Png(396, 7, 4, 555, 253, 14, 15);
        m.Png(189, 7, 0, 556, 220, 143, 22);
        m.List(107, 215, 144, 215, {"Copy line", "Greeting", "Build", "Combo 1"}, 1, false);
        m.List(331, 215, 144, 215,
               {"H Press", "H Release", "120ms", "I Press", "I Release", "Enter Press"}, 2, true);
        m.ScrollBar(256, 215, 13, 215, 0, 189);
        m.ScrollBar(480, 215, 13, 215, 0, 189);
        m.p().fillRect(QRectF(557, 404, 92, 20), Qt::white);
        m.Text(QRectF(560, 404, 88, 20), QStringLiteral("1"), Qt::black);
    } else if (page == 2) {
        const char* texts[] = {"Greeting", "Volume+", "No Function", "Ctrl+Alt+A", "calc.exe"};
        for (int g = 0; g < 5; ++g) {
            m.Png(265, 5, g == 2 ? 1 : 0, 139, 218 + 35 * g, 225, 20);
            m.ComboText(139, 218 + 35 * g, 225, 20, QString::fromUtf8(texts[g]));
        }
    } else {
        m.Png(265, 5, 0, 97, 263, 175, 20);
        m.ComboText(97, 263, 175, 20, QStringLiteral("Mode2"));
        m.Png(265, 5, 1, 97, 323, 175, 20);
        m.ComboText(97, 323, 175, 20, QStringLiteral("Breath"));
        // The brightness list as the popup paints it.
        const QRectF popup(97, 343, 175, 3 + 5 * 16 + 3);
        m.p().fillRect(popup, pal::kPopupFrame);
        m.p().fillRect(popup.adjusted(1, 1, -1, -1), pal::kPopupPanel);
        const char* items[] = {"Breath", "100%", "60%", "30%", "0%"};
        for (int i = 0; i < 5; ++i) {
            const QRectF item(popup.left() + 3, popup.top() + 3 + 16 * i, popup.width() - 6, 16);
            if (i == 1) m.p().fillRect(item, pal::kHighlight);
            m.Text(item.adjusted(2, 0, -2, 0), QString::fromUtf8(items[i]), Qt::white);
        }
    }
    return m.Finish();
}

QImage Dialog(const RenderedSet& rendered, int which) {
    switch (which) {
        case 0: {
            Mockup m(rendered, 272);
            m.Png(135, 3, 0, 369, 10, 18, 18);
            m.Text(QRectF(118, 60, 126, 23), QStringLiteral("Caps Lock"), QColor(0, 255, 0));
            m.Png(276, 3, 0, 257, 60, 88, 20);
            m.Keyed(275, 17, 2, 24, 96, {0, 0});
            m.Text(QRectF(194, 94, 185, 20), QStringLiteral("Left Ctrl"), Qt::white,
                   Qt::AlignCenter);
            m.Keyed(275, 17, 1, 24, 136, {0, 0});
            m.Png(265, 5, 0, 194, 136, 185, 20);
            m.ComboText(194, 136, 185, 20, QStringLiteral("Click"));
            m.Keyed(275, 17, 0, 24, 174, {0, 0});
            m.Png(166, 3, 0, 223, 229, 46, 22);
            m.Png(168, 3, 1, 324, 229, 46, 22);
            return m.Finish();
        }
        case 1: {
            Mockup m(rendered, 153);
            m.Keyed(388, 23, 0, 391, 3, {0, 20});
            const int xs[] = {22, 83, 136, 186, 232};
            for (int i = 0; i < 5; ++i)
                m.Png(156, 7, i == 1 ? 3 : (i == 2 ? 1 : 0), xs[i], 104, 12, 12);
            m.Text(QRectF(287, 100, 118, 20), QStringLiteral("A"), Qt::white);
            m.Keyed(391, 73, 0, 16, 162, {0, 28});
            m.Keyed(392, 66, 1, 118, 162, {0, 28});
            return m.Finish();
        }
        case 2: {
            Mockup m(rendered, 176);
            m.Keyed(388, 23, 1, 276, 4, {0, 20});
            m.Text(QRectF(26, 87, 230, 18), QStringLiteral("/usr/bin/gnome-calculator"), Qt::white);
            m.Png(177, 3, 0, 258, 87, 22, 18);
            m.Keyed(389, 52, 0, 75, 202, {0, 20});
            m.Keyed(390, 91, 0, 139, 202, {0, 20});
            return m.Finish();
        }
        case 3: {
            Mockup m(rendered, 380);
            m.Png(135, 3, 0, 369, 10, 18, 18);
            m.Text(QRectF(21, 11, 154, 20), QStringLiteral("Attention!"), pal::kTitleText);
            m.Text(QRectF(2, 127, 398, 20),
                   QStringLiteral("The keyboard is disconnected.Please connect."), Qt::white,
                   Qt::AlignCenter);
            m.Png(395, 3, 0, 250, 230, 46, 22);
            m.Png(394, 3, 0, 300, 230, 46, 22);
            return m.Finish();
        }
        case 4:
        case 5: {
            Mockup m(rendered, which == 4 ? 165 : 258);
            m.Png(166, 3, 1, 250, 230, 46, 22);
            m.Png(168, 3, 0, 300, 230, 46, 22);
            return m.Finish();
        }
        case 6: {
            Mockup m(rendered, 203);
            m.Keyed(388, 23, 0, 496, 5, {0, 20});
            m.p().fillRect(QRectF(119, 78, 183, 16), Qt::black);
            m.Text(QRectF(121, 78, 180, 16), QStringLiteral("Gaming"), Qt::white);
            for (int i = 0; i < 3; ++i) {
                m.Png(177, 3, 0, 305, 136 + 20 * i, 22, 18);
                m.Png(178, 3, 0, 330, 136 + 20 * i, 18, 18);
            }
            m.Text(QRectF(34, 136, 268, 18), QStringLiteral("/opt/game/bin/game"), Qt::white);
            m.Keyed(389, 52, 0, 17, 313, {0, 20});
            m.Keyed(390, 91, 0, 81, 313, {0, 20});
            return m.Finish();
        }
        case 7: {
            Mockup m(rendered, 181);
            m.Bitmap(186, 220, 50);
            m.Keyed(388, 23, 0, 686, 4, {0, 20});
            m.Keyed(389, 52, 0, 543, 433, {0, 20});
            m.Keyed(390, 91, 0, 607, 433, {0, 20});
            m.Png(182, 3, 0, 16, 432, 66, 23);
            m.Png(183, 3, 0, 91, 431, 91, 25);
            m.Png(184, 5, 0, 17, 76, 194, 22);
            m.ComboText(17, 76, 194, 22, QStringLiteral("Default set"));
            m.List(18, 98, 170, 302, {"Greeting", "Build"}, 0, false);
            m.ScrollBar(189, 98, 21, 302, 0, 276);
            m.Png(156, 7, 3, 484, 148, 12, 12);
            m.Png(189, 7, 3, 483, 107, 133, 23);
            m.List(224, 98, 215, 302, {"G Press", "G Release", "35ms"}, -1, true);
            m.ScrollBar(440, 98, 21, 302, 0, 276);
            return m.Finish();
        }
        default: {
            static const int kIds[] = {185, 194, 196, 195};
            Mockup m(rendered, kIds[which - 8]);
            m.Keyed(388, 23, 0, 276, 4, {0, 20});
            if (which < 10) {
                m.p().fillRect(QRectF(57, 98, 189, 20), QColor(11, 11, 11));
                m.Text(QRectF(60, 98, 186, 20), QStringLiteral("Office"), Qt::white);
            }
            m.Keyed(389, 52, 0, 75, 172, {0, 20});
            m.Keyed(390, 91, 0, 139, 172, {0, 20});
            return m.Finish();
        }
    }
}

// Strips enlarged without smoothing, each with its id, frame count and frame size.
QImage Sheet(const RenderedSet& rendered, const std::vector<const Picture*>& pictures, int zoom,
             int sheetWidth) {
    struct Placed {
        const Picture* picture;
        QImage image;
        QPoint at;
        int scale;
    };
    std::vector<Placed> placed;
    int x = 10;
    int y = 10;
    int rowHeight = 0;
    for (const Picture* picture : pictures) {
        QImage image = rendered.value(ResourceName(*picture));
        if (picture->kind == Kind::kBitmap && picture->frames == 1) image = WithoutOutline(image);
        const int scale =
            std::max(1, std::min(zoom, (sheetWidth - 20) / std::max(1, image.width())));
        const QSize size = image.size() * scale + QSize(0, 16);
        const int cell = std::max(size.width(), 90);
        if (x + cell > sheetWidth - 10 && x > 10) {
            x = 10;
            y += rowHeight + 12;
            rowHeight = 0;
        }
        placed.push_back({picture, image, QPoint(x, y), scale});
        x += cell + 14;
        rowHeight = std::max(rowHeight, size.height());
    }
    QImage sheet(sheetWidth, y + rowHeight + 10, QImage::Format_RGB32);
    sheet.fill(kSheetBack);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (const Placed& item : placed) {
        const QRect target(item.at, item.image.size() * item.scale);
        p.drawImage(target, item.image);
        // Frame boundaries.
        p.setPen(QColor(255, 255, 255, 60));
        const int frameW = item.picture->frameSize.width() * item.scale;
        for (int k = 1; k < item.picture->frames; ++k)
            p.drawLine(target.left() + k * frameW, target.top(), target.left() + k * frameW,
                       target.bottom());
        p.setFont(UiFont(11.0));
        p.setPen(QColor(230, 230, 230));
        p.drawText(QPointF(item.at.x(), target.bottom() + 14),
                   QStringLiteral("%1  %2x %3x%4 %5")
                       .arg(item.picture->id)
                       .arg(item.picture->frames)
                       .arg(item.picture->frameSize.width())
                       .arg(item.picture->frameSize.height())
                       .arg(item.picture->text.left(24)));
    }
    p.end();
    return sheet;
}

}  // namespace

bool WritePreviews(const RenderedSet& rendered, const QString& folder) {
    QDir().mkpath(folder);
    std::vector<const Picture*> keys;
    std::vector<const Picture*> controls;
    std::vector<const Picture*> bitmaps;
    for (const Picture& picture : Catalogue()) {
        const bool isKey = std::any_of(Keys().begin(), Keys().end(),
                                       [&](const KeyArt& k) { return k.pngId == picture.id; }) &&
                           picture.kind == Kind::kPng;
        if (isKey)
            keys.push_back(&picture);
        else if (picture.kind == Kind::kBitmap && picture.frames == 1)
            bitmaps.push_back(&picture);
        else
            controls.push_back(&picture);
    }
    bool ok = true;
    ok &= Sheet(rendered, keys, 3, 1400).save(folder + QStringLiteral("/sheet-keys.png"));
    ok &= Sheet(rendered, controls, 3, 1400).save(folder + QStringLiteral("/sheet-controls.png"));
    ok &= Sheet(rendered, bitmaps, 1, 1800).save(folder + QStringLiteral("/sheet-bitmaps.png"));
    for (int page = 0; page < 4; ++page) {
        const QImage window = MainWindow(rendered, page);
        ok &= window.save(folder + QStringLiteral("/main-page%1.png").arg(page));
        if (page == 0) {
            const QImage zoomed =
                window.copy(140, 196, 552, 200)
                    .scaled(552 * 2, 200 * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
            ok &= zoomed.save(folder + QStringLiteral("/main-keys-zoom.png"));
        }
    }
    static const char* kDialogNames[] = {
        "key-setting",  "shortcut",      "quick-launch", "message",    "reset-profile", "reset-all",
        "edit-profile", "macro-manager", "add-set",      "delete-set", "attention",     "note"};
    for (int i = 0; i < 12; ++i) {
        ok &= Dialog(rendered, i)
                  .save(folder + QStringLiteral("/dialog-%1.png").arg(kDialogNames[i]));
    }
    return ok;
}

}  // namespace skin
