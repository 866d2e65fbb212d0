// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the gallery's pages and every popup into PNG files in the build
// folder, so that anyone can look at the skin and the toolkit without a display.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "../platform/MouseEvents.h"
#include "platform/Application.h"
#include "platform/Resources.h"
#include "ui/CWndPopup.h"
#include "ui/gallery/GalleryDialog.h"

#ifdef LUMBRA_HAVE_SKIN
#include "skin/SkinResources.h"
#endif

namespace lumbra {
namespace {

const std::filesystem::path kShots = LUMBRA_GALLERY_SHOTS_DIR;

bool HaveSkin() { return !LoadResourceImage(ResourceKind::kBitmap, 129).IsNull(); }

size_t ColourCount(const Image& img) {
    std::set<Color> colours;
    for (int y = 0; y < img.Height(); y += 3)
        for (int x = 0; x < img.Width(); x += 3) colours.insert(img.PixelColor(x, y));
    return colours.size();
}

void Save(const Image& img, const std::string& name) {
    std::filesystem::create_directories(kShots);
    const auto path = kShots / (name + ".png");
    ASSERT_TRUE(img.SavePng(path.string())) << path;
    EXPECT_GT(std::filesystem::file_size(path), 100u);
}

class Gallery : public testing::Test {
protected:
    void SetUp() override {
#ifdef LUMBRA_HAVE_SKIN
        InitSkinResources();
#endif
        gallery = std::make_unique<GalleryDialog>();
        gallery->Create();
        Application::ProcessEvents();
    }
    void TearDown() override {
        gallery.reset();
        Application::ProcessEvents();
    }
    std::unique_ptr<GalleryDialog> gallery;
};

TEST_F(Gallery, EveryPageRendersIntoAPicture) {
    for (int page = 0; page < 4; ++page) {
        gallery->ShowPage(page);
        Image shot = gallery->Window()->Render();
        ASSERT_EQ(shot.Width(), 818);
        ASSERT_EQ(shot.Height(), 628);
        Save(shot, "gallery-page" + std::to_string(page));
        if (HaveSkin()) {
            EXPECT_GT(ColourCount(shot), 20u) << page;
        }
    }
}

TEST_F(Gallery, HoveringAKeyChangesItsPicture) {
    gallery->ShowPage(0);
    Image before = gallery->Window()->Render();
    test::Move(*gallery->Window(), 185, 245);  // the Esc key
    Image after = gallery->Window()->Render();
    Save(after, "gallery-page0-hover");
    if (!HaveSkin()) GTEST_SKIP() << "no skin linked";
    int changed = 0;
    for (int y = 236; y < 256; ++y)
        for (int x = 177; x < 196; ++x)
            changed += before.PixelColor(x, y) != after.PixelColor(x, y);
    EXPECT_GT(changed, 0);
}

TEST_F(Gallery, EveryPopupRendersIntoAPicture) {
    int count = 0;
    const char* const* names = GalleryDialog::ShowcasePopups(&count);
    const PopupSlot kSlots[] = {PopupSlot::kFunctionMenu,     PopupSlot::kMultimediaList,
                                PopupSlot::kWindowManageList, PopupSlot::kMouseFunctionList,
                                PopupSlot::kMacroLibrary,     PopupSlot::kMacroSetList,
                                PopupSlot::kLightColor,       PopupSlot::kLightBrightness};
    for (int i = 0; i < count; ++i) {
        gallery->ShowPage(2);
        Application::ProcessEvents();
        gallery->OpenPopup(names[i]);
        std::vector<CWndPopup*> open;
        for (PopupSlot s : kSlots)
            if (CWndPopup* p = gallery->Popup(s)) open.push_back(p);
        ASSERT_EQ(open.size(), 1u) << names[i];
        CWndPopup* popup = open.front();
        if (!popup->Items().empty()) {
            const Rect first = popup->Items().front().rect;
            test::Move(*popup->Window(), first.left + 5, first.top + 5);
        }
        Image shot = popup->Window()->Render();
        EXPECT_EQ(shot.PixelColor(0, 0), Color{0xF4FF20}) << names[i];
        Save(shot, std::string("popup-") + names[i]);
    }
}

}  // namespace
}  // namespace lumbra
