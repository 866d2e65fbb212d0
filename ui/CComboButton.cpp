// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CComboButton.h"

#include "platform/HostWindow.h"
#include "ui/BitmapButtonDraw.h"
#include "ui/ControlMessages.h"

namespace lumbra {

namespace {
constexpr Color kLabelColor = Rgb(255, 255, 255);
}

bool CComboButton::LoadImageStrip(int pngId) { return lumbra::LoadImageStrip(m_strip, pngId, 5); }

void CComboButton::SetDisplayText(const std::string& text) {
    m_displayText = text;
    Invalidate();
}

int CComboButton::Frame() const {
    if (m_alternateLook) return m_state == kNormal ? 3 : 4;
    return m_popupOpen ? kHover : m_state;
}

void CComboButton::Draw(Surface& surface, const Rect&) {
    DrawStripFrame(surface, m_strip, Frame(), m_rect);
    const Rect textRect{m_rect.left + 4, m_rect.top + 1, m_rect.right, m_rect.bottom};
    surface.DrawText(LabelText(), textRect, kLabelColor, LabelFont(), TextFlags::kLabel);
    if (m_disabled) DrawDisabledVeil(surface, m_rect);
    (void)m_reserved0, (void)m_reserved1, (void)m_reserved2;
}

bool CComboButton::OnMouseMove(uint32_t, int x, int y) { return StandardMove(x, y); }

bool CComboButton::OnLButtonDown(uint32_t, int x, int y) {
    return StandardDown(x, y, !m_alternateLook);
}

bool CComboButton::OnLButtonUp(uint32_t, int x, int y) {
    return StandardUp(x, y, [this] {
        if (m_alternateLook) return;
        Clicked();
    });
}

bool CComboButton::OnKey(const NavKeyPress& press) {
    if (m_alternateLook || !press.alt || press.ctrl || press.key != NavKey::kDown) return false;
    PressByKey();
    return true;
}

}  // namespace lumbra
