// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "model/NameTables.h"

namespace lumbra {
namespace {

TEST(NameTables, PopupTablesHaveTheirEntriesAndNothingOutside) {
    EXPECT_EQ(PopupItemCount(PopupTable::kGKeyFunction), 23);
    EXPECT_EQ(PopupItemCount(PopupTable::kWindowManage), 30);
    EXPECT_EQ(PopupItemCount(PopupTable::kLightBrightness), 7);
    EXPECT_EQ(PopupItemCount(PopupTable::kLightColor), 7);
    EXPECT_EQ(PopupItemCount(PopupTable::kMouseFunction), 31);
    EXPECT_EQ(PopupItemCount(PopupTable::kMultimedia), 25);

    EXPECT_EQ(PopupItemText(PopupTable::kGKeyFunction, 1), "Assign a Macro");
    EXPECT_EQ(PopupItemText(PopupTable::kGKeyFunction, 5), "默认功能");
    EXPECT_EQ(PopupItemText(PopupTable::kGKeyFunction, 6), "等待开发");
    EXPECT_EQ(PopupItemText(PopupTable::kGKeyFunction, 9), "Assing a shortcut");
    EXPECT_EQ(PopupItemText(PopupTable::kGKeyFunction, 23), "EasyShift");
    EXPECT_EQ(PopupItemText(PopupTable::kGKeyFunction, 24), "");
    EXPECT_EQ(PopupItemText(PopupTable::kGKeyFunction, 0), "");
    EXPECT_EQ(PopupItemText(PopupTable::kWindowManage, 30), "Calculator");
    EXPECT_EQ(PopupItemText(PopupTable::kLightBrightness, 1), "Breath");
    EXPECT_EQ(PopupItemText(PopupTable::kLightColor, 4), "Orange");
    EXPECT_EQ(PopupItemText(PopupTable::kMouseFunction, 31), "Volume Down");
    EXPECT_EQ(PopupItemText(PopupTable::kMultimedia, 24), "Play/Pause");
    EXPECT_EQ(PopupItemText(PopupTable::kMultimedia, 25), "Stop");
}

TEST(NameTables, PopupItemsProduceTheirCodes) {
    EXPECT_EQ(BrightnessCodeForItem(1), 24);
    EXPECT_EQ(BrightnessCodeForItem(2), 8);
    EXPECT_EQ(BrightnessCodeForItem(3), 4);
    EXPECT_EQ(BrightnessCodeForItem(4), 2);
    EXPECT_EQ(BrightnessCodeForItem(5), 1);
    EXPECT_EQ(BrightnessCodeForItem(7), 1);
    EXPECT_EQ(MultimediaCodeForItem(18), 0xA0);
    EXPECT_EQ(MultimediaCodeForItem(24), 0xA6);
    EXPECT_EQ(MultimediaCodeForItem(25), 0xA7);
    EXPECT_EQ(MultimediaCodeForItem(17), 0xA7);
    EXPECT_EQ(WindowManageCodeForItem(21), uint8_t{0xA8});
    EXPECT_EQ(WindowManageCodeForItem(30), uint8_t{0xB1});
    EXPECT_FALSE(WindowManageCodeForItem(20).has_value());
    EXPECT_EQ(MouseFunctionForItem(24), (KeyAction{3, 0x01, 0}));
    EXPECT_EQ(MouseFunctionForItem(28), (KeyAction{3, 0x10, 0}));
    EXPECT_EQ(MouseFunctionForItem(29), (KeyAction{4, 0, 0}));
    EXPECT_EQ(MouseFunctionForItem(30), (KeyAction{5, 0, 0}));
    EXPECT_EQ(MouseFunctionForItem(31), (KeyAction{0, 0, 0}));
    EXPECT_EQ(ConsumerFunctionName(0xA0), "Mute");
    EXPECT_EQ(ConsumerFunctionName(0xAC), "Stop");
    EXPECT_EQ(ConsumerFunctionName(0xB1), "Calculator");
    EXPECT_EQ(ConsumerFunctionName(0xB2), "");
    EXPECT_EQ(ConsumerFunctionName(0x9F), "");
}

TEST(NameTables, LightingCaptionsCoverEveryValueAndNothingElse) {
    EXPECT_EQ(LightBrightnessCaption(0), "0%");
    EXPECT_EQ(LightBrightnessCaption(1), "0%");
    EXPECT_EQ(LightBrightnessCaption(2), "30%");
    EXPECT_EQ(LightBrightnessCaption(3), "30%");
    EXPECT_EQ(LightBrightnessCaption(4), "60%");
    EXPECT_EQ(LightBrightnessCaption(7), "60%");
    EXPECT_EQ(LightBrightnessCaption(8), "100%");
    EXPECT_EQ(LightBrightnessCaption(15), "100%");
    EXPECT_EQ(LightBrightnessCaption(16), "Breath");
    EXPECT_EQ(LightBrightnessCaption(24), "Breath");
    EXPECT_FALSE(LightBrightnessCaption(25).has_value());
    EXPECT_FALSE(LightBrightnessCaption(-1).has_value());
    EXPECT_EQ(LightModeCaption(1), "Mode1");
    EXPECT_EQ(LightModeCaption(7), "White");
    EXPECT_FALSE(LightModeCaption(0).has_value());
    EXPECT_FALSE(LightModeCaption(8).has_value());
}

TEST(NameTables, ProfileCaptionsShowNamesAndLeaveUnknownLightingAlone) {
    KeyboardProfile profile;
    profile.ResetDefaults(0);
    profile.GKey(3)->name = "Profile1_G4";
    profile.SetLightColor(4);
    profile.SetLightBrightness(24);
    ProfileCaptions captions = ShowProfileCaptions(profile);
    EXPECT_EQ(captions.gkeyNames[0], "No Function");
    EXPECT_EQ(captions.gkeyNames[3], "Profile1_G4");
    EXPECT_EQ(captions.shownMode, 4);
    EXPECT_EQ(captions.modeCaption, "Orange");
    EXPECT_EQ(captions.brightnessCaption, "Breath");

    profile.SetPairValue(1, "8");
    profile.SetPairValue(2, "25");
    captions = ShowProfileCaptions(profile);
    EXPECT_EQ(captions.shownMode, 8);
    EXPECT_FALSE(captions.modeCaption.has_value());
    EXPECT_FALSE(captions.brightnessCaption.has_value());
}

}  // namespace
}  // namespace lumbra
