// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Font.h"
#include "platform/Geometry.h"
#include "platform/Surface.h"
#include "skin/SkinResources.h"

namespace lumbra {

// The colour of an ink the skin has a strip of characters in.
constexpr Color InkColor(const GlyphInk& ink) { return Rgb(ink.red, ink.green, ink.blue); }

// A line of the window's own text drawn from the skin's strip of characters in its colour, as
// Surface::DrawText would lay it out, so that no font is set up for it. The strips can draw
// printable ASCII in the control font, on one line that fits its rectangle, in a colour the skin
// has a strip in; false when they cannot, and nothing is drawn then.
bool DrawGlyphLine(Surface& surface, std::string_view text, const Rect& r, Color color,
                   const FontDesc& font, uint32_t flags);

// The line from the strips where they can draw it, with the font otherwise.
void DrawLineText(Surface& surface, std::string_view text, const Rect& r, Color color,
                  const FontDesc& font, uint32_t flags);

}  // namespace lumbra
