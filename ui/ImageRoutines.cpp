// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ImageRoutines.h"

#include <algorithm>
#include <cmath>

#include "platform/Resources.h"
#include "skin/SkinResources.h"

namespace lumbra {

bool LoadPngResource(int id, Image& out) {
    Image image = LoadResourceImage(ResourceKind::kPng, id);
    out = image;
    return !image.IsNull();
}

bool LoadBitmapResource(int id, Image& out) {
    Image image = LoadResourceImage(ResourceKind::kBitmap, id);
    if (image.IsNull()) return false;
    out = image;
    return true;
}

bool LoadImageStrip(ImageStrip& strip, int id, int frames) {
    // A key cap comes from the atlas they are all packed in.
    const auto places = KeyCapAtlasPlaces();
    const auto place =
        std::ranges::find_if(places, [id](const AtlasPlace& p) { return p.pngId == id; });
    if (place != places.end()) {
        if (!LoadPngResource(kKeyCapAtlasPng, strip.image)) return false;
        strip.left = place->x;
        strip.top = place->y;
        strip.frameWidth = frames > 0 ? place->width / frames : 0;
        strip.frameHeight = place->height;
        return true;
    }
    if (!LoadPngResource(id, strip.image)) return false;
    strip.left = strip.top = 0;
    strip.frameWidth = frames > 0 ? strip.image.Width() / frames : 0;
    strip.frameHeight = strip.image.Height();
    return true;
}

bool DrawImageFrame(Surface& target, const Image& image, const RectF& dest, float srcX, float srcY,
                    float srcWidth, float srcHeight) {
    if (image.IsNull() || srcWidth <= 0 || srcHeight <= 0 || dest.width <= 0 || dest.height <= 0)
        return false;
    target.DrawImage(image, dest, RectF{srcX, srcY, srcWidth, srcHeight});
    return true;
}

bool DrawStripFrame(Surface& target, const ImageStrip& strip, int frame, const Rect& rect) {
    return DrawImageFrame(
        target, strip.image,
        RectF{static_cast<float>(rect.left), static_cast<float>(rect.top),
              static_cast<float>(rect.Width()), static_cast<float>(rect.Height())},
        static_cast<float>(strip.left + frame * strip.frameWidth), static_cast<float>(strip.top),
        static_cast<float>(strip.frameWidth), static_cast<float>(strip.frameHeight));
}

bool DrawTransparentBitmap(Surface& target, int x, int y, int w, int h, const Image& src, int srcX,
                           int srcWidth, int srcHeight, Color key) {
    if (w <= 0 || srcWidth <= 0 || h <= 0 || srcHeight <= 0) return false;
    if (src.IsNull()) return false;
    target.DrawColorKeyed(src, Rect::FromSize(srcX, 0, srcWidth, srcHeight),
                          Rect::FromSize(x, y, w, h), key);
    return true;
}

bool AverageBitmapColor(const Image& bitmap, Color& out) {
    const int w = bitmap.Width(), h = bitmap.Height();
    if (bitmap.IsNull() || w <= 0 || h <= 0) return false;
    // Wide sums: a large bitmap of bright pixels would overflow 32 bits.
    int64_t r = 0, g = 0, b = 0;
    for (int y = 0; y < h; ++y) {
        // A row's sums fit 32 bits for any width below 16 million pixels.
        uint32_t rowR = 0, rowG = 0, rowB = 0;
        for (uint32_t pixel : bitmap.Row(y)) {
            rowR += (pixel >> 16) & 0xFF;
            rowG += (pixel >> 8) & 0xFF;
            rowB += pixel & 0xFF;
        }
        r += rowR;
        g += rowG;
        b += rowB;
    }
    const int64_t n = static_cast<int64_t>(w) * h;
    out =
        Rgb(static_cast<uint8_t>(r / n), static_cast<uint8_t>(g / n), static_cast<uint8_t>(b / n));
    return true;
}

uint8_t FadeAlpha(int i, int n) {
    if (n <= 0) return 255;
    return static_cast<uint8_t>(static_cast<int>(255.0 - i * 255.0 / n) & 0xFF);
}

uint8_t CornerFadeAlpha(int i, int j, int fadeWidth) {
    if (fadeWidth <= 0) return 0;
    double d = std::min(std::sqrt(static_cast<double>(i) * i + static_cast<double>(j) * j),
                        static_cast<double>(fadeWidth));
    return static_cast<uint8_t>(static_cast<int>(255.0 - d * 255.0 / fadeWidth) & 0xFF);
}

int FadeRowsIntoBackground(const Rect& band, Surface& target, const Image& source,
                           const Rect& srcRect) {
    const int n = band.Height();
    int alpha = 255;
    for (int i = 0; i < n; ++i) {
        alpha = FadeAlpha(i, n);
        target.Blend(source, Rect::FromSize(srcRect.left, srcRect.top + i, band.Width(), 1),
                     band.left, band.top + i, static_cast<uint8_t>(alpha));
    }
    return alpha;
}

int FadeColumnsIntoBackground(const Rect& band, Surface& target, const Image& source,
                              const Rect& srcRect) {
    const int n = band.Width();
    int alpha = 255;
    for (int i = 0; i < n; ++i) {
        alpha = FadeAlpha(i, n);
        target.Blend(source, Rect::FromSize(srcRect.left + i, srcRect.top, 1, band.Height()),
                     band.left + i, band.top, static_cast<uint8_t>(alpha));
    }
    return alpha;
}

void FadeCornerIntoBackground(Surface& target, const Image& source, int fadeWidth, int width,
                              int height) {
    for (int j = 0; j < fadeWidth; ++j) {
        for (int i = 0; i < fadeWidth; ++i) {
            const int x = width - fadeWidth + i, y = height - fadeWidth + j;
            target.Blend(source, Rect::FromSize(x, y, 1, 1), x, y,
                         CornerFadeAlpha(i, j, fadeWidth));
        }
    }
}

int BackgroundFadeWidth(int bitmapW, int bitmapH, int dialogW, int dialogH) {
    if (bitmapW < dialogW || bitmapH < dialogH) return std::min({100, bitmapW, bitmapH});
    return 0;
}

void PrepareBackground(Surface& target, const Image& bitmap, int fadeWidth, Color fill) {
    const int w = bitmap.Width(), h = bitmap.Height(), f = fadeWidth;
    target.FillSolidRect({0, 0, w, h}, fill);
    target.Copy(bitmap, {0, 0, w - f, h - f}, 0, 0);
    if (f <= 0) return;
    FadeCornerIntoBackground(target, bitmap, f, w, h);
    FadeColumnsIntoBackground({w - f, 0, w, h - f}, target, bitmap, {w - f, 0, w, h - f});
    FadeRowsIntoBackground({0, h - f, w - f, h}, target, bitmap, {0, h - f, w - f, h});
}

Region RegionFromBitmap(const Image& bitmap) {
    Region region;
    const int w = bitmap.Width(), h = bitmap.Height();
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = bitmap.Row(y).data();
        // The key as a pixel, alpha aside: one compare a pixel.
        constexpr uint32_t kKeyPixel = static_cast<uint32_t>(RedOf(kOutlineKey)) << 16 |
                                       static_cast<uint32_t>(GreenOf(kOutlineKey)) << 8 |
                                       BlueOf(kOutlineKey);
        auto outline = [row](int x) { return (row[x] & 0xFFFFFFu) == kKeyPixel; };
        int x = 0;
        do {
            while (x <= w - 1 && outline(x)) ++x;
            const int start = x;
            while (x <= w - 1 && !outline(x)) ++x;
            if (x > start) region.Add({start, y, x, y + 1});
        } while (x < w - 1);
    }
    return region;
}

}  // namespace lumbra
