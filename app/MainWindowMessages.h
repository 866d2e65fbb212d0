// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "keys/ButtonIds.h"
#include "ui/ControlMessages.h"

namespace lumbra {

// Control ids of the main window; a control's message number is its id.
namespace MainId {
constexpr uint32_t kClose = 0x7D1;
constexpr uint32_t kMinimize = 0x7D2;
constexpr uint32_t kPage0Tab = 0x7D3;
constexpr uint32_t kPage1Tab = 0x7D4;
constexpr uint32_t kPage2Tab = 0x7D5;  // also the five G-key pictures of page 0
constexpr uint32_t kPage3Tab = 0x81D;
constexpr uint32_t kResetProfile = 0x7FD;
constexpr uint32_t kResetAll = 0x81C;
constexpr uint32_t kOk = 0x7FE;
constexpr uint32_t kApply = 0x7FF;
constexpr uint32_t kCancel = 0x800;
constexpr uint32_t kProfile1 = 0x801;  // .. 0x805 for profiles 1..5
constexpr uint32_t kProfile5 = 0x805;
constexpr uint32_t kNothing = 0x7FC;
constexpr uint32_t kLightColor = 0x82A;
constexpr uint32_t kLightBrightness = 0x82B;
// The key buttons, as the key position map numbers them.
constexpr IdRange kKeys{kFirstKeyButtonId, kLastKeyButtonId};
// Repaints the whole window like a tab; no control of this layout carries it.
constexpr uint32_t kOtherViewSwitch = 0x7F8;
}  // namespace MainId

// Commands without a control of the layout; the background's context menu
// carries them.
namespace MainCommand {
constexpr uint32_t kEditProfile = 0x814;
constexpr uint32_t kSaveProfile = 0x815;
constexpr uint32_t kLoadProfile = 0x816;
constexpr uint32_t kFollowPrograms = 0x817;  // the context menu's "Follow programs"
constexpr uint32_t kMacroManager = 0x80E;
constexpr uint32_t kConfigKeyboard = 2075;  // the tray menu's "Config Keyboard"
constexpr uint32_t kExit = 2;               // the tray menu's "Exit": the dialog's cancel command
constexpr uint32_t kStartAtLogin = 0x818;   // the context menu's "Start at login" check item
}  // namespace MainCommand

// Messages of the main window other than control ids. It also takes the
// hook's kMsgHookKey and the popups' messages (ui/ControlMessages.h), the
// key-assignment messages (keys/KeyMessages.h) and the keyboard's notice
// (device/DeviceLinkWindow.h).
constexpr uint32_t kMsgOpenLightColor = 0x424;       // the colour drop-down button released
constexpr uint32_t kMsgOpenLightBrightness = 0x427;  // the brightness drop-down button released
constexpr uint32_t kMsgTrayNotify = 0x420;           // (tray icon id, mouse notification)

// The tray icon's id and the mouse notifications its message carries.
constexpr uintptr_t kTrayIconId = 387;
constexpr intptr_t kTrayLeftDoubleClick = 0x203;
constexpr intptr_t kTrayRightButtonUp = 0x205;
constexpr intptr_t kTrayWrongIdResult = 1;

// The reset confirmation's pictures.
constexpr int kResetProfilePicture = 165;
constexpr int kResetAllPicture = 258;

}  // namespace lumbra
