// SPDX-License-Identifier: GPL-3.0-or-later
// The four pages and every dialog rendered headless into the build folder
// (app-shots/*.png), so that anyone can look at them without a display.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "AppTestSupport.h"
#include "app/CAttentionDlg.h"
#include "app/CEditProfileDlg.h"
#include "app/CFirmwareResetDlg.h"
#include "app/CSendBeforeExitDlg.h"
#include "keys/CKeyMapSettingDlg.h"
#include "platform/EditBox.h"
#include "platform/HostWidget.h"

namespace lumbra::test {
namespace {

const std::filesystem::path kShots = LUMBRA_APP_SHOTS_DIR;

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
    EXPECT_GT(ColourCount(img), 20u) << name << ": the skin is missing";
}

// The widget as the screen shows it, child edit boxes included, and cut to
// the window's outline as the screen cuts it.
Image Grab(HostWindow& w, const Region& outline = {}) {
    QWidget* widget = WidgetOf(w);
    Image out = w.Render();
    if (!widget) return out;
    const QImage grabbed = widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    Image img(grabbed.width(), grabbed.height(), 0);
    for (int y = 0; y < grabbed.height(); ++y)
        for (int x = 0; x < grabbed.width(); ++x) {
            const QRgb p = grabbed.pixel(x, y);
            if (!outline.IsEmpty() && !outline.Contains(x, y)) {
                img.SetPixel(x, y, Rgb(0, 0, 0));
                continue;
            }
            img.SetPixel(x, y,
                         Rgb(static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)),
                             static_cast<uint8_t>(qBlue(p))));
        }
    return img;
}

TEST(Screenshots, FourPagesOfTheMainWindow) {
    MainWindowRig rig;
    rig.Start();
    rig.model.Profile(0).GKey(1)->name = "Greeting";
    rig.model.Profile(0).Keys()[kKeyPositionMap[40]] = 0x04;  // "E" sends "A"
    rig.dlg->Refresh();
    const uint32_t tabs[] = {MainId::kPage0Tab, MainId::kPage1Tab, MainId::kPage2Tab,
                             MainId::kPage3Tab};
    for (int page = 0; page < 4; ++page) {
        rig.ClickControl(tabs[page]);
        Image shot = Grab(rig.W(), rig.dlg->Outline());
        ASSERT_EQ(shot.Width(), 818);
        ASSERT_EQ(shot.Height(), 628);
        Save(shot, "main-page" + std::to_string(page));
    }
    // The lighting list open below its button.
    rig.ClickControl(MainId::kLightBrightness);
    ASSERT_NE(rig.dlg->Popup(PopupSlot::kLightBrightness), nullptr);
    Save(rig.dlg->Popup(PopupSlot::kLightBrightness)->Window()->Render(), "main-brightness-list");
    rig.ClickControl(MainId::kLightBrightness);
    // Profile 5 being edited, with a change not yet sent.
    rig.dlg->Commands().ChooseBaseProfile(4);
    rig.ClickControl(MainId::kPage0Tab);
    rig.dlg->Commands().SetLightMode(2);
    Save(Grab(rig.W(), rig.dlg->Outline()), "main-pending-profile5");
    // A write under way: the strip, and the commands that wait.
    rig.clock->Hold(true);
    rig.dlg->Commands().Apply();
    for (int i = 0; i < 100 && !rig.dlg->IsBusy(); ++i) Application::ProcessEventsFor(5);
    Save(Grab(rig.W(), rig.dlg->Outline()), "main-writing");
    rig.clock->Hold(false);
    rig.Idle();
}

TEST(Screenshots, EveryDialog) {
    {
        CAttentionDlg dlg("Attention!", "The keyboard is disconnected.Please connect.", nullptr);
        dlg.Create();
        Save(Grab(*dlg.Window()), "dialog-attention");
    }
    {
        CAttentionDlg dlg("Attention!", std::string(CCorvexDlg::kAccessDeniedMessage), nullptr);
        dlg.Create();
        Save(Grab(*dlg.Window()), "dialog-attention-access-denied");
    }
    for (int picture : {kResetProfilePicture, kResetAllPicture}) {
        CFirmwareResetDlg dlg(picture, nullptr);
        dlg.Create();
        Save(Grab(*dlg.Window()), "dialog-reset-" + std::to_string(picture));
    }
    {
        CEditProfileDlg dlg("Racing", ProfilePrograms{{"/usr/games/supertuxkart", "", "/opt/x"}},
                            nullptr);
        dlg.Create();
        Application::ProcessEvents();
        Save(Grab(*dlg.Window()), "dialog-edit-profile");
    }
    {
        CSendBeforeExitDlg dlg(nullptr);
        dlg.Create();
        Save(Grab(*dlg.Window()), "dialog-send-before-exit");
    }
}

// The main window on its lighting page with the brightness list open, and the key setting
// dialog, for screens of device pixel ratio 1, 1.5 and 2.
TEST(Screenshots, AtEachDevicePixelRatio) {
    MainWindowRig rig;
    rig.Start();
    rig.ClickControl(MainId::kPage3Tab);
    rig.ClickControl(MainId::kLightBrightness);
    CWndPopup* list = rig.dlg->Popup(PopupSlot::kLightBrightness);
    ASSERT_NE(list, nullptr);
    CKeyMapSettingDlg dlg(rig.dlg->Window(), MainId::kKeys.first, "Esc", 41, 41);
    dlg.Create();
    for (const auto& [ratio, name] : {std::pair{1.0, "1x"}, {1.5, "1.5x"}, {2.0, "2x"}}) {
        const Image main = rig.W().Render(ratio);
        EXPECT_EQ(main.Width(), static_cast<int>(818 * ratio));
        Save(main, std::string("scaled-main-") + name);
        Save(list->Window()->Render(ratio), std::string("scaled-brightness-list-") + name);
        Save(dlg.Window()->Render(ratio), std::string("scaled-key-setting-") + name);
    }
}

}  // namespace
}  // namespace lumbra::test
