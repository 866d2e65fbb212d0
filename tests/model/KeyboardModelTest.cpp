// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "model/KeyboardModel.h"

namespace lumbra {
namespace {

TEST(SettingsStore, OutOfRangePairsReadEmptyAndIgnoreWrites) {
    SettingsStore store;
    store.ResetDefaults("/opt/lumbra/");
    EXPECT_EQ(store.Name(6), "");
    EXPECT_EQ(store.Value(-1), "");
    store.SetName(6, "x");
    store.SetValue(9, "y");
    store.SetValue(-1, "z");
    EXPECT_EQ(store.Name(5), "ProfileSlot4URL");
    EXPECT_EQ(store.Value(0), "0");
}

TEST(SettingsStore, DefaultsNameEveryPairAndSlotFile) {
    SettingsStore store;
    store.ResetDefaults("/opt/lumbra/");
    EXPECT_EQ(store.Name(0), "CurrentProfile");
    EXPECT_EQ(store.Value(0), "0");
    EXPECT_EQ(store.Name(1), "ProfileSlot0URL");
    EXPECT_EQ(store.Value(1), "/opt/lumbra/config/default0.psf");
    EXPECT_EQ(store.Name(5), "ProfileSlot4URL");
    EXPECT_EQ(store.Value(5), "/opt/lumbra/config/default4.psf");
}

TEST(SettingsStore, SlotPathOutsideOneToFourAddressesSlotZero) {
    SettingsStore store;
    store.ResetDefaults("/d/");
    store.SetSlotPath(7, "/x.psf");
    EXPECT_EQ(store.Value(1), "/x.psf");
    store.SetSlotPath(-1, "/y.psf");
    EXPECT_EQ(store.Value(1), "/y.psf");
    store.SetSlotPath(4, "/z.psf");
    EXPECT_EQ(store.Value(5), "/z.psf");
    EXPECT_EQ(store.SlotPath(4), "/z.psf");
}

TEST(SettingsStore, CurrentProfileOfLettersIsZero) {
    SettingsStore store;
    store.SetValue(0, "abc");
    EXPECT_EQ(store.CurrentProfile(), 0);
    store.SetCurrentProfile(3);
    EXPECT_EQ(store.Value(0), "3");
    EXPECT_EQ(store.CurrentProfile(), 3);
}

TEST(KeyboardProfile, ResetOfSlotTwoGivesTheFactoryProfile) {
    KeyboardProfile profile;
    profile.GKey(1)->launchPath = "/usr/bin/gedit";
    profile.GKey(1)->action = {7, 0, 0};
    profile.Keys()[0] = 0x55;
    profile.ResetDefaults(2);

    EXPECT_EQ(profile.PairName(0), "ProfileName");
    EXPECT_EQ(profile.PairValue(0), "Default3");
    EXPECT_EQ(profile.PairName(1), "LightColor");
    EXPECT_EQ(profile.PairValue(1), "1");
    EXPECT_EQ(profile.PairName(2), "LightBrightness");
    EXPECT_EQ(profile.PairValue(2), "8");
    for (int g = 0; g < kGKeyCount; ++g) {
        EXPECT_EQ(profile.GKey(g)->name, "No Function");
        EXPECT_EQ(profile.GKey(g)->action, (KeyAction{0, 0, 0}));
    }
    EXPECT_EQ(profile.GKey(1)->launchPath, "/usr/bin/gedit") << "a reset keeps launch paths";
    EXPECT_EQ(profile.Keys(), kDefaultKeyTable);
}

TEST(KeyboardProfile, PairAndGKeyIndexesOutOfRangeAreHarmless) {
    KeyboardProfile profile;
    profile.ResetDefaults(4);
    EXPECT_EQ(profile.PairValue(0), "Default5");
    EXPECT_EQ(profile.PairValue(3), "");
    profile.SetPairValue(3, "x");
    profile.SetPairName(-1, "x");
    EXPECT_EQ(profile.GKey(5), nullptr);
    EXPECT_EQ(profile.GKey(-1), nullptr);
    profile.SetLightBrightness(24);
    EXPECT_EQ(profile.PairValue(2), "24");
    EXPECT_EQ(profile.LightBrightness(), 24);
}

TEST(KeyTable, DefaultTableMatchesTheFactoryBytes) {
    // Spot checks at the start, the end and the row edges of the table.
    EXPECT_EQ(kDefaultKeyTable[0], 0x1D);
    EXPECT_EQ(kDefaultKeyTable[15], 0xCC);
    EXPECT_EQ(kDefaultKeyTable[16], 0x09);
    EXPECT_EQ(kDefaultKeyTable[79], 0xB9);
    EXPECT_EQ(kDefaultKeyTable[80], 0xEA);
    EXPECT_EQ(kDefaultKeyTable[127], 0x63);
    EXPECT_EQ(kDefaultKeyTable[144], 0xE8);
    EXPECT_EQ(kDefaultKeyTable[159], 0x0B);
}

TEST(KeyboardModel, AssignGKeyFunctionWritesTheCurrentProfileAndFallsBackToG3) {
    KeyboardModel model;
    model.settings.SetCurrentProfile(1);
    model.AssignGKeyFunction(0, "CTRL+1", "", DefaultGKeyAction(1));
    EXPECT_EQ(model.Profile(1).GKey(0)->name, "CTRL+1");
    EXPECT_EQ(model.Profile(1).GKey(0)->action, (KeyAction{0x06, 0x01, 0x1E}));

    model.AssignGKeyFunction(4, "Calc", "/usr/bin/galculator", {7, 0, 0});
    EXPECT_EQ(model.Profile(1).GKey(4)->launchPath, "/usr/bin/galculator");

    model.AssignGKeyFunction(-1, "Stop", "", {2, 0xB7, 0});
    EXPECT_EQ(model.Profile(1).GKey(2)->name, "Stop");
    model.AssignGKeyFunction(5, "Mute", "", {2, 0xA0, 0});
    EXPECT_EQ(model.Profile(1).GKey(2)->name, "Mute");
    EXPECT_EQ(model.Profile(0).GKey(2)->name, "");
}

TEST(KeyboardModel, CurrentProfileOutOfRangeNeverIndexesPastTheSlots) {
    KeyboardModel model;
    model.settings.SetValue(0, "9");
    EXPECT_EQ(model.settings.CurrentProfile(), 9);
    EXPECT_EQ(model.CurrentSlot(), 0);
    model.SetKeyCode(kKeyPositionMap[0], 0x3A);  // Esc
    EXPECT_EQ(model.Profile(0).Keys()[32], 0x3A);
    model.settings.SetValue(0, "-2");
    model.AssignGKeyFunction(1, "x", "", {});
    EXPECT_EQ(model.Profile(0).GKey(1)->name, "x");
}

TEST(KeyboardModel, ResetEverythingKeepsThePcOnlySlots) {
    KeyboardModel model;
    for (int s = 0; s < kProfileSlotCount; ++s) model.Profile(s).ResetDefaults(s);
    for (int s = 0; s < kProfileSlotCount; ++s) model.Profile(s).SetLightColor(5);
    model.settings.SetCurrentProfile(2);
    model.ResetAllDefaults("/a/");
    EXPECT_EQ(model.settings.CurrentProfile(), 0);
    EXPECT_EQ(model.Profile(2).LightColor(), 1);
    EXPECT_EQ(model.Profile(3).LightColor(), 5);
    EXPECT_EQ(model.Profile(4).LightColor(), 5);
}

TEST(KeyAction, DefaultFunctionOfEachGKeyIsCtrlWithItsDigit) {
    EXPECT_EQ(DefaultGKeyAction(3), (KeyAction{0x06, 0x01, 0x20}));
    EXPECT_EQ(DefaultGKeyName(3), "CTRL+3");
    EXPECT_EQ(DefaultGKeyAction(5), (KeyAction{0x06, 0x01, 0x22}));
    EXPECT_EQ(DefaultGKeyName(5), "CTRL+5");
}

TEST(PendingWrites, MarksIgnoreSlotsAndKeysOutOfRange) {
    PendingWrites pending;
    EXPECT_EQ(pending, PendingWrites{});
    pending.MarkLighting(5);
    pending.MarkMacro(0, 5);
    pending.MarkKeyTable(-1);
    EXPECT_EQ(pending, PendingWrites{});
    pending.MarkMacro(4, 4);
    EXPECT_TRUE(pending.macroPending[4][4]);
    EXPECT_NE(pending, PendingWrites{});
    pending.Clear();
    EXPECT_EQ(pending, PendingWrites{});
}

}  // namespace
}  // namespace lumbra
