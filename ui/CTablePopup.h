// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/NameTables.h"
#include "ui/CListPopup.h"

namespace lumbra {

// A run of entries of a popup table; each item's type is its entry number.
struct PopupTableItems {
    PopupTable table;
    int first;
    int last;
};

// A list popup of table entries. A chosen item's record gets its bytes from
// the popup's rule and the item's text, and is reported.
class CTablePopup : public CListPopup {
public:
    using ChoiceRule = void (*)(int type, ChoiceRecord& result);

    void BuildItems() override;

protected:
    CTablePopup(int kind, ListPopupLook look, PopupTableItems entries, ChoiceRule rule);
    void Choose(const PopupItem& item) override;

private:
    PopupTableItems m_entries;
    ChoiceRule m_rule;
};

}  // namespace lumbra
