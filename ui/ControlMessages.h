// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace lumbra {

// A control notifies its parent with the message whose number is its own id.
// The second parameter says what happened.
namespace ControlEvent {
constexpr intptr_t kPressed = 1;       // the button went down inside the control
constexpr intptr_t kClicked = 2;       // the button was released inside the control
constexpr intptr_t kThumbDragged = 3;  // a dragged scroll thumb reached a new position
constexpr intptr_t kNameAdded = 11;    // the name editor's text became a new macro
constexpr intptr_t kNameExists = 12;   // refused: the set already has a macro of that name
constexpr intptr_t kNameTooLong = 13;  // refused: more than 12 characters
}  // namespace ControlEvent

// The first parameter of a scroll bar's press message: the part pressed.
namespace ScrollPart {
constexpr uintptr_t kThumb = 0;
constexpr uintptr_t kUpArrow = 6;
constexpr uintptr_t kDownArrow = 7;
constexpr uintptr_t kPageUp = 8;    // the track above the thumb
constexpr uintptr_t kPageDown = 9;  // the track below the thumb
}  // namespace ScrollPart

// Ids whose click switches the page or view, so the whole window repaints.
constexpr bool IsPageSwitchId(uint32_t id) {
    return id == 2003 || id == 2004 || id == 2005 || id == 2040 || (id >= 2049 && id <= 2053) ||
           id == 2077;
}

// The control id of the name editor of a macro-name list.
constexpr int kNameEditorId = 2016;

}  // namespace lumbra
