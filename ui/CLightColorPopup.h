// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CTablePopup.h"

namespace lumbra {

// The lighting modes "Mode1" to "Mode3": a profile keeps its mode as its light colour.
class CLightColorPopup : public CTablePopup {
public:
    CLightColorPopup();
};

}  // namespace lumbra
