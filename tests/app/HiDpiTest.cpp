// SPDX-License-Identifier: GPL-3.0-or-later
// The main window and the key setting dialog drawn for screens with more device pixels than
// logical ones, and windows placed on a screen too small for them.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

#include "AppTestSupport.h"
#include "keys/CKeyMapSettingDlg.h"
#include "platform/HostWidget.h"

namespace lumbra::test {
namespace {

int Distance(Color a, Color b) {
    return std::max({std::abs(RedOf(a) - RedOf(b)), std::abs(GreenOf(a) - GreenOf(b)),
                     std::abs(BlueOf(a) - BlueOf(b))});
}

// The device pixels of fine that differ from coarse pixel-doubled, within logical rectangle r.
int DifferFromDoubled(const Image& fine, const Image& coarse, const Rect& r) {
    int differ = 0;
    for (int y = 2 * r.top; y < 2 * r.bottom; ++y)
        for (int x = 2 * r.left; x < 2 * r.right; ++x)
            differ += fine.PixelColor(x, y) != coarse.PixelColor(x / 2, y / 2);
    return differ;
}

// The mean colour of a square of a picture, side pixels wide, scaled to 0..255 per channel.
Color MeanColour(const Image& image, int left, int top, int side, int scale) {
    int64_t r = 0, g = 0, b = 0;
    for (int y = top; y < top + side; ++y)
        for (int x = left; x < left + side; ++x) {
            const Color c = image.PixelColor(x / scale, y / scale);
            r += RedOf(c), g += GreenOf(c), b += BlueOf(c);
        }
    const int64_t n = static_cast<int64_t>(side) * side;
    return Rgb(static_cast<uint8_t>(r / n), static_cast<uint8_t>(g / n),
               static_cast<uint8_t>(b / n));
}

TEST(HiDpi, AtTwiceTheRatioTextAndLinesUseEveryPixelInTheSameLayout) {
    MainWindowRig rig;
    rig.Start();
    const Image coarse = rig.W().Render();
    const Image fine = rig.W().Render(2.0);
    ASSERT_EQ(fine.Width(), 2 * coarse.Width());
    ASSERT_EQ(fine.Height(), 2 * coarse.Height());
    // The layout: 16 x 16 blocks average to the colours of the picture doubled.
    int blocks = 0, moved = 0;
    for (int y = 0; y + 16 <= fine.Height(); y += 16)
        for (int x = 0; x + 16 <= fine.Width(); x += 16, ++blocks)
            moved += Distance(MeanColour(fine, x, y, 16, 1), MeanColour(coarse, x, y, 16, 2)) > 24;
    EXPECT_LT(moved, blocks / 100) << moved << " of " << blocks << " blocks";
    // The line naming the profile being edited, drawn as text, and a key cap's legend.
    const Rect profileLine{300, 38, 666, 56};
    EXPECT_GT(DifferFromDoubled(fine, coarse, profileLine), 200);
    const Rect esc = rig.dlg->FindControl(MainId::kKeys.first)->GetRect();
    EXPECT_GT(DifferFromDoubled(fine, coarse, esc), 20);
    // The rounded outer frame: its corners are drawn again, not enlarged.
    EXPECT_GT(DifferFromDoubled(fine, coarse, {0, 0, 20, 20}), 20);
    EXPECT_GT(DifferFromDoubled(fine, coarse, {798, 608, 818, 628}), 20);
}

// Every device pixel of each outer edge of a window drawn at 1.5, corners aside, shows the
// colour the edge has at ratio 1.
void ExpectOuterFrameAtOneAndAHalf(HostWindow& window, int corner) {
    const Image coarse = window.Render();
    const Image fine = window.Render(1.5);
    const int w = coarse.Width(), h = coarse.Height();
    const int fw = fine.Width(), fh = fine.Height();
    ASSERT_EQ(fw, static_cast<int>(std::lround(w * 1.5)));
    struct Edge {
        const char* name;
        Color colour;
        bool row;
        int at;
    };
    const Edge edges[] = {{"top", coarse.PixelColor(w / 2, 0), true, 0},
                          {"bottom", coarse.PixelColor(w / 2, h - 1), true, fh - 1},
                          {"left", coarse.PixelColor(0, h / 2), false, 0},
                          {"right", coarse.PixelColor(w - 1, h / 2), false, fw - 1}};
    for (const Edge& e : edges) {
        const int length = e.row ? fw : fh;
        int off = 0;
        for (int i = corner * 3 / 2; i < length - corner * 3 / 2; ++i) {
            const Color c = e.row ? fine.PixelColor(i, e.at) : fine.PixelColor(e.at, i);
            off += Distance(c, e.colour) > 40;
        }
        EXPECT_EQ(off, 0) << e.name << " edge";
    }
}

TEST(HiDpi, AtOneAndAHalfTheOuterFrameLinesOfTheWindowsShow) {
    MainWindowRig rig;
    rig.Start();
    ExpectOuterFrameAtOneAndAHalf(rig.W(), 16);
    CKeyMapSettingDlg dlg(rig.dlg->Window(), MainId::kKeys.first, "Esc", 41, 41);
    dlg.Create();
    ExpectOuterFrameAtOneAndAHalf(*dlg.Window(), 16);
}

// Run on a screen smaller than the main window by the test list (the headless screen at scale
// 2); skipped elsewhere.
TEST(HiDpi, AWindowLargerThanTheScreenKeepsItsTitleAndButtonsOnIt) {
    MainWindowRig rig;
    rig.Start();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect frame = WidgetOf(rig.W())->geometry();
    if (frame.height() <= area.height()) GTEST_SKIP() << "the main window fits this screen";
    EXPECT_EQ(frame.top(), area.top());
    EXPECT_GE(frame.left(), area.left());
    // A dialog centred on it stays whole on the screen.
    CKeyMapSettingDlg dlg(rig.dlg->Window(), MainId::kKeys.first, "Esc", 41, 41);
    dlg.Create();
    EXPECT_TRUE(area.contains(WidgetOf(*dlg.Window())->geometry()));
    // Moved off the screen, it comes back with its title bar on it.
    dlg.Window()->Move(area.right() - 20, area.top() - 100);
    EXPECT_TRUE(area.contains(WidgetOf(*dlg.Window())->geometry()));
}

}  // namespace
}  // namespace lumbra::test
