// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CRegionButton.h"

namespace lumbra {

// A region button in a radio group. Its owner keeps the group's choice and
// says whether this one is selected; a selected radio shows the pressed frame.
class CRadioButton : public CRegionButton {
public:
    using CRegionButton::CRegionButton;

    int Frame() const override;
    AccessibleRole Role() const override { return AccessibleRole::kRadioButton; }
    uint32_t AccessibleStates() const override {
        return CControlBase::AccessibleStates() | AccessibleState::kCheckable |
               (m_selected ? AccessibleState::kChecked : 0);
    }
    void SetSelected(bool selected) { m_selected = selected; }
    bool IsSelected() const { return m_selected; }

private:
    bool m_selected = false;
};

}  // namespace lumbra
