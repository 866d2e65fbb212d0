#pragma once

// Qt side of the platform's own types; included only by platform sources,
// tests and demo programs.

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <optional>

#include "platform/Font.h"
#include "platform/Image.h"
#include "platform/Surface.h"

namespace lumbra {

struct Image::Impl {
    QImage image;  // ARGB32 premultiplied
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
