// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CProfilePopup.h"

#include "model/NameTables.h"

namespace lumbra {

namespace {
constexpr int kFirstType = 18;
constexpr int kLastType = 25;
}  // namespace

CProfilePopup::CProfilePopup() : CWndPopup(PopupKind::kProfile) { m_result.b0 = 2; }

int CProfilePopup::LayoutWidth() const { return 158; }

void CProfilePopup::BuildItems() {
    for (int t = kFirstType; t <= kLastType; ++t)
        AddItem(t, std::string(PopupItemText(PopupTable::kMultimedia, t)));
}

void CProfilePopup::DrawItems(Surface& surface, const Rect&) {
    DrawItemList(surface, ComboItemFont());
}

bool CProfilePopup::OnItemMouseMove(int x, int y) { return StandardItemMouseMove(x, y); }

bool CProfilePopup::OnItemLButtonDown(int x, int y) {
    if (ClearHoverOutside(x, y)) return true;
    return false;
}

bool CProfilePopup::OnItemLButtonUp(int x, int y) {
    return StandardItemLButtonUp(x, y, [this](const PopupItem& item) {
        // 0xA0 ("Mute") to 0xA7 ("Stop").
        m_result.b1 = static_cast<uint8_t>(142 + item.type);
        m_result.text = item.text;
        Report();
    });
}

}  // namespace lumbra
