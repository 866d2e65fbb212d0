// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "model/NameTables.h"

namespace lumbra {
namespace {

TEST(NameTables, VirtualKeyNamesAtTheirBoundaries) {
    EXPECT_EQ(VirtualKeyName(0x00), "Undefined");
    EXPECT_EQ(VirtualKeyName(0x08), "Backspace");
    EXPECT_EQ(VirtualKeyName(0x0E), "Keypad Enter");
    EXPECT_EQ(VirtualKeyName(0x41), "A");
    EXPECT_EQ(VirtualKeyName(0x5A), "Z");
    EXPECT_EQ(VirtualKeyName(0x87), "F24");
    EXPECT_EQ(VirtualKeyName(0x88), "Undefined");
    EXPECT_EQ(VirtualKeyName(0xA5), "Alt_R");
    EXPECT_EQ(VirtualKeyName(0xC0), "~");
    EXPECT_EQ(VirtualKeyName(0xDC), "\\");
    EXPECT_EQ(VirtualKeyName(0xDE), "'");
    EXPECT_EQ(VirtualKeyName(0xFB), "KL");
    EXPECT_EQ(VirtualKeyName(0xFC), "Undefined");
    EXPECT_EQ(VirtualKeyName(0xFF), "Undefined");
}

TEST(NameTables, KeyCodeNamesAtTheirBoundaries) {
    EXPECT_EQ(KeyCodeName(0x00), "Undefined");
    EXPECT_EQ(KeyCodeName(0x03), "Undefined");
    EXPECT_EQ(KeyCodeName(0x04), "A");
    EXPECT_EQ(KeyCodeName(0x31), "\\");
    EXPECT_EQ(KeyCodeName(0x58), "Keypad Eenter");
    EXPECT_EQ(KeyCodeName(0x65), "App");
    EXPECT_EQ(KeyCodeName(0x91), "KL");
    EXPECT_EQ(KeyCodeName(0xCF), "Win_L");
    EXPECT_EQ(KeyCodeName(0xE3), "Win_L");
    EXPECT_EQ(KeyCodeName(0xEB), "Q");
    EXPECT_EQ(KeyCodeName(0xEC), "Undefined");
    EXPECT_EQ(KeyCodeName(0xFF), "Undefined");
}

TEST(NameTables, NativeFunctionKeyCodesAreNamedLikeTheHidOnes) {
    const char* const names[] = {"F1", "F2", "F3", "F4",  "F5",  "F6",
                                 "F7", "F8", "F9", "F10", "F11", "F12"};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(KeyCodeName(static_cast<uint8_t>(0xC0 + i)), names[i]);
        EXPECT_EQ(KeyCodeName(static_cast<uint8_t>(0x3A + i)), names[i]);
    }
}

TEST(NameTables, VkToHidFollowsTheTableAndTheHidUsagesForRightAlt) {
    EXPECT_EQ(VkToHid(0x08), 0x2A);
    EXPECT_EQ(VkToHid(0x09), 0x2B);
    EXPECT_EQ(VkToHid(0x0E), 0x58);
    EXPECT_EQ(VkToHid(0x30), 0x27);
    EXPECT_EQ(VkToHid(0x31), 0x1E);
    EXPECT_EQ(VkToHid(0x39), 0x26);
    EXPECT_EQ(VkToHid(0x3B), 0x29);
    EXPECT_EQ(VkToHid(0x41), 0x04);
    EXPECT_EQ(VkToHid(0x5A), 0x1D);
    EXPECT_EQ(VkToHid(0x5B), 0xE3);
    EXPECT_EQ(VkToHid(0x61), 0x59);
    EXPECT_EQ(VkToHid(0x70), 0x3A);
    EXPECT_EQ(VkToHid(0x7B), 0x45);
    EXPECT_EQ(VkToHid(0x7C), 0x00);
    EXPECT_EQ(VkToHid(0xA4), 0xE2);
    EXPECT_EQ(VkToHid(0xA5), 0xE6);
    EXPECT_EQ(VkToHid(0xF5), 0x87);
    EXPECT_EQ(VkToHid(0xF9), 0x8B);
    EXPECT_EQ(VkToHid(0xFB), 0x91);
    EXPECT_EQ(VkToHid(0x00), 0x00);
    EXPECT_EQ(VkToHid(0xFF), 0x00);
}

TEST(NameTables, HidToVkFollowsTheTableAndTheHidUsagesForWinAndRightAlt) {
    EXPECT_EQ(HidToVk(0x04), 0x41);
    EXPECT_EQ(HidToVk(0x27), 0x30);
    EXPECT_EQ(HidToVk(0x58), 0x0E);
    EXPECT_EQ(HidToVk(0x62), 0x60);
    EXPECT_EQ(HidToVk(0x68), 0x7C);
    EXPECT_EQ(HidToVk(0x73), 0x87);
    EXPECT_EQ(HidToVk(0xC0), 0x70);
    EXPECT_EQ(HidToVk(0xCB), 0x7B);
    EXPECT_EQ(HidToVk(0xE0), 0xA2);
    EXPECT_EQ(HidToVk(0xE3), 0x5B);
    EXPECT_EQ(HidToVk(0xE6), 0xA5);
    EXPECT_EQ(HidToVk(0xE7), 0x5C);
    EXPECT_EQ(HidToVk(0x66), 0x00);
    EXPECT_EQ(HidToVk(0xFF), 0x00);
}

TEST(NameTables, ModifiersTranslateBothWays) {
    for (uint8_t vk : {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0x5B, 0x5C}) {
        EXPECT_EQ(HidToVk(VkToHid(vk)), vk) << int(vk);
    }
}

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
