// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace lumbra {

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

// The popup slots of a dialog: one popup of each at a time.
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
constexpr int kPopupSlotCount = 8;

}  // namespace lumbra
