// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/NameTables.h"

#include <span>

namespace lumbra {
namespace {

// clang-format off
const char* const kVirtualKeyNames[256] = {
    "Undefined",
    "LBUTTON",
    "RBUTTON",
    "CANCEL",
    "MBUTTON",
    "XBUTTON1",
    "XBUTTON2",
    "Undefined",
    "Backspace",
    "Tab",
    "Undefined",
    "Undefined",
    "Clear",
    "Enter",
    "Keypad Enter",
    "Undefined",
    "Shift",
    "Ctrl",
    "Alt",
    "Pause",
    "Caps Lock",
    "Kana",
    "Undefined",
    "junja",
    "Final",
    "Hanja",
    "Undefined",
    "Esc",
    "Convert",
    "Nonconvert",
    "Accept",
    "ModeChange",
    "Space",
    "Page Up",
    "Page Down",
    "End",
    "Home",
    "Left Arrow",
    "Up Arrow",
    "Right Arrow",
    "Down Arrow",
    "Select",
    "Print",
    "Execute",
    "Print Screen",
    "Ins",
    "Del",
    "Help",
    "0",
    "1",
    "2",
    "3",
    "4",
    "5",
    "6",
    "7",
    "8",
    "9",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "A",
    "B",
    "C",
    "D",
    "E",
    "F",
    "G",
    "H",
    "I",
    "J",
    "K",
    "L",
    "M",
    "N",
    "O",
    "P",
    "Q",
    "R",
    "S",
    "T",
    "U",
    "V",
    "W",
    "X",
    "Y",
    "Z",
    "Win_L",
    "Win_R",
    "App",
    "Undefined",
    "Sleep",
    "Keypad 0",
    "Keypad 1",
    "Keypad 2",
    "Keypad 3",
    "Keypad 4",
    "Keypad 5",
    "Keypad 6",
    "Keypad 7",
    "Keypad 8",
    "Keypad 9",
    "Keypad *",
    "Keypad +",
    "Separator",
    "Keypad -",
    "Keypad .",
    "Keypad /",
    "F1",
    "F2",
    "F3",
    "F4",
    "F5",
    "F6",
    "F7",
    "F8",
    "F9",
    "F10",
    "F11",
    "F12",
    "F13",
    "F14",
    "F15",
    "F16",
    "F17",
    "F18",
    "F19",
    "F20",
    "F21",
    "F22",
    "F23",
    "F24",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Num Lock",
    "Scroll Lock",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Shift_L",
    "Shift_R",
    "Ctrl_L",
    "Ctrl_R",
    "Alt_L",
    "Alt_R",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    ";",
    "=",
    ",",
    "-",
    ".",
    "/",
    "~",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "[",
    "\\",
    "]",
    "'",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Power",
    "Wake Up",
    "K42",
    "K45",
    "K107",
    "K56",
    "K133",
    "K14",
    "K132",
    "K131",
    "KR",
    "KL",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined"
};

const char* const kKeyCodeNames[256] = {
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "A",
    "B",
    "C",
    "D",
    "E",
    "F",
    "G",
    "H",
    "I",
    "J",
    "K",
    "L",
    "M",
    "N",
    "O",
    "P",
    "Q",
    "R",
    "S",
    "T",
    "U",
    "V",
    "W",
    "X",
    "Y",
    "Z",
    "1",
    "2",
    "3",
    "4",
    "5",
    "6",
    "7",
    "8",
    "9",
    "0",
    "Enter",
    "Esc",
    "Backspace",
    "Tab",
    "Space",
    "-",
    "=",
    "[",
    "]",
    "\\",
    "K42",
    ";",
    "'",
    "~",
    ",",
    ".",
    "/",
    "Caps Lock",
    "F1",
    "F2",
    "F3",
    "F4",
    "F5",
    "F6",
    "F7",
    "F8",
    "F9",
    "F10",
    "F11",
    "F12",
    "Print",
    "Scroll Lock",
    "Pause",
    "Ins",
    "Home",
    "Page Up",
    "Del",
    "End",
    "Page Down",
    "Right Arrow",
    "Left Arrow",
    "Down Arrow",
    "Up Arrow",
    "Num Lock",
    "Keypad /",
    "Keypad *",
    "Keypad -",
    "Keypad +",
    "Keypad Eenter",
    "Keypad 1",
    "Keypad 2",
    "Keypad 3",
    "Keypad 4",
    "Keypad 5",
    "Keypad 6",
    "Keypad 7",
    "Keypad 8",
    "Keypad 9",
    "Keypad 0",
    "Keypad .",
    "K45",
    "App",
    "Undefined",
    "Undefined",
    "F13",
    "F14",
    "F15",
    "F16",
    "F17",
    "F18",
    "F19",
    "F20",
    "F21",
    "F22",
    "F23",
    "F24",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Power",
    "Sleep",
    "Wake Up",
    "Undefined",
    "K107",
    "Undefined",
    "K56",
    "K133",
    "K14",
    "K132",
    "K131",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "KR",
    "KL",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "F1",
    "F2",
    "F3",
    "F4",
    "F5",
    "F6",
    "F7",
    "F8",
    "F9",
    "F10",
    "F11",
    "F12",
    "Undefined",
    "Page Up",
    "Page Down",
    "Win_L",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Ctrl_L",
    "Shift_L",
    "Alt_L",
    "Win_L",
    "Ctrl_R",
    "Shift_R",
    "Alt_R",
    "Win_R",
    "-",
    "=",
    "W",
    "Q",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined",
    "Undefined"
};

// The right Alt key and the left Win key's key code follow the HID keyboard
// usage table (A5 <-> E6, E3 -> 5B) like every other modifier.
const uint8_t kVkToHid[256] = {
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2A, 0x2B, 0x00, 0x00, 0x00, 0x28, 0x58, 0x00,  // 00
    0x00, 0x00, 0x00, 0x48, 0x39, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x29, 0x00, 0x00, 0x00, 0x00,  // 10
    0x2C, 0x4B, 0x4E, 0x4D, 0x4A, 0x50, 0x52, 0x4F, 0x51, 0x00, 0x00, 0x00, 0x46, 0x49, 0x4C, 0x00,  // 20
    0x27, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x00, 0x29, 0x00, 0x00, 0x00, 0x00,  // 30
    0x00, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12,  // 40
    0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0xE3, 0xE7, 0x65, 0x00, 0x82,  // 50
    0x62, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F, 0x60, 0x61, 0x55, 0x57, 0x00, 0x56, 0x63, 0x54,  // 60
    0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x00, 0x00, 0x00, 0x00,  // 70
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 80
    0x53, 0x47, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 90
    0xE1, 0xE5, 0xE0, 0xE4, 0xE2, 0xE6, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // A0
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x33, 0x2E, 0x36, 0x2D, 0x37, 0x38,  // B0
    0x35, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // C0
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2F, 0x31, 0x30, 0x34, 0x00,  // D0
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // E0
    0x81, 0x83, 0x32, 0x64, 0x85, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x90, 0x91, 0x00, 0x00, 0x00, 0x00,  // F0
};

const uint8_t kHidToVk[256] = {
    0x00, 0x00, 0x00, 0x00, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C,  // 00
    0x4D, 0x4E, 0x4F, 0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x31, 0x32,  // 10
    0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x30, 0x0D, 0x1B, 0x08, 0x09, 0x20, 0xBD, 0xBB, 0xDB,  // 20
    0xDD, 0xDC, 0xF2, 0xBA, 0xDE, 0xC0, 0xBC, 0xBE, 0xBF, 0x14, 0x70, 0x71, 0x72, 0x73, 0x74, 0x75,  // 30
    0x76, 0x77, 0x78, 0x79, 0x7A, 0x7B, 0x2A, 0x91, 0x13, 0x2D, 0x24, 0x21, 0x2E, 0x23, 0x22, 0x27,  // 40
    0x25, 0x28, 0x26, 0x90, 0x6F, 0x6A, 0x6D, 0x6B, 0x0E, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67,  // 50
    0x68, 0x69, 0x60, 0x6E, 0xF3, 0x5D, 0x00, 0x00, 0x7C, 0x7D, 0x7E, 0x7F, 0x80, 0x81, 0x82, 0x83,  // 60
    0x84, 0x85, 0x86, 0x87, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 70
    0x00, 0xF0, 0x5F, 0xF1, 0x00, 0xF4, 0x00, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0x00, 0x00, 0x00, 0x00,  // 80
    0xFA, 0xFB, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 90
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // A0
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // B0
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x7B, 0x00, 0x00, 0x00, 0x00,  // C0
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // D0
    0xA2, 0xA0, 0xA4, 0x5B, 0xA3, 0xA1, 0xA5, 0x5C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // E0
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // F0
};

const char* const kGKeyFunctionPopup[] = {
    "Assign a Macro",
    "Profile",
    "DPI Setting",
    "Multimedia",
    "默认功能",
    "等待开发",
    "等待开发",
    "No Function",
    "Assing a shortcut",
    "Disable",
    "IE Forward",
    "IE Backward",
    "Tilt Left",
    "Tilt Right",
    "Undefine",
    "Undefine",
    "Scroll Up",
    "Scroll Down",
    "Quick launch",
    "Profile Cycle",
    "Profile Up",
    "Profile Down",
    "EasyShift",
};
const char* const kDpiPopup[] = {
    "Assign a Macro",
    "Profile",
    "DPI Setting",
    "Multimedia",
    "Click",
    "Menu",
    "Universal scrolling",
    "Double-click",
    "Assing a shortcut",
    "Disable",
    "IE Forward",
    "IE Backward",
    "Tilt Left",
    "Tilt Right",
    "Scroll Up",
    "Scroll Down",
    "Quick launch",
    "Profile Cycle",
    "Profile Up",
    "Profile Down",
    "Search",
    "Home",
    "Back",
    "Forward",
    "Stop",
    "Refresh",
    "Favourite",
    "Email",
    "My Computer",
    "Calculator",
};
const char* const kLightBrightnessPopup[] = {
    "Breath",
    "100%",
    "60%",
    "30%",
    "0%",
    "Purple",
    "White",
};
const char* const kLightColorPopup[] = {
    "Mode1",
    "Mode2",
    "Mode3",
    "Orange",
    "Green",
    "Cyan",
    "White",
};
const char* const kMultimediaPopup[] = {
    "Assign a Macro",
    "Profile",
    "DPI Setting",
    "Multimedia",
    "Click",
    "Menu",
    "Universal scrolling",
    "Double-click",
    "Assing a shortcut",
    "Disable",
    "IE Forward",
    "IE Backward",
    "Tilt Left",
    "Tilt Right",
    "Scroll Up",
    "Scroll Down",
    "Quick launch",
    "Profile Cycle",
    "Profile Up",
    "Profile Down",
    "DPI Cycle",
    "DPI Up",
    "DPI Down",
    "Click",
    "Menu",
    "Universal scrolling",
    "IE Backward",
    "IE Forward",
    "Double-click",
    "Fire",
    "Volume Down",
};
const char* const kProfilePopup[] = {
    "Assign a Macro",
    "Profile",
    "DPI Setting",
    "Multimedia",
    "Click",
    "Menu",
    "Universal scrolling",
    "Double-click",
    "Assing a shortcut",
    "Disable",
    "IE Forward",
    "IE Backward",
    "Tilt Left",
    "Tilt Right",
    "Scroll Up",
    "Scroll Down",
    "Quick launch",
    "Mute",
    "Volume+",
    "Volume-",
    "Open Media",
    "PreTrack",
    "NextTrack",
    "Play/Pause",
    "Stop",
};
const char* const kConsumerFunctionNames[] = {
    "Mute", "Volume+", "Volume-", "Open Media", "PreTrack", "NextTrack", "Play/Pause", "Stop",
    "Search", "Home", "Back", "Forward", "Stop", "Refresh", "Favourite", "Email", "My Computer",
    "Calculator",
};

const char* const kLightModeCaptions[] = {
    "Mode1", "Mode2", "Mode3", "Orange", "Green", "Cyan", "White",
};
// clang-format on

constexpr uint8_t kFirstConsumerCode = 0xA0;

std::span<const char* const> Table(PopupTable table) {
    switch (table) {
        case PopupTable::kGKeyFunction:
            return kGKeyFunctionPopup;
        case PopupTable::kWindowManage:
            return kDpiPopup;
        case PopupTable::kLightBrightness:
            return kLightBrightnessPopup;
        case PopupTable::kLightColor:
            return kLightColorPopup;
        case PopupTable::kMouseFunction:
            return kMultimediaPopup;
        case PopupTable::kMultimedia:
            return kProfilePopup;
    }
    return {};
}

}  // namespace

std::string_view VirtualKeyName(uint8_t code) { return kVirtualKeyNames[code]; }
std::string_view KeyCodeName(uint8_t code) { return kKeyCodeNames[code]; }
uint8_t VkToHid(uint8_t virtualKey) { return kVkToHid[virtualKey]; }
uint8_t HidToVk(uint8_t keyCode) { return kHidToVk[keyCode]; }

int PopupItemCount(PopupTable table) { return static_cast<int>(Table(table).size()); }

std::string_view PopupItemText(PopupTable table, int t) {
    const auto entries = Table(table);
    if (t < 1 || t > static_cast<int>(entries.size())) return {};
    return entries[static_cast<size_t>(t - 1)];
}

int BrightnessCodeForItem(int t) {
    switch (t) {
        case 1:
            return 24;
        case 2:
            return 8;
        case 3:
            return 4;
        case 4:
            return 2;
        default:
            return 1;
    }
}

uint8_t MultimediaCodeForItem(int t) {
    if (t >= 18 && t <= 24) return static_cast<uint8_t>(kFirstConsumerCode + (t - 18));
    return 0xA7;
}

std::optional<uint8_t> WindowManageCodeForItem(int t) {
    if (t >= 21 && t <= 30) return static_cast<uint8_t>(0xA8 + (t - 21));
    return std::nullopt;
}

KeyAction MouseFunctionForItem(int t) {
    if (t >= 24 && t <= 28) {
        return {KeyActionType::kMouseButton, static_cast<uint8_t>(1u << (t - 24)), 0};
    }
    if (t == 29) return {KeyActionType::kDoubleClick, 0, 0};
    if (t == 30) return {KeyActionType::kFire, 0, 0};
    return {};
}

std::string_view ConsumerFunctionName(uint8_t code) {
    const size_t index = static_cast<size_t>(code) - kFirstConsumerCode;
    if (code < kFirstConsumerCode || index >= std::size(kConsumerFunctionNames)) return {};
    return kConsumerFunctionNames[index];
}

std::optional<std::string_view> LightModeCaption(int mode) {
    if (mode < 1 || mode > 7) return std::nullopt;
    return kLightModeCaptions[mode - 1];
}

std::optional<std::string_view> LightBrightnessCaption(int brightness) {
    if (brightness < 0 || brightness > 24) return std::nullopt;
    if (brightness <= 1) return "0%";
    if (brightness <= 3) return "30%";
    if (brightness <= 7) return "60%";
    if (brightness <= 15) return "100%";
    return "Breath";
}

ProfileCaptions ShowProfileCaptions(const KeyboardProfile& profile) {
    ProfileCaptions captions;
    for (int g = 0; g < kGKeyCount; ++g) {
        captions.gkeyNames[static_cast<size_t>(g)] = profile.GKey(g)->name;
    }
    captions.shownMode = profile.LightColor();
    captions.modeCaption = LightModeCaption(captions.shownMode);
    captions.brightnessCaption = LightBrightnessCaption(profile.LightBrightness());
    return captions;
}

}  // namespace lumbra
