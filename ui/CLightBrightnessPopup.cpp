// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CLightBrightnessPopup.h"

namespace lumbra {

namespace {
void ChooseBrightness(int type, ChoiceRecord& result) {
    result.b0 = static_cast<uint8_t>(BrightnessCodeForItem(type));
}
}  // namespace

CLightBrightnessPopup::CLightBrightnessPopup()
    : CTablePopup(PopupKind::kLightBrightness, {175, LightingItemFont()},
                  {PopupTable::kLightBrightness, 1, 5}, ChooseBrightness) {}

}  // namespace lumbra
