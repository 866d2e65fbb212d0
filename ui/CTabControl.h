// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CControlBase.h"
#include "ui/ImageRoutines.h"

namespace lumbra {

// A tab drawn from a 3-frame strip; its id names the page or sub-selection it
// selects, and it shows the pressed frame while that one is selected.
class CTabControl : public CControlBase {
public:
    using CControlBase::CControlBase;

    bool LoadImageStrip(int pngId);
    void Draw(Surface& surface, const Rect& updateRect) override;
    bool OnMouseMove(uint32_t flags, int x, int y) override;
    bool OnLButtonDown(uint32_t flags, int x, int y) override;
    bool OnLButtonUp(uint32_t flags, int x, int y) override;
    int Frame() const;

private:
    ImageStrip m_strip;
};

}  // namespace lumbra
