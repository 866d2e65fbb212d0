// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CTablePopup.h"

namespace lumbra {

// The window-manage functions, "Search" to "Calculator".
class CWindowManagePopup : public CTablePopup {
public:
    CWindowManagePopup();
};

}  // namespace lumbra
