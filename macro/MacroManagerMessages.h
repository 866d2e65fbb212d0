// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace lumbra {

// Messages of the macro manager and its small dialogs.
constexpr uint32_t kMsgOpenMacroManager = 0x41D;  // to the main window: (set number, 0)
constexpr uint32_t kMsgSetComboReleased = 0x40D;  // the set combo 2014 was released
constexpr uint32_t kMsgSetListChoice = 0x41E;     // the set list popup: (combo id, item type)
constexpr uint32_t kMsgSetListClosed = 0x41F;     // the set list popup lost activation
constexpr uint32_t kMsgOpenAddSet = 0x420;        // posted: open the add-set dialog
constexpr uint32_t kMsgAddSet = 0x421;            // (first, pointer to the typed name)
constexpr uint32_t kMsgDeleteSet = 0x422;         // (first, pointer to the typed name)
constexpr uint32_t kMsgOpenDeleteSet = 0x423;     // posted: open the delete-set dialog

// The codes the dialogs end with.
constexpr int kDialogOk = 1;
constexpr int kDialogCancel = 2;

}  // namespace lumbra
