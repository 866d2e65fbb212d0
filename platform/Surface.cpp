// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Surface.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "platform/QtImpl.h"

namespace lumbra {

namespace {

QRgb ToQRgb(Color c) { return qRgb(RedOf(c), GreenOf(c), BlueOf(c)); }

Color FromQRgb(QRgb p) {
    if (qAlpha(p) != 255 && qAlpha(p) != 0) p = qUnpremultiply(p);
    return Rgb(static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)),
               static_cast<uint8_t>(qBlue(p)));
}

void CopyPixels(const QImage& from, const Rect& srcRect, int dx, int dy, QImage& to,
                const Rect& clip) {
    // Clip the destination, then map back to the source.
    Rect dest = Rect::FromSize(dx, dy, srcRect.Width(), srcRect.Height()).Intersect(clip);
    Rect src = srcRect.Intersect({0, 0, from.width(), from.height()});
    if (dest.IsEmpty() || src.IsEmpty()) return;
    int left = std::max(dest.left, dx + (src.left - srcRect.left));
    int top = std::max(dest.top, dy + (src.top - srcRect.top));
    int right = std::min(dest.right, dx + (src.right - srcRect.left));
    int bottom = std::min(dest.bottom, dy + (src.bottom - srcRect.top));
    if (right <= left || bottom <= top) return;
    for (int y = top; y < bottom; ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(from.constScanLine(y - dy + srcRect.top)) +
                        (left - dx + srcRect.left);
        QRgb* d = reinterpret_cast<QRgb*>(to.scanLine(y)) + left;
        for (int x = 0; x < right - left; ++x) d[x] = s[x] | 0xFF000000u;
    }
}

// Nearest-neighbour mapping of each target pixel in dest to the source
// rectangle; calls put(targetPixel, sourcePixel).
template <typename Put>
void StretchPixels(const QImage& from, const Rect& srcRect, const Rect& dest, QImage& to,
                   const Rect& clip, Put put) {
    if (srcRect.IsEmpty() || dest.IsEmpty()) return;
    Rect clipped = dest.Intersect(clip);
    if (clipped.IsEmpty()) return;
    const int64_t sw = srcRect.Width(), sh = srcRect.Height();
    const int64_t w = dest.Width(), h = dest.Height();
    for (int y = clipped.top; y < clipped.bottom; ++y) {
        int sy = srcRect.top + static_cast<int>((y - dest.top) * sh / h);
        if (sy < 0 || sy >= from.height()) continue;
        const QRgb* s = reinterpret_cast<const QRgb*>(from.constScanLine(sy));
        QRgb* d = reinterpret_cast<QRgb*>(to.scanLine(y));
        for (int x = clipped.left; x < clipped.right; ++x) {
            int sx = srcRect.left + static_cast<int>((x - dest.left) * sw / w);
            if (sx < 0 || sx >= from.width()) continue;
            put(d[x], s[sx]);
        }
    }
}

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }
Rect FromQRect(const QRect& r) { return Rect::FromSize(r.x(), r.y(), r.width(), r.height()); }

// The pixels of a rectangle of a picture as a picture of their own, sharing
// them (valid while the picture is unchanged).
QImage Part(const QImage& from, const QRect& r) {
    const QRect c = r.intersected(from.rect());
    if (c.isEmpty()) return {};
    return QImage(from.constBits() + c.y() * from.bytesPerLine() + c.x() * 4, c.width(), c.height(),
                  from.bytesPerLine(), from.format());
}

int Scaled(double v, double scale) { return static_cast<int>(std::floor(v * scale + 0.5)); }

// The source pixels a rectangle of logical pixels is drawn from, and where
// they go on a scaled surface.
struct Placement {
    QImage part;  // shares the source's pixels
    QRect device;
    bool OneToOne() const { return part.size() == device.size(); }
};

// pixels hold a picture of logicalSize logical pixels, scale device pixels
// to each. A source rectangle partly outside the picture draws its inside
// part where it would have gone.
std::optional<Placement> Place(const QImage& pixels, QSize logicalSize, double scale,
                               const Rect& src, const Rect& dest, double ratio) {
    if (src.IsEmpty() || dest.IsEmpty()) return std::nullopt;
    const Rect inside = src.Intersect({0, 0, logicalSize.width(), logicalSize.height()});
    if (inside.IsEmpty()) return std::nullopt;
    const double fx = static_cast<double>(dest.Width()) / src.Width();
    const double fy = static_cast<double>(dest.Height()) / src.Height();
    const int left = Scaled(dest.left + (inside.left - src.left) * fx, ratio);
    const int top = Scaled(dest.top + (inside.top - src.top) * fy, ratio);
    const int right = Scaled(dest.left + (inside.right - src.left) * fx, ratio);
    const int bottom = Scaled(dest.top + (inside.bottom - src.top) * fy, ratio);
    const QRect from(Scaled(inside.left, scale), Scaled(inside.top, scale),
                     Scaled(inside.right, scale) - Scaled(inside.left, scale),
                     Scaled(inside.bottom, scale) - Scaled(inside.top, scale));
    Placement placed{Part(pixels, from), QRect(left, top, right - left, bottom - top)};
    if (placed.part.isNull() || placed.device.isEmpty()) return std::nullopt;
    return placed;
}

// The pixels a picture is drawn from on a surface, and how many of them make
// a logical pixel.
struct Source {
    const QImage* pixels;
    double scale;
};

Source SourceOf(const Surface::Impl& surface, const Image& image) {
    if (surface.ratio > 1.0)
        if (const QImage* twice = DoubleQImageOf(image)) return {twice, 2.0};
    return {&QImageOf(image), 1.0};
}

// Where a logical rectangle of a picture lands on a scaled surface, cut from
// the pixels that surface draws the picture from.
std::optional<Placement> PlaceOn(const Surface::Impl& surface, const Image& src,
                                 const Rect& srcRect, const Rect& dest) {
    const Source from = SourceOf(surface, src);
    return Place(*from.pixels, QSize(src.Width(), src.Height()), from.scale, srcRect, dest,
                 surface.ratio);
}

// A placed part put pixel by pixel with put where it lands, inside the clip.
template <typename Put>
void PutPlaced(Surface::Impl& surface, const Placement& placed, Put put) {
    StretchPixels(placed.part, {0, 0, placed.part.width(), placed.part.height()},
                  FromQRect(placed.device), surface.image,
                  FromQRect(surface.DeviceRect(surface.clip)), put);
}

// An opaque copy of a logical rectangle of pixels into dest on a scaled surface.
void CopyScaled(Surface::Impl& to, const QImage& pixels, QSize logicalSize, double scale,
                const Rect& srcRect, const Rect& dest) {
    const auto placed = Place(pixels, logicalSize, scale, srcRect, dest, to.ratio);
    if (!placed) return;
    if (placed->OneToOne()) {
        CopyPixels(placed->part, {0, 0, placed->part.width(), placed->part.height()},
                   placed->device.x(), placed->device.y(), to.image,
                   FromQRect(to.DeviceRect(to.clip)));
        return;
    }
    QPainter& p = to.Painter();
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(placed->device), placed->part);
    p.restore();
}

}  // namespace

Surface::Surface(int width, int height, double devicePixelRatio)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->ratio = std::max(devicePixelRatio, 1.0);
    m_impl->logical = QSize(std::max(width, 1), std::max(height, 1));
    m_impl->image = QImage(m_impl->Device(m_impl->logical.width()),
                           m_impl->Device(m_impl->logical.height()), QImage::Format_RGB32);
    m_impl->image.fill(Qt::black);
    m_impl->clip = {0, 0, m_impl->logical.width(), m_impl->logical.height()};
}

Surface::Surface(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

void Surface::SetClip(const Rect& r) {
    m_impl->EndPainting();
    m_impl->clip = r.Intersect({0, 0, Width(), Height()});
}

void Surface::ClearClip() {
    m_impl->EndPainting();
    m_impl->clip = {0, 0, Width(), Height()};
}

Rect Surface::ClipRect() const { return m_impl->clip; }

Surface::~Surface() = default;

int Surface::Width() const { return m_impl->logical.width(); }
int Surface::Height() const { return m_impl->logical.height(); }
double Surface::DevicePixelRatio() const { return m_impl->ratio; }

void Surface::FillSolidRect(const Rect& r, Color color) {
    Rect c = r.Intersect(m_impl->clip);
    if (c.IsEmpty()) return;
    m_impl->EndPainting();
    const QRgb v = ToQRgb(color);
    if (m_impl->ratio != 1.0) c = FromQRect(m_impl->DeviceRect(c));
    for (int y = c.top; y < c.bottom; ++y) {
        QRgb* d = reinterpret_cast<QRgb*>(m_impl->image.scanLine(y));
        std::fill(d + c.left, d + c.right, v);
    }
}

void Surface::Copy(const Image& src, const Rect& srcRect, int dx, int dy) {
    if (src.IsNull()) return;
    m_impl->EndPainting();
    if (m_impl->ratio != 1.0) {
        const Source from = SourceOf(*m_impl, src);
        CopyScaled(*m_impl, *from.pixels, QSize(src.Width(), src.Height()), from.scale, srcRect,
                   Rect::FromSize(dx, dy, srcRect.Width(), srcRect.Height()));
        return;
    }
    CopyPixels(QImageOf(src), srcRect, dx, dy, m_impl->image, m_impl->clip);
}

void Surface::Copy(const Surface& src, const Rect& srcRect, int dx, int dy) {
    src.m_impl->EndPainting();
    m_impl->EndPainting();
    if (m_impl->ratio != 1.0 || src.m_impl->ratio != 1.0) {
        const Rect dest = Rect::FromSize(dx, dy, srcRect.Width(), srcRect.Height());
        if (&src == this) {
            const QImage copy = src.m_impl->image.copy();
            CopyScaled(*m_impl, copy, src.m_impl->logical, src.m_impl->ratio, srcRect, dest);
        } else {
            CopyScaled(*m_impl, src.m_impl->image, src.m_impl->logical, src.m_impl->ratio, srcRect,
                       dest);
        }
        return;
    }
    if (&src == this) {
        QImage copy = src.m_impl->image.copy();
        CopyPixels(copy, srcRect, dx, dy, m_impl->image, m_impl->clip);
        return;
    }
    CopyPixels(src.m_impl->image, srcRect, dx, dy, m_impl->image, m_impl->clip);
}

void Surface::Stretch(const Image& src, const Rect& srcRect, const Rect& dest) {
    if (src.IsNull()) return;
    m_impl->EndPainting();
    if (m_impl->ratio != 1.0) {
        if (const auto placed = PlaceOn(*m_impl, src, srcRect, dest))
            PutPlaced(*m_impl, *placed, [](QRgb& d, QRgb s) { d = s | 0xFF000000u; });
        return;
    }
    StretchPixels(QImageOf(src), srcRect, dest, m_impl->image, m_impl->clip,
                  [](QRgb& d, QRgb s) { d = s | 0xFF000000u; });
}

void Surface::DrawImage(const Image& src, const RectF& dest, const RectF& srcRect) {
    if (src.IsNull() || dest.width <= 0 || dest.height <= 0 || srcRect.width <= 0 ||
        srcRect.height <= 0)
        return;
    const Rect touched{static_cast<int>(dest.left), static_cast<int>(dest.top),
                       static_cast<int>(dest.left + dest.width) + 1,
                       static_cast<int>(dest.top + dest.height) + 1};
    if (touched.Intersect(m_impl->clip).IsEmpty()) return;
    if (m_impl->ratio != 1.0) {
        const Source from = SourceOf(*m_impl, src);
        const double r = m_impl->ratio, k = from.scale;
        const QRectF device(dest.left * r, dest.top * r, dest.width * r, dest.height * r);
        const QRectF pixels(srcRect.left * k, srcRect.top * k, srcRect.width * k,
                            srcRect.height * k);
        QPainter& p = m_impl->Painter();
        p.setRenderHint(QPainter::SmoothPixmapTransform, device.size() != pixels.size());
        p.drawImage(device, *from.pixels, pixels);
        return;
    }
    m_impl->Painter().drawImage(QRectF(dest.left, dest.top, dest.width, dest.height), QImageOf(src),
                                QRectF(srcRect.left, srcRect.top, srcRect.width, srcRect.height));
}

void Surface::Blend(const Image& src, const Rect& srcRect, int dx, int dy, uint8_t alpha) {
    if (src.IsNull() || alpha == 0) return;
    m_impl->EndPainting();
    const uint32_t a = alpha, na = 255 - alpha;
    const auto blend = [a, na](QRgb& d, QRgb s) {
        auto mix = [a, na](uint32_t sc, uint32_t dc) { return (sc * a + dc * na) / 255; };
        d = qRgb(static_cast<int>(mix(qRed(s), qRed(d))),
                 static_cast<int>(mix(qGreen(s), qGreen(d))),
                 static_cast<int>(mix(qBlue(s), qBlue(d))));
    };
    Rect dest = Rect::FromSize(dx, dy, srcRect.Width(), srcRect.Height());
    if (m_impl->ratio != 1.0) {
        const auto placed = PlaceOn(*m_impl, src, srcRect, dest);
        if (!placed) return;
        if (placed->OneToOne()) {
            PutPlaced(*m_impl, *placed, blend);
            return;
        }
        QImage opaque = placed->part.convertToFormat(QImage::Format_RGB32);
        QPainter& p = m_impl->Painter();
        p.save();
        p.setOpacity(alpha / 255.0);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(placed->device), opaque);
        p.restore();
        return;
    }
    StretchPixels(QImageOf(src), srcRect, dest, m_impl->image, m_impl->clip, blend);
}

void Surface::DrawColorKeyed(const Image& src, const Rect& srcRect, const Rect& dest, Color key) {
    if (src.IsNull()) return;
    m_impl->EndPainting();
    const auto keyed = [key](QRgb& d, QRgb s) {
        if (FromQRgb(s) != key) d = s | 0xFF000000u;
    };
    if (m_impl->ratio == 1.0) {
        StretchPixels(QImageOf(src), srcRect, dest, m_impl->image, m_impl->clip, keyed);
        return;
    }
    const auto placed = PlaceOn(*m_impl, src, srcRect, dest);
    if (!placed) return;
    if (placed->OneToOne()) {
        PutPlaced(*m_impl, *placed, keyed);
        return;
    }
    // Scaled smoothly, the key would bleed into the edges: the key becomes
    // transparent first, and the edges blend with what is underneath.
    QImage cut(placed->part.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < cut.height(); ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(placed->part.constScanLine(y));
        auto* d = reinterpret_cast<QRgb*>(cut.scanLine(y));
        for (int x = 0; x < cut.width(); ++x)
            d[x] = FromQRgb(s[x]) == key ? 0u : s[x] | 0xFF000000u;
    }
    QPainter& p = m_impl->Painter();
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(placed->device), cut);
    p.restore();
}

Color Surface::GetPixel(int x, int y) const {
    m_impl->EndPainting();
    if (m_impl->ratio != 1.0) {
        if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
        x = static_cast<int>((x + 0.5) * m_impl->ratio);
        y = static_cast<int>((y + 0.5) * m_impl->ratio);
    }
    if (!m_impl->image.valid(x, y)) return 0;
    return FromQRgb(m_impl->image.pixel(x, y));
}

void Surface::SetPixel(int x, int y, Color color) {
    m_impl->EndPainting();
    if (!m_impl->clip.Contains(x, y)) return;
    if (m_impl->ratio != 1.0) {
        FillSolidRect({x, y, x + 1, y + 1}, color);
        return;
    }
    m_impl->image.setPixel(x, y, ToQRgb(color));
}

void Surface::DrawText(std::string_view text, const Rect& r, Color color, const FontDesc& font,
                       uint32_t flags) {
    if (text.empty() || r.Intersect(m_impl->clip).IsEmpty()) return;
    QPainter& p = m_impl->Painter();
    QFont qf = ToQFont(font);
    p.setFont(qf);
    p.setPen(ToQColor(color));
    QString s = ToQString(text);
    int align = 0;
    if (flags & TextFlags::kCenter)
        align |= Qt::AlignHCenter;
    else if (flags & TextFlags::kRight)
        align |= Qt::AlignRight;
    else
        align |= Qt::AlignLeft;
    if (flags & TextFlags::kSingleLine) {
        s.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
        if (flags & TextFlags::kVCenter)
            align |= Qt::AlignVCenter;
        else if (flags & TextFlags::kBottom)
            align |= Qt::AlignBottom;
        else
            align |= Qt::AlignTop;
    } else {
        align |= Qt::AlignTop;
        if (flags & TextFlags::kWordBreak) align |= Qt::TextWordWrap;
    }
    if (flags & (TextFlags::kWordEllipsis | TextFlags::kEndEllipsis)) {
        QFontMetrics fm(qf);
        s = fm.elidedText(s, Qt::ElideRight, r.Width());
    }
    if (m_impl->ratio != 1.0) {
        // Laid out in logical pixels, drawn with every device pixel.
        p.save();
        p.scale(m_impl->ratio, m_impl->ratio);
        p.drawText(ToQRect(r), align, s);
        p.restore();
        return;
    }
    p.drawText(ToQRect(r), align, s);
}

Image Surface::Snapshot() const {
    m_impl->EndPainting();
    return FromQImage(m_impl->image.copy());
}

}  // namespace lumbra
