// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CLightBrightnessPopup.h"

#include "model/NameTables.h"

namespace lumbra {

namespace {
constexpr int kFirstType = 1;
constexpr int kLastType = 5;
}  // namespace

CLightBrightnessPopup::CLightBrightnessPopup() : CWndPopup(PopupKind::kLightBrightness) {
    m_result.b0 = 0;
}

int CLightBrightnessPopup::LayoutWidth() const { return 175; }

void CLightBrightnessPopup::BuildItems() {
    for (int t = kFirstType; t <= kLastType; ++t)
        AddItem(t, std::string(PopupItemText(PopupTable::kLightBrightness, t)));
}

void CLightBrightnessPopup::DrawItems(Surface& surface, const Rect&) {
    DrawItemList(surface, LightingItemFont());
}

bool CLightBrightnessPopup::OnItemMouseMove(int x, int y) { return StandardItemMouseMove(x, y); }

bool CLightBrightnessPopup::OnItemLButtonDown(int x, int y) {
    if (ClearHoverOutside(x, y)) return true;
    if (m_hovered >= 0) SendToOwner(Message(), 0, 0);  // a choice is under way
    return false;
}

bool CLightBrightnessPopup::OnItemLButtonUp(int x, int y) {
    return StandardItemLButtonUp(x, y, [this](const PopupItem& item) {
        // Breath, 100%, 60%, 30%, 0%.
        static constexpr uint8_t kCodes[] = {24, 8, 4, 2, 1};
        m_result.b0 = kCodes[item.type - kFirstType];
        m_result.text = item.text;
        Report();
    });
}

}  // namespace lumbra
