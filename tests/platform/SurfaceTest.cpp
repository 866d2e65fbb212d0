// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "platform/Resources.h"
#include "platform/Surface.h"

namespace lumbra {
namespace {

constexpr Color kRed = Rgb(255, 0, 0);
constexpr Color kBlue = Rgb(0, 0, 255);
constexpr Color kWhite = Rgb(255, 255, 255);

TEST(Surface, FillCopyAndClipStayInsideTheTarget) {
    Surface s(10, 10);
    s.FillSolidRect({-5, -5, 3, 3}, kRed);  // partly outside
    EXPECT_EQ(s.GetPixel(0, 0), kRed);
    EXPECT_EQ(s.GetPixel(2, 2), kRed);
    EXPECT_EQ(s.GetPixel(3, 3), 0u);

    Image src(4, 4, kBlue);
    src.SetPixel(3, 3, kWhite);
    s.Copy(src, {2, 2, 4, 4}, 8, 8);  // a 2x2 source corner at the target's corner
    EXPECT_EQ(s.GetPixel(8, 8), kBlue);
    EXPECT_EQ(s.GetPixel(9, 9), kWhite);
    s.Copy(src, {0, 0, 4, 4}, -3, -3);  // only (3,3) of the source lands at (0,0)
    EXPECT_EQ(s.GetPixel(0, 0), kWhite);
    EXPECT_EQ(s.GetPixel(-1, 0), 0u);  // out of range reads are 0
}

TEST(Surface, StretchUsesNearestNeighbour) {
    Image src(2, 1, kRed);
    src.SetPixel(1, 0, kBlue);
    Surface s(4, 2);
    s.Stretch(src, {0, 0, 2, 1}, {0, 0, 4, 2});
    EXPECT_EQ(s.GetPixel(0, 0), kRed);
    EXPECT_EQ(s.GetPixel(1, 1), kRed);
    EXPECT_EQ(s.GetPixel(2, 0), kBlue);
    EXPECT_EQ(s.GetPixel(3, 1), kBlue);
}

TEST(Surface, BlendWithConstantAlphaIgnoresThePicturesAlpha) {
    Surface s(3, 1);
    s.FillSolidRect({0, 0, 3, 1}, Rgb(0, 0, 0));
    Image src(3, 1, Rgb(255, 100, 0));
    s.Blend(src, {0, 0, 1, 1}, 0, 0, 255);
    s.Blend(src, {0, 0, 1, 1}, 1, 0, 51);
    s.Blend(src, {0, 0, 1, 1}, 2, 0, 0);
    EXPECT_EQ(s.GetPixel(0, 0), Rgb(255, 100, 0));
    EXPECT_EQ(s.GetPixel(1, 0), Rgb(51, 20, 0));  // 255*51/255, 100*51/255
    EXPECT_EQ(s.GetPixel(2, 0), Rgb(0, 0, 0));
}

TEST(Surface, DrawImageRespectsPerPixelAlpha) {
    Surface s(2, 1);
    s.FillSolidRect({0, 0, 2, 1}, kBlue);
    Image src(2, 1, kRed, 255);
    src.SetPixel(1, 0, kRed, 0);  // fully transparent
    s.DrawImage(src, {0, 0, 2, 1}, {0, 0, 2, 1});
    EXPECT_EQ(s.GetPixel(0, 0), kRed);
    EXPECT_EQ(s.GetPixel(1, 0), kBlue);

    Image half(1, 1, kRed, 128);
    s.DrawImage(half, {1, 0, 1, 1}, {0, 0, 1, 1});
    Color mixed = s.GetPixel(1, 0);
    EXPECT_NEAR(RedOf(mixed), 128, 2);
    EXPECT_NEAR(BlueOf(mixed), 127, 2);
}

TEST(Surface, ColorKeyedDrawLeavesKeyPixelsAlone) {
    Image src(2, 2, kRed);
    src.SetPixel(1, 1, Rgb(255, 255, 0));
    Surface s(4, 4);
    s.FillSolidRect({0, 0, 4, 4}, kBlue);
    s.DrawColorKeyed(src, {0, 0, 2, 2}, {0, 0, 4, 4}, Rgb(255, 255, 0));
    EXPECT_EQ(s.GetPixel(0, 0), kRed);
    EXPECT_EQ(s.GetPixel(1, 3), kRed);
    EXPECT_EQ(s.GetPixel(2, 2), kBlue);  // the stretched key pixel covers 2..3
    EXPECT_EQ(s.GetPixel(3, 3), kBlue);
}

TEST(Surface, TextIsDrawnOnlyInsideItsRectangle) {
    Surface s(60, 30);
    s.FillSolidRect({0, 0, 60, 30}, 0);
    s.DrawText("WWWWWWWWWWWWWWWWWWWW", {10, 5, 40, 25}, kWhite, ControlFont(), 0x40024);
    int inside = 0, outside = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x) {
            bool lit = s.GetPixel(x, y) != 0;
            (Rect{10, 5, 40, 25}.Contains(x, y) ? inside : outside) += lit;
        }
    EXPECT_GT(inside, 10);
    EXPECT_EQ(outside, 0);
}

TEST(Surface, ChineseTextRendersWithTheFallbackFace) {
    Surface s(60, 20);
    s.FillSolidRect({0, 0, 60, 20}, 0);
    s.DrawText("默认功能", {0, 0, 60, 20}, kWhite, ControlFont(), 0x40024);
    int lit = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) lit += s.GetPixel(x, y) != 0;
    EXPECT_GT(lit, 20);
}

TEST(Image, CopiesAreIndependentOnceChanged) {
    Image a(2, 2, kRed);
    Image b = a;
    b.SetPixel(0, 0, kBlue);
    EXPECT_EQ(a.PixelColor(0, 0), kRed);
    EXPECT_EQ(b.PixelColor(0, 0), kBlue);
    EXPECT_TRUE(Image().IsNull());
    EXPECT_EQ(Image().PixelColor(0, 0), 0u);
}

TEST(Resources, MissingPicturesAreEmptyAndRegisteredOnesAreFound) {
    EXPECT_TRUE(LoadResourceImage(ResourceKind::kPng, 60001).IsNull());
    RegisterResourceImage(ResourceKind::kBitmap, 60001, Image(3, 2, kRed));
    Image found = LoadResourceImage(ResourceKind::kBitmap, 60001);
    EXPECT_EQ(found.Width(), 3);
    EXPECT_TRUE(LoadResourceImage(ResourceKind::kPng, 60001).IsNull());  // kinds are apart
    ClearResourceImages();
    EXPECT_TRUE(LoadResourceImage(ResourceKind::kBitmap, 60001).IsNull());
}

}  // namespace
}  // namespace lumbra

namespace lumbra {
namespace {

TEST(Surface, ClipLimitsEveryOperation) {
    Surface s(10, 10);
    s.FillSolidRect({0, 0, 10, 10}, Rgb(0, 0, 0));
    s.SetClip({2, 2, 5, 5});
    s.FillSolidRect({0, 0, 10, 10}, Rgb(255, 0, 0));
    s.Copy(Image(10, 10, Rgb(0, 255, 0)), {0, 0, 10, 10}, 4, 0);
    s.Stretch(Image(1, 1, Rgb(0, 0, 255)), {0, 0, 1, 1}, {0, 4, 10, 10});
    s.DrawImage(Image(1, 1, Rgb(9, 9, 9)), {0, 0, 10, 2}, {0, 0, 1, 1});
    s.SetPixel(9, 9, Rgb(255, 255, 255));
    EXPECT_EQ(s.GetPixel(2, 2), Rgb(255, 0, 0));
    EXPECT_EQ(s.GetPixel(4, 2), Rgb(0, 255, 0));
    EXPECT_EQ(s.GetPixel(3, 4), Rgb(0, 0, 255));
    for (Point p : {Point{1, 1}, Point{5, 5}, Point{9, 9}, Point{0, 0}, Point{6, 0}, Point{0, 6}})
        EXPECT_EQ(s.GetPixel(p.x, p.y), Rgb(0, 0, 0)) << p.x << "," << p.y;
    s.ClearClip();
    EXPECT_EQ(s.ClipRect(), (Rect{0, 0, 10, 10}));
}

}  // namespace
}  // namespace lumbra

namespace lumbra {
namespace {

// Logical pixels on surfaces with more device pixels than logical ones.
class ScaledSurface : public testing::TestWithParam<double> {};

TEST_P(ScaledSurface, EveryLogicalPixelLineCoversDevicePixelsWithoutGapOrOverlap) {
    const double ratio = GetParam();
    constexpr int kSide = 11;
    Surface s(kSide, kSide, ratio);
    EXPECT_EQ(s.Width(), kSide);
    EXPECT_EQ(s.DevicePixelRatio(), ratio);
    // Columns of one logical pixel in turn red and blue, then the same as rows over the
    // bottom half: each must be seen, and nothing of the black below left between them.
    for (int x = 0; x < kSide; ++x) s.FillSolidRect({x, 0, x + 1, kSide}, x % 2 ? kBlue : kRed);
    for (int y = 6; y < kSide; ++y) s.SetPixel(3, y, kWhite);
    const Image shot = s.Snapshot();
    ASSERT_EQ(shot.Width(), static_cast<int>(std::lround(kSide * ratio)));
    int runs = 0;
    Color last = 0;
    for (int x = 0; x < shot.Width(); ++x) {
        const Color c = shot.PixelColor(x, 0);
        ASSERT_TRUE(c == kRed || c == kBlue) << "device column " << x;
        runs += c != last;
        last = c;
    }
    EXPECT_EQ(runs, kSide);
    for (int x = 0; x < kSide; ++x) EXPECT_EQ(s.GetPixel(x, 2), x % 2 ? kBlue : kRed) << x;
    EXPECT_EQ(s.GetPixel(3, 8), kWhite);
    EXPECT_EQ(s.GetPixel(2, 8), kRed);
    EXPECT_EQ(s.GetPixel(4, 8), kRed);
    EXPECT_EQ(s.GetPixel(kSide, 0), 0u);
}

// A key pixel at (1, 1) of a red 2 x 2 picture whose twice-as-fine copy is green.
struct KeyedPicture {
    KeyedPicture() {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumbra-XXXXXX").string();
        dir = mkdtemp(pattern.data());
        Image twice(4, 4, kGreen);
        twice.Fill({2, 2, 4, 4}, kKey);
        const std::string path = dir + "/twice.png";
        EXPECT_TRUE(twice.SavePng(path));
        once.SetPixel(1, 1, kKey);
        once.SetDoubleSource(path);
    }
    ~KeyedPicture() { std::filesystem::remove_all(dir); }
    static constexpr Color kKey = Rgb(255, 0, 255);
    static constexpr Color kGreen = Rgb(0, 255, 0);
    std::string dir;
    Image once{2, 2, kRed};
};

TEST_P(ScaledSurface, ColourKeyedPicturesComeFromTheirFinerCopyAndNeverShowTheKey) {
    const double ratio = GetParam();
    KeyedPicture picture;
    Surface s(8, 8, ratio);
    s.FillSolidRect({0, 0, 8, 8}, kWhite);
    s.DrawColorKeyed(picture.once, {0, 0, 2, 2}, {2, 2, 6, 6}, KeyedPicture::kKey);
    EXPECT_EQ(s.GetPixel(2, 2), KeyedPicture::kGreen);
    EXPECT_EQ(s.GetPixel(5, 5), kWhite);
    EXPECT_EQ(s.GetPixel(1, 1), kWhite);
    // Scaled smoothly, an edge may mix green with white, never with the key.
    const Image shot = s.Snapshot();
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x) {
            const Color c = shot.PixelColor(x, y);
            ASSERT_EQ(RedOf(c), BlueOf(c)) << x << "," << y;
            ASSERT_GE(GreenOf(c), RedOf(c)) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Ratios, ScaledSurface, testing::Values(1.25, 1.5, 1.75, 2.0));

TEST(Surface, AtRatioOneAPictureIsDrawnFromItselfPixelForPixel) {
    KeyedPicture picture;
    Surface s(2, 2);
    s.DrawColorKeyed(picture.once, {0, 0, 2, 2}, {0, 0, 2, 2}, KeyedPicture::kKey);
    EXPECT_EQ(s.Snapshot().Width(), 2);
    EXPECT_EQ(s.GetPixel(0, 0), kRed);
    EXPECT_EQ(s.GetPixel(1, 1), 0u);
    EXPECT_EQ(picture.once.DoubleSize().Width(), 4);
    Image wrongSize(3, 3, kRed);
    wrongSize.SetDoubleSource(picture.dir + "/twice.png");
    EXPECT_TRUE(wrongSize.DoubleSize().IsNull());
}

}  // namespace
}  // namespace lumbra
