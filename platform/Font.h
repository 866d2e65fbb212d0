// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace lumbra {

// A font as the toolkit describes it: GDI-style height (positive = cell
// height, negative = character height, 0 = default), average width (0 =
// natural), weight (0 = default, 400 normal, 700 bold) and face. Character
// set and pitch are kept for the record; the face "宋体" falls back to an
// installed CJK-capable face.
struct FontDesc {
    int height = 0;
    int width = 0;
    int weight = 0;
    int charset = 0;
    int pitchAndFamily = 0;
    std::string face = "宋体";

    friend bool operator==(const FontDesc&, const FontDesc&) = default;
};

// The font every control and popup creates: height 12, default weight,
// GB2312 character set, variable pitch.
inline FontDesc ControlFont() { return FontDesc{12, 0, 0, 134, 0x20, "宋体"}; }

// Text layout flags, with the values of the platform they come from.
namespace TextFlags {
constexpr uint32_t kLeft = 0x0;
constexpr uint32_t kCenter = 0x1;
constexpr uint32_t kRight = 0x2;
constexpr uint32_t kVCenter = 0x4;
constexpr uint32_t kBottom = 0x8;
constexpr uint32_t kWordBreak = 0x10;
constexpr uint32_t kSingleLine = 0x20;
constexpr uint32_t kEndEllipsis = 0x8000;
constexpr uint32_t kWordEllipsis = 0x40000;
// Single line, vertically centred, ellipsis at a word break.
constexpr uint32_t kLabel = kSingleLine | kVCenter | kWordEllipsis;
static_assert(kLabel == 0x40024);
}  // namespace TextFlags

}  // namespace lumbra
