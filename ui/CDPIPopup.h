// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CTablePopup.h"

namespace lumbra {

// Despite its name, the window-manage functions, "Search" to "Calculator".
class CDPIPopup : public CTablePopup {
public:
    CDPIPopup();
};

}  // namespace lumbra
