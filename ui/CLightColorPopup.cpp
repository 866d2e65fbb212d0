// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CLightColorPopup.h"

#include "model/NameTables.h"

namespace lumbra {

namespace {
constexpr int kFirstType = 1;
constexpr int kLastType = 3;
}  // namespace

CLightColorPopup::CLightColorPopup() : CWndPopup(PopupKind::kLightColor) { m_result.b0 = 0; }

int CLightColorPopup::LayoutWidth() const { return 175; }

void CLightColorPopup::BuildItems() {
    for (int t = kFirstType; t <= kLastType; ++t)
        AddItem(t, std::string(PopupItemText(PopupTable::kLightColor, t)));
}

void CLightColorPopup::DrawItems(Surface& surface, const Rect&) {
    DrawItemList(surface, LightingItemFont());
}

bool CLightColorPopup::OnItemMouseMove(int x, int y) { return StandardItemMouseMove(x, y); }

bool CLightColorPopup::OnItemLButtonDown(int x, int y) {
    if (ClearHoverOutside(x, y)) return true;
    if (m_hovered >= 0) SendToOwner(Message(), 0, 0);  // a choice is under way
    return false;
}

bool CLightColorPopup::OnItemLButtonUp(int x, int y) {
    return StandardItemLButtonUp(x, y, [this](const PopupItem& item) {
        m_result.b0 = static_cast<uint8_t>(item.type);
        m_result.text = item.text;
        Report();
    });
}

}  // namespace lumbra
