// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace lumbra {

// Messages of key assignment: the G-key buttons' release and the keyboard
// hook's key transitions. The hook's own message is kMsgHookKey
// (ui/ControlMessages.h), which the popups share.
namespace KeyMsg {
// Set in the second parameter of kMsgHookKey when the key was released.
constexpr uint32_t kHookReleasedBit = 0x80000000u;
// A G-key button → main window, while no owner hears its click: (button id, 2).
constexpr uint32_t kGKeyButton = 0x404;
}  // namespace KeyMsg

}  // namespace lumbra
