// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CTablePopup.h"

namespace lumbra {

// Despite its name, the multimedia functions, "Mute" to "Stop".
class CProfilePopup : public CTablePopup {
public:
    CProfilePopup();
};

}  // namespace lumbra
