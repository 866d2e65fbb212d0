// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDirIterator>
#include <QImage>
#include <QImageReader>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/Image.h"
#include "platform/QtImpl.h"
#include "skin/SkinResources.h"

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

TEST(Image, PicturesDecodedTogetherEachGetTheirOwnPixelsWhicheverIsNeededFirst) {
    Scratch s;
    std::vector<Image> pictures;
    for (int i = 0; i < 8; ++i) {
        const std::string file = s.dir + "/" + std::to_string(i) + ".png";
        ASSERT_TRUE(Image(3 + i, 2 + i, Rgb(static_cast<uint8_t>(i * 30), 7, 9)).SavePng(file));
        pictures.push_back(Image::LoadWhenUsed(file, "png"));
    }
    Image::DecodeInBackground(pictures);
    // The last one first: the UI thread decodes the ones nobody has started
    // while it waits.
    for (int i = 7; i >= 0; --i) {
        const Image& p = pictures[static_cast<size_t>(i)];
        ASSERT_EQ(p.Width(), 3 + i);
        ASSERT_EQ(p.Row(1 + i).size(), static_cast<size_t>(3 + i)) << i;
        EXPECT_EQ(p.PixelColor(2 + i, 1 + i), Rgb(static_cast<uint8_t>(i * 30), 7, 9)) << i;
        EXPECT_EQ(p.PixelAlpha(0, 0), 255) << i;
    }
}

TEST(Image, CompiledInPicturesGiveTheSizeTheirDecoderReads) {
    InitSkinResources();
    int checked = 0;
    for (QDirIterator it(QStringLiteral(":/skin"), {QStringLiteral("*.png")}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        const QSize decoded = QImageReader(path).read().size();
        const Image picture = Image::LoadWhenUsed(path.toStdString(), "png");
        EXPECT_EQ(picture.Width(), decoded.width()) << path.toStdString();
        EXPECT_EQ(picture.Height(), decoded.height()) << path.toStdString();
        ++checked;
    }
    EXPECT_GT(checked, 100);
    EXPECT_TRUE(Image::LoadWhenUsed(":/skin/png/no-such-picture.png", "png").IsNull());
}

TEST(Image, PicturesFromTheToolkitArePremultipliedWhateverTheirFormat) {
    struct Case {
        QImage::Format format;
        QRgb pixel;  // as set, not premultiplied
        Color color;
        uint8_t alpha;
    };
    const Case cases[] = {
        {QImage::Format_RGB32, qRgb(10, 20, 30), Rgb(10, 20, 30), 255},
        {QImage::Format_ARGB32, qRgba(200, 100, 50, 128), Rgb(100, 50, 25), 128},
        {QImage::Format_ARGB32, qRgba(200, 100, 50, 255), Rgb(200, 100, 50), 255},
        {QImage::Format_RGB888, qRgb(1, 2, 3), Rgb(1, 2, 3), 255},
        {QImage::Format_Indexed8, qRgb(9, 8, 7), Rgb(9, 8, 7), 255},
    };
    for (const Case& c : cases) {
        QImage q(4, 3, c.format);
        if (c.format == QImage::Format_Indexed8) {
            q.setColorTable({c.pixel});
            q.fill(0);
        } else {
            q.fill(QColor::fromRgba(c.pixel));
        }
        const Image image = FromQImage(q);
        ASSERT_EQ(image.Width(), 4) << c.format;
        EXPECT_NEAR(RedOf(image.PixelColor(3, 2)), RedOf(c.color), 1) << c.format;
        EXPECT_NEAR(GreenOf(image.PixelColor(3, 2)), GreenOf(c.color), 1) << c.format;
        EXPECT_NEAR(BlueOf(image.PixelColor(3, 2)), BlueOf(c.color), 1) << c.format;
        EXPECT_EQ(image.PixelAlpha(0, 0), c.alpha) << c.format;
    }
}

}  // namespace
}  // namespace lumbra
