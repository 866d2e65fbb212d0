// SPDX-License-Identifier: GPL-3.0-or-later
// What a popup tells assistive tools: its items, the hovered one selected.
#include "ui/CWndPopup.h"

namespace lumbra {

namespace {
// The list that holds the items of a list popup.
constexpr uint64_t kListKey = 1ull << 40;
}  // namespace

std::string CWndPopup::AccessibleTitle() const {
    switch (m_kind) {
        case PopupKind::kFunctionMenu:
            return "G key function";
        case PopupKind::kMultimediaKey:
            return "Multimedia keys";
        case PopupKind::kWindowManage:
            return "Window functions";
        case PopupKind::kMouseFunction:
            return "Mouse functions";
        case PopupKind::kMacroLibrary:
            return "Macros";
        case PopupKind::kMacroSetList:
            return "Macro sets";
        case PopupKind::kLightColor:
            return "Lighting colour";
        case PopupKind::kLightBrightness:
            return "Lighting brightness";
        default:
            return "Choices";
    }
}

std::vector<int> CWndPopup::AccessibleItems() const {
    std::vector<int> items;
    for (size_t i = 0; i < m_items.size(); ++i)
        if (!m_items[i].separator) items.push_back(static_cast<int>(i));
    return items;
}

int CWndPopup::AccessibleCount() const {
    return static_cast<int>(AccessibleItems().size()) + (ItemsAsMenu() ? 0 : 1);
}

AccessibleNode CWndPopup::AccessibleNodeAt(int index) const {
    const int first = ItemsAsMenu() ? 0 : 1;
    AccessibleNode node;
    if (index < first) {
        node.key = kListKey;
        node.role = AccessibleRole::kList;
        node.name = AccessibleTitle();
        node.rect = m_window ? m_window->ClientRect() : Rect{};
        return node;
    }
    const std::vector<int> items = AccessibleItems();
    const size_t at = static_cast<size_t>(index - first);
    if (at >= items.size()) return {};
    const PopupItem& item = m_items[static_cast<size_t>(items[at])];
    node.key = static_cast<uint64_t>(items[at]) + 1;
    node.parent = first - 1;
    node.role = ItemsAsMenu() ? AccessibleRole::kMenuItem : AccessibleRole::kListItem;
    node.name = item.text;
    node.rect = item.rect;
    node.states = AccessibleState::kSelectable | AccessibleState::kFocusable |
                  (items[at] == m_hovered ? AccessibleState::kSelected : 0);
    node.hasAction = true;
    return node;
}

void CWndPopup::DoAccessibleAction(int index) {
    const int first = ItemsAsMenu() ? 0 : 1;
    const std::vector<int> items = AccessibleItems();
    if (index < first || static_cast<size_t>(index - first) >= items.size()) return;
    const Rect r = m_items[static_cast<size_t>(items[static_cast<size_t>(index - first)])].rect;
    const int x = (r.left + r.right) / 2;
    const int y = (r.top + r.bottom) / 2;
    // The mouse's way: hover, press, release. The release may end the popup.
    if (OnItemMouseMove(x, y)) Repaint();
    if (OnItemLButtonDown(x, y)) Repaint();
    if (OnItemLButtonUp(x, y)) Repaint();
}

int CWndPopup::AccessibleFocus() const {
    if (m_hovered < 0) return -1;
    const std::vector<int> items = AccessibleItems();
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == m_hovered) return static_cast<int>(i) + (ItemsAsMenu() ? 0 : 1);
    return -1;
}

}  // namespace lumbra
