// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CControlBase.h"
#include "ui/ImageRoutines.h"

namespace lumbra {

// A push button drawn from a 3-frame strip: normal, hover, pressed.
class CImageButton : public CControlBase {
public:
    using CControlBase::CControlBase;

    bool LoadImageStrip(int pngId);
    void Draw(Surface& surface, const Rect& updateRect) override;
    bool OnMouseMove(uint32_t flags, int x, int y) override;
    bool OnLButtonDown(uint32_t flags, int x, int y) override;
    bool OnLButtonUp(uint32_t flags, int x, int y) override;
    bool ActsOnClick() const override { return true; }
    int Frame() const { return m_state; }
    const ImageStrip& Strip() const { return m_strip; }

private:
    ImageStrip m_strip;
};

}  // namespace lumbra
