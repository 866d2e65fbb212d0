// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CComboPopup.h"

#include "model/NameTables.h"

namespace lumbra {

namespace {
enum Item {
    kAssignMacro = 1,
    kMultimedia,
    kWindowManage,
    kMouseFunction,
    kDefaultFunction,
    kAssignShortcut,
    kQuickLaunch,
    kNoFunction
};
constexpr int kWidth = 225;
constexpr uint8_t kDefaultFunctionType = 6;

// The request sent when the item at this position takes the hover.
uint32_t RequestForPosition(size_t position) {
    switch (position) {
        case 0:
            return kMsgRequestMacroMenu;
        case 1:
            return kMsgRequestMultimediaMenu;
        case 2:
            return kMsgRequestWindowMenu;
        case 3:
            return kMsgRequestMouseMenu;
        default:
            return kMsgRequestNoSubmenu;
    }
}
}  // namespace

CComboPopup::CComboPopup() : CWndPopup(PopupKind::kFunctionMenu) { m_result.b0 = 1; }

int CComboPopup::LayoutWidth() const { return kWidth; }

void CComboPopup::BuildItems() {
    AddItem(kAssignMacro, "Assign a Macro", true);
    AddItem(kMultimedia, "Multimedia", true);
    AddItem(kWindowManage, "Window Manage", true);
    AddItem(kMouseFunction, "Mouse Function", true);
    AddItem(kDefaultFunction, "Default Function");
    AddItem(kAssignShortcut, "Assign a Shortcut");
    AddItem(kQuickLaunch, "Quick Launch");
    AddItem(kNoFunction, "No Function");
}

void CComboPopup::DrawItems(Surface& surface, const Rect&) {
    DrawItemList(surface, ComboItemFont());
}

bool CComboPopup::OnItemMouseMove(int x, int y) {
    const int before = m_hovered;
    if (!StandardItemMouseMove(x, y)) return false;
    if (m_hovered >= 0 && m_hovered != before) {
        const PopupItem& item = m_items[static_cast<size_t>(m_hovered)];
        SendToOwner(RequestForPosition(static_cast<size_t>(m_hovered)), Parameter(), item.type);
    }
    return true;
}

bool CComboPopup::OnItemLButtonDown(int x, int y) {
    if (ClearHoverOutside(x, y)) return true;
    if (m_hovered < 0) return false;
    const int type = m_items[static_cast<size_t>(m_hovered)].type;
    if (type >= kAssignMacro && type <= kMouseFunction) SendToOwner(Message(), 0, 0);
    return false;
}

bool CComboPopup::OnItemLButtonUp(int x, int y) {
    return StandardItemLButtonUp(x, y, [this](const PopupItem& item) {
        switch (item.type) {
            case kAssignMacro:
            case kMultimedia:
            case kWindowManage:
            case kMouseFunction:
                SendToOwner(Message(), 0, reinterpret_cast<intptr_t>(&m_result));
                break;
            case kDefaultFunction:
                m_result.b0 = kDefaultFunctionType;
                m_result.b1 = 1;
                m_result.text =
                    std::string(PopupItemText(PopupTable::kGKeyFunction, kDefaultFunction));
                Report();
                break;
            case kAssignShortcut:
                SendToOwner(kMsgRequestShortcut, Parameter(), 0);
                break;
            case kQuickLaunch:
                SendToOwner(kMsgRequestQuickLaunch, Parameter(), 0);
                break;
            case kNoFunction:
                m_result.b0 = 0;
                m_result.b1 = 0;
                m_result.text = "No Function";
                Report();
                break;
            default:
                break;
        }
    });
}

}  // namespace lumbra
