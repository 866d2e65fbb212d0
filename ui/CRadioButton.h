// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CRegionButton.h"

namespace lumbra {

// A region button in a radio group: its bit in the shared radio word decides
// whether it shows the pressed frame, and a click selects it.
class CRadioButton : public CRegionButton {
public:
    using CRegionButton::CRegionButton;

    bool OnLButtonUp(uint32_t flags, int x, int y) override;
    int Frame() const override;
};

}  // namespace lumbra
