// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace lumbra {

// A control notifies its parent with the message whose number is its own id.
// The second parameter says what happened.
namespace ControlEvent {
constexpr intptr_t kPressed = 1;       // the button went down inside the control
constexpr intptr_t kClicked = 2;       // the button was released inside the control
}  // namespace ControlEvent

// The part of a scroll bar a press went down on.
enum class ScrollPart {
    kThumb,
    kUpArrow,
    kDownArrow,
    kPageUp,    // the track above the thumb
    kPageDown,  // the track below the thumb
};

// What a modal dialog's run ends with.
namespace DialogResult {
constexpr int kOk = 1;
constexpr int kCancel = 2;
}  // namespace DialogResult

// The control id of the name editor of a macro-name list.
constexpr int kNameEditorId = 2016;

// A closed run of message numbers or ids that one handler takes as a group.
struct IdRange {
    uint32_t first;
    uint32_t last;
    constexpr bool Contains(uint32_t id) const { return id >= first && id <= last; }
};

// The keyboard hook (keys/CKeyboardHook.h) reports a key transition with it:
// (virtual-key code, bit 31 release | time stamp).
constexpr uint32_t kMsgHookKey = 0x401;

// The message a popup reports its choice with, by the owner's popup slot.
// Named after the popup classes, whose names do not all match what they
// show: CMultimediaKeyPopup lists the multimedia keys, CWindowManagePopup the internet keys
// ("Window Manage"), CMouseFunctionPopup the mouse functions.
constexpr uint32_t kMsgComboPopup = 0x403;            // slot 1
constexpr uint32_t kMsgProfilePopup = 0x407;          // slot 2
constexpr uint32_t kMsgDpiPopup = 0x411;              // slot 3
constexpr uint32_t kMsgMultimediaPopup = 0x414;       // slot 4
constexpr uint32_t kMsgMacroLibraryPopup = 0x41B;     // slot 5
constexpr uint32_t kMsgMacroSetListPopup = 0x41E;     // slot 6
constexpr uint32_t kMsgLightColorPopup = 0x426;       // slot 7
constexpr uint32_t kMsgLightBrightnessPopup = 0x429;  // slot 8

// Sent when a popup loses activation: (parameter, kind).
constexpr uint32_t kMsgComboPopupClosed = 0x405;
constexpr uint32_t kMsgProfilePopupClosed = 0x408;
constexpr uint32_t kMsgDpiPopupClosed = 0x412;
constexpr uint32_t kMsgMultimediaPopupClosed = 0x415;
constexpr uint32_t kMsgMacroLibraryPopupClosed = 0x417;
constexpr uint32_t kMsgMacroSetListPopupClosed = 0x41F;
constexpr uint32_t kMsgLightColorPopupClosed = 0x425;
constexpr uint32_t kMsgLightBrightnessPopupClosed = 0x428;

// Requests of the G-key function popup: (parameter, item type), sent when an
// item takes the hover.
constexpr uint32_t kMsgRequestMacroMenu = 0x416;       // "Assign a Macro"
constexpr uint32_t kMsgRequestMultimediaMenu = 0x406;  // "Multimedia"
constexpr uint32_t kMsgRequestWindowMenu = 0x410;      // "Window Manage"
constexpr uint32_t kMsgRequestMouseMenu = 0x413;       // "Mouse Function"
constexpr uint32_t kMsgRequestNoSubmenu = 0x409;       // any other item
// (parameter, 0) on the release of "Assign a Shortcut" and "Quick Launch".
constexpr uint32_t kMsgRequestShortcut = 0x40B;
constexpr uint32_t kMsgRequestQuickLaunch = 0x40D;

// The popup kinds.
namespace PopupKind {
constexpr int kFunctionMenu = 0;
constexpr int kMultimediaKey = 1;
constexpr int kWindowManage = 2;
constexpr int kMouseFunction = 3;
constexpr int kMacroLibrary = 4;
constexpr int kMacroSetList = 5;
constexpr int kLightColor = 7;
constexpr int kLightBrightness = 8;
}  // namespace PopupKind

// The message a popup of this kind sends when it loses activation; 0 for none.
constexpr uint32_t ClosedMessageForKind(int kind) {
    switch (kind) {
        case PopupKind::kFunctionMenu:
            return kMsgComboPopupClosed;
        case PopupKind::kMultimediaKey:
            return kMsgProfilePopupClosed;
        case PopupKind::kWindowManage:
            return kMsgDpiPopupClosed;
        case PopupKind::kMouseFunction:
            return kMsgMultimediaPopupClosed;
        case PopupKind::kMacroLibrary:
            return kMsgMacroLibraryPopupClosed;
        case PopupKind::kMacroSetList:
            return kMsgMacroSetListPopupClosed;
        case PopupKind::kLightColor:
            return kMsgLightColorPopupClosed;
        case PopupKind::kLightBrightness:
            return kMsgLightBrightnessPopupClosed;
        default:
            return 0;
    }
}

// The dialog's popup slots and the message each gives its popup.
enum class PopupSlot {
    kFunctionMenu,
    kMultimediaList,
    kWindowManageList,
    kMouseFunctionList,
    kMacroLibrary,
    kMacroSetList,
    kLightColor,
    kLightBrightness,
};
constexpr uint32_t SlotMessage(PopupSlot slot) {
    switch (slot) {
        case PopupSlot::kFunctionMenu:
            return kMsgComboPopup;
        case PopupSlot::kMultimediaList:
            return kMsgProfilePopup;
        case PopupSlot::kWindowManageList:
            return kMsgDpiPopup;
        case PopupSlot::kMouseFunctionList:
            return kMsgMultimediaPopup;
        case PopupSlot::kMacroLibrary:
            return kMsgMacroLibraryPopup;
        case PopupSlot::kMacroSetList:
            return kMsgMacroSetListPopup;
        case PopupSlot::kLightColor:
            return kMsgLightColorPopup;
        case PopupSlot::kLightBrightness:
            return kMsgLightBrightnessPopup;
    }
    return 0;
}
constexpr int kPopupSlotCount = 8;

}  // namespace lumbra
