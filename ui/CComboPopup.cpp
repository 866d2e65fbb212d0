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

bool IsSubmenuItem(int type) { return type >= kAssignMacro && type <= kMouseFunction; }

// The sub-list an item opens; none for the items without one.
std::optional<FunctionSubList> SubListOf(int type) {
    if (!IsSubmenuItem(type)) return std::nullopt;
    return static_cast<FunctionSubList>(type - kAssignMacro);
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
        const std::optional<FunctionSubList> list =
            SubListOf(m_items[static_cast<size_t>(m_hovered)].type);
        if (const auto handler = onSubmenuWanted) handler(list);
    }
    return true;
}

bool CComboPopup::OnItemLButtonDown(int x, int y) {
    if (ClearHoverOutside(x, y)) return true;
    if (m_hovered < 0) return false;
    return false;
}

bool CComboPopup::OnItemLButtonUp(int x, int y) {
    return StandardItemLButtonUp(x, y, [this](const PopupItem& item) {
        switch (item.type) {
            case kAssignMacro:
            case kMultimedia:
            case kWindowManage:
            case kMouseFunction:
                // A click on a submenu item chooses nothing; the sub-list stays.
                break;
            case kDefaultFunction:
                m_result.b0 = kDefaultFunctionType;
                m_result.b1 = 1;
                m_result.text =
                    std::string(PopupItemText(PopupTable::kGKeyFunction, kDefaultFunction));
                Report();
                break;
            case kAssignShortcut:
                if (const auto handler = onShortcutWanted) handler();
                break;
            case kQuickLaunch:
                if (const auto handler = onQuickLaunchWanted) handler();
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
