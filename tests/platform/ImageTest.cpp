// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/Image.h"

namespace lumbra {
namespace {

namespace fs = std::filesystem;

struct Scratch {
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "lumbra-image-XXXXXX").string();
        dir = mkdtemp(pattern.data());
    }
    ~Scratch() { fs::remove_all(dir); }
    std::string dir;
};

// A picture with every pixel different, half of them translucent.
Image Pattern() {
    Image image(7, 5, 0, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            image.SetPixel(x, y,
                           Rgb(static_cast<uint8_t>(x * 37), static_cast<uint8_t>(y * 51),
                               static_cast<uint8_t>(x * y * 9)),
                           (x + y) % 2 ? 255 : 128);
    return image;
}

TEST(Image, APictureDecodedWhenUsedReadsLikeOneDecodedAtOnce) {
    Scratch s;
    const std::string file = s.dir + "/p.png";
    ASSERT_TRUE(Pattern().SavePng(file));
    const Image now = Image::Load(file);
    const Image later = Image::LoadWhenUsed(file);
    ASSERT_FALSE(later.IsNull());
    EXPECT_EQ(later.Width(), 7);
    EXPECT_EQ(later.Height(), 5);
    for (int y = -1; y <= 5; ++y) {
        const auto row = later.Row(y);
        EXPECT_EQ(row.size(), y >= 0 && y < 5 ? 7u : 0u) << y;
        for (int x = -1; x <= 7; ++x) {
            EXPECT_EQ(later.PixelColor(x, y), now.PixelColor(x, y)) << x << "," << y;
            EXPECT_EQ(later.PixelAlpha(x, y), now.PixelAlpha(x, y)) << x << "," << y;
            if (x >= 0 && x < 7 && !row.empty()) {
                EXPECT_EQ(Image::ColorOfPixel(row[x]), now.PixelColor(x, y));
                EXPECT_EQ(row[x] >> 24, now.PixelAlpha(x, y));
            }
        }
    }
    // Premultiplied: a half-transparent pixel reads about half as bright.
    EXPECT_NEAR(RedOf(later.PixelColor(2, 0)), 74 * 128 / 255, 1);
}

TEST(Image, ADecodeOnAnotherThreadGivesTheSamePixelsToEveryCopy) {
    Scratch s;
    const std::string file = s.dir + "/p.png";
    ASSERT_TRUE(Pattern().SavePng(file));
    const Image now = Image::Load(file);
    Image early = Image::LoadWhenUsed(file, "png");
    const Image copy = early;
    const Image other = Image::LoadWhenUsed(file, "png");
    Image::DecodeInBackground({early, other});
    Image::DecodeInBackground({copy, other});  // once is enough: nothing starts again
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(copy.PixelColor(x, y), now.PixelColor(x, y)) << x << "," << y;
            EXPECT_EQ(early.PixelAlpha(x, y), now.PixelAlpha(x, y)) << x << "," << y;
        }
    EXPECT_EQ(other.PixelColor(6, 4), now.PixelColor(6, 4));
    // A format the file is not in: no picture.
    Image wrong = Image::LoadWhenUsed(file, "jpeg");
    EXPECT_TRUE(wrong.IsNull());
}

TEST(Image, CopiesShareOneDecodeAndAChangeStaysWithItsCopy) {
    Scratch s;
    const std::string file = s.dir + "/p.png";
    ASSERT_TRUE(Pattern().SavePng(file));
    const Image original = Image::LoadWhenUsed(file);
    Image copy = original;
    copy.SetPixel(0, 0, Rgb(1, 2, 3));
    EXPECT_EQ(copy.PixelColor(0, 0), Rgb(1, 2, 3));
    EXPECT_EQ(original.PixelColor(0, 0), Pattern().PixelColor(0, 0));
    // The file is read when first used, not again later.
    fs::remove(file);
    const Image untouched = Image::LoadWhenUsed(s.dir + "/gone.png");
    EXPECT_TRUE(untouched.IsNull());
    EXPECT_EQ(original.PixelColor(6, 4), Pattern().PixelColor(6, 4));
}

TEST(Image, AFileThatBreaksAfterItsHeaderReadsTransparentAtItsSize) {
    Scratch s;
    const std::string file = s.dir + "/p.png";
    ASSERT_TRUE(Pattern().SavePng(file));
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Everything up to the pixel data, then rubbish in its place.
    const size_t data = bytes.find("IDAT");
    ASSERT_NE(data, std::string::npos);
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        << bytes.substr(0, data + 4) << std::string(40, '\x5A');
    const Image broken = Image::LoadWhenUsed(file);
    ASSERT_EQ(broken.Width(), 7);
    ASSERT_EQ(broken.Height(), 5);
    EXPECT_EQ(broken.Row(4).size(), 7u);
    EXPECT_EQ(broken.PixelAlpha(3, 2), 0);
    EXPECT_EQ(broken.PixelColor(3, 2), 0u);
}

}  // namespace
}  // namespace lumbra
