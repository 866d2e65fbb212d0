// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ScanCodeTable.h"

#include <array>
#include <cstddef>
#include <utility>

namespace lumbra {
namespace {

// (kernel key code, virtual-key code) for every key of the keyboard picture
// and a few more a desktop keyboard has.
// clang-format off
constexpr std::pair<uint16_t, uint8_t> kEvdevToVk[] = {
    {1, 0x1B},    // Esc
    {2, 0x31}, {3, 0x32}, {4, 0x33}, {5, 0x34}, {6, 0x35},
    {7, 0x36}, {8, 0x37}, {9, 0x38}, {10, 0x39}, {11, 0x30},
    {12, 0xBD},   // -
    {13, 0xBB},   // =
    {14, 0x08},   // Backspace
    {15, 0x09},   // Tab
    {16, 0x51}, {17, 0x57}, {18, 0x45}, {19, 0x52}, {20, 0x54},   // Q W E R T
    {21, 0x59}, {22, 0x55}, {23, 0x49}, {24, 0x4F}, {25, 0x50},   // Y U I O P
    {26, 0xDB},   // [
    {27, 0xDD},   // ]
    {28, 0x0D},   // Enter
    {29, 0xA2},   // Ctrl_L
    {30, 0x41}, {31, 0x53}, {32, 0x44}, {33, 0x46}, {34, 0x47},   // A S D F G
    {35, 0x48}, {36, 0x4A}, {37, 0x4B}, {38, 0x4C},               // H J K L
    {39, 0xBA},   // ;
    {40, 0xDE},   // '
    {41, 0xC0},   // ~
    {42, 0xA0},   // Shift_L
    {43, 0xDC},   // backslash
    {44, 0x5A}, {45, 0x58}, {46, 0x43}, {47, 0x56}, {48, 0x42},   // Z X C V B
    {49, 0x4E}, {50, 0x4D},                                       // N M
    {51, 0xBC},   // ,
    {52, 0xBE},   // .
    {53, 0xBF},   // /
    {54, 0xA1},   // Shift_R
    {55, 0x6A},   // Keypad *
    {56, 0xA4},   // Alt_L
    {57, 0x20},   // Space
    {58, 0x14},   // Caps Lock
    {59, 0x70}, {60, 0x71}, {61, 0x72}, {62, 0x73}, {63, 0x74},   // F1..F5
    {64, 0x75}, {65, 0x76}, {66, 0x77}, {67, 0x78}, {68, 0x79},   // F6..F10
    {69, 0x90},   // Num Lock
    {70, 0x91},   // Scroll Lock
    {71, 0x67}, {72, 0x68}, {73, 0x69},   // Keypad 7 8 9
    {74, 0x6D},   // Keypad -
    {75, 0x64}, {76, 0x65}, {77, 0x66},   // Keypad 4 5 6
    {78, 0x6B},   // Keypad +
    {79, 0x61}, {80, 0x62}, {81, 0x63},   // Keypad 1 2 3
    {82, 0x60},   // Keypad 0
    {83, 0x6E},   // Keypad .
    {86, 0xF3},   // K45, the key left of Z on ISO keyboards
    {87, 0x7A},   // F11
    {88, 0x7B},   // F12
    {89, 0xF5},   // K56 (International 1)
    {92, 0xF8},   // K132 (International 4)
    {93, 0xF6},   // K133 (International 2)
    {94, 0xF9},   // K131 (International 5)
    {96, 0x0E},   // Keypad Enter
    {97, 0xA3},   // Ctrl_R
    {98, 0x6F},   // Keypad /
    {99, 0x2C},   // Print Screen
    {100, 0xA5},  // Alt_R
    {102, 0x24},  // Home
    {103, 0x26},  // Up Arrow
    {104, 0x21},  // Page Up
    {105, 0x25},  // Left Arrow
    {106, 0x27},  // Right Arrow
    {107, 0x23},  // End
    {108, 0x28},  // Down Arrow
    {109, 0x22},  // Page Down
    {110, 0x2D},  // Ins
    {111, 0x2E},  // Del
    {116, 0xF0},  // Power
    {119, 0x13},  // Pause
    {121, 0xF4},  // K107 (keypad comma)
    {122, 0xFA},  // KR (Language 1)
    {123, 0xFB},  // KL (Language 2)
    {124, 0xF7},  // K14 (International 3)
    {125, 0x5B},  // Win_L
    {126, 0x5C},  // Win_R
    {127, 0x5D},  // App
    {142, 0x5F},  // Sleep
    {143, 0xF1},  // Wake Up
    {183, 0x7C}, {184, 0x7D}, {185, 0x7E}, {186, 0x7F}, {187, 0x80}, {188, 0x81},  // F13..F18
    {189, 0x82}, {190, 0x83}, {191, 0x84}, {192, 0x85}, {193, 0x86}, {194, 0x87},  // F19..F24
};
// clang-format on

// The ISO key beside Enter (K42) shares the backslash key's kernel code: the
// kernel cannot tell them apart, so it is captured as backslash.

constexpr size_t kTableSize = 256;

constexpr std::array<uint8_t, kTableSize> BuildTable() {
    std::array<uint8_t, kTableSize> table{};
    for (const auto& [evdev, vk] : kEvdevToVk) table[evdev] = vk;
    return table;
}

constexpr std::array<uint8_t, kTableSize> kTable = BuildTable();

}  // namespace

uint8_t VirtualKeyFromScanCode(uint32_t nativeScanCode) {
    if (nativeScanCode < kXkbKeycodeOffset) return 0;
    const uint32_t evdev = nativeScanCode - kXkbKeycodeOffset;
    return evdev < kTableSize ? kTable[evdev] : 0;
}

uint32_t EvdevCodeForVirtualKey(uint8_t virtualKey) {
    for (const auto& [evdev, vk] : kEvdevToVk) {
        if (vk == virtualKey) return evdev;
    }
    return 0;
}

}  // namespace lumbra
