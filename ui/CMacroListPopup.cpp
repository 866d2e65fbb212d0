// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CMacroListPopup.h"

namespace lumbra {

CMacroListPopup::CMacroListPopup(int kind, ListPopupLook look, const MacroLibrary* library)
    : CListPopup(kind, std::move(look)), m_library(library) {}

const MacroSet* CMacroListPopup::SetAt(uint32_t s) const {
    return m_library ? m_library->SetAt(s) : nullptr;
}

void CMacroListPopup::AddMacroItems(const MacroSet& set) {
    for (uint32_t i = 0; i < set.MacroKeyNum(); ++i)
        AddItem(static_cast<int>(i + 1), set.KeyAt(i)->name);
}

}  // namespace lumbra
