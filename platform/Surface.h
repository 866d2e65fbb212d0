// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/Font.h"
#include "platform/Geometry.h"
#include "platform/Image.h"

namespace lumbra {

// An opaque off-screen drawing target of a fixed size. Everything the
// toolkit draws goes through one of these operations.
//
// Sizes and coordinates are logical pixels. A surface for a screen with a
// device pixel ratio above 1 holds that many more pixels in each direction:
// text, fills and lines are drawn with all of them, and pictures come from
// their copies with twice the pixels where they have one.
class Surface {
public:
    Surface(int width, int height, double devicePixelRatio = 1.0);
    struct Impl;
    // Over pixels that someone else owns (platform sources only).
    explicit Surface(std::unique_ptr<Impl> impl);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int Width() const;
    int Height() const;
    double DevicePixelRatio() const;

    // Limits every drawing operation to r (a repaint of part of a window);
    // ClearClip allows the whole surface again.
    void SetClip(const Rect& r);
    void ClearClip();
    Rect ClipRect() const;

    void FillSolidRect(const Rect& r, Color color);
    // Copies a source rectangle unchanged to (dx, dy).
    void Copy(const Image& src, const Rect& srcRect, int dx, int dy);
    void Copy(const Surface& src, const Rect& srcRect, int dx, int dy);
    // Scales a source rectangle into dest with nearest-neighbour sampling.
    void Stretch(const Image& src, const Rect& srcRect, const Rect& dest);
    // Scales a source rectangle into dest, blending by the image's own alpha.
    void DrawImage(const Image& src, const RectF& dest, const RectF& srcRect);
    // Blends a source rectangle at (dx, dy) with one constant alpha
    // (0 = nothing, 255 = copy); the image's own alpha is not used.
    void Blend(const Image& src, const Rect& srcRect, int dx, int dy, uint8_t alpha);
    // Scales a source rectangle into dest (nearest neighbour) and leaves the
    // pixels whose source colour equals key as they were.
    void DrawColorKeyed(const Image& src, const Rect& srcRect, const Rect& dest, Color key);
    // A logical pixel: read at its centre, written whole.
    Color GetPixel(int x, int y) const;
    void SetPixel(int x, int y, Color color);
    // Text with a transparent background, laid out by TextFlags.
    void DrawText(std::string_view text, const Rect& r, Color color, const FontDesc& font,
                  uint32_t flags);

    // The pixels drawn so far, in device pixels.
    Image Snapshot() const;

    Impl* impl() const { return m_impl.get(); }

private:
    std::unique_ptr<Impl> m_impl;
};

}  // namespace lumbra
