// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CKeyboardButton.h"

#include "ui/BitmapButtonDraw.h"
#include "ui/ControlMessages.h"

namespace lumbra {

bool CKeyboardButton::LoadImageStrip(int pngId) {
    return lumbra::LoadImageStrip(m_strip, pngId, 3);
}

void CKeyboardButton::SetKeyInfo(const std::string& name, uint8_t currentCode,
                                 uint8_t defaultCode) {
    m_keyIndex = m_id;
    m_keyName = name;
    m_currentCode = currentCode;
    m_defaultCode = defaultCode;
    m_remapped = currentCode != defaultCode;
}

void CKeyboardButton::Draw(Surface& surface, const Rect&) {
    DrawStripFrame(surface, m_strip, Frame(), m_rect);
    if (m_disabled) DrawDisabledVeil(surface, m_rect);
}

bool CKeyboardButton::OnMouseMove(uint32_t, int x, int y) { return StandardMove(x, y); }
bool CKeyboardButton::OnLButtonDown(uint32_t, int x, int y) { return StandardDown(x, y); }

bool CKeyboardButton::OnLButtonUp(uint32_t, int x, int y) {
    return StandardUp(x, y, [this] { Clicked(); });
}

}  // namespace lumbra
