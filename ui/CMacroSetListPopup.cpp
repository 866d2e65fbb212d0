// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CMacroSetListPopup.h"

namespace lumbra {

namespace {
constexpr int kWidth = 194;
constexpr int kAddSet = 0;
constexpr int kDeleteSet = 1;
constexpr int kFirstSetType = 2;
}  // namespace

CMacroSetListPopup::CMacroSetListPopup(const MacroLibrary* library)
    : CMacroListPopup(PopupKind::kMacroSetList, {kWidth, PlainItemFont()}, library) {}

void CMacroSetListPopup::BuildItems() {
    for (uint32_t i = 0; const MacroSet* set = SetAt(i); ++i)
        AddItem(static_cast<int>(i) + kFirstSetType, set->name);
    AddSeparator();
    AddItem(kAddSet, "[+]Add a Macro Set");
    AddItem(kDeleteSet, "[--]Delete a Macro Set");
}

void CMacroSetListPopup::Choose(const PopupItem& item) {
    const int type = item.type;
    if (const auto handler = onItemChosen) handler(type);
}

}  // namespace lumbra
