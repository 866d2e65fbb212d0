// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CWndPopup.h"

namespace lumbra {

CWndPopup::CWndPopup(int kind) : m_font(ControlFont()), m_kind(kind) {}

CWndPopup::~CWndPopup() = default;

bool CWndPopup::Create(HostWindow* owner, const Rect& screenRect, uint32_t parameter) {
    if (m_window) return false;
    m_x = screenRect.left;
    m_y = screenRect.top;
    m_width = screenRect.Width();
    m_parameter = parameter;
    m_owner = owner;
    m_window = std::make_unique<HostWindow>(this, WindowStyle::kPopup, owner);
    m_window->SetTitle(AccessibleTitle());
    m_window->SetSize(LayoutWidth(), 2 * kMargin);
    BuildItems();
    Layout();
    m_window->Move(m_x, m_y);
    m_window->Show();
    m_window->Activate();
    Repaint();
    return true;
}

void CWndPopup::PostClose() {
    if (m_window && m_window->IsAlive()) m_window->PostClose();
}

void CWndPopup::AddItem(int type, std::string text, bool submenu) {
    m_items.push_back(PopupItem{false, type, std::move(text), {}, submenu});
    Layout();
}

void CWndPopup::AddSeparator() {
    m_items.push_back(PopupItem{true, 0, {}, {}, false});
    Layout();
}

void CWndPopup::Layout() {
    const int w = LayoutWidth();
    int y = kMargin;
    for (PopupItem& item : m_items) {
        if (item.separator) {
            item.rect = {kMargin, y + 2, w - kMargin, y + 3};
            y += 4;
        } else {
            item.rect = {kMargin, y, w - kMargin, y + kRowHeight};
            y += kRowHeight;
        }
    }
    if (m_window) m_window->SetSize(w, y + kMargin);
}

void CWndPopup::Repaint() {
    if (m_window) m_window->RepaintNow();
}

void CWndPopup::OnPaint(Surface& surface, const Rect& client) {
    surface.FillSolidRect(client, kFrameColor);
    surface.FillSolidRect(client.Inset(1), kPanelColor);
    DrawItems(surface, client);
}

void CWndPopup::DrawItems(Surface&, const Rect&) {}
void CWndPopup::DrawItemIcons(Surface&, const Rect&) {}
void CWndPopup::BuildItems() {}
bool CWndPopup::OnItemMouseMove(int, int) { return false; }
bool CWndPopup::OnItemLButtonDown(int, int) { return false; }
bool CWndPopup::OnItemLButtonUp(int, int) { return false; }

std::vector<Point> SubmenuArrowPixels(int right, int top) {
    std::vector<Point> pixels;
    for (int y = top + 3; y <= top + 9; ++y) pixels.push_back({right - 6, y});
    for (int y = top + 4; y <= top + 8; ++y) pixels.push_back({right - 5, y});
    for (int y = top + 5; y <= top + 7; ++y) pixels.push_back({right - 4, y});
    pixels.push_back({right - 3, top + 6});
    return pixels;
}

void CWndPopup::DrawItemList(Surface& surface, const FontDesc& font) {
    for (size_t i = 0; i < m_items.size(); ++i) {
        const PopupItem& item = m_items[i];
        if (item.separator) {
            surface.FillSolidRect(item.rect, kHighlightColor);
            continue;
        }
        if (static_cast<int>(i) == m_hovered) surface.FillSolidRect(item.rect, kHighlightColor);
        const Rect textRect{item.rect.left + 2, item.rect.top, item.rect.right - 2,
                            item.rect.bottom};
        surface.DrawText(item.text, textRect, kTextColor, font, TextFlags::kLabel);
        if (item.submenu)
            for (Point p : SubmenuArrowPixels(item.rect.right, item.rect.top))
                surface.SetPixel(p.x, p.y, kTextColor);
    }
}

bool CWndPopup::StandardItemMouseMove(int x, int y) {
    if (m_hovered >= 0 && m_items[static_cast<size_t>(m_hovered)].rect.Contains(x, y)) return false;
    const int before = m_hovered;
    m_hovered = -1;
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (!m_items[i].separator && m_items[i].rect.Contains(x, y)) {
            m_hovered = static_cast<int>(i);
            break;
        }
    }
    return m_hovered != before;
}

bool CWndPopup::ClearHoverOutside(int x, int y) {
    if (m_hovered < 0 || m_items[static_cast<size_t>(m_hovered)].rect.Contains(x, y)) return false;
    m_hovered = -1;
    return true;
}

void CWndPopup::Report() {
    // Copies: the handler may close the popup, and this goes with it.
    const ChoiceRecord choice = m_result;
    if (const auto handler = onChoice) handler(choice);
}

void CWndPopup::OnMouseMove(uint32_t, int x, int y) {
    if (!m_tracking && m_window) m_tracking = m_window->TrackMouse(kHoverTime);
    if (!m_pressed && OnItemMouseMove(x, y)) Repaint();
}

void CWndPopup::OnMouseLeave() {
    m_tracking = false;
    if (m_pressed || !m_window) return;
    const Point p = m_window->CursorPos();
    OnItemMouseMove(p.x, p.y);
}

void CWndPopup::OnMouseHover(uint32_t, int, int) {
    if (!m_window) return;
    const Point p = m_window->CursorPos();
    OnItemMouseMove(p.x, p.y);
}

void CWndPopup::OnLButtonDown(uint32_t, int x, int y) {
    m_pressed = true;
    if (m_window) m_window->SetCapture();
    m_captured = true;
    if (OnItemLButtonDown(x, y)) Repaint();
}

void CWndPopup::OnLButtonUp(uint32_t, int x, int y) {
    if (m_captured) {
        if (m_window) m_window->ReleaseCapture();
        m_captured = false;
    }
    m_pressed = false;
    if (OnItemLButtonUp(x, y)) Repaint();
}

void CWndPopup::OnActivate(bool active) {
    if (active) return;
    const auto handler = onDeactivated;  // the handler may close the popup
    if (handler && m_owner && m_owner->IsAlive()) handler();
}

void CWndPopup::OnWindowDestroyed() {
    if (auto callback = std::move(m_onDestroyed)) callback();
    delete this;
}

}  // namespace lumbra
