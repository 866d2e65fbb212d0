// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/MacroScroll.h"

#include <algorithm>

namespace lumbra {

namespace {
constexpr intptr_t kPressed = 1;
constexpr intptr_t kThumbDragged = 3;
constexpr uintptr_t kUpArrow = 6;
constexpr uintptr_t kDownArrow = 7;
constexpr uintptr_t kPageUp = 8;
constexpr uintptr_t kPageDown = 9;
}  // namespace

ScrollOutcome ScrollBarMessage(const ScrollValues& bar, uintptr_t first, intptr_t second) {
    const int p = bar.position;
    const int n = bar.page;
    const int r = bar.range;
    if (second == kThumbDragged) return {false, true, p};
    if (second != kPressed) return {false, false, p};
    int moved = p;
    if (first == kUpArrow && p >= 1) moved = p - 1;
    if (first == kDownArrow && p < r - n) moved = p + 1;
    if (first == kPageUp && p >= 1) moved = std::max(0, p - n + 1);
    if (first == kPageDown && p < r - n) moved = std::min(r - n, p + n - 1);
    if (moved == p) return {false, false, p};
    return {true, true, moved};
}

int WheelFirstRow(int firstRow, int rows, int items, int delta) {
    if (items <= rows) return -1;
    if (delta > 0) return firstRow > 0 ? firstRow - 1 : -1;
    return firstRow < items - rows ? firstRow + 1 : -1;
}

}  // namespace lumbra
