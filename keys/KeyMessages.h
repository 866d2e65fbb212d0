// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace lumbra {

// Messages of key assignment: between the main window, its function menus,
// the capture dialogs and the keyboard hook.
namespace KeyMsg {
// The keyboard hook: (virtual-key code, bit 31 release | time stamp).
constexpr uint32_t kHook = 0x401;
// Key setting dialog → owner, on OK: (key button id, chosen code).
constexpr uint32_t kStoreKeyCode = 0x42A;
// A G-key button → main window: (button id, 2 click / 4 enter / 5 leave).
constexpr uint32_t kGKeyButton = 0x404;
// Main window → itself, posted: run the shortcut dialog (0, 0).
constexpr uint32_t kRunShortcutDialog = 0x40A;
// Shortcut dialog → owner, on OK: (0, const ChoiceRecord*).
constexpr uint32_t kShortcutChosen = 0x40C;
// Main window → itself, posted: run the quick-launch dialog (0, 0).
constexpr uint32_t kRunQuickLaunchDialog = 0x40E;
// Quick-launch dialog → owner, on OK: (const std::string* full path, const ChoiceRecord*).
constexpr uint32_t kQuickLaunchChosen = 0x40F;
}  // namespace KeyMsg

// What the capture dialogs' modal runs return; nobody acts on it.
namespace KeyDlgResult {
constexpr int kOk = 1;
constexpr int kCancel = 2;
}  // namespace KeyDlgResult

}  // namespace lumbra
