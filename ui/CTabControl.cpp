// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CTabControl.h"

#include "ui/ControlMessages.h"
#include "ui/Selections.h"

namespace lumbra {

bool CTabControl::LoadImageStrip(int pngId) { return lumbra::LoadImageStrip(m_strip, pngId, 3); }

int CTabControl::Frame() const {
    if (auto page = PageForTab(m_id); page && *page == PageSelection()) return kPressed;
    if (auto sub = SubSelectionForTab(m_id); sub && *sub == SubSelection()) return kPressed;
    return m_state;
}

void CTabControl::Draw(Surface& surface, const Rect&) {
    DrawStripFrame(surface, m_strip, Frame(), m_rect);
}

bool CTabControl::OnMouseMove(uint32_t, int x, int y) { return StandardMove(x, y); }
bool CTabControl::OnLButtonDown(uint32_t, int x, int y) { return StandardDown(x, y); }

bool CTabControl::OnLButtonUp(uint32_t, int x, int y) {
    return StandardUp(x, y, [this] {
        if (auto page = PageForTab(m_id)) PageSelection() = *page;
        if (auto sub = SubSelectionForTab(m_id)) SubSelection() = *sub;
        Clicked();
    });
}

}  // namespace lumbra
