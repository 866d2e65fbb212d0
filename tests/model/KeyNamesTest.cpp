// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "model/KeyNames.h"

namespace lumbra {
namespace {

TEST(KeyNames, VirtualKeyNamesAtTheirBoundaries) {
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

TEST(KeyNames, KeyCodeNamesAtTheirBoundaries) {
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

TEST(KeyNames, NativeFunctionKeyCodesAreNamedLikeTheHidOnes) {
    const char* const names[] = {"F1", "F2", "F3", "F4",  "F5",  "F6",
                                 "F7", "F8", "F9", "F10", "F11", "F12"};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(KeyCodeName(static_cast<uint8_t>(0xC0 + i)), names[i]);
        EXPECT_EQ(KeyCodeName(static_cast<uint8_t>(0x3A + i)), names[i]);
    }
}

TEST(KeyNames, VkToHidFollowsTheTableAndTheHidUsagesForRightAlt) {
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

TEST(KeyNames, HidToVkFollowsTheTableAndTheHidUsagesForWinAndRightAlt) {
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

TEST(KeyNames, ModifiersTranslateBothWays) {
    for (uint8_t vk : {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0x5B, 0x5C}) {
        EXPECT_EQ(HidToVk(VkToHid(vk)), vk) << int(vk);
    }
}

}  // namespace
}  // namespace lumbra
