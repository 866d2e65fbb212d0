// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace lumbra {

// Colours are 0x00BBGGRR values: red in the low byte.
using Color = uint32_t;

constexpr Color Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}
constexpr uint8_t RedOf(Color c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t GreenOf(Color c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t BlueOf(Color c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Right and bottom are exclusive.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static constexpr Rect FromSize(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr bool Contains(int x, int y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    constexpr Rect Inset(int d) const { return {left + d, top + d, right - d, bottom - d}; }
    constexpr Rect Offset(int dx, int dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    // The common part; empty rectangles come back as all zeros.
    constexpr Rect Intersect(const Rect& o) const {
        Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
               std::min(bottom, o.bottom)};
        return r.IsEmpty() ? Rect{} : r;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Rectangles with fractional positions for scaled image drawing.
struct RectF {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

// A union of rectangles, kept as the rectangles that were added.
class Region {
public:
    void Add(const Rect& r) {
        if (!r.IsEmpty()) m_rects.push_back(r);
    }
    bool IsEmpty() const { return m_rects.empty(); }
    bool Contains(int x, int y) const {
        return std::any_of(m_rects.begin(), m_rects.end(),
                           [x, y](const Rect& r) { return r.Contains(x, y); });
    }
    const std::vector<Rect>& Rects() const { return m_rects; }

private:
    std::vector<Rect> m_rects;
};

}  // namespace lumbra
