// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CTablePopup.h"

namespace lumbra {

// The mouse functions, "Click" to "Fire"; as wide as it is created.
class CMouseFunctionPopup : public CTablePopup {
public:
    CMouseFunctionPopup();
};

}  // namespace lumbra
