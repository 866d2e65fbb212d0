// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CTabControl.h"

#include "ui/BitmapButtonDraw.h"
#include "ui/ControlMessages.h"

namespace lumbra {

bool CTabControl::LoadImageStrip(int pngId) { return lumbra::LoadImageStrip(m_strip, pngId, 3); }

int CTabControl::Frame() const { return m_selected ? kPressed : m_state; }

void CTabControl::Draw(Surface& surface, const Rect&) {
    DrawStripFrame(surface, m_strip, Frame(), m_rect);
    if (m_disabled) DrawDisabledVeil(surface, m_rect);
}

bool CTabControl::OnMouseMove(uint32_t, int x, int y) { return StandardMove(x, y); }
bool CTabControl::OnLButtonDown(uint32_t, int x, int y) { return StandardDown(x, y); }

bool CTabControl::OnLButtonUp(uint32_t, int x, int y) {
    return StandardUp(x, y, [this] { Clicked(); });
}

}  // namespace lumbra
