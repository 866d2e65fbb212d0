// SPDX-License-Identifier: GPL-3.0-or-later
// What a skinned dialog tells assistive tools about itself and its controls.
#include <algorithm>

#include "ui/CDlgBase.h"

namespace lumbra {

namespace {

// A control's node key is its address; a row's adds the row number above
// the bits an address uses.
constexpr int kRowShift = 48;

uint64_t KeyOf(const CControlBase* control, int row) {
    const auto base = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(control));
    return row < 0 ? base : base ^ (static_cast<uint64_t>(row + 1) << kRowShift);
}

}  // namespace

std::vector<CDlgBase::AccessibleEntry> CDlgBase::AccessibleEntries() const {
    std::vector<AccessibleEntry> entries;
    ForEachControl([&](CControlBase* c) {
        if (!c->IsVisible() || c->Role() == AccessibleRole::kNone) return;
        const int parent = static_cast<int>(entries.size());
        entries.push_back({c, -1, -1});
        for (int row = 0, n = c->AccessibleItemCount(); row < n; ++row)
            entries.push_back({c, row, parent});
    });
    return entries;
}

AccessibleRole CDlgBase::AccessibleWindowRole() const {
    return m_parentWindow ? AccessibleRole::kDialog : AccessibleRole::kWindow;
}

int CDlgBase::AccessibleCount() const { return static_cast<int>(AccessibleEntries().size()); }

AccessibleNode CDlgBase::AccessibleNodeAt(int index) const {
    const std::vector<AccessibleEntry> entries = AccessibleEntries();
    if (index < 0 || static_cast<size_t>(index) >= entries.size()) return {};
    const AccessibleEntry& e = entries[static_cast<size_t>(index)];
    AccessibleNode node;
    node.key = KeyOf(e.control, e.row);
    node.parent = e.parent;
    if (e.row >= 0) {
        const CControlBase::AccessibleItem item = e.control->AccessibleItemAt(e.row);
        node.role = AccessibleRole::kListItem;
        node.name = item.name;
        node.rect = item.rect;
        node.states = AccessibleState::kSelectable |
                      (item.selected ? AccessibleState::kSelected : 0) |
                      (e.control->IsDisabled() ? AccessibleState::kDisabled : 0);
        node.hasAction = true;
        return node;
    }
    node.role = e.control->Role();
    node.name = e.control->AccessibleName();
    node.description = e.control->AccessibleDescription();
    node.rect = e.control->GetRect();
    node.states = e.control->AccessibleStates();
    if (e.control == m_focus) node.states |= AccessibleState::kFocused;
    node.hasAction = e.control->ActsOnClick();
    return node;
}

void CDlgBase::DoAccessibleAction(int index) {
    const std::vector<AccessibleEntry> entries = AccessibleEntries();
    if (index < 0 || static_cast<size_t>(index) >= entries.size()) return;
    const AccessibleEntry& e = entries[static_cast<size_t>(index)];
    if (e.control->IsDisabled()) return;
    if (e.row >= 0)
        e.control->PressItem(e.row);
    else if (e.control->ActsOnClick() && e.control->TakesFocus())
        e.control->PressByKey();
}

int CDlgBase::AccessibleFocus() const {
    if (!m_focus) return -1;
    const std::vector<AccessibleEntry> entries = AccessibleEntries();
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].control == m_focus && entries[i].row < 0) return static_cast<int>(i);
    return -1;
}

void CDlgBase::AnnounceFocus(CControlBase* control) {
    if (!control || !m_window || !HostWindow::AccessibilityActive()) return;
    const std::vector<AccessibleEntry> entries = AccessibleEntries();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].control != control || entries[i].row >= 0) continue;
        m_window->NotifyAccessible(AccessibleChange::kFocus, static_cast<int>(i));
        return;
    }
}

void CDlgBase::AnnounceChanges() {
    m_announcePending = false;
    if (!m_window || !HostWindow::AccessibilityActive()) return;
    const int n = AccessibleCount();
    for (int i = 0; i < n; ++i) {
        AccessibleNode node = AccessibleNodeAt(i);
        auto [it, fresh] = m_announced.try_emplace(node.key, node.states, node.name);
        auto& [states, name] = it->second;
        if (!fresh && states == node.states && name == node.name) continue;
        states = node.states;
        name = std::move(node.name);
        // The host compares with what the tools were told and says what differs.
        m_window->NotifyAccessible(AccessibleChange::kStatesOrName, i);
    }
}

void CDlgBase::SetDialogTitle(std::string_view name) {
    if (m_window) m_window->SetTitle(std::string(name) + " — Lumbra");
}

}  // namespace lumbra
