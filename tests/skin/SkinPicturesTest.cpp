// SPDX-License-Identifier: GPL-3.0-or-later
// Every picture the windows ask for must be compiled in, at the size its control is drawn at and
// with the frame count its control class cuts it into; outlined windows need the yellow key
// outside their outline, and keyed buttons their key at the sample point.

#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QString>
#include <cstdlib>
#include <set>
#include <vector>

#include "skin/SkinResources.h"

namespace {

QImage Load(const std::string& path) {
    lumbra::InitSkinResources();
    return QImage(QString::fromStdString(path));
}

struct Strip {
    int id;
    int frames;
    int width;  // of one frame
    int height;
};

void PrintTo(const Strip& s, std::ostream* os) { *os << "PNG " << s.id; }

// Strips of the main window's buttons and tabs, the page-0 tabs, the macro page, the drop-down
// buttons and the dialogs, at the sizes of the controls that draw them.
const Strip kStrips[] = {
    {135, 3, 22, 22},  {136, 3, 23, 22},  {137, 3, 88, 22}, {262, 3, 88, 22}, {263, 3, 88, 22},
    {264, 3, 88, 22},  {166, 3, 46, 22},  {167, 3, 46, 22}, {168, 3, 46, 22}, {164, 3, 88, 22},
    {257, 3, 88, 22},  {171, 3, 23, 20},  {170, 3, 20, 20}, {169, 3, 19, 20}, {381, 3, 15, 17},
    {382, 3, 15, 17},  {383, 3, 15, 17},  {384, 3, 15, 17}, {385, 3, 15, 17}, {267, 3, 63, 15},
    {268, 3, 63, 15},  {269, 3, 63, 15},  {270, 3, 63, 15}, {397, 7, 14, 15}, {396, 7, 14, 15},
    {189, 7, 143, 22}, {265, 5, 225, 20}, {276, 3, 88, 20}, {395, 3, 46, 22}, {394, 3, 46, 22},
    {177, 3, 22, 18},  {178, 3, 18, 18},  {182, 3, 66, 23}, {183, 3, 91, 25}, {184, 5, 194, 22},
    {156, 7, 12, 12},
};

struct KeyCap {
    int id;
    int width;
    int height;
    int x;  // place in the main window
    int y;
};

void PrintTo(const KeyCap& k, std::ostream* os) { *os << "key PNG " << k.id; }

// The 103 key buttons of the keyboard picture: picture id, size, place.
const KeyCap kKeys[] = {
    {271, 19, 20, 177, 236}, {277, 19, 20, 222, 236},  {278, 19, 20, 244, 236},
    {279, 18, 20, 267, 236}, {280, 19, 20, 289, 236},  {281, 18, 20, 323, 236},
    {282, 19, 20, 345, 236}, {283, 19, 20, 367, 236},  {284, 18, 20, 390, 236},
    {285, 19, 20, 423, 236}, {286, 19, 20, 445, 236},  {287, 19, 20, 468, 236},
    {288, 19, 20, 490, 236}, {289, 18, 20, 519, 236},  {290, 19, 20, 541, 236},
    {291, 20, 20, 563, 236}, {296, 19, 20, 177, 265},  {297, 19, 20, 199, 265},
    {298, 19, 20, 222, 265}, {299, 19, 20, 244, 265},  {300, 18, 20, 267, 265},
    {301, 19, 20, 289, 265}, {302, 19, 20, 311, 265},  {303, 18, 20, 334, 265},
    {304, 19, 20, 356, 265}, {305, 19, 20, 378, 265},  {306, 19, 20, 401, 265},
    {307, 19, 20, 423, 265}, {308, 19, 20, 445, 265},  {309, 41, 20, 468, 265},
    {310, 18, 20, 519, 265}, {311, 19, 20, 541, 265},  {312, 19, 20, 563, 265},
    {292, 18, 20, 592, 265}, {293, 19, 20, 614, 265},  {294, 19, 20, 636, 265},
    {295, 18, 20, 659, 265}, {313, 30, 20, 177, 288},  {314, 19, 20, 211, 288},
    {315, 19, 20, 233, 288}, {316, 19, 20, 255, 288},  {317, 19, 20, 278, 288},
    {318, 19, 20, 300, 288}, {319, 19, 20, 322, 288},  {320, 19, 20, 345, 288},
    {321, 19, 20, 367, 288}, {322, 20, 20, 389, 288},  {323, 19, 20, 412, 288},
    {324, 19, 20, 434, 288}, {325, 20, 20, 456, 288},  {326, 19, 20, 462, 311},
    {327, 20, 20, 518, 288}, {328, 20, 20, 540, 288},  {329, 19, 20, 563, 288},
    {330, 20, 20, 591, 288}, {331, 20, 20, 613, 288},  {332, 19, 20, 636, 288},
    {333, 20, 43, 658, 288}, {334, 36, 20, 177, 311},  {335, 19, 20, 216, 311},
    {336, 19, 20, 238, 311}, {337, 19, 20, 261, 311},  {338, 19, 20, 283, 311},
    {339, 19, 20, 305, 311}, {340, 20, 20, 327, 311},  {341, 19, 20, 350, 311},
    {342, 20, 20, 372, 311}, {343, 19, 20, 395, 311},  {344, 19, 20, 417, 311},
    {345, 20, 20, 439, 311}, {346, 25, 43, 484, 288},  {347, 20, 20, 591, 311},
    {348, 20, 20, 613, 311}, {349, 19, 20, 636, 311},  {350, 47, 20, 177, 334},
    {351, 19, 20, 228, 334}, {352, 19, 20, 250, 334},  {353, 20, 20, 272, 334},
    {354, 19, 20, 295, 334}, {355, 19, 20, 317, 334},  {356, 20, 20, 339, 334},
    {357, 19, 20, 362, 334}, {358, 19, 20, 384, 334},  {359, 20, 20, 406, 334},
    {360, 19, 20, 429, 334}, {361, 58, 20, 451, 334},  {152, 19, 20, 541, 334},
    {363, 19, 20, 592, 334}, {364, 19, 20, 614, 334},  {365, 19, 20, 636, 334},
    {366, 19, 42, 659, 334}, {367, 25, 20, 177, 357},  {368, 26, 23, 205, 357},
    {369, 25, 25, 234, 357}, {370, 134, 26, 262, 357}, {371, 24, 25, 400, 357},
    {372, 25, 22, 456, 357}, {373, 25, 20, 484, 357},  {374, 18, 20, 519, 357},
    {375, 19, 20, 541, 357}, {376, 19, 20, 563, 357},  {377, 41, 20, 592, 357},
    {378, 19, 19, 636, 357},
};

// Rectangles of the main window's other controls; the window outline must not cut into them.
const QRect kMainControls[] = {
    {707, 36, 22, 22},   {678, 36, 23, 22},    {169, 516, 88, 22},  {267, 516, 88, 22},
    {458, 516, 88, 22},  {553, 516, 88, 22},   {582, 100, 46, 22},  {683, 100, 46, 22},
    {633, 100, 46, 22},  {74, 516, 88, 22},    {651, 516, 88, 22},  {180, 208, 23, 20},
    {150, 265, 15, 17},  {150, 357, 15, 17},   {117, 448, 63, 15},  {414, 448, 63, 15},
    {556, 220, 143, 22}, {107, 215, 144, 215}, {480, 215, 13, 215}, {139, 358, 225, 20},
};

struct Bitmap {
    int id;
    int width;
    int height;
    bool outlined;  // yellow outside the window's outline
};

void PrintTo(const Bitmap& b, std::ostream* os) { *os << "BITMAP " << b.id; }

// Backgrounds at the size of their windows, the page panels and the manager's panel.
const Bitmap kBitmaps[] = {
    {129, 818, 628, true},  {153, 420, 206, true},  {176, 305, 245, true},  {272, 400, 270, false},
    {380, 400, 270, false}, {165, 400, 270, false}, {258, 400, 270, false}, {203, 525, 356, false},
    {181, 715, 476, false}, {186, 481, 354, false}, {185, 305, 215, false}, {194, 305, 215, false},
    {195, 305, 215, false}, {196, 305, 215, false}, {259, 663, 344, false}, {260, 663, 344, false},
    {261, 663, 344, false},
};

struct KeyedButton {
    int id;
    int width;  // of one frame
    int height;
    QPoint sample;
};

void PrintTo(const KeyedButton& b, std::ostream* os) { *os << "BITMAP " << b.id; }

// Radio buttons of the key-setting dialog and the region buttons: three frames, the colour key
// read from the sample point. 389 to 392 are the skin's own OK and Cancel region buttons.
const KeyedButton kKeyedButtons[] = {
    {275, 17, 17, {0, 0}},  {388, 23, 21, {0, 20}}, {389, 52, 21, {0, 20}},
    {390, 91, 21, {0, 20}}, {391, 73, 29, {0, 28}}, {392, 66, 29, {0, 28}},
};

const QRgb kYellow = qRgb(255, 255, 0);

QImage FrameOf(const QImage& strip, int frames, int k) {
    const int width = strip.width() / frames;
    return strip.copy(k * width, 0, width, strip.height());
}

bool IsOpaque(const QImage& image) {
    if (!image.hasAlphaChannel()) return true;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 255) return false;
    return true;
}

class SkinStrip : public testing::TestWithParam<Strip> {};

TEST_P(SkinStrip, HasItsFramesAtTheControlSizeAndEveryFrameDiffers) {
    const Strip s = GetParam();
    const QImage image = Load(lumbra::PngResourcePath(s.id));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), s.frames * s.width);
    EXPECT_EQ(image.height(), s.height);
    EXPECT_TRUE(image.hasAlphaChannel());
    // A control whose states share a picture gives no feedback; checked and unchecked, hover
    // and pressed, disabled must all be told apart.
    for (int k = 0; k < s.frames; ++k) {
        for (int j = 0; j < k; ++j) {
            EXPECT_NE(FrameOf(image, s.frames, k), FrameOf(image, s.frames, j))
                << "frames " << j << " and " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Controls, SkinStrip, testing::ValuesIn(kStrips));

class SkinKeyCap : public testing::TestWithParam<KeyCap> {};

TEST_P(SkinKeyCap, HasThreeDistinctFramesAtTheKeySize) {
    const KeyCap k = GetParam();
    const QImage image = Load(lumbra::PngResourcePath(k.id));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 3 * k.width);
    EXPECT_EQ(image.height(), k.height);
    // Frame 2 is also the look of a remapped key at rest: it must not match the normal or the
    // hover look.
    const QImage normal = FrameOf(image, 3, 0);
    const QImage hover = FrameOf(image, 3, 1);
    const QImage remapped = FrameOf(image, 3, 2);
    EXPECT_NE(normal, hover);
    EXPECT_NE(normal, remapped);
    EXPECT_NE(hover, remapped);
}

INSTANTIATE_TEST_SUITE_P(Keyboard, SkinKeyCap, testing::ValuesIn(kKeys));

TEST(SkinKeyCaps, EveryKeyHasItsOwnPictureAndCapsCarryTheirLegends) {
    std::set<int> ids;
    for (const KeyCap& k : kKeys) EXPECT_TRUE(ids.insert(k.id).second) << k.id;
    EXPECT_EQ(ids.size(), 103u);
    // A legend shows as light pixels on the dark cap; two keys of the same size with different
    // names must not share a picture.
    const QImage q = Load(lumbra::PngResourcePath(314));
    const QImage w = Load(lumbra::PngResourcePath(315));
    EXPECT_NE(FrameOf(q, 3, 0), FrameOf(w, 3, 0));
    int light = 0;
    const QImage normal = FrameOf(q, 3, 0);
    for (int y = 0; y < normal.height(); ++y)
        for (int x = 0; x < normal.width(); ++x)
            if (qAlpha(normal.pixel(x, y)) == 255 && qGray(normal.pixel(x, y)) > 150) ++light;
    EXPECT_GT(light, 8);
}

// The main window draws its key caps from the atlas: each one there, at 1x and 2x, is its own
// picture exactly, and every key is there.
TEST(SkinKeyCaps, TheAtlasHoldsEveryKeyCapExactlyAtBothScales) {
    const auto places = lumbra::KeyCapAtlasPlaces();
    std::set<int> placed;
    for (const lumbra::AtlasPlace& p : places) placed.insert(p.pngId);
    for (const KeyCap& k : kKeys) EXPECT_TRUE(placed.count(k.id)) << k.id;
    EXPECT_EQ(places.size(), placed.size());
    const std::string atlasPath = lumbra::PngResourcePath(lumbra::kKeyCapAtlasPng);
    for (const int scale : {1, 2}) {
        const std::string suffix = scale == 1 ? ".png" : "@2x.png";
        const QImage atlas = Load(atlasPath.substr(0, atlasPath.size() - 4) + suffix)
                                 .convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(atlas.isNull()) << scale;
        for (const lumbra::AtlasPlace& p : places) {
            const std::string own = lumbra::PngResourcePath(p.pngId);
            const QImage picture =
                Load(own.substr(0, own.size() - 4) + suffix).convertToFormat(QImage::Format_ARGB32);
            ASSERT_EQ(picture.size(), QSize(p.width, p.height) * scale) << p.pngId;
            EXPECT_EQ(atlas.copy(p.x * scale, p.y * scale, p.width * scale, p.height * scale),
                      picture)
                << p.pngId << " at " << scale;
        }
    }
}

class SkinBitmap : public testing::TestWithParam<Bitmap> {};

TEST_P(SkinBitmap, IsOpaqueAtItsWindowSizeWithYellowOnlyOutsideOutlines) {
    const Bitmap b = GetParam();
    const QImage image = Load(lumbra::BitmapResourcePath(b.id));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), b.width);
    EXPECT_EQ(image.height(), b.height);
    EXPECT_TRUE(IsOpaque(image));
    const QPoint corners[] = {
        {0, 0}, {b.width - 1, 0}, {0, b.height - 1}, {b.width - 1, b.height - 1}};
    int yellow = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == kYellow) ++yellow;
    if (b.outlined) {
        for (const QPoint& c : corners) EXPECT_EQ(image.pixel(c), kYellow) << c.x() << "," << c.y();
        EXPECT_NE(image.pixel(b.width / 2, b.height / 2), kYellow);
        EXPECT_NE(image.pixel(b.width / 2, 0), kYellow);
        EXPECT_LT(yellow, b.width * b.height / 50);
    } else {
        // A rectangular window shows every pixel; yellow would be a stray outline.
        EXPECT_EQ(yellow, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Backgrounds, SkinBitmap, testing::ValuesIn(kBitmaps));

class SkinOutline : public testing::TestWithParam<int> {};

TEST_P(SkinOutline, HasNoYellowishFringeAlongTheOutline) {
    // The outline is cut at exact yellow; a blended edge would leave a yellow seam inside.
    const QImage image = Load(lumbra::BitmapResourcePath(GetParam()));
    ASSERT_FALSE(image.isNull());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = QColor::fromRgb(image.pixel(x, y));
            if (image.pixel(x, y) == kYellow) continue;
            EXPECT_FALSE(c.red() > 180 && c.green() > 180 && c.blue() < 100)
                << "yellowish pixel at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(OutlinedWindows, SkinOutline, testing::Values(129, 153, 176));

TEST(SkinDialogs, QuestionsAndNoticesAreDrawnIntoTheirPictures) {
    // Pictures that share a frame and differ only by what they say: the text must be there.
    auto differIn = [](int a, int b, QRect area) {
        const QImage first = Load(lumbra::BitmapResourcePath(a)).copy(area);
        const QImage second = Load(lumbra::BitmapResourcePath(b)).copy(area);
        return !first.isNull() && !second.isNull() && first != second;
    };
    EXPECT_TRUE(differIn(165, 258, QRect(16, 108, 368, 44)));  // the two reset questions
    EXPECT_TRUE(differIn(195, 196, QRect(16, 88, 273, 56)));   // the manager's notices
    EXPECT_TRUE(differIn(185, 194, QRect(0, 0, 305, 98)));     // the set-name captions
    // The message dialog's title and text are written by the dialog: its picture keeps those
    // places plain.
    const QImage message = Load(lumbra::BitmapResourcePath(380));
    ASSERT_FALSE(message.isNull());
    const QRgb plain = message.pixel(2, 127);
    int other = 0;
    for (int y = 127; y < 147; ++y)
        for (int x = 2; x < 399; ++x)  // the last column is the window border
            if (message.pixel(x, y) != plain) ++other;
    EXPECT_EQ(other, 0);
}

TEST(SkinMainWindow, OutlineKeepsEveryControlInside) {
    const QImage image = Load(lumbra::BitmapResourcePath(129));
    ASSERT_FALSE(image.isNull());
    auto inside = [&](int x, int y) { return image.pixel(x, y) != kYellow; };
    for (const KeyCap& k : kKeys) {
        EXPECT_TRUE(inside(k.x, k.y) && inside(k.x + k.width - 1, k.y + k.height - 1)) << k.id;
    }
    for (const QRect& r : kMainControls) {
        EXPECT_TRUE(inside(r.left(), r.top()) && inside(r.right(), r.bottom()))
            << r.x() << "," << r.y();
    }
    // The page panels are copied to (75, 137).
    EXPECT_TRUE(inside(75, 137) && inside(75 + 662, 137 + 343));
}

class SkinKeyedButton : public testing::TestWithParam<KeyedButton> {};

TEST_P(SkinKeyedButton, EveryFrameIsKeyedAtTheSamplePointAndSolidInside) {
    const KeyedButton b = GetParam();
    const QImage image = Load(lumbra::BitmapResourcePath(b.id));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 3 * b.width);
    EXPECT_EQ(image.height(), b.height);
    EXPECT_TRUE(IsOpaque(image));
    const QRgb key = image.pixel(b.sample);
    for (int k = 0; k < 3; ++k) {
        const QImage frame = FrameOf(image, 3, k);
        EXPECT_EQ(frame.pixel(b.sample), key) << "frame " << k;
        EXPECT_NE(frame.pixel(b.width / 2, b.height / 2), key) << "frame " << k;
    }
    EXPECT_NE(FrameOf(image, 3, 0), FrameOf(image, 3, 2));
    EXPECT_NE(image.pixel(b.sample), kYellow);
}

INSTANTIATE_TEST_SUITE_P(Buttons, SkinKeyedButton, testing::ValuesIn(kKeyedButtons));

TEST(SkinOtherPictures, ScrollArrowsAndActionIconsFitWhereTheListsDrawThem) {
    // Scroll arrows: three frames drawn unscaled at the bar's top-left; the main window's bars
    // are 13 pixels wide.
    for (int id : {188, 187}) {
        const QImage image = Load(lumbra::PngResourcePath(id));
        ASSERT_FALSE(image.isNull()) << id;
        EXPECT_EQ(image.width() % 3, 0);
        EXPECT_LE(image.width() / 3, 13);
        EXPECT_GT(image.height(), 0);
    }
    // Action icons: drawn at (row left - 15, row top + 3) in rows 20 pixels high.
    for (int id : {191, 192, 193}) {
        const QImage image = Load(lumbra::PngResourcePath(id));
        ASSERT_FALSE(image.isNull()) << id;
        EXPECT_LE(image.width(), 15);
        EXPECT_LE(image.height(), 17);
    }
}

TEST(SkinIcon, ExistsInEveryRequestedSize) {
    const QImage icon = Load(lumbra::IconResourcePath(387));
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSize(32, 32));
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QImage sized = Load(lumbra::IconResourcePath(387, size));
        ASSERT_FALSE(sized.isNull()) << size;
        EXPECT_EQ(sized.size(), QSize(size, size));
    }
}

TEST(SkinResources, MissingIdsLoadNothing) {
    EXPECT_TRUE(Load(lumbra::PngResourcePath(1)).isNull());
    EXPECT_TRUE(Load(lumbra::BitmapResourcePath(271)).isNull());
}

}  // namespace

// Every PNG and bitmap picture comes a second time with twice the pixels, for screens with a
// device pixel ratio above 1: exactly twice the size, the same picture when seen from afar, and
// keyed where the picture is keyed.
TEST(SkinResources, EveryPictureHasATwiceAsFinePictureOfTheSameLook) {
    lumbra::InitSkinResources();
    int checked = 0;
    for (const char* folder : {":/skin/png", ":/skin/bmp"}) {
        for (const QFileInfo& file : QDir(QString::fromLatin1(folder)).entryInfoList()) {
            if (file.fileName().contains(QLatin1Char('@'))) continue;
            const QImage once = QImage(file.filePath()).convertToFormat(QImage::Format_ARGB32);
            const QString doubleName =
                file.path() + QLatin1Char('/') + file.baseName() + QStringLiteral("@2x.png");
            const QImage twice = QImage(doubleName).convertToFormat(QImage::Format_ARGB32);
            ASSERT_EQ(twice.size(), once.size() * 2) << doubleName.toStdString();
            // Brought back to the first picture's size, it differs only along edges and in
            // the finer strokes of its text.
            const QImage back =
                twice.scaled(once.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            int64_t difference = 0;
            for (int y = 0; y < once.height(); ++y)
                for (int x = 0; x < once.width(); ++x) {
                    const QRgb a = once.pixel(x, y), b = back.pixel(x, y);
                    difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                                  std::abs(qBlue(a) - qBlue(b)) + std::abs(qAlpha(a) - qAlpha(b));
                }
            EXPECT_LT(difference / (once.width() * once.height()), 64) << doubleName.toStdString();
            ++checked;
        }
    }
    EXPECT_GT(checked, 150);
    // Keyed buttons and outlined windows keep their key at the same points.
    for (const KeyedButton& b : kKeyedButtons) {
        const QImage once = Load(lumbra::BitmapResourcePath(b.id));
        const QImage twice =
            QImage(QString::fromStdString(":/skin/bmp/" + std::to_string(b.id) + "@2x.png"));
        EXPECT_EQ(twice.pixel(b.sample * 2), once.pixel(b.sample)) << b.id;
        EXPECT_EQ(twice.pixel(b.sample * 2 + QPoint(1, 1)), once.pixel(b.sample)) << b.id;
    }
    for (int id : {129, 153, 176}) {
        const QImage twice =
            QImage(QString::fromStdString(":/skin/bmp/" + std::to_string(id) + "@2x.png"));
        EXPECT_EQ(twice.pixel(0, 0), kYellow) << id;
    }
}
