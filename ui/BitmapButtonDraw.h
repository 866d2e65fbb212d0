// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Surface.h"

namespace lumbra {

// Draws frame `frame` of a colour-keyed BITMAP strip at (left, top), taking
// the key colour from the pixel at (keyX, keyY). The bitmap is looked up on
// every draw (the decoded picture is kept by the resource cache).
void DrawKeyedBitmapFrame(Surface& surface, int bitmapId, int frame, int frameWidth,
                          int frameHeight, int keyX, int keyY, int left, int top);

// The disabled look of any button: what it drew, veiled dark, so that it
// reads as out of use on every background while its picture still shows.
void DrawDisabledVeil(Surface& surface, const Rect& rect);

}  // namespace lumbra
