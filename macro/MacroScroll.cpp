// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/MacroScroll.h"

#include <algorithm>

namespace lumbra {

ScrollOutcome ScrollPartPressed(const ScrollValues& bar, ScrollPart part) {
    const int p = bar.position;
    const int n = bar.page;
    const int r = bar.range;
    int moved = p;
    if (part == ScrollPart::kUpArrow && p >= 1) moved = p - 1;
    if (part == ScrollPart::kDownArrow && p < r - n) moved = p + 1;
    if (part == ScrollPart::kPageUp && p >= 1) moved = std::max(0, p - n + 1);
    if (part == ScrollPart::kPageDown && p < r - n) moved = std::min(r - n, p + n - 1);
    if (moved == p) return {false, false, p};
    return {true, true, moved};
}

ScrollOutcome ScrollThumbDragged(const ScrollValues& bar) { return {false, true, bar.position}; }

int WheelFirstRow(int firstRow, int rows, int items, int delta) {
    if (items <= rows) return -1;
    if (delta > 0) return firstRow > 0 ? firstRow - 1 : -1;
    return firstRow < items - rows ? firstRow + 1 : -1;
}

}  // namespace lumbra
