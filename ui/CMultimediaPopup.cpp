// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CMultimediaPopup.h"

#include "model/NameTables.h"

namespace lumbra {

namespace {
constexpr int kFirstType = 24;
constexpr int kLastType = 30;
}  // namespace

CMultimediaPopup::CMultimediaPopup() : CWndPopup(PopupKind::kMultimedia) { m_result.b0 = 3; }

int CMultimediaPopup::LayoutWidth() const { return Width(); }

void CMultimediaPopup::BuildItems() {
    for (int t = kFirstType; t <= kLastType; ++t)
        AddItem(t, std::string(PopupItemText(PopupTable::kMouseFunction, t)));
}

void CMultimediaPopup::DrawItems(Surface& surface, const Rect&) {
    DrawItemList(surface, ComboItemFont());
}

bool CMultimediaPopup::OnItemMouseMove(int x, int y) { return StandardItemMouseMove(x, y); }

bool CMultimediaPopup::OnItemLButtonDown(int x, int y) {
    if (ClearHoverOutside(x, y)) return true;
    return false;
}

bool CMultimediaPopup::OnItemLButtonUp(int x, int y) {
    return StandardItemLButtonUp(x, y, [this](const PopupItem& item) {
        // Click, Menu, Universal scrolling, IE Backward, IE Forward are mouse
        // buttons; Double-click and Fire have types of their own.
        static constexpr uint8_t kButtons[] = {1, 2, 4, 8, 16};
        if (item.type <= 28) {
            m_result.b0 = 3;
            m_result.b1 = kButtons[item.type - kFirstType];
        } else {
            m_result.b0 = item.type == 29 ? 4 : 5;
            m_result.b1 = 0;
        }
        m_result.text = item.text;
        Report();
    });
}

}  // namespace lumbra
