// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CRegionButton.h"

#include "ui/BitmapButtonDraw.h"
#include "ui/ControlMessages.h"

namespace lumbra {

void CRegionButton::SetBitmap(int bitmapId, int frameWidth, int frameHeight, int keyX, int keyY) {
    m_bitmapId = static_cast<uint16_t>(bitmapId);
    m_frameWidth = frameWidth;
    m_frameHeight = frameHeight;
    m_keyX = keyX;
    m_keyY = keyY;
}

int CRegionButton::Frame() const { return m_state; }

void CRegionButton::Draw(Surface& surface, const Rect&) {
    DrawKeyedBitmapFrame(surface, m_bitmapId, Frame(), m_frameWidth, m_frameHeight, m_keyX, m_keyY,
                         m_rect.left, m_rect.top);
    if (m_disabled) DrawDisabledVeil(surface, m_rect);
}

bool CRegionButton::OnMouseMove(uint32_t, int x, int y) { return StandardMove(x, y); }
bool CRegionButton::OnLButtonDown(uint32_t, int x, int y) { return StandardDown(x, y); }

bool CRegionButton::OnLButtonUp(uint32_t, int x, int y) {
    return StandardUp(x, y, [this] { Clicked(); });
}

}  // namespace lumbra
