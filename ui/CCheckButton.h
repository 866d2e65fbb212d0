// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CControlBase.h"
#include "ui/ImageRoutines.h"

namespace lumbra {

// A check box drawn from a 7-frame strip: three unchecked states, three
// checked states, disabled.
class CCheckButton : public CControlBase {
public:
    using CControlBase::CControlBase;

    bool LoadImageStrip(int pngId);
    void Draw(Surface& surface, const Rect& updateRect) override;
    bool OnMouseMove(uint32_t flags, int x, int y) override;
    bool OnLButtonDown(uint32_t flags, int x, int y) override;
    bool OnLButtonUp(uint32_t flags, int x, int y) override;
    bool ActsOnClick() const override { return true; }
    AccessibleRole Role() const override { return AccessibleRole::kCheckBox; }
    uint32_t AccessibleStates() const override {
        return CControlBase::AccessibleStates() | AccessibleState::kCheckable |
               (m_checked ? AccessibleState::kChecked : 0);
    }
    int Frame() const { return m_disabled ? 6 : m_state + (m_checked ? 3 : 0); }

    bool IsChecked() const { return m_checked; }
    void SetChecked(bool checked) { m_checked = checked; }

private:
    ImageStrip m_strip;
    bool m_checked = false;
};

}  // namespace lumbra
