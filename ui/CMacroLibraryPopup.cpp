// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CMacroLibraryPopup.h"

namespace lumbra {

namespace {
constexpr int kWidth = 158;
constexpr uint8_t kMacroType = 1;
}  // namespace

CMacroLibraryPopup::CMacroLibraryPopup(const MacroLibrary* library)
    : CMacroListPopup(PopupKind::kMacroLibrary, {kWidth, ComboItemFont()}, library) {}

void CMacroLibraryPopup::BuildItems() {
    const MacroSet* set = SetAt(0);
    if (!set || set->MacroKeyNum() == 0) {
        AddSeparator();
        return;
    }
    AddMacroItems(*set);
}

void CMacroLibraryPopup::Choose(const PopupItem& item) {
    const MacroSet* set = SetAt(0);
    const MacroKey* key = set ? set->KeyAt(static_cast<uint32_t>(item.type - 1)) : nullptr;
    if (!key) return;
    m_result.b0 = kMacroType;
    m_result.text = key->name;
    Report();
}

}  // namespace lumbra
