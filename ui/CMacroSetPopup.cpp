// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CMacroSetPopup.h"

namespace lumbra {

namespace {
constexpr int kWidth = 158;
constexpr int kEditMacro = 0;
constexpr uint8_t kSetMacroType = 0x30;
}  // namespace

CMacroSetPopup::CMacroSetPopup(const MacroLibrary* library, uint32_t setIndex)
    : CWndPopup(PopupKind::kMacroSetBase + static_cast<int>(setIndex)),
      m_library(library),
      m_setIndex(setIndex) {}

int CMacroSetPopup::LayoutWidth() const { return kWidth; }

void CMacroSetPopup::BuildItems() {
    AddItem(kEditMacro, "Edit Macro");
    const MacroSet* set = m_library ? m_library->SetAt(m_setIndex) : nullptr;
    if (!set || set->MacroKeyNum() == 0) return;
    AddSeparator();
    for (uint32_t i = 0; i < set->MacroKeyNum(); ++i)
        AddItem(static_cast<int>(i + 1), set->KeyAt(i)->name);
}

void CMacroSetPopup::DrawItems(Surface& surface, const Rect&) {
    DrawItemList(surface, ComboItemFont());
}

bool CMacroSetPopup::OnItemMouseMove(int x, int y) { return StandardItemMouseMove(x, y); }
bool CMacroSetPopup::OnItemLButtonDown(int x, int y) { return ClearHoverOutside(x, y); }

bool CMacroSetPopup::OnItemLButtonUp(int x, int y) {
    return StandardItemLButtonUp(x, y, [this](const PopupItem& item) {
        if (item.type == kEditMacro) {
            SendToOwner(Message(), Parameter(), 0);
            return;
        }
        m_result.b0 = kSetMacroType;
        m_result.b1 = static_cast<uint8_t>(m_setIndex);
        m_result.b2 = static_cast<uint8_t>(item.type - 1);
        m_result.text = item.text;
        Report();
    });
}

}  // namespace lumbra
