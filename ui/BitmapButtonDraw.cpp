// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/BitmapButtonDraw.h"

#include "ui/ImageRoutines.h"

namespace lumbra {

void DrawKeyedBitmapFrame(Surface& surface, int bitmapId, int frame, int frameWidth,
                          int frameHeight, int keyX, int keyY, int left, int top) {
    Image bitmap;
    if (!LoadBitmapResource(bitmapId, bitmap)) return;
    const Color key = bitmap.PixelColor(keyX, keyY);
    DrawTransparentBitmap(surface, left, top, frameWidth, frameHeight, bitmap, frame * frameWidth,
                          frameWidth, frameHeight, key);
}

}  // namespace lumbra
