// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CWndPopup.h"

#include <algorithm>

namespace lumbra {

namespace {
// The popups alive now, and the one whose items the keys move over while a
// move runs (a popup it opens is its sub-list).
std::vector<CWndPopup*>& LivePopups() {
    static std::vector<CWndPopup*> popups;
    return popups;
}
CWndPopup* g_keyMoveParent = nullptr;
bool IsLive(const CWndPopup* popup) {
    return popup && std::ranges::find(LivePopups(), popup) != LivePopups().end();
}
}  // namespace

CWndPopup::CWndPopup(int kind) : m_font(ControlFont()), m_kind(kind) {
    LivePopups().push_back(this);
}

CWndPopup::~CWndPopup() { std::erase(LivePopups(), this); }

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
    if (g_keyMoveParent)
        g_keyMoveParent->m_keyChild = this;
    else
        m_window->Activate();
    Repaint();
    return true;
}

void CWndPopup::PostClose() {
    m_closing = true;
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

bool CWndPopup::OnNavKey(const NavKeyPress& press) {
    if (press.ctrl || press.alt || m_closing) return press.key != NavKey::kTab;
    std::vector<int> rows;
    for (size_t i = 0; i < m_items.size(); ++i)
        if (!m_items[i].separator) rows.push_back(static_cast<int>(i));
    const auto centre = [this](int item) {
        const Rect r = m_items[static_cast<size_t>(item)].rect;
        return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };
    const auto at = std::ranges::find(rows, m_hovered);
    const auto index = static_cast<int>(at - rows.begin());
    const int last = static_cast<int>(rows.size()) - 1;
    int target = -1;
    switch (press.key) {
        case NavKey::kUp:
            target = at == rows.end() ? last : std::max(index - 1, 0);
            break;
        case NavKey::kDown:
            target = at == rows.end() ? 0 : std::min(index + 1, last);
            break;
        case NavKey::kHome:
            target = 0;
            break;
        case NavKey::kEnd:
            target = last;
            break;
        case NavKey::kRight:
        case NavKey::kEnter:
        case NavKey::kSpace: {
            if (at == rows.end() || press.repeat) return true;
            // Into the sub-list the highlighted item opened.
            if (IsLive(m_keyChild) && m_keyChild->m_window && !m_keyChild->m_closing) {
                m_keyChild->m_window->Activate();
                m_keyChild->OnNavKey({NavKey::kHome});
                return true;
            }
            if (press.key == NavKey::kRight) return true;
            const Point p = centre(m_hovered);
            if (OnItemLButtonDown(p.x, p.y)) Repaint();
            if (OnItemLButtonUp(p.x, p.y)) Repaint();
            if (m_closing && m_owner && m_owner->IsAlive()) m_owner->Activate();
            return true;
        }
        case NavKey::kEscape: {
            // As a click elsewhere: the owner closes the list and resets its look.
            HostWindow* owner = m_owner;
            if (const auto handler = onDeactivated)
                handler();
            else
                PostClose();
            if (owner && owner->IsAlive()) owner->Activate();
            return true;
        }
        default:
            return false;
    }
    if (target < 0 || target > last) return true;
    // The pointer's own path, so that each kind of list reacts as to a hover.
    const Point p = centre(rows[static_cast<size_t>(target)]);
    m_keyChild = nullptr;
    g_keyMoveParent = this;
    const bool changed = OnItemMouseMove(p.x, p.y);
    g_keyMoveParent = nullptr;
    if (changed) Repaint();
    return true;
}

}  // namespace lumbra
