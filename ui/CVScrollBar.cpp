// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CVScrollBar.h"

#include <algorithm>
#include <cmath>

#include "ui/ControlMessages.h"

namespace lumbra {

namespace {
constexpr Color kBarColor = 0x010101;
constexpr Color kThumbEdge = 0x1F1F1F;
constexpr Color kThumbFace = 0x323232;
constexpr Color kThumbHoverEdge = 0xDEA035;
constexpr Color kThumbHoverFace = 0x1F1F1F;
}  // namespace

CVScrollBar::CVScrollBar(HostWindow* parent, uint32_t id, const Rect& rect, std::string text,
                         bool visible, bool disabled)
    : CControlBase(parent, id, rect, std::move(text), visible, disabled) {
    // The frame size kept is that of the down arrow, loaded second.
    ImageStrip up, down;
    if (LoadImageStrip(up, kUpArrowPng, 3)) {
        m_upImage = up.image;
        m_frameWidth = up.frameWidth;
        m_frameHeight = up.frameHeight;
    }
    if (LoadImageStrip(down, kDownArrowPng, 3)) {
        m_downImage = down.image;
        m_frameWidth = down.frameWidth;
        m_frameHeight = down.frameHeight;
    }
    m_upRect = {rect.left, rect.top, rect.right, rect.top + m_upImage.Height() - 1};
    m_downRect = {rect.left, rect.bottom - m_downImage.Height() + 1, rect.right, rect.bottom};
    m_track = {rect.left, rect.top + m_frameHeight, rect.right, rect.bottom - m_frameHeight + 1};
    m_thumb = m_track;
    m_dragRect = m_thumb;
}

void CVScrollBar::UpdateScroll(int position, int page, int range) {
    if (range == 0) {
        m_thumb = m_track;
        Invalidate();
        return;
    }
    m_position = position;
    m_page = page;
    m_range = range;
    LayOutThumb();
    Invalidate();
}

void CVScrollBar::LayOutThumb() {
    if (m_range == 0) {
        m_thumb = m_track;
        return;
    }
    const int L = TrackLength();
    const int length =
        static_cast<int>(std::floor(static_cast<double>(L) * m_page / m_range + 0.5));
    const int offset =
        static_cast<int>(std::floor(static_cast<double>(L) * m_position / m_range + 0.5));
    m_thumb = m_track;
    m_thumb.top = m_track.top + offset;
    m_thumb.bottom = std::min(m_thumb.top + std::min(L, length) - 1, m_track.bottom);
}

void CVScrollBar::Draw(Surface& surface, const Rect&) {
    surface.FillSolidRect(m_rect.Inset(1), kBarColor);
    auto drawArrow = [&](const Image& image, bool hover, int top) {
        DrawImageFrame(surface, image,
                       RectF{static_cast<float>(m_rect.left), static_cast<float>(top),
                             static_cast<float>(m_frameWidth), static_cast<float>(m_frameHeight)},
                       static_cast<float>((hover ? 1 : 0) * m_frameWidth), 0.0f,
                       static_cast<float>(m_frameWidth), static_cast<float>(m_frameHeight));
    };
    drawArrow(m_upImage, m_upHover, m_rect.top);
    drawArrow(m_downImage, m_downHover, m_rect.bottom - m_frameHeight + 1);
    const Rect thumb = m_dragging ? m_dragRect : m_thumb;
    surface.FillSolidRect(thumb.Inset(1), m_thumbHover ? kThumbHoverEdge : kThumbEdge);
    surface.FillSolidRect(thumb.Inset(2), m_thumbHover ? kThumbHoverFace : kThumbFace);
}

bool CVScrollBar::OnMouseMove(uint32_t, int x, int y) {
    if (m_disabled) return false;
    bool changed = false;
    if (m_state != kPressed) {
        const bool inside = Contains(x, y);
        const int state = inside ? kHover : kNormal;
        const bool up = inside && m_upRect.Contains(x, y);
        const bool down = inside && m_downRect.Contains(x, y);
        const bool thumb = inside && m_thumb.Contains(x, y);
        changed =
            state != m_state || up != m_upHover || down != m_downHover || thumb != m_thumbHover;
        m_state = state;
        m_upHover = up;
        m_downHover = down;
        m_thumbHover = thumb;
        if (m_state == kNormal) m_dragging = false;
    }
    if (!m_dragging) return changed;
    // The dragged thumb follows the pointer and stays inside the track.
    const int height = m_dragRect.Height();
    int top = y - m_dragOffset;
    top = std::min(top, m_track.bottom - height);
    top = std::max(top, m_track.top);
    m_dragRect.top = top;
    m_dragRect.bottom = top + height;
    Invalidate();
    const int position = static_cast<int>(static_cast<double>(m_dragRect.top - m_track.top) *
                                          m_range / TrackLength());
    if (position != m_position) {
        m_position = position;
        if (const auto handler = onThumbDragged) handler();
    }
    return true;
}

bool CVScrollBar::OnLButtonDown(uint32_t, int x, int y) {
    if (m_disabled || !Contains(x, y)) return false;
    m_state = kPressed;
    if (m_thumb.Contains(x, y)) {
        m_dragging = true;
        m_dragRect = m_thumb;
        m_dragOffset = y - m_thumb.top;
    }
    ScrollPart part = ScrollPart::kPageDown;
    if (m_upRect.Contains(x, y))
        part = ScrollPart::kUpArrow;
    else if (m_downRect.Contains(x, y))
        part = ScrollPart::kDownArrow;
    else if (m_thumb.Contains(x, y))
        part = ScrollPart::kThumb;
    else if (y < m_thumb.top)
        part = ScrollPart::kPageUp;
    if (const auto handler = onPartPressed) handler(part);
    return true;
}

bool CVScrollBar::OnLButtonUp(uint32_t, int x, int y) {
    if (m_disabled) return false;
    m_dragging = false;
    if (Contains(x, y)) {
        m_state = kHover;
        Clicked();
    } else {
        m_state = kNormal;
    }
    // A dragged thumb snaps to the place of its position.
    LayOutThumb();
    Invalidate();
    return true;
}

}  // namespace lumbra
