// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "ui/ControlMessages.h"

namespace lumbra {

// The control ids of the main window's macro page; each control's message is its id.
namespace MacroPageId {
constexpr uint32_t kNewMacro = 2100;
constexpr uint32_t kDeleteMacro = 2101;
constexpr uint32_t kImport = 2102;
constexpr uint32_t kExport = 2103;
constexpr uint32_t kMacroList = 2109;
constexpr uint32_t kLoopCount = 2110;  // the loop count edit box
constexpr uint32_t kLoopSwitch = 2111;
constexpr uint32_t kDelaySwitch = 2112;
constexpr uint32_t kRecord = 2113;
constexpr uint32_t kActionList = 2114;
constexpr uint32_t kMacroScroll = 2115;
constexpr uint32_t kActionScroll = 2116;
constexpr uint32_t kWaylandRecordingNote = 2117;
}  // namespace MacroPageId

}  // namespace lumbra
