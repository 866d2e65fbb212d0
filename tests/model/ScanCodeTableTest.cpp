// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "model/KeyNames.h"
#include "model/ScanCodeTable.h"
#include "tests/TestSupport.h"

namespace lumbra {
namespace {

// The kernel's key code of every key of the keyboard picture, by its name
// there (from the kernel's input event codes).
const std::map<std::string, uint32_t> kEvdevByKeyName = {
    {"Esc", 1},
    {"F1", 59},
    {"F2", 60},
    {"F3", 61},
    {"F4", 62},
    {"F5", 63},
    {"F6", 64},
    {"F7", 65},
    {"F8", 66},
    {"F9", 67},
    {"F10", 68},
    {"F11", 87},
    {"F12", 88},
    {"Print", 99},
    {"Scroll Lock", 70},
    {"Pause", 119},
    {"~", 41},
    {"1", 2},
    {"2", 3},
    {"3", 4},
    {"4", 5},
    {"5", 6},
    {"6", 7},
    {"7", 8},
    {"8", 9},
    {"9", 10},
    {"0", 11},
    {"-", 12},
    {"+", 13},
    {"Backspace", 14},
    {"Ins", 110},
    {"Home", 102},
    {"Page Up", 104},
    {"Num Lock", 69},
    {"Keypad /", 98},
    {"Keypad *", 55},
    {"Keypad -", 74},
    {"Tab", 15},
    {"Q", 16},
    {"W", 17},
    {"E", 18},
    {"R", 19},
    {"T", 20},
    {"Y", 21},
    {"U", 22},
    {"I", 23},
    {"O", 24},
    {"P", 25},
    {"[", 26},
    {"]", 27},
    {"\\", 43},
    {"Del", 111},
    {"End", 107},
    {"Page Down", 109},
    {"Keypad 7", 71},
    {"Keypad 8", 72},
    {"Keypad 9", 73},
    {"Keypad +", 78},
    {"Caps Lock", 58},
    {"A", 30},
    {"S", 31},
    {"D", 32},
    {"F", 33},
    {"G", 34},
    {"H", 35},
    {"J", 36},
    {"K", 37},
    {"L", 38},
    {";", 39},
    {"'", 40},
    {"Enter", 28},
    {"Keypad 4", 75},
    {"Keypad 5", 76},
    {"Keypad 6", 77},
    {"Shift_L", 42},
    {"Z", 44},
    {"X", 45},
    {"C", 46},
    {"V", 47},
    {"B", 48},
    {"N", 49},
    {"M", 50},
    {",", 51},
    {".", 52},
    {"/", 53},
    {"Shift_R", 54},
    {"Up Arrow", 103},
    {"Keypad 1", 79},
    {"Keypad 2", 80},
    {"Keypad 3", 81},
    {"Keypad Enter", 96},
    {"Ctrl_L", 29},
    {"Win_L", 125},
    {"Alt_L", 56},
    {"Space", 57},
    {"Alt_R", 100},
    {"App", 127},
    {"Ctrl_R", 97},
    {"Left Arrow", 105},
    {"Down Arrow", 108},
    {"Right Arrow", 106},
    {"Keypad 0", 82},
    {"Keypad .", 83},
};

// The HID usage of a key whose factory code is one of the keyboard's own.
uint8_t HidUsageOfKeyCode(uint8_t code) {
    if (code >= 0xC0 && code <= 0xCB) return static_cast<uint8_t>(0x3A + (code - 0xC0));  // F1..F12
    switch (code) {
        case 0xCD:
            return 0x4B;  // Page Up
        case 0xCE:
            return 0x4E;  // Page Down
        case 0xCF:
            return 0xE3;  // Win_L
        case 0xE8:
            return 0x2D;  // -
        case 0xE9:
            return 0x2E;  // =
        case 0xEA:
            return 0x1A;  // W
        case 0xEB:
            return 0x14;  // Q
        default:
            return code;
    }
}

TEST(ScanCodeTable, EveryKeyOfThePictureCapturesAsItsOwnUsage) {
    std::istringstream rows(test::Fixture("key_buttons.tsv"));
    std::string line;
    int keys = 0;
    while (std::getline(rows, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        int id = 0, code = 0;
        std::string name;
        fields >> id >> code;
        fields.ignore(1);
        std::getline(fields, name);
        ASSERT_TRUE(kEvdevByKeyName.count(name)) << name;
        const uint8_t vk = VirtualKeyFromScanCode(kEvdevByKeyName.at(name) + kXkbKeycodeOffset);
        EXPECT_NE(vk, 0) << name;
        EXPECT_EQ(VkToHid(vk), HidUsageOfKeyCode(static_cast<uint8_t>(code))) << name;
        ++keys;
    }
    EXPECT_EQ(keys, 103);
}

TEST(ScanCodeTable, LeftAndRightModifiersAreToldApart) {
    const std::pair<uint32_t, uint8_t> modifiers[] = {{42, 0xA0},  {54, 0xA1}, {29, 0xA2},
                                                      {97, 0xA3},  {56, 0xA4}, {100, 0xA5},
                                                      {125, 0x5B}, {126, 0x5C}};
    for (const auto& [evdev, vk] : modifiers) {
        EXPECT_EQ(VirtualKeyFromScanCode(evdev + kXkbKeycodeOffset), vk) << evdev;
        EXPECT_EQ(EvdevCodeForVirtualKey(vk), evdev);
    }
}

TEST(ScanCodeTable, ExtraKeysGetTheKeyboardsOwnCodes) {
    EXPECT_EQ(VirtualKeyFromScanCode(96 + 8), 0x0E);   // Keypad Enter
    EXPECT_EQ(VirtualKeyFromScanCode(116 + 8), 0xF0);  // Power
    EXPECT_EQ(VirtualKeyFromScanCode(143 + 8), 0xF1);  // Wake Up
    EXPECT_EQ(VirtualKeyFromScanCode(86 + 8), 0xF3);   // K45
    EXPECT_EQ(VkToHid(VirtualKeyFromScanCode(86 + 8)), 0x64);
    EXPECT_EQ(VkToHid(VirtualKeyFromScanCode(122 + 8)), 0x90);
    EXPECT_EQ(VkToHid(VirtualKeyFromScanCode(183 + 8)), 0x00) << "F13 has no key code here";
    EXPECT_EQ(VirtualKeyFromScanCode(183 + 8), 0x7C);
}

TEST(ScanCodeTable, LinuxKeyCodesNameKeysByPlaceWithSidesApart) {
    struct Case {
        uint32_t code;
        uint8_t vk;
    };
    // KEY_A, KEY_1, KEY_0, KEY_LEFTSHIFT, KEY_RIGHTSHIFT, KEY_LEFTCTRL,
    // KEY_RIGHTCTRL, KEY_LEFTALT, KEY_RIGHTALT, KEY_LEFTMETA, KEY_KPENTER,
    // KEY_F12, KEY_F13, KEY_BACKSLASH, KEY_102ND, KEY_KP0, KEY_DELETE.
    const Case cases[] = {{30, 0x41},  {2, 0x31},  {11, 0x30},  {42, 0xA0},  {54, 0xA1}, {29, 0xA2},
                          {97, 0xA3},  {56, 0xA4}, {100, 0xA5}, {125, 0x5B}, {96, 0x0E}, {88, 0x7B},
                          {183, 0x7C}, {43, 0xDC}, {86, 0xF3},  {82, 0x60},  {111, 0x2E}};
    for (const Case& c : cases)
        EXPECT_EQ(VirtualKeyFromScanCode(c.code + kXkbKeycodeOffset), c.vk) << c.code;
    EXPECT_EQ(VirtualKeyFromScanCode(0 + kXkbKeycodeOffset), 0);
    EXPECT_EQ(VirtualKeyFromScanCode(5000 + kXkbKeycodeOffset), 0);
}

TEST(ScanCodeTable, UnknownAndOutOfRangeScanCodesGiveNothing) {
    EXPECT_EQ(VirtualKeyFromScanCode(0), 0);
    EXPECT_EQ(VirtualKeyFromScanCode(7), 0);
    EXPECT_EQ(VirtualKeyFromScanCode(8), 0);
    EXPECT_EQ(VirtualKeyFromScanCode(84 + 8), 0);
    EXPECT_EQ(VirtualKeyFromScanCode(0xFFFFFFFF), 0);
    EXPECT_EQ(VirtualKeyFromScanCode(255 + 8), 0);
    EXPECT_EQ(EvdevCodeForVirtualKey(0x07), 0u);
}

}  // namespace
}  // namespace lumbra
