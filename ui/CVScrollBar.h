// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CControlBase.h"
#include "ui/ControlMessages.h"
#include "ui/ImageRoutines.h"

namespace lumbra {

// A vertical scroll bar: two arrow images, a track and a thumb that can be
// dragged. The parent keeps position, page and range and lays the thumb out
// through UpdateScroll.
class CVScrollBar : public CControlBase {
public:
    static constexpr int kUpArrowPng = 188;
    static constexpr int kDownArrowPng = 187;

    CVScrollBar(HostWindow* parent, uint32_t id, const Rect& rect, std::string text, bool visible,
                bool disabled);

    void UpdateScroll(int position, int page, int range);
    void Draw(Surface& surface, const Rect& updateRect) override;
    bool OnMouseMove(uint32_t flags, int x, int y) override;
    bool OnLButtonDown(uint32_t flags, int x, int y) override;
    bool OnLButtonUp(uint32_t flags, int x, int y) override;

    int Position() const { return m_position; }
    int Page() const { return m_page; }
    int Range() const { return m_range; }
    Rect UpArrowRect() const { return m_upRect; }
    Rect DownArrowRect() const { return m_downRect; }
    Rect TrackRect() const { return m_track; }
    Rect ThumbRect() const { return m_thumb; }
    Rect DragRect() const { return m_dragRect; }
    bool IsDragging() const { return m_dragging; }
    bool IsUpHover() const { return m_upHover; }
    bool IsDownHover() const { return m_downHover; }
    bool IsThumbHover() const { return m_thumbHover; }

    // What the bar tells its owner, called at once on the UI thread.
    std::function<void(ScrollPart)> onPartPressed;
    // The dragged thumb reached a new position (Position()).
    std::function<void()> onThumbDragged;

private:
    int TrackLength() const { return m_track.bottom - m_track.top + 1; }
    void LayOutThumb();

    Image m_upImage;
    Image m_downImage;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    bool m_upHover = false;
    bool m_downHover = false;
    bool m_thumbHover = false;
    bool m_dragging = false;
    Rect m_upRect;
    Rect m_downRect;
    Rect m_track;
    Rect m_thumb;
    Rect m_dragRect;
    int m_dragOffset = 0;
    int m_position = 0;
    int m_page = 1;
    int m_range = 1;
};

}  // namespace lumbra
