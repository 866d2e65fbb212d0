// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CRadioButton.h"

namespace lumbra {

int CRadioButton::Frame() const { return IsSelected() ? kPressed : CRegionButton::Frame(); }

}  // namespace lumbra
