// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CListPopup.h"

namespace lumbra {

CListPopup::CListPopup(int kind, ListPopupLook look) : CWndPopup(kind), m_look(std::move(look)) {}

int CListPopup::LayoutWidth() const { return m_look.width > 0 ? m_look.width : Width(); }

void CListPopup::DrawItems(Surface& surface, const Rect&) { DrawItemList(surface, m_look.font); }

bool CListPopup::OnItemMouseMove(int x, int y) { return StandardItemMouseMove(x, y); }

bool CListPopup::OnItemLButtonDown(int x, int y) { return ClearHoverOutside(x, y); }

bool CListPopup::OnItemLButtonUp(int x, int y) {
    return StandardItemLButtonUp(x, y, [this](const PopupItem& item) { Choose(item); });
}

}  // namespace lumbra
