// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/KeyAction.h"
#include "model/KeyboardProfile.h"

namespace lumbra {

// The popups whose items carry a function to the main window.
enum class PopupTable {
    kGKeyFunction,     // CComboPopup, 23 entries
    kWindowManage,     // CWindowManagePopup, 30 entries
    kLightBrightness,  // CLightBrightnessPopup, 7 entries
    kLightColor,       // CLightColorPopup, 7 entries
    kMouseFunction,    // CMouseFunctionPopup, 31 entries
    kMultimedia,       // CMultimediaKeyPopup, 25 entries
};

int PopupItemCount(PopupTable table);
// Entry t (1-based) of a popup's result table; empty outside 1..count.
std::string_view PopupItemText(PopupTable table, int t);

// What an item of the brightness popup produces: 24, 8, 4, 2 for items 1..4,
// 1 for every other item.
int BrightnessCodeForItem(int t);
// The consumer function code of an item of the multimedia popup: 0xA0..0xA6
// for items 18..24, 0xA7 for every other item.
uint8_t MultimediaCodeForItem(int t);
// The consumer function code of items 21..30 of the window-manage popup.
std::optional<uint8_t> WindowManageCodeForItem(int t);
// The function of an item of the mouse-function popup.
KeyAction MouseFunctionForItem(int t);

// The display name of a consumer function code 0xA0..0xB1; empty otherwise.
std::string_view ConsumerFunctionName(uint8_t code);

// Lighting captions: mode 1..7 and brightness 0..24; nothing for any other value.
std::optional<std::string_view> LightModeCaption(int mode);
std::optional<std::string_view> LightBrightnessCaption(int brightness);

// What the main window shows for a profile: the five G-key captions, the
// lighting mode it keeps as the shown one, and the two lighting captions.
// A caption without a value leaves the one on screen as it was.
struct ProfileCaptions {
    std::array<std::string, kGKeyCount> gkeyNames;
    int shownMode = 0;
    std::optional<std::string_view> modeCaption;
    std::optional<std::string_view> brightnessCaption;
};
ProfileCaptions ShowProfileCaptions(const KeyboardProfile& profile);

}  // namespace lumbra
