// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CMouseFunctionPopup.h"

namespace lumbra {

namespace {
// Click, Menu, Universal scrolling, IE Backward and IE Forward are mouse
// buttons; Double-click and Fire have types of their own.
void ChooseMouseFunction(int type, ChoiceRecord& result) {
    const KeyAction action = MouseFunctionForItem(type);
    result.b0 = action.type;
    result.b1 = action.param1;
}
}  // namespace

CMouseFunctionPopup::CMouseFunctionPopup()
    : CTablePopup(PopupKind::kMouseFunction, {0, ComboItemFont()},
                  {PopupTable::kMouseFunction, 24, 30}, ChooseMouseFunction) {
    m_result.b0 = KeyActionType::kMouseButton;
}

}  // namespace lumbra
