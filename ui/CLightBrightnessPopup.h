// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CTablePopup.h"

namespace lumbra {

// The lighting brightness choices, "Breath" to "0%".
class CLightBrightnessPopup : public CTablePopup {
public:
    CLightBrightnessPopup();
};

}  // namespace lumbra
