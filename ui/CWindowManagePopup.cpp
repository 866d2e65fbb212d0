// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CWindowManagePopup.h"

namespace lumbra {

namespace {
// 0xA8 ("Search") to 0xB1 ("Calculator").
void ChooseWindowFunction(int type, ChoiceRecord& result) {
    result.b1 = WindowManageCodeForItem(type).value_or(0);
}
}  // namespace

CWindowManagePopup::CWindowManagePopup()
    : CTablePopup(PopupKind::kWindowManage, {158, ComboItemFont()}, {PopupTable::kWindowManage, 21, 30},
                  ChooseWindowFunction) {
    m_result.b0 = KeyActionType::kConsumer;
}

}  // namespace lumbra
