// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CControlBase.h"

#include "platform/HostWindow.h"
#include "ui/ControlMessages.h"

namespace lumbra {

CControlBase::CControlBase(HostWindow* parent, uint32_t id, const Rect& rect, std::string text,
                           bool visible, bool disabled)
    : m_id(id),
      m_rect(rect),
      m_visible(visible),
      m_disabled(disabled),
      m_text(std::move(text)),
      m_parent(parent),
      m_font(ControlFont()) {}

CControlBase::~CControlBase() = default;

int CControlBase::Reserved2(int, int) { return 0; }
int CControlBase::ReleaseActive(int) { return 0; }

void CControlBase::SetRect(int left, int top, int right, int bottom) {
    m_rect = {left, top, right, bottom};
}

Rect CControlBase::GetRect() const { return m_rect; }

void CControlBase::SetText(const std::string& text) {
    if (text == m_text) return;
    m_text = text;
    Invalidate();
}

std::string CControlBase::GetText() const { return m_text; }
void CControlBase::SetVisible(bool visible) { m_visible = visible; }
bool CControlBase::OnMouseMove(uint32_t, int, int) { return false; }
bool CControlBase::OnLButtonDown(uint32_t, int, int) { return false; }
bool CControlBase::OnLButtonUp(uint32_t, int, int) { return false; }
bool CControlBase::OnLButtonDblClk(uint32_t, int, int) { return false; }
bool CControlBase::OnKey(const NavKeyPress&) { return false; }
bool CControlBase::Reserved13() { return true; }
bool CControlBase::Reserved14() { return true; }

void CControlBase::Invalidate() const {
    if (m_parent) m_parent->Invalidate(m_rect);
}

// The handlers run from copies: a handler may remove the control.
void CControlBase::Pressed() const {
    if (const auto handler = onPress) handler();
}

void CControlBase::Clicked() const {
    if (const auto handler = onClick) handler();
}

bool CControlBase::StandardMove(int x, int y) {
    if (m_disabled || m_state == kPressed) return false;
    const int next = Contains(x, y) ? kHover : kNormal;
    if (next == m_state) return false;
    m_state = next;
    return true;
}

bool CControlBase::StandardDown(int x, int y, bool sendPress) {
    if (m_disabled || !Contains(x, y)) return false;
    m_state = kPressed;
    if (sendPress) Pressed();
    return true;
}

void CControlBase::ClickCentreOf(const Rect& r) {
    const int x = (r.left + r.right) / 2;
    const int y = (r.top + r.bottom) / 2;
    OnLButtonDown(0, x, y);
    OnLButtonUp(0, x, y);
    // The control was never hovered by the pointer.
    m_state = kNormal;
    Invalidate();
}

void CControlBase::PressByKey() { ClickCentreOf(m_rect); }

std::string CControlBase::AccessibleName() const {
    if (const auto& name = accessibleName) return name();
    return m_accessibleName.empty() ? m_text : m_accessibleName;
}

uint32_t CControlBase::AccessibleStates() const {
    namespace S = AccessibleState;
    uint32_t states = 0;
    if (TakesFocus()) states |= S::kFocusable;
    if (m_state == kPressed) states |= S::kPressed;
    if (m_state == kHover) states |= S::kHot;
    if (m_disabled) states |= S::kDisabled;
    if (!m_visible) states |= S::kInvisible;
    return states;
}

void CControlBase::PressItem(int row) {
    if (row < 0 || row >= AccessibleItemCount()) return;
    ClickCentreOf(AccessibleItemAt(row).rect);
}

}  // namespace lumbra
