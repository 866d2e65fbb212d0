// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "device/Reports.h"
#include "tests/device/DeviceTestSupport.h"

namespace lumbra {
namespace {

using test::Bytes;

template <size_t N>
std::vector<uint8_t> Vec(const std::array<uint8_t, N>& a) {
    return {a.begin(), a.end()};
}

// Hand-written leading bytes, the rest zero up to the report length.
std::vector<uint8_t> Padded(const std::string& hex, size_t length) {
    std::vector<uint8_t> v = Bytes(hex);
    v.resize(length, 0);
    return v;
}

std::string ReadFixture(const std::string& name) {
    std::ifstream in(std::string(LUMBRA_TEST_DATA_DIR) + "device/" + name);
    std::stringstream s;
    s << in.rdbuf();
    std::string text = s.str();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

TEST(Reports, ShortReportsCarryTheirConstantBytes) {
    EXPECT_EQ(Vec(EncodeSelectReport(1, 3)), Bytes("04 01 03"));
    EXPECT_EQ(Vec(EncodeSelectReport(5, 0)), Bytes("04 01 00"));  // slot AND 3
    EXPECT_EQ(Vec(EncodeProfileReport(2)), Bytes("05 03 02"));
    EXPECT_EQ(Vec(EncodeProfileReport(ProfileReport::kShutdownValue)), Bytes("05 03 07"));
    EXPECT_EQ(Vec(ProfileReportRequest()), Bytes("05 00 00"));
    EXPECT_EQ(Vec(EncodeResetReport(2)), Bytes("0D 04 02 03"));
    EXPECT_EQ(Vec(EncodeResetReport(6)), Bytes("0D 04 02 03"));
}

TEST(Reports, CurrentProfileIsTheLowThreeBitsOfByteTwo) {
    const ProfileReportBytes answer{0x05, 0x03, 0x0D};
    EXPECT_EQ(DecodeProfileReport(answer), 5);
}

TEST(Reports, KeyTableReportHoldsTableAndGKeyActions) {
    KeyboardProfile profile;
    profile.ResetDefaults(2);
    profile.GKey(1)->action = KeyAction{0x06, 0x01, 0x1F};
    profile.GKey(4)->action = KeyAction{0x07, 0x00, 0x00};
    const std::string expected = "06 B8 02 00 00 00 00 00 " + ReadFixture("default-keytable.txt") +
                                 " 00 00 00 06 01 1F 00 00 00 00 00 00 07 00 00 00";
    EXPECT_EQ(Vec(EncodeKeyTableReport(profile, 2)), Bytes(expected));

    KeyTableReportBytes answer{};
    answer[8] = 0xAA;
    answer[167] = 0xBB;
    answer[168] = 0x02;
    answer[169] = 0xA5;
    answer[180] = 0x03;
    answer[181] = 0x10;
    profile.GKey(0)->name = "kept";
    DecodeKeyTableReport(answer, profile);
    EXPECT_EQ(profile.Keys()[0], 0xAA);
    EXPECT_EQ(profile.Keys()[159], 0xBB);
    EXPECT_EQ(profile.GKey(0)->action, (KeyAction{0x02, 0xA5, 0x00}));
    EXPECT_EQ(profile.GKey(1)->action, (KeyAction{}));
    EXPECT_EQ(profile.GKey(4)->action, (KeyAction{0x03, 0x10, 0x00}));
    EXPECT_EQ(profile.GKey(0)->name, "kept");
}

TEST(Reports, LightingModesTwoAndThreeAreExchangedBothWays) {
    KeyboardProfile profile;
    profile.ResetDefaults(1);
    profile.SetLightColor(2);
    profile.SetLightBrightness(24);
    EXPECT_EQ(Vec(EncodeLightingReport(profile, 1)), Bytes("07 0D 01 00 03 18"));
    profile.SetLightColor(5);
    profile.SetLightBrightness(4);
    EXPECT_EQ(Vec(EncodeLightingReport(profile, 1)), Bytes("07 0D 01 00 05 04"));

    struct Case {
        uint8_t mode, brightness;
        int expectedMode, expectedBrightness;
    };
    for (const Case c :
         {Case{0x0A, 8, 3, 8}, Case{0x08, 8, 7, 8}, Case{0x03, 0x10, 2, 8}, Case{0x06, 24, 6, 24},
          Case{0x01, 1, 1, 1}, Case{0x04, 2, 4, 2}, Case{0x07, 0, 7, 8}}) {
        const LightingReportBytes answer{0x07, 0x0D, 0x00, 0x00, c.mode, c.brightness};
        const Lighting lighting = DecodeLightingReport(answer);
        EXPECT_EQ(lighting.mode, c.expectedMode) << int{c.mode};
        EXPECT_EQ(lighting.brightness, c.expectedBrightness) << int{c.brightness};
    }
}

TEST(Reports, MacroNameIsMadeUpWhenTheKeyboardHasNone) {
    MacroReportBytes answer{};
    answer[8] = 0xFF;
    answer[9] = 0xFF;
    MacroReportName n = DecodeMacroReportName(answer, 1, 3);
    EXPECT_EQ(n.name, "Profile2_G4");
    EXPECT_TRUE(n.madeUp);

    // An empty name cannot name a macro either.
    answer[8] = 0;
    answer[9] = 0;
    EXPECT_EQ(DecodeMacroReportName(answer, 0, 0).name, "Profile1_G1");
    EXPECT_TRUE(DecodeMacroReportName(answer, 0, 0).madeUp);

    const std::string full = "ABCDEFGHIJKLMNOPQRSTUVWX";  // 24, no terminator
    std::copy(full.begin(), full.end(), answer.begin() + 8);
    answer[32] = 'Z';
    n = DecodeMacroReportName(answer, 0, 0);
    EXPECT_EQ(n.name, full);
    EXPECT_FALSE(n.madeUp);

    // A line break in a name would split a line of the files.
    answer.fill(0);
    const std::string broken = "a\nb\rc";
    std::copy(broken.begin(), broken.end(), answer.begin() + 8);
    EXPECT_EQ(DecodeMacroReportName(answer, 0, 0).name, "a_b_c");
}

TEST(Reports, UnpackingAddsPausesBeforeKeyEvents) {
    MacroKey key("m");
    key.InsertAction(0, MacroAction::KeyEvent(0x20, false));  // cleared by the unpacking
    MacroReportBytes answer = {};
    answer[32] = 3;
    answer[33] = 2;
    answer[34] = 0x01;
    answer[35] = 20;
    answer[36] = 0x04;
    answer[37] = 0x85;
    UnpackMacroReport(answer, key);
    ASSERT_EQ(key.MacroActionNum, 2u);
    EXPECT_EQ(key.AllAction[0].bytes, (std::array<uint8_t, 4>{3, 0x00, 0x05, 0x28}));  // 1320 ms
    EXPECT_EQ(key.AllAction[1].bytes, (std::array<uint8_t, 4>{0x41, 0x80, 0, 0}));
    EXPECT_EQ(key.LoopEnable, 1u);
    EXPECT_EQ(key.LoopNum, 3);
    EXPECT_EQ(key.MacroCommandActionNum, 2);
    EXPECT_EQ(key.name, "m");

    answer.fill(0);
    answer[33] = 3;
    answer[34] = 0x04;  // press first: no pause in front
    answer[35] = 0x00;
    answer[36] = 0x00;  // 5 x 8 ms, then nothing: dropped
    answer[37] = 0x05;
    answer[38] = 0x02;
    answer[39] = 0x01;
    UnpackMacroReport(answer, key);
    ASSERT_EQ(key.MacroActionNum, 1u);
    EXPECT_EQ(key.AllAction[0].bytes, (std::array<uint8_t, 4>{0x41, 0x00, 0, 0}));
    EXPECT_EQ(key.LoopEnable, 0u);
    EXPECT_EQ(key.LoopNum, 0);
}

TEST(Reports, UnpackingNeverReadsPastTheReport) {
    MacroReportBytes answer{};
    answer.fill(0x04);  // every entry a press of A with a 32 ms pause
    answer[32] = 1;
    answer[33] = 0xFF;  // claims 255 entries
    MacroKey key("m");
    UnpackMacroReport(answer, key);
    EXPECT_EQ(key.MacroCommandActionNum, 96);
    EXPECT_EQ(key.MacroActionNum, 192u);
}

TEST(Reports, PackingPutsShortPausesIntoTheNextKeyEntry) {
    MacroKey key("Macro1");
    key.LoopEnable = 1;
    key.LoopNum = 2;
    key.InsertAction(0, MacroAction::Pause(1015));
    key.InsertAction(1, MacroAction::KeyEvent(0x41, false));
    key.MacroCommandActionNum = 1;
    EXPECT_EQ(Vec(PackMacroKey(key, 1, 4)),
              Padded("08 E2 01 04 00 00 00 00 4D 61 63 72 6F 31 00 00 00 00 00 00 00 00 00 00 "
                     "00 00 00 00 00 00 00 00 02 01 04 7E",
                     226));
}

TEST(Reports, PackingLongPausesChoosesTheUnitAndCarriesTheRest) {
    struct Case {
        uint32_t pause;
        std::string entries;  // bytes 33.. by hand
    };
    for (const Case& c : {Case{1016, "02 01 0F 04 87"}, Case{16319, "02 01 FE 04 87"},
                          Case{16320, "02 02 7F 04 88"}, Case{20000, "02 02 9C 04 84"},
                          Case{40000, "02 03 9C 04 88"}, Case{70000, "02 03 FF 04 9F"}}) {
        MacroKey key("L");
        key.LoopEnable = 0;
        key.LoopNum = 9;
        key.InsertAction(0, MacroAction::Pause(c.pause));
        key.InsertAction(1, MacroAction::KeyEvent(0x41, true));
        const MacroReportBytes r = PackMacroKey(key, 0, 0);
        EXPECT_EQ(std::vector<uint8_t>(r.begin() + 32, r.begin() + 38), Bytes("00 " + c.entries))
            << c.pause;
    }
}

TEST(Reports, PackingKeepsToTheReportAndCountsWhatItSent) {
    MacroKey key(std::string(30, 'n'));
    for (uint32_t i = 0; i < 150; ++i) {
        key.InsertAction(i, MacroAction::KeyEvent(0x41, (i % 2) != 0));
    }
    key.MacroCommandActionNum = 100;
    const MacroReportBytes r = PackMacroKey(key, 0, 0);
    EXPECT_EQ(r[33], 96);
    EXPECT_EQ(r[31], 'n');  // name cut to 24 bytes
    EXPECT_EQ(r[32], 1);
    EXPECT_EQ(r[224], 0x04);
    EXPECT_EQ(r[225], 0x80);

    // A stale count does not make the keyboard read entries that are not there.
    MacroKey shortKey("s");
    shortKey.InsertAction(0, MacroAction::KeyEvent(0x41, false));
    shortKey.MacroCommandActionNum = 40;
    EXPECT_EQ(PackMacroKey(shortKey, 0, 0)[33], 1);
}

TEST(Reports, PackedMacroUnpacksToTheSameSteps) {
    MacroKey key("RoundTrip");
    key.LoopEnable = 1;
    key.LoopNum = 7;
    const std::vector<MacroAction> steps = {
        MacroAction::KeyEvent(0x41, false), MacroAction::Pause(1016),
        MacroAction::KeyEvent(0x41, true),  MacroAction::Pause(40000),
        MacroAction::KeyEvent(0x42, false), MacroAction::Pause(8),
        MacroAction::KeyEvent(0x42, true),  MacroAction::Pause(20000),
        MacroAction::KeyEvent(0x43, false), MacroAction::Pause(504),
        MacroAction::KeyEvent(0x43, true)};
    for (const MacroAction& a : steps) key.InsertAction(key.MacroActionNum, a);
    const MacroReportBytes packed = PackMacroKey(key, 2, 1);
    MacroKey back("RoundTrip");
    UnpackMacroReport(packed, back);
    ASSERT_EQ(back.MacroActionNum, steps.size());
    for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(back.AllAction[i], steps[i]) << i;
    EXPECT_EQ(back.MacroCommandActionNum, 9);  // six key events, three long pauses
    EXPECT_EQ(back.LoopNum, 7);
    EXPECT_EQ(back.LoopEnable, 1u);
    EXPECT_EQ(PackMacroKey(back, 2, 1), packed);
}

}  // namespace
}  // namespace lumbra
