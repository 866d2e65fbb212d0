// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CControlBase.h"

namespace lumbra {

// A button drawn from a colour-keyed BITMAP strip of state frames.
class CRegionButton : public CControlBase {
public:
    using CControlBase::CControlBase;

    // The BITMAP, the frame size and the point whose colour is transparent.
    void SetBitmap(int bitmapId, int frameWidth, int frameHeight, int keyX, int keyY);
    void Draw(Surface& surface, const Rect& updateRect) override;
    bool OnMouseMove(uint32_t flags, int x, int y) override;
    bool OnLButtonDown(uint32_t flags, int x, int y) override;
    bool OnLButtonUp(uint32_t flags, int x, int y) override;
    bool ActsOnClick() const override { return true; }
    // The frame to draw: the control state.
    virtual int Frame() const;

private:
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    int m_keyX = 0;
    int m_keyY = 0;
    uint16_t m_bitmapId = 0;
};

}  // namespace lumbra
