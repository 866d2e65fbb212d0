// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Qt side of the platform's own types; included only by platform sources,
// tests and demo programs.

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <cmath>
#include <future>
#include <memory>
#include <optional>

#include "platform/Font.h"
#include "platform/Image.h"
#include "platform/Surface.h"

namespace lumbra {

struct DecodeBatch;

struct Image::Impl {
    // ARGB32 premultiplied. A picture loaded from a file is decoded when its
    // pixels are first needed (or by another thread, started earlier); until
    // then only its size is known.
    const QImage& Pixels();
    QImage image;
    QString source;  // the file still to decode; empty once decoded
    QSize size;
    QByteArray format;                    // the file's format; empty: guessed
    std::shared_future<QImage> decoding;  // a decode running on another thread
    std::shared_ptr<DecodeBatch> batch;   // the pictures decoded with it
    // The same picture with twice the pixels, for surfaces that have more
    // device pixels than logical ones: its file, until it is first asked for.
    QString doubleSource;
    bool doubleBeside = false;  // doubleSource is this picture's file, "@2x" to add
    std::shared_ptr<Impl> doubled;
    // The picture with twice the pixels; null when there is none (or it is
    // not exactly twice the size).
    Impl* Double();
};

struct Surface::Impl {
    QImage image;  // RGB32, fully opaque, in device pixels
    std::optional<QPainter> painter;
    Rect clip;           // where drawing may change pixels, in logical pixels
    double ratio = 1.0;  // device pixels to a logical pixel
    QSize logical;       // the size in logical pixels

    // A painter in device pixels, limited to the clip.
    QPainter& Painter() {
        if (!painter) {
            painter.emplace(&image);
            const QRect c = DeviceRect(clip);
            if (c != image.rect()) painter->setClipRect(c);
        }
        return *painter;
    }
    void EndPainting() { painter.reset(); }

    // Every edge is rounded the same way, so rectangles that touch in
    // logical pixels touch in device pixels, and a rectangle one logical
    // pixel wide is at least one device pixel wide at any ratio of 1 or more.
    int Device(int v) const {
        return ratio == 1.0 ? v : static_cast<int>(std::floor(v * ratio + 0.5));
    }
    QRect DeviceRect(const Rect& r) const {
        const int left = Device(r.left), top = Device(r.top);
        return QRect(left, top, Device(r.right) - left, Device(r.bottom) - top);
    }
};

QFont ToQFont(const FontDesc& desc);
QString ToQString(std::string_view text);
const QImage& QImageOf(const Image& image);
// The pixels of the picture with twice the pixels; null when there is none.
const QImage* DoubleQImageOf(const Image& image);
Image FromQImage(QImage image);
QColor ToQColor(Color c);

}  // namespace lumbra
