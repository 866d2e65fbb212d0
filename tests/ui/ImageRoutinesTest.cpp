// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "platform/Resources.h"
#include "skin/SkinResources.h"
#include "ui/ImageRoutines.h"

namespace lumbra {
namespace {

using test::FrameColor;
using test::MakeStrip;

TEST(AverageBitmapColor, IsThePerChannelIntegerMean) {
    Color c = 0;
    ASSERT_TRUE(AverageBitmapColor(Image(5, 3, Rgb(10, 20, 30)), c));
    EXPECT_EQ(c, 0x1E140Au);

    Image two(2, 1, Rgb(0, 0, 0));
    two.SetPixel(1, 0, Rgb(255, 1, 3));
    ASSERT_TRUE(AverageBitmapColor(two, c));
    EXPECT_EQ(c, Rgb(127, 0, 1));

    Color untouched = 0x123456;
    EXPECT_FALSE(AverageBitmapColor(Image(), untouched));
    EXPECT_EQ(untouched, 0x123456u);
}

TEST(Fades, AlphaFallsFromOpaqueToNearlyTransparent) {
    EXPECT_EQ(FadeAlpha(0, 80), 255);
    EXPECT_EQ(FadeAlpha(1, 80), 251);  // 255 - 3.1875
    EXPECT_EQ(FadeAlpha(79, 80), 3);   // 255 - 251.8125
    EXPECT_EQ(FadeAlpha(50, 100), 127);
    EXPECT_EQ(CornerFadeAlpha(0, 0, 100), 255);
    EXPECT_EQ(CornerFadeAlpha(3, 4, 100), 242);  // distance 5: 255 - 12.75
    EXPECT_EQ(CornerFadeAlpha(99, 99, 100), 0);  // beyond the fade width
}

TEST(Fades, FadeWidthFollowsTheBitmapAndDialogSizes) {
    EXPECT_EQ(BackgroundFadeWidth(818, 628, 818, 628), 0);
    EXPECT_EQ(BackgroundFadeWidth(900, 700, 818, 628), 0);
    EXPECT_EQ(BackgroundFadeWidth(80, 300, 818, 628), 80);
    EXPECT_EQ(BackgroundFadeWidth(500, 400, 818, 628), 100);
    EXPECT_EQ(BackgroundFadeWidth(400, 60, 400, 270), 60);
}

TEST(Fades, PreparedBackgroundBlendsEdgesIntoTheFill) {
    // A white 10 x 10 bitmap over a black fill with a fade of 4.
    Image white(10, 10, Rgb(255, 255, 255));
    Surface s(10, 10);
    PrepareBackground(s, white, 4, Rgb(0, 0, 0));
    EXPECT_EQ(s.GetPixel(5, 5), Rgb(255, 255, 255));  // the opaque copy
    EXPECT_EQ(s.GetPixel(0, 6), Rgb(255, 255, 255));  // first fade row, alpha 255
    EXPECT_EQ(s.GetPixel(0, 9), Rgb(63, 63, 63));     // row 3 of 4: alpha 63
    EXPECT_EQ(s.GetPixel(7, 0), Rgb(191, 191, 191));  // column 1 of 4: alpha 191
    EXPECT_EQ(s.GetPixel(6, 6), Rgb(255, 255, 255));  // corner origin
    EXPECT_EQ(s.GetPixel(9, 9), Rgb(0, 0, 0));        // corner beyond the radius
    EXPECT_EQ(s.GetPixel(8, 6), Rgb(127, 127, 127));  // corner distance 2: 255 - 127.5
}

TEST(Fades, BandsReturnTheirLastAlpha) {
    Image src(8, 8, Rgb(200, 0, 0));
    Surface s(8, 8);
    EXPECT_EQ(FadeRowsIntoBackground({0, 4, 8, 8}, s, src, {0, 4, 8, 8}), 63);
    EXPECT_EQ(FadeColumnsIntoBackground({6, 0, 8, 4}, s, src, {6, 0, 8, 4}), 127);
}

TEST(RegionFromBitmap, RunsSkipPureYellow) {
    const Color y = kOutlineKey;
    EXPECT_TRUE(RegionFromBitmap(Image(4, 3, y)).IsEmpty());

    Region full = RegionFromBitmap(Image(4, 2, Rgb(1, 2, 3)));
    std::vector<Rect> rows{{0, 0, 4, 1}, {0, 1, 4, 2}};
    EXPECT_EQ(full.Rects(), rows);

    Image last(5, 1, y);
    last.SetPixel(4, 0, Rgb(0, 0, 0));
    std::vector<Rect> one{{4, 0, 5, 1}};
    EXPECT_EQ(RegionFromBitmap(last).Rects(), one);

    // N Y N N Y: two runs.
    Image mixed(5, 1, Rgb(9, 9, 9));
    mixed.SetPixel(1, 0, y);
    mixed.SetPixel(4, 0, y);
    std::vector<Rect> two{{0, 0, 1, 1}, {2, 0, 4, 1}};
    EXPECT_EQ(RegionFromBitmap(mixed).Rects(), two);
}

TEST(ImageStrip, FramesAreCutByIntegerDivisionAndLeftoversNeverShow) {
    Image strip = MakeStrip(3, 3, 4);  // 9 columns
    Image wide(10, 4, Rgb(255, 255, 255));
    for (int x = 0; x < 9; ++x)
        for (int y = 0; y < 4; ++y) wide.SetPixel(x, y, strip.PixelColor(x, y));
    RegisterResourceImage(ResourceKind::kPng, 9201, wide);

    ImageStrip s;
    ASSERT_TRUE(LoadImageStrip(s, 9201, 3));
    EXPECT_EQ(s.frameWidth, 3);
    EXPECT_EQ(s.frameHeight, 4);
    Surface target(6, 8);  // frame 2 stretched to twice its size
    ASSERT_TRUE(DrawStripFrame(target, s, 2, {0, 0, 6, 8}));
    for (int x = 0; x < 6; ++x) EXPECT_EQ(target.GetPixel(x, 7), FrameColor(2)) << x;

    // A failed load keeps the earlier frame sizes; the image is gone.
    EXPECT_FALSE(LoadImageStrip(s, 9299, 3));
    EXPECT_EQ(s.frameWidth, 3);
    EXPECT_FALSE(DrawStripFrame(target, s, 0, {0, 0, 6, 8}));

    // A strip narrower than its frame count draws nothing.
    RegisterResourceImage(ResourceKind::kPng, 9202, Image(2, 4, Rgb(255, 0, 0)));
    ASSERT_TRUE(LoadImageStrip(s, 9202, 3));
    EXPECT_EQ(s.frameWidth, 0);
    EXPECT_FALSE(DrawStripFrame(target, s, 0, {0, 0, 6, 8}));
}

// Key caps are drawn from the atlas they are packed in, every frame as from the cap's own
// picture, at 1x and 2x.
TEST(ImageStrip, AKeyCapDrawsFromTheAtlasAsFromItsOwnPicture) {
    InitSkinResources();
    const auto places = KeyCapAtlasPlaces();
    ASSERT_FALSE(places.empty());
    for (const AtlasPlace& place : {places.front(), places.back()}) {
        ImageStrip atlas, own;
        ASSERT_TRUE(LoadImageStrip(atlas, place.pngId, 3));
        own.image = LoadResourceImage(ResourceKind::kPng, place.pngId);
        own.frameWidth = own.image.Width() / 3;
        own.frameHeight = own.image.Height();
        EXPECT_EQ(atlas.frameWidth, own.frameWidth);
        EXPECT_EQ(atlas.frameHeight, own.frameHeight);
        const Rect r{2, 3, 2 + own.frameWidth, 3 + own.frameHeight};
        for (const double ratio : {1.0, 2.0})
            for (int frame = 0; frame < 3; ++frame) {
                Surface a(r.right + 2, r.bottom + 2, ratio), b(r.right + 2, r.bottom + 2, ratio);
                a.FillSolidRect({0, 0, a.Width(), a.Height()}, Rgb(9, 9, 9));
                b.FillSolidRect({0, 0, b.Width(), b.Height()}, Rgb(9, 9, 9));
                ASSERT_TRUE(DrawStripFrame(a, atlas, frame, r));
                ASSERT_TRUE(DrawStripFrame(b, own, frame, r));
                EXPECT_TRUE(test::SamePixels(a, b)) << place.pngId << " " << frame << " " << ratio;
            }
    }
}

TEST(DrawTransparentBitmap, KeyPixelsKeepTheTargetAndSizesMustBePositive) {
    Image src(4, 2, Rgb(0, 200, 0));
    src.SetPixel(2, 0, Rgb(255, 0, 255));
    Surface s(8, 4);
    s.FillSolidRect({0, 0, 8, 4}, Rgb(0, 0, 90));
    // Frame 1 (columns 2..3) stretched twice.
    ASSERT_TRUE(DrawTransparentBitmap(s, 0, 0, 4, 4, src, 2, 2, 2, Rgb(255, 0, 255)));
    EXPECT_EQ(s.GetPixel(0, 0), Rgb(0, 0, 90));
    EXPECT_EQ(s.GetPixel(1, 1), Rgb(0, 0, 90));
    EXPECT_EQ(s.GetPixel(2, 0), Rgb(0, 200, 0));
    EXPECT_EQ(s.GetPixel(0, 2), Rgb(0, 200, 0));
    EXPECT_EQ(s.GetPixel(4, 0), Rgb(0, 0, 90));  // outside the destination

    // A key found nowhere draws the source opaquely.
    ASSERT_TRUE(DrawTransparentBitmap(s, 4, 0, 4, 4, src, 0, 2, 2, Rgb(1, 1, 1)));
    EXPECT_EQ(s.GetPixel(7, 3), Rgb(0, 200, 0));

    EXPECT_FALSE(DrawTransparentBitmap(s, 0, 0, 0, 4, src, 0, 2, 2, 0));
    EXPECT_FALSE(DrawTransparentBitmap(s, 0, 0, 4, 4, src, 0, 2, 0, 0));
    EXPECT_FALSE(DrawTransparentBitmap(s, 0, 0, 4, 4, Image(), 0, 2, 2, 0));
}

}  // namespace
}  // namespace lumbra
