// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "platform/Geometry.h"
#include "platform/Image.h"
#include "platform/Surface.h"

namespace lumbra {

// N state frames of equal width side by side, frame 0 at (left, top) of a
// picture (the strip's own, or an atlas it is packed in).
struct ImageStrip {
    Image image;
    int frameWidth = 0;
    int frameHeight = 0;
    int left = 0;
    int top = 0;
};

// The PNG picture with this id; false when there is none.
bool LoadPngResource(int id, Image& out);
// The BITMAP picture with this id; false when there is none.
bool LoadBitmapResource(int id, Image& out);

// Loads PNG `id` as a strip of `frames` frames. On failure returns false and
// leaves the strip's frame sizes as they were (its image becomes empty).
bool LoadImageStrip(ImageStrip& strip, int id, int frames);

// Draws a source rectangle of an image scaled into dest, respecting the
// image's alpha. False when there is nothing to draw.
bool DrawImageFrame(Surface& target, const Image& image, const RectF& dest, float srcX, float srcY,
                    float srcWidth, float srcHeight);
// Frame k of a strip stretched into rect.
bool DrawStripFrame(Surface& target, const ImageStrip& strip, int frame, const Rect& rect);

// Draws source rectangle (srcX, 0, srcWidth, srcHeight) of src stretched to
// (x, y, w, h), leaving the pixels whose colour is `key` transparent. False
// when a size is not positive or the source is missing.
bool DrawTransparentBitmap(Surface& target, int x, int y, int w, int h, const Image& src, int srcX,
                           int srcWidth, int srcHeight, Color key);

// The average colour of all pixels (integer division per channel); false for
// an empty picture, leaving `out` untouched.
bool AverageBitmapColor(const Image& bitmap, Color& out);

// The constant alpha of fade step i of n: opaque at 0, nearly transparent at n - 1.
uint8_t FadeAlpha(int i, int n);
// The alpha of the corner pixel (i, j) of an F x F corner square.
uint8_t CornerFadeAlpha(int i, int j, int fadeWidth);

// Blends the band row by row (columns) from the source rectangle with falling
// alpha; returns the last alpha used (255 when the band is empty).
int FadeRowsIntoBackground(const Rect& band, Surface& target, const Image& source,
                           const Rect& srcRect);
int FadeColumnsIntoBackground(const Rect& band, Surface& target, const Image& source,
                              const Rect& srcRect);
// Blends the F x F corner square ending at (W, H) pixel by pixel with a radial fade.
void FadeCornerIntoBackground(Surface& target, const Image& source, int fadeWidth, int width,
                              int height);

// The fade width of a background of bitmapW x bitmapH shown in a dialog of
// dialogW x dialogH.
int BackgroundFadeWidth(int bitmapW, int bitmapH, int dialogW, int dialogH);

// A background picture: the bitmap, filled with `fill` and with its right and
// bottom edges faded by fadeWidth into it.
void PrepareBackground(Surface& target, const Image& bitmap, int fadeWidth, Color fill);

// The outline of a bitmap: one rectangle per run of pixels that are not pure
// yellow (RGB 255, 255, 0), row by row.
constexpr Color kOutlineKey = Rgb(255, 255, 0);
Region RegionFromBitmap(const Image& bitmap);

}  // namespace lumbra
