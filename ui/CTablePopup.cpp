// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CTablePopup.h"

namespace lumbra {

CTablePopup::CTablePopup(int kind, ListPopupLook look, PopupTableItems entries, ChoiceRule rule)
    : CListPopup(kind, std::move(look)), m_entries(entries), m_rule(rule) {}

void CTablePopup::BuildItems() {
    for (int t = m_entries.first; t <= m_entries.last; ++t)
        AddItem(t, std::string(PopupItemText(m_entries.table, t)));
}

void CTablePopup::Choose(const PopupItem& item) {
    m_rule(item.type, m_result);
    m_result.text = item.text;
    Report();
}

}  // namespace lumbra
