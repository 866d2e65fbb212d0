// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CMacroLibraryPopup.h"

namespace lumbra {

namespace {
constexpr int kWidth = 158;
constexpr uint8_t kMacroType = 1;
}  // namespace

CMacroLibraryPopup::CMacroLibraryPopup(const MacroLibrary* library)
    : CWndPopup(PopupKind::kMacroLibrary), m_library(library) {}

int CMacroLibraryPopup::LayoutWidth() const { return kWidth; }

void CMacroLibraryPopup::BuildItems() {
    const MacroSet* set = m_library ? m_library->SetAt(0) : nullptr;
    if (!set || set->MacroKeyNum() == 0) {
        AddSeparator();
        return;
    }
    for (uint32_t i = 0; i < set->MacroKeyNum(); ++i)
        AddItem(static_cast<int>(i + 1), set->KeyAt(i)->name);
}

void CMacroLibraryPopup::DrawItems(Surface& surface, const Rect&) {
    DrawItemList(surface, ComboItemFont());
}

bool CMacroLibraryPopup::OnItemMouseMove(int x, int y) { return StandardItemMouseMove(x, y); }
bool CMacroLibraryPopup::OnItemLButtonDown(int x, int y) { return ClearHoverOutside(x, y); }

bool CMacroLibraryPopup::OnItemLButtonUp(int x, int y) {
    return StandardItemLButtonUp(x, y, [this](const PopupItem& item) {
        // The library may have changed since the items were built.
        const MacroSet* set = m_library ? m_library->SetAt(0) : nullptr;
        const MacroKey* key = set ? set->KeyAt(static_cast<uint32_t>(item.type - 1)) : nullptr;
        if (!key) return;
        m_result.b0 = kMacroType;
        m_result.text = key->name;
        Report();
    });
}

}  // namespace lumbra
