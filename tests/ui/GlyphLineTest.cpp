// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "UiTestSupport.h"
#include "platform/Surface.h"
#include "skin/SkinResources.h"
#include "ui/GlyphLine.h"

namespace lumbra {
namespace {

using test::SamePixels;

constexpr Color kDark = Rgb(10, 20, 30);

// The smallest rectangle holding every pixel that is no longer the background.
Rect InkBounds(const Surface& s) {
    Rect bounds{s.Width(), s.Height(), 0, 0};
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (s.GetPixel(x, y) != kDark)
                bounds = {std::min(bounds.left, x), std::min(bounds.top, y),
                          std::max(bounds.right, x + 1), std::max(bounds.bottom, y + 1)};
    return bounds;
}

struct Line {
    std::string text;
    GlyphInk ink;
    uint32_t flags;
};

// The window's own lines come from the strips, where the font would have put them, at 1x and
// (from the strips with twice the pixels) at 2x.
TEST(GlyphLine, DrawsTheWindowsLinesWhereTheFontWouldPutThem) {
    InitSkinResources();
    const uint32_t right = TextFlags::kRight | TextFlags::kVCenter | TextFlags::kSingleLine;
    const Line lines[] = {
        {"Editing profile 5: Default5", kProfileLineInk, right},
        {"Changes not yet sent", kPendingLineInk, right},
        {"Sent to the keyboard.", kSentLineInk, right},
        {"Reading the keyboard\u2026", kWorkerCaptionInk, TextFlags::kLabel | TextFlags::kRight},
        {"gjpqy |[]{} ~!@#$%^&*()_+", kProfileLineInk, TextFlags::kLabel},
        {"Centre", kSentLineInk, TextFlags::kCenter | TextFlags::kBottom},
        {"Bottom", kSentLineInk, TextFlags::kBottom | TextFlags::kSingleLine},
    };
    const Rect r{20, 6, 320, 24};
    for (const double ratio : {1.0, 2.0})
        for (const Line& line : lines) {
            SCOPED_TRACE(line.text + " at " + std::to_string(ratio));
            Surface glyphs(340, 30, ratio), font(340, 30, ratio);
            glyphs.FillSolidRect({0, 0, 340, 30}, kDark);
            font.FillSolidRect({0, 0, 340, 30}, kDark);
            ASSERT_TRUE(
                DrawGlyphLine(glyphs, line.text, r, InkColor(line.ink), ControlFont(), line.flags));
            font.DrawText(line.text, r, InkColor(line.ink), ControlFont(), line.flags);
            const Rect a = InkBounds(glyphs), b = InkBounds(font);
            // Whole-pixel advances may stray a little over a line; a line never moves.
            EXPECT_NEAR(a.left, b.left, 4);
            EXPECT_NEAR(a.right, b.right, 4);
            EXPECT_NEAR(a.top, b.top, 1);
            EXPECT_NEAR(a.bottom, b.bottom, 1);
        }
}

// Whatever the strips cannot draw goes to the font, drawn the same as without them.
TEST(GlyphLine, LeavesToTheFontWhatTheStripsCannotDraw) {
    InitSkinResources();
    const Color profile = InkColor(kProfileLineInk);
    const uint32_t flags = TextFlags::kRight | TextFlags::kVCenter | TextFlags::kSingleLine;
    FontDesc bold = ControlFont();
    bold.weight = 700;
    struct Case {
        const char* why;
        std::string text;
        Color color;
        FontDesc font;
        uint32_t flags;
    } const cases[] = {
        {"a character outside the strips", "Editing profile 1: Profil \u00e9t\u00e9", profile,
         ControlFont(), flags},
        {"a line break", "two\nlines", profile, ControlFont(), flags},
        {"too long for its place", std::string(80, 'W'), profile, ControlFont(), flags},
        {"an ink without a strip", "Editing", Rgb(1, 2, 3), ControlFont(), flags},
        {"another font", "Editing", profile, bold, flags},
        {"words broken over lines", "Editing", profile, ControlFont(), TextFlags::kWordBreak},
    };
    const Rect r{0, 0, 300, 20};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Surface untouched(300, 20), viaFallback(300, 20), font(300, 20);
        for (Surface* s : {&untouched, &viaFallback, &font}) s->FillSolidRect(r, kDark);
        EXPECT_FALSE(DrawGlyphLine(untouched, c.text, r, c.color, c.font, c.flags));
        EXPECT_EQ(InkBounds(untouched).left, 300);  // nothing drawn
        DrawLineText(viaFallback, c.text, r, c.color, c.font, c.flags);
        font.DrawText(c.text, r, c.color, c.font, c.flags);
        EXPECT_TRUE(SamePixels(viaFallback, font));
    }
}

}  // namespace
}  // namespace lumbra
