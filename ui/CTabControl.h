// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CControlBase.h"
#include "ui/ImageRoutines.h"

namespace lumbra {

// A tab drawn from a 3-frame strip. Its owner says whether it is selected
// (the page or profile it stands for is shown); a selected tab shows the
// pressed frame.
class CTabControl : public CControlBase {
public:
    using CControlBase::CControlBase;

    bool LoadImageStrip(int pngId);
    void Draw(Surface& surface, const Rect& updateRect) override;
    bool OnMouseMove(uint32_t flags, int x, int y) override;
    bool OnLButtonDown(uint32_t flags, int x, int y) override;
    bool OnLButtonUp(uint32_t flags, int x, int y) override;
    bool ActsOnClick() const override { return true; }
    int Frame() const;
    AccessibleRole Role() const override { return AccessibleRole::kPageTab; }
    uint32_t AccessibleStates() const override {
        return CControlBase::AccessibleStates() | AccessibleState::kSelectable |
               (m_selected ? AccessibleState::kSelected : 0);
    }

    void SetSelected(bool selected) { m_selected = selected; }
    bool IsSelected() const { return m_selected; }

private:
    ImageStrip m_strip;
    bool m_selected = false;
};

}  // namespace lumbra
