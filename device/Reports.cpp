// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/Reports.h"

#include <algorithm>

#include "model/KeyNames.h"

namespace lumbra {

SelectReportBytes EncodeSelectReport(int slot, int gIndex) {
    SelectReportBytes r{};
    r[0] = SelectReport::kId;
    r[SelectReport::kSlotOffset] = ReportSlot(slot);
    r[SelectReport::kGKeyOffset] = static_cast<uint8_t>(gIndex);
    return r;
}

ProfileReportBytes EncodeProfileReport(uint8_t value) {
    ProfileReportBytes r{};
    r[0] = ProfileReport::kId;
    r[ProfileReport::kMarkerOffset] = ProfileReport::kMarker;
    r[ProfileReport::kValueOffset] = value;
    return r;
}

ProfileReportBytes ProfileReportRequest() {
    ProfileReportBytes r{};
    r[0] = ProfileReport::kId;
    return r;
}

int DecodeProfileReport(std::span<const uint8_t, ProfileReport::kLength> answer) {
    return answer[ProfileReport::kValueOffset] & ProfileReport::kProfileMask;
}

KeyTableReportBytes EncodeKeyTableReport(const KeyboardProfile& profile, int slot) {
    KeyTableReportBytes r{};
    r[0] = KeyTableReport::kId;
    r[KeyTableReport::kLengthOffset] = static_cast<uint8_t>(KeyTableReport::kLength);
    r[KeyTableReport::kSlotOffset] = ReportSlot(slot);
    std::copy(profile.Keys().begin(), profile.Keys().end(),
              r.begin() + KeyTableReport::kTableOffset);
    for (int g = 0; g < kGKeyCount; ++g) {
        const KeyAction& a = profile.GKey(g)->action;
        const size_t at = KeyTableReport::kActionsOffset + static_cast<size_t>(g) * 3;
        r[at] = a.type;
        r[at + 1] = a.param1;
        r[at + 2] = a.param2;
    }
    return r;
}

KeyTableReportBytes KeyTableReportRequest() {
    KeyTableReportBytes r{};
    r[0] = KeyTableReport::kId;
    return r;
}

void DecodeKeyTableReport(std::span<const uint8_t, KeyTableReport::kLength> answer,
                          KeyboardProfile& profile) {
    std::copy_n(answer.begin() + KeyTableReport::kTableOffset, kKeyTableSize,
                profile.Keys().begin());
    for (int g = 0; g < kGKeyCount; ++g) {
        const size_t at = KeyTableReport::kActionsOffset + static_cast<size_t>(g) * 3;
        profile.GKey(g)->action = KeyAction{answer[at], answer[at + 1], answer[at + 2]};
    }
}

LightingReportBytes EncodeLightingReport(const KeyboardProfile& profile, int slot) {
    LightingReportBytes r{};
    r[0] = LightingReport::kId;
    r[LightingReport::kMarkerOffset] = LightingReport::kMarker;
    r[LightingReport::kSlotOffset] = ReportSlot(slot);
    r[LightingReport::kModeOffset] =
        static_cast<uint8_t>(SwapLightMode(profile.LightColor() & 0xFF));
    r[LightingReport::kBrightnessOffset] = static_cast<uint8_t>(profile.LightBrightness() & 0xFF);
    return r;
}

LightingReportBytes LightingReportRequest() {
    LightingReportBytes r{};
    r[0] = LightingReport::kId;
    return r;
}

Lighting DecodeLightingReport(std::span<const uint8_t, LightingReport::kLength> answer) {
    Lighting lighting;
    int mode = answer[LightingReport::kModeOffset] & LightingReport::kModeMask;
    if (mode == 0) mode = 7;
    lighting.mode = SwapLightMode(mode);
    const int b = answer[LightingReport::kBrightnessOffset];
    lighting.brightness = (b == 1 || b == 2 || b == 4 || b == 8 || b == 24) ? b : 8;
    return lighting;
}

MacroReportName DecodeMacroReportName(MacroReportView answer, int slot, int gIndex) {
    MacroReportName result;
    const size_t at = MacroReport::kNameOffset;
    if (answer[at] == MacroReport::kNoNameByte && answer[at + 1] == MacroReport::kNoNameByte) {
        result.madeUp = true;
    } else {
        for (size_t i = 0; i < MacroReport::kNameLength && answer[at + i] != 0; ++i) {
            const uint8_t c = answer[at + i];
            // The files keep one name per line: a control byte from the
            // keyboard must not split or end it.
            result.name.push_back((c < 0x20 || c == 0x7F) ? '_' : static_cast<char>(c));
        }
        // A name cut inside a character (by an older program) loses that part.
        result.name.resize(FitMacroNameToField(result.name).size());
        // A G key cannot name a macro by nothing; treat it as no name.
        result.madeUp = result.name.empty();
    }
    if (result.madeUp) {
        result.name = "Profile" + std::to_string(static_cast<unsigned>(slot + 1)) + "_G" +
                      std::to_string(static_cast<unsigned>(gIndex + 1));
    }
    return result;
}

void UnpackMacroReport(MacroReportView answer, MacroKey& key) {
    key.ClearActions();
    const uint8_t loop = answer[MacroReport::kLoopOffset];
    key.LoopNum = loop;
    key.LoopEnable = loop != 0 ? 1 : 0;
    // No more entries than the report can hold, whatever byte 33 claims.
    const size_t count =
        std::min<size_t>(answer[MacroReport::kCountOffset], MacroReport::kMaxEntries);
    key.MacroCommandActionNum = static_cast<uint8_t>(count);

    uint16_t pause = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t code = answer[MacroReport::kEntriesOffset + i * 2];
        const uint8_t value = answer[MacroReport::kEntriesOffset + i * 2 + 1];
        switch (code) {
            case MacroReport::kPause64:
                pause = static_cast<uint16_t>(pause + value * 64);
                break;
            case MacroReport::kPause128:
                pause = static_cast<uint16_t>(pause + value * 128);
                break;
            case MacroReport::kPause256:
                pause = static_cast<uint16_t>(pause + value * 256);
                break;
            default:
                pause = static_cast<uint16_t>(pause + (value & MacroReport::kShortPauseMask) * 8);
                break;
        }
        if (code < MacroReport::kFirstKeyCode) continue;
        if (pause != 0) key.InsertAction(key.MacroActionNum, MacroAction::Pause(pause));
        key.InsertAction(
            key.MacroActionNum,
            MacroAction::KeyEvent(HidToVk(code), (value & MacroReport::kReleaseBit) != 0));
        pause = 0;
    }
}

MacroReportBytes PackMacroKey(const MacroKey& key, int slot, int gIndex) {
    MacroReportBytes r{};
    r[0] = MacroReport::kId;
    r[MacroReport::kLengthOffset] = static_cast<uint8_t>(MacroReport::kLength);
    r[MacroReport::kSlotOffset] = ReportSlot(slot);
    r[MacroReport::kGKeyOffset] = static_cast<uint8_t>(gIndex);
    // Names are fitted to the field by whole characters, so what the keyboard
    // keeps reads back as the same text.
    static_assert(MacroReport::kNameLength == kMacroNameFieldBytes);
    const std::string_view name = FitMacroNameToField(key.name);
    std::copy(name.begin(), name.end(), r.begin() + MacroReport::kNameOffset);
    r[MacroReport::kLoopOffset] = key.LoopEnable != 0 ? key.LoopNum : 0;

    size_t entries = 0;
    auto add = [&](uint8_t code, uint8_t value) {
        if (entries == MacroReport::kMaxEntries) return;
        r[MacroReport::kEntriesOffset + entries * 2] = code;
        r[MacroReport::kEntriesOffset + entries * 2 + 1] = value;
        ++entries;
    };
    uint8_t carry = 0;
    for (uint32_t i = 0; i < key.ActionCount(); ++i) {
        const MacroAction& a = key.AllAction[i];
        if (a.bytes[0] != MacroAction::kPauseMarker) {
            add(VkToHid(a.bytes[0]), static_cast<uint8_t>(a.bytes[1] | carry));
            carry = 0;
            continue;
        }
        // One entry carries at most 255 x 256 ms; a longer pause is kept as
        // long as the keyboard can make it rather than wrapped to a short one.
        const uint32_t p = std::min<uint32_t>(a.PauseLength(), 0xFFFF);
        // What remains after a long-pause entry rides on the next key entry in
        // the units the keyboard counts there: 8 ms.
        if (p < 1016) {
            carry = static_cast<uint8_t>(p / 8);
        } else if (p < 16320) {
            add(MacroReport::kPause64, static_cast<uint8_t>(p / 64));
            carry = static_cast<uint8_t>((p % 64) / 8);
        } else if (p < 32640) {
            add(MacroReport::kPause128, static_cast<uint8_t>(p / 128));
            carry = static_cast<uint8_t>((p % 128) / 8);
        } else {
            add(MacroReport::kPause256, static_cast<uint8_t>(p / 256));
            carry = static_cast<uint8_t>((p % 256) / 8);
        }
    }
    r[MacroReport::kCountOffset] = static_cast<uint8_t>(entries);
    return r;
}

MacroReportBytes MacroReportRequest() {
    MacroReportBytes r{};
    r[0] = MacroReport::kId;
    return r;
}

ResetReportBytes EncodeResetReport(int slot) {
    ResetReportBytes r{};
    r[0] = ResetReport::kId;
    r[ResetReport::kMarkerOffset] = ResetReport::kMarker;
    r[ResetReport::kSlotOffset] = ReportSlot(slot);
    r[ResetReport::kTailOffset] = ResetReport::kTail;
    return r;
}

}  // namespace lumbra
