// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CCheckButton.h"

#include "ui/ControlMessages.h"

namespace lumbra {

bool CCheckButton::LoadImageStrip(int pngId) { return lumbra::LoadImageStrip(m_strip, pngId, 7); }

void CCheckButton::Draw(Surface& surface, const Rect&) {
    DrawStripFrame(surface, m_strip, Frame(), m_rect);
}

bool CCheckButton::OnMouseMove(uint32_t, int x, int y) { return StandardMove(x, y); }
bool CCheckButton::OnLButtonDown(uint32_t, int x, int y) { return StandardDown(x, y); }

bool CCheckButton::OnLButtonUp(uint32_t, int x, int y) {
    return StandardUp(x, y, [this] {
        m_checked = !m_checked;  // the parent's handler must see the new value
        Clicked();
    });
}

}  // namespace lumbra
