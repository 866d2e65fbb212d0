// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "model/KeyboardProfile.h"
#include "model/MacroLibrary.h"

namespace lumbra {

// The keyboard's feature reports, byte for byte. Lengths include the report
// id byte; every byte not named is 0. Slots go into reports as (slot AND 3).

constexpr uint16_t kKeyboardVendorId = 0x04F3;
constexpr uint16_t kKeyboardProductId = 0x1406;
constexpr uint16_t kListenerUsagePage = 0x000A;  // the keyboard's events
constexpr uint16_t kFeatureUsagePage = 0x000B;   // the configuration reports

// Pauses that give the keyboard time to digest a report.
constexpr uint32_t kPauseAfterSelectOrGetMs = 8;
constexpr uint32_t kPauseAfterShortSetMs = 15;  // profile and lighting sets
constexpr uint32_t kPauseAfterLongSetMs = 350;  // key table, macro and reset sets

constexpr uint8_t ReportSlot(int slot) { return static_cast<uint8_t>(slot & 3); }

// The keyboard's own events: input reports on its event interface, an event
// code and its argument after the report id.
namespace InputEvent {
constexpr uint8_t kReportId = 0x01;
constexpr size_t kCodeOffset = 1;
constexpr size_t kArgumentOffset = 2;
constexpr size_t kMinimumLength = 3;

constexpr uint8_t kMacroChanged = 0x01;  // G key 1..5: its macro changed on the keyboard
constexpr uint8_t kLightMode = 0x02;     // the mode in the keyboard's numbering
constexpr uint8_t kNoticeA = 0x03;
constexpr uint8_t kQuickLaunch = 0x04;  // G key 1..5 was pressed
constexpr uint8_t kProfile = 0x05;      // on-board profile 1..3 chosen
constexpr uint8_t kBreathing = 0x06;    // 0 off, other on
constexpr uint8_t kBrightness = 0x07;
constexpr uint8_t kNoticeB = 0x09;
}  // namespace InputEvent

namespace SelectReport {
constexpr uint8_t kId = 0x04;
constexpr size_t kLength = 3;
constexpr size_t kSlotOffset = 1;
constexpr size_t kGKeyOffset = 2;
static_assert(kGKeyOffset + 1 == kLength);
}  // namespace SelectReport
using SelectReportBytes = std::array<uint8_t, SelectReport::kLength>;
SelectReportBytes EncodeSelectReport(int slot, int gIndex);

namespace ProfileReport {
constexpr uint8_t kId = 0x05;
constexpr size_t kLength = 3;
constexpr size_t kMarkerOffset = 1;
constexpr uint8_t kMarker = 0x03;
constexpr size_t kValueOffset = 2;
constexpr uint8_t kProfileMask = 0x07;
constexpr uint8_t kShutdownValue = 7;
static_assert(kValueOffset + 1 == kLength);
}  // namespace ProfileReport
using ProfileReportBytes = std::array<uint8_t, ProfileReport::kLength>;
ProfileReportBytes EncodeProfileReport(uint8_t value);
ProfileReportBytes ProfileReportRequest();
int DecodeProfileReport(std::span<const uint8_t, ProfileReport::kLength> answer);

namespace KeyTableReport {
constexpr uint8_t kId = 0x06;
constexpr size_t kLength = 184;
constexpr size_t kLengthOffset = 1;
constexpr size_t kSlotOffset = 2;
constexpr size_t kTableOffset = 8;
constexpr size_t kActionsOffset = kTableOffset + kKeyTableSize;
constexpr size_t kActionSize = 3;
static_assert(kActionsOffset == 168);
static_assert(kActionsOffset + kGKeyCount * kActionSize + 1 == kLength);
}  // namespace KeyTableReport
using KeyTableReportBytes = std::array<uint8_t, KeyTableReport::kLength>;
KeyTableReportBytes EncodeKeyTableReport(const KeyboardProfile& profile, int slot);
KeyTableReportBytes KeyTableReportRequest();
// Takes the key table and the five G-key actions; names and paths stay.
void DecodeKeyTableReport(std::span<const uint8_t, KeyTableReport::kLength> answer,
                          KeyboardProfile& profile);

namespace LightingReport {
constexpr uint8_t kId = 0x07;
constexpr size_t kLength = 6;
constexpr size_t kMarkerOffset = 1;
constexpr uint8_t kMarker = 0x0D;
constexpr size_t kSlotOffset = 2;
constexpr size_t kModeOffset = 4;
constexpr size_t kBrightnessOffset = 5;
constexpr uint8_t kModeMask = 0x07;
static_assert(kBrightnessOffset + 1 == kLength);
}  // namespace LightingReport
using LightingReportBytes = std::array<uint8_t, LightingReport::kLength>;
// The keyboard numbers the lighting modes as the model does with 2 and 3
// exchanged; the exchange is its own inverse.
constexpr int SwapLightMode(int mode) { return mode == 2 ? 3 : mode == 3 ? 2 : mode; }
LightingReportBytes EncodeLightingReport(const KeyboardProfile& profile, int slot);
LightingReportBytes LightingReportRequest();
struct Lighting {
    int mode = 1;  // model numbering
    int brightness = 8;
};
// A mode of 0 reads as 7 and a brightness code the popup cannot produce as 8.
Lighting DecodeLightingReport(std::span<const uint8_t, LightingReport::kLength> answer);

namespace MacroReport {
constexpr uint8_t kId = 0x08;
constexpr size_t kLength = 226;
constexpr size_t kLengthOffset = 1;
constexpr size_t kSlotOffset = 2;
constexpr size_t kGKeyOffset = 3;
constexpr size_t kNameOffset = 8;
constexpr size_t kNameLength = 24;
constexpr size_t kLoopOffset = kNameOffset + kNameLength;
constexpr size_t kCountOffset = kLoopOffset + 1;
constexpr size_t kEntriesOffset = kCountOffset + 1;
constexpr size_t kEntrySize = 2;
constexpr size_t kMaxEntries = 96;
constexpr uint8_t kNoNameByte = 0xFF;
static_assert(kLoopOffset == 32 && kCountOffset == 33 && kEntriesOffset == 34);
static_assert(kEntriesOffset + kMaxEntries * kEntrySize == kLength);

// Entry codes below the first key code are pauses in these units.
constexpr uint8_t kPause8 = 0x00;
constexpr uint8_t kPause64 = 0x01;
constexpr uint8_t kPause128 = 0x02;
constexpr uint8_t kPause256 = 0x03;
constexpr uint8_t kFirstKeyCode = 0x04;
constexpr uint8_t kReleaseBit = 0x80;
constexpr uint8_t kShortPauseMask = 0x7F;
}  // namespace MacroReport
using MacroReportBytes = std::array<uint8_t, MacroReport::kLength>;
using MacroReportView = std::span<const uint8_t, MacroReport::kLength>;

// The macro's name as the keyboard stores it. A keyboard without a name gets
// "Profile<slot+1>_G<g+1>"; madeUp tells that apart.
struct MacroReportName {
    std::string name;
    bool madeUp = false;
};
MacroReportName DecodeMacroReportName(MacroReportView answer, int slot, int gIndex);
// Fills a macro from the report's loop byte and entries (the name stays).
void UnpackMacroReport(MacroReportView answer, MacroKey& key);
// The report that stores a macro on G key gIndex of a slot. At most 96
// entries reach the keyboard and byte 33 counts those actually sent.
MacroReportBytes PackMacroKey(const MacroKey& key, int slot, int gIndex);
MacroReportBytes MacroReportRequest();

namespace ResetReport {
constexpr uint8_t kId = 0x0D;
constexpr size_t kLength = 4;
constexpr size_t kMarkerOffset = 1;
constexpr uint8_t kMarker = 0x04;
constexpr size_t kSlotOffset = 2;
constexpr size_t kTailOffset = 3;
constexpr uint8_t kTail = 0x03;
static_assert(kTailOffset + 1 == kLength);
}  // namespace ResetReport
using ResetReportBytes = std::array<uint8_t, ResetReport::kLength>;
ResetReportBytes EncodeResetReport(int slot);

}  // namespace lumbra
