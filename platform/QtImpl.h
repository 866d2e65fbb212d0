// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Qt side of the platform's own types; included only by platform sources,
// tests and demo programs.

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
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
};

struct Surface::Impl {
    QImage image;  // RGB32, fully opaque
    std::optional<QPainter> painter;
    Rect clip;  // where drawing may change pixels

    QPainter& Painter() {
        if (!painter) {
            painter.emplace(&image);
            if (clip != Rect{0, 0, image.width(), image.height()})
                painter->setClipRect(QRect(clip.left, clip.top, clip.Width(), clip.Height()));
        }
        return *painter;
    }
    void EndPainting() { painter.reset(); }
};

QFont ToQFont(const FontDesc& desc);
QString ToQString(std::string_view text);
const QImage& QImageOf(const Image& image);
Image FromQImage(QImage image);
QColor ToQColor(Color c);

}  // namespace lumbra
