// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace lumbra {

// Messages of the macro manager and its small dialogs. The set list popup
// reports with kMsgMacroSetListPopup and kMsgMacroSetListPopupClosed
// (ui/ControlMessages.h).
constexpr uint32_t kMsgSetComboReleased = 0x40D;  // the set combo 2014 was released
constexpr uint32_t kMsgOpenAddSet = 0x420;        // posted: open the add-set dialog
constexpr uint32_t kMsgAddSet = 0x421;            // (first, pointer to the typed name)
constexpr uint32_t kMsgDeleteSet = 0x422;         // (first, pointer to the typed name)
constexpr uint32_t kMsgOpenDeleteSet = 0x423;     // posted: open the delete-set dialog

}  // namespace lumbra
