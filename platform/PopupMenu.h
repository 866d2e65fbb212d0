// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/Geometry.h"

namespace lumbra {

class HostWindow;

// One entry of a context menu; an empty text is a separator.
struct MenuItem {
    enum class Check { kNone, kUnchecked, kChecked };  // a plain entry or a check item

    MenuItem() = default;
    MenuItem(std::string text_, int command_, Check check_ = Check::kNone)
        : text(std::move(text_)), command(command_), check(check_) {}

    std::string text;
    int command = 0;
    Check check = Check::kNone;
};

// Shows a context menu at a screen position and tracks it to completion.
// The command of the chosen entry, or 0 when the menu was dismissed.
int TrackPopupMenu(HostWindow* owner, Point screenPos, const std::vector<MenuItem>& items);

// The pointer's position on the screen.
Point CursorScreenPos();

}  // namespace lumbra
