// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CStaticText.h"

#include "ui/ControlMessages.h"

namespace lumbra {

CStaticText::CStaticText(HostWindow* parent, uint32_t id, const Rect& rect, std::string text,
                         bool visible, bool disabled, Color color, uint32_t flags)
    : CControlBase(parent, id, rect, std::move(text), visible, disabled),
      m_color(color),
      m_flags(flags) {}

void CStaticText::Draw(Surface& surface, const Rect&) {
    surface.DrawText(m_string, m_rect, m_color, LabelFont(),
                     m_flags | TextFlags::kSingleLine | TextFlags::kWordEllipsis);
}

bool CStaticText::OnMouseMove(uint32_t, int x, int y) { return StandardMove(x, y); }
bool CStaticText::OnLButtonDown(uint32_t, int x, int y) { return StandardDown(x, y); }

bool CStaticText::OnLButtonUp(uint32_t, int x, int y) {
    return StandardUp(x, y, [this] { Clicked(); });
}

}  // namespace lumbra
