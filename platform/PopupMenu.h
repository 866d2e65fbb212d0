#pragma once

#include <string>
#include <vector>

#include "platform/Geometry.h"

namespace lumbra {

class HostWindow;

// One entry of a context menu; an empty text is a separator.
struct MenuItem {
    std::string text;
    int command = 0;
    bool checkable = false;  // drawn with a check mark, ticked when checked
    bool checked = false;
};

// Shows a context menu at a screen position and tracks it to completion.
// The command of the chosen entry, or 0 when the menu was dismissed.
int TrackPopupMenu(HostWindow* owner, Point screenPos, const std::vector<MenuItem>& items);

// The pointer's position on the screen.
Point CursorScreenPos();

}  // namespace lumbra
