// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "platform/Geometry.h"

namespace lumbra {

// What a part of a window is, for screen readers and other assistive tools.
enum class AccessibleRole {
    kNone,  // not shown to assistive tools
    kWindow,
    kDialog,
    kPushButton,
    kPageTab,
    kRadioButton,
    kCheckBox,
    kComboBox,
    kList,
    kListItem,
    kStaticText,
    kMenuItem,
    kProgressBar,
};

namespace AccessibleState {
constexpr uint32_t kFocused = 0x1;
constexpr uint32_t kFocusable = 0x2;
constexpr uint32_t kPressed = 0x4;
constexpr uint32_t kCheckable = 0x8;
constexpr uint32_t kChecked = 0x10;
constexpr uint32_t kSelectable = 0x20;
constexpr uint32_t kSelected = 0x40;
constexpr uint32_t kDisabled = 0x80;
constexpr uint32_t kInvisible = 0x100;
constexpr uint32_t kExpanded = 0x200;  // a drop-down whose list is open
constexpr uint32_t kHot = 0x400;       // under the pointer
}  // namespace AccessibleState

// One part of a window as assistive tools see it. `key` names the part for as
// long as it exists, whatever else comes or goes in the window; `parent` is
// the index of the node holding it (a list for its items), −1 for the window.
struct AccessibleNode {
    uint64_t key = 0;
    int parent = -1;
    AccessibleRole role = AccessibleRole::kNone;
    std::string name;
    std::string description;
    Rect rect;  // client coordinates
    uint32_t states = 0;
    bool hasAction = false;
};

// What may have changed about a node, for NotifyAccessible.
enum class AccessibleChange { kFocus, kStatesOrName };

}  // namespace lumbra
