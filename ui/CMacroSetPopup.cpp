// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CMacroSetPopup.h"

namespace lumbra {

namespace {
constexpr int kWidth = 158;
constexpr int kEditMacro = 0;
constexpr uint8_t kSetMacroType = 0x30;
}  // namespace

CMacroSetPopup::CMacroSetPopup(const MacroLibrary* library, uint32_t setIndex)
    : CMacroListPopup(PopupKind::kMacroSetBase + static_cast<int>(setIndex),
                      {kWidth, ComboItemFont()}, library),
      m_setIndex(setIndex) {}

void CMacroSetPopup::BuildItems() {
    AddItem(kEditMacro, "Edit Macro");
    const MacroSet* set = SetAt(m_setIndex);
    if (!set || set->MacroKeyNum() == 0) return;
    AddSeparator();
    AddMacroItems(*set);
}

void CMacroSetPopup::Choose(const PopupItem& item) {
    if (item.type == kEditMacro) {
        SendToOwner(Message(), Parameter(), 0);
        return;
    }
    m_result.b0 = kSetMacroType;
    m_result.b1 = static_cast<uint8_t>(m_setIndex);
    m_result.b2 = static_cast<uint8_t>(item.type - 1);
    m_result.text = item.text;
    Report();
}

}  // namespace lumbra
