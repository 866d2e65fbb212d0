// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/GlyphLine.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "skin/SkinResources.h"
#include "ui/ImageRoutines.h"

namespace lumbra {

namespace {

const GlyphInk* InkOf(Color color) {
    const auto ink = std::ranges::find_if(
        kGlyphInks, [color](const GlyphInk& k) { return InkColor(k) == color; });
    return ink != std::end(kGlyphInks) ? ink : nullptr;
}

// The strips' frames for the characters of text, or nothing when a character has no frame.
std::optional<std::vector<int>> FramesOf(std::string_view text) {
    constexpr std::string_view kEllipsis = "\u2026";
    std::vector<int> frames;
    frames.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text.substr(i).starts_with(kEllipsis)) {
            frames.push_back(kGlyphEllipsis);
            i += kEllipsis.size();
            continue;
        }
        const char c = text[i++];
        if (c < kGlyphFirst || c >= kGlyphFirst + kGlyphAsciiCount) return std::nullopt;
        frames.push_back(c - kGlyphFirst);
    }
    return frames;
}

}  // namespace

bool DrawGlyphLine(Surface& surface, std::string_view text, const Rect& r, Color color,
                   const FontDesc& font, uint32_t flags) {
    if (font != ControlFont() || (flags & TextFlags::kWordBreak)) return false;
    const GlyphInk* ink = InkOf(color);
    if (!ink) return false;
    const auto frames = FramesOf(text);
    if (!frames) return false;
    const auto advances = GlyphAdvances();
    int width = 0;
    for (const int frame : *frames) width += advances[static_cast<size_t>(frame)];
    // A line too long for its place is shortened by the font's layout.
    if (width > r.Width()) return false;
    ImageStrip strip;
    if (!LoadImageStrip(strip, ink->pngId, kGlyphCount) || strip.frameWidth <= 0) return false;

    int pen = r.left;
    if (flags & TextFlags::kRight)
        pen = r.right - width;
    else if (flags & TextFlags::kCenter)
        pen = r.left + (r.Width() - width) / 2;
    // As with the font, a line sits lower only when it is declared single.
    int top = r.top;
    if ((flags & TextFlags::kSingleLine) && (flags & TextFlags::kVCenter))
        top = r.top + (r.Height() - strip.frameHeight) / 2;
    else if ((flags & TextFlags::kSingleLine) && (flags & TextFlags::kBottom))
        top = r.bottom - strip.frameHeight;
    const auto w = static_cast<float>(strip.frameWidth);
    const auto h = static_cast<float>(strip.frameHeight);
    for (const int frame : *frames) {
        if (frame != ' ' - kGlyphFirst)
            surface.DrawImage(
                strip.image,
                RectF{static_cast<float>(pen - kGlyphPad), static_cast<float>(top), w, h},
                RectF{static_cast<float>(strip.left) + static_cast<float>(frame) * w,
                      static_cast<float>(strip.top), w, h});
        pen += advances[static_cast<size_t>(frame)];
    }
    return true;
}

void DrawLineText(Surface& surface, std::string_view text, const Rect& r, Color color,
                  const FontDesc& font, uint32_t flags) {
    if (!DrawGlyphLine(surface, text, r, color, font, flags))
        surface.DrawText(text, r, color, font, flags);
}

}  // namespace lumbra
