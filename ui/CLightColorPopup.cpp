// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CLightColorPopup.h"

namespace lumbra {

namespace {
void ChooseMode(int type, ChoiceRecord& result) { result.b0 = static_cast<uint8_t>(type); }
}  // namespace

CLightColorPopup::CLightColorPopup()
    : CTablePopup(PopupKind::kLightColor, {175, LightingItemFont()},
                  {PopupTable::kLightColor, 1, 3}, ChooseMode) {}

}  // namespace lumbra
