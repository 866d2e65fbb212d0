// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/MacroLibrary.h"
#include "ui/CListPopup.h"

namespace lumbra {

// A list popup over the macro library. The library may change while the
// popup is open, so its sets are looked up each time they are needed.
class CMacroListPopup : public CListPopup {
protected:
    CMacroListPopup(int kind, ListPopupLook look, const MacroLibrary* library);
    // Set s of the library; nothing without a library or such a set.
    const MacroSet* SetAt(uint32_t s) const;
    // The set's macros as items typed 1, 2, ... in their order.
    void AddMacroItems(const MacroSet& set);

private:
    const MacroLibrary* m_library;
};

}  // namespace lumbra
