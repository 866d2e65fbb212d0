// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CMacroSetListPopup.h"

namespace lumbra {

namespace {
constexpr int kWidth = 194;
constexpr int kAddSet = 0;
constexpr int kDeleteSet = 1;
constexpr int kFirstSetType = 2;
}  // namespace

CMacroSetListPopup::CMacroSetListPopup(const MacroLibrary* library)
    : CWndPopup(PopupKind::kMacroSetList), m_library(library) {}

int CMacroSetListPopup::LayoutWidth() const { return kWidth; }

void CMacroSetListPopup::BuildItems() {
    if (m_library)
        for (uint32_t i = 0; i < m_library->MacroSetNum(); ++i)
            AddItem(static_cast<int>(i) + kFirstSetType, m_library->SetAt(i)->name);
    AddSeparator();
    AddItem(kAddSet, "[+]Add a Macro Set");
    AddItem(kDeleteSet, "[--]Delete a Macro Set");
}

void CMacroSetListPopup::DrawItems(Surface& surface, const Rect&) {
    DrawItemList(surface, PlainItemFont());
}

bool CMacroSetListPopup::OnItemMouseMove(int x, int y) { return StandardItemMouseMove(x, y); }
bool CMacroSetListPopup::OnItemLButtonDown(int x, int y) { return ClearHoverOutside(x, y); }

bool CMacroSetListPopup::OnItemLButtonUp(int x, int y) {
    return StandardItemLButtonUp(
        x, y, [this](const PopupItem& item) { SendToOwner(Message(), Parameter(), item.type); });
}

}  // namespace lumbra
