// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CImageButton.h"

#include "ui/BitmapButtonDraw.h"
#include "ui/ControlMessages.h"

namespace lumbra {

bool CImageButton::LoadImageStrip(int pngId) { return lumbra::LoadImageStrip(m_strip, pngId, 3); }

void CImageButton::Draw(Surface& surface, const Rect&) {
    DrawStripFrame(surface, m_strip, Frame(), m_rect);
    if (m_disabled) DrawDisabledVeil(surface, m_rect);
}

bool CImageButton::OnMouseMove(uint32_t, int x, int y) { return StandardMove(x, y); }
bool CImageButton::OnLButtonDown(uint32_t, int x, int y) { return StandardDown(x, y); }

bool CImageButton::OnLButtonUp(uint32_t, int x, int y) {
    return StandardUp(x, y, [this] { Clicked(); });
}

}  // namespace lumbra
