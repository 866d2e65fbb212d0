// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <functional>

// Drawing helpers shared by every picture: fonts, text that fits its box, glyphs, and the looks of
// the raised controls in their states.
namespace skin {

// The three looks of a three-frame strip, in frame order.
enum FrameState { kNormal = 0, kHover = 1, kPressed = 2 };

// Small pictograms drawn with lines and polygons rather than font glyphs, so that they stay crisp
// at ten pixels.
enum class Glyph {
    kArrowUp,
    kArrowDown,
    kArrowLeft,
    kArrowRight,
    kEnter,
    kWindows,
    kMenu,
    kClose,
    kMinimise,
    kFolder,
    kKeyDown,
    kKeyUp,
    kClock,
    kChevronDown,
    kAttention,
};

// The face every picture's text uses: the CJK-capable face the program also draws with, or the
// default face when it is not installed.
QString UiFamily();
QFont UiFont(double pixelSize, int weight = QFont::Normal, int stretch = 100);

// The largest font between maxPx and minPx (narrowing the face before shrinking it) whose text,
// one line per '\n', fits in box.
QFont FitFont(const QString& text, QSizeF box, double maxPx, double minPx,
              int weight = QFont::Normal);

void DrawText(QPainter& p, const QRectF& box, const QString& text, const QFont& font,
              const QColor& colour, int flags = Qt::AlignCenter);
// Text drawn with a font fitted to the box.
void DrawFittedText(QPainter& p, const QRectF& box, const QString& text, double maxPx, double minPx,
                    const QColor& colour, int weight = QFont::Normal, int flags = Qt::AlignCenter);

void DrawGlyph(QPainter& p, const QRectF& box, Glyph glyph, const QColor& colour);

// Pictures are drawn for screens with this many device pixels to a logical one (1 or 2). Every
// coordinate a picture is drawn with stays in logical pixels; only the pixels get finer.
int RenderScale();
void SetRenderScale(int scale);
// An empty picture of width x height logical pixels at the render scale.
QImage NewPicture(int width, int height, QImage::Format format);

// A picture of frames side by side, each painted by paintFrame into its own rectangle; the
// painter is clipped to the frame. Transparent where nothing is painted.
QImage MakeStrip(int frames, QSize frameSize,
                 const std::function<void(QPainter&, int frame, const QRectF& box)>& paintFrame);

// Control looks. A legend starting with '#' names a glyph (#up, #down, #left, #right, #enter,
// #win, #menu); otherwise it is text, one line per '\n'.
void DrawKeyCap(QPainter& p, const QRectF& box, int state, const QString& legend);
void DrawPushButton(QPainter& p, const QRectF& box, int state, const QString& label, double textPx,
                    double radius = 4.0);
void DrawTab(QPainter& p, const QRectF& box, int state, const QString& label);
void DrawComboFrame(QPainter& p, const QRectF& box, int frame);
void DrawCheckFrame(QPainter& p, const QRectF& box, int frame);
void DrawRecordFrame(QPainter& p, const QRectF& box, int frame);

// Fills of the raised looks, for pictures that draw their own content over them.
void FillRaised(QPainter& p, const QRectF& box, int state, double radius);

// Everything outside mask (a region of the picture) becomes exactly key. Edges are decided per
// pixel without blending, so no pixel near the outline is a mix of the key and the picture.
void KeyOutside(QImage& image, const QPainterPath& inside, const QColor& key);

}  // namespace skin
