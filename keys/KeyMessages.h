// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace lumbra {

// Messages of key assignment: between the main window, its function menus,
// the capture dialogs and the keyboard hook. The hook's own message is
// kMsgHookKey (ui/ControlMessages.h), which the popups share.
namespace KeyMsg {
// Set in the second parameter of kMsgHookKey when the key was released.
constexpr uint32_t kHookReleasedBit = 0x80000000u;
// Key setting dialog → owner, on OK: (key button id, chosen code).
constexpr uint32_t kStoreKeyCode = 0x42A;
// A G-key button → main window: (button id, 2 click / 4 enter / 5 leave).
constexpr uint32_t kGKeyButton = 0x404;
// Main window → itself, posted: run the shortcut dialog (0, 0).
constexpr uint32_t kRunShortcutDialog = 0x40A;
// Quick-launch dialog → owner, on OK: (const std::string* full path, const ChoiceRecord*).
constexpr uint32_t kQuickLaunchChosen = 0x40F;
}  // namespace KeyMsg

}  // namespace lumbra
