// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/NameTables.h"

#include <span>

namespace lumbra {
namespace {

// clang-format off
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
