// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CDPIPopup.h"

#include "model/NameTables.h"

namespace lumbra {

namespace {
constexpr int kFirstType = 21;
constexpr int kLastType = 30;
}  // namespace

CDPIPopup::CDPIPopup() : CWndPopup(PopupKind::kDpi) { m_result.b0 = 2; }

int CDPIPopup::LayoutWidth() const { return 158; }

void CDPIPopup::BuildItems() {
    for (int t = kFirstType; t <= kLastType; ++t)
        AddItem(t, std::string(PopupItemText(PopupTable::kWindowManage, t)));
}

void CDPIPopup::DrawItems(Surface& surface, const Rect&) { DrawItemList(surface, ComboItemFont()); }

bool CDPIPopup::OnItemMouseMove(int x, int y) { return StandardItemMouseMove(x, y); }

bool CDPIPopup::OnItemLButtonDown(int x, int y) {
    if (ClearHoverOutside(x, y)) return true;
    return false;
}

bool CDPIPopup::OnItemLButtonUp(int x, int y) {
    return StandardItemLButtonUp(x, y, [this](const PopupItem& item) {
        // 0xA8 ("Search") to 0xB1 ("Calculator").
        m_result.b1 = static_cast<uint8_t>(147 + item.type);
        m_result.text = item.text;
        Report();
    });
}

}  // namespace lumbra
