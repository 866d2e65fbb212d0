// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/BitmapButtonDraw.h"

#include "ui/ImageRoutines.h"

namespace lumbra {

namespace {
constexpr Color kVeilColor = Rgb(0x10, 0x1C, 0x24);
constexpr uint8_t kVeilAlpha = 150;
}  // namespace

void DrawKeyedBitmapFrame(Surface& surface, int bitmapId, int frame, int frameWidth,
                          int frameHeight, int keyX, int keyY, int left, int top) {
    Image bitmap;
    if (!LoadBitmapResource(bitmapId, bitmap)) return;
    const Color key = bitmap.PixelColor(keyX, keyY);
    DrawTransparentBitmap(surface, left, top, frameWidth, frameHeight, bitmap, frame * frameWidth,
                          frameWidth, frameHeight, key);
}

void DrawDisabledVeil(Surface& surface, const Rect& rect) {
    if (rect.Width() <= 0 || rect.Height() <= 0) return;
    const Image veil(rect.Width(), rect.Height(), kVeilColor);
    surface.Blend(veil, {0, 0, rect.Width(), rect.Height()}, rect.left, rect.top, kVeilAlpha);
}

}  // namespace lumbra
