// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CMultimediaKeyPopup.h"

namespace lumbra {

namespace {
// 0xA0 ("Mute") to 0xA7 ("Stop").
void ChooseMultimediaFunction(int type, ChoiceRecord& result) {
    result.b1 = MultimediaCodeForItem(type);
}
}  // namespace

CMultimediaKeyPopup::CMultimediaKeyPopup()
    : CTablePopup(PopupKind::kMultimediaKey, {158, ComboItemFont()}, {PopupTable::kMultimedia, 18, 25},
                  ChooseMultimediaFunction) {
    m_result.b0 = KeyActionType::kConsumer;
}

}  // namespace lumbra
