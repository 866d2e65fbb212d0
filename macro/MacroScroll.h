// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "ui/ControlMessages.h"

namespace lumbra {

// What a list's scroll bar holds: the first visible row, the rows shown and
// the number of items.
struct ScrollValues {
    int position = 0;
    int page = 1;
    int range = 1;
};

// What a list's owner does when its scroll bar is pressed or dragged.
struct ScrollOutcome {
    bool relayout = false;     // UpdateScroll the bar with (position, page, range)
    bool setFirstRow = false;  // the list's first visible row := position, redraw it
    int position = 0;
};

// A press on a part of a list's scroll bar holding `bar`: arrows move one row,
// the track a page less one row; the thumb itself changes nothing.
ScrollOutcome ScrollPartPressed(const ScrollValues& bar, ScrollPart part);
// The thumb was dragged: the bar has already stored its position, which the
// list follows.
ScrollOutcome ScrollThumbDragged(const ScrollValues& bar);

// One wheel turn over a list: a delta above 0 scrolls one row up, else one row
// down, as long as there are more items than rows. The new first row, or -1
// when nothing moves.
int WheelFirstRow(int firstRow, int rows, int items, int delta);

}  // namespace lumbra
