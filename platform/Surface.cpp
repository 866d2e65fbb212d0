// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Surface.h"

#include <QFontMetrics>
#include <algorithm>
#include <cstring>

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

}  // namespace

Surface::Surface(int width, int height) : m_impl(std::make_unique<Impl>()) {
    m_impl->image = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    m_impl->image.fill(Qt::black);
    m_impl->clip = {0, 0, m_impl->image.width(), m_impl->image.height()};
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

int Surface::Width() const { return m_impl->image.width(); }
int Surface::Height() const { return m_impl->image.height(); }

void Surface::FillSolidRect(const Rect& r, Color color) {
    Rect c = r.Intersect(m_impl->clip);
    if (c.IsEmpty()) return;
    m_impl->EndPainting();
    const QRgb v = ToQRgb(color);
    for (int y = c.top; y < c.bottom; ++y) {
        QRgb* d = reinterpret_cast<QRgb*>(m_impl->image.scanLine(y));
        std::fill(d + c.left, d + c.right, v);
    }
}

void Surface::Copy(const Image& src, const Rect& srcRect, int dx, int dy) {
    if (src.IsNull()) return;
    m_impl->EndPainting();
    CopyPixels(QImageOf(src), srcRect, dx, dy, m_impl->image, m_impl->clip);
}

void Surface::Copy(const Surface& src, const Rect& srcRect, int dx, int dy) {
    src.m_impl->EndPainting();
    m_impl->EndPainting();
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
    m_impl->Painter().drawImage(QRectF(dest.left, dest.top, dest.width, dest.height), QImageOf(src),
                                QRectF(srcRect.left, srcRect.top, srcRect.width, srcRect.height));
}

void Surface::Blend(const Image& src, const Rect& srcRect, int dx, int dy, uint8_t alpha) {
    if (src.IsNull() || alpha == 0) return;
    m_impl->EndPainting();
    const QImage& from = QImageOf(src);
    const uint32_t a = alpha, na = 255 - alpha;
    Rect dest = Rect::FromSize(dx, dy, srcRect.Width(), srcRect.Height());
    StretchPixels(from, srcRect, dest, m_impl->image, m_impl->clip, [a, na](QRgb& d, QRgb s) {
        auto mix = [a, na](uint32_t sc, uint32_t dc) { return (sc * a + dc * na) / 255; };
        d = qRgb(static_cast<int>(mix(qRed(s), qRed(d))),
                 static_cast<int>(mix(qGreen(s), qGreen(d))),
                 static_cast<int>(mix(qBlue(s), qBlue(d))));
    });
}

void Surface::DrawColorKeyed(const Image& src, const Rect& srcRect, const Rect& dest, Color key) {
    if (src.IsNull()) return;
    m_impl->EndPainting();
    StretchPixels(QImageOf(src), srcRect, dest, m_impl->image, m_impl->clip,
                  [key](QRgb& d, QRgb s) {
                      if (FromQRgb(s) != key) d = s | 0xFF000000u;
                  });
}

Color Surface::GetPixel(int x, int y) const {
    m_impl->EndPainting();
    if (!m_impl->image.valid(x, y)) return 0;
    return FromQRgb(m_impl->image.pixel(x, y));
}

void Surface::SetPixel(int x, int y, Color color) {
    m_impl->EndPainting();
    if (!m_impl->clip.Contains(x, y)) return;
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
    p.drawText(QRect(r.left, r.top, r.Width(), r.Height()), align, s);
}

Image Surface::Snapshot() const {
    m_impl->EndPainting();
    return FromQImage(m_impl->image.copy());
}

}  // namespace lumbra
