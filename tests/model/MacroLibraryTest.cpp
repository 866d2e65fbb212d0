// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "model/MacroLibrary.h"

namespace lumbra {
namespace {

MacroAction Key(uint8_t vk) { return MacroAction::KeyEvent(vk, false); }

TEST(MacroAction, StepsKeepTheirByteOrder) {
    EXPECT_EQ(MacroAction::KeyEvent(0x41, false).bytes, (std::array<uint8_t, 4>{0x41, 0, 0, 0}));
    EXPECT_EQ(MacroAction::KeyEvent(0x41, true).bytes, (std::array<uint8_t, 4>{0x41, 0x80, 0, 0}));
    EXPECT_EQ(MacroAction::Pause(0x04B0).bytes, (std::array<uint8_t, 4>{3, 0x00, 0x04, 0xB0}));
    EXPECT_EQ(MacroAction::Pause(0x123456).bytes, (std::array<uint8_t, 4>{3, 0x12, 0x34, 0x56}));
    EXPECT_EQ(MacroAction::Pause(0x1000000).PauseLength(), 0xFFFFFFu);
    EXPECT_EQ(MacroAction::KeyEvent(0x41, true).Word(), 0x00008041u);
    EXPECT_EQ(MacroAction::FromWord(0x00008041u), MacroAction::KeyEvent(0x41, true));
    EXPECT_TRUE((MacroAction{{7, 0, 0, 0}}).IsPause());
    EXPECT_FALSE((MacroAction{{8, 0, 0, 0}}).IsPause());
}

TEST(MacroKey, CreatedWithTheDefaults) {
    const MacroKey key = CreateMacroKey("Fire");
    EXPECT_EQ(key.name, "Fire");
    EXPECT_EQ(key.MacroActionNum, 0u);
    EXPECT_EQ(key.LoopEnable, 1u);
    EXPECT_EQ(key.LoopNum, 1);
    EXPECT_EQ(key.MacroCommandActionNum, 0);
    for (const MacroAction& a : key.AllAction) EXPECT_EQ(a, MacroAction{});
}

TEST(MacroKey, SetActionAndGetActionStayInsideTheSlots) {
    MacroKey key;
    EXPECT_TRUE(key.SetAction(199, Key(0x42)));
    EXPECT_FALSE(key.SetAction(200, Key(0x43)));
    EXPECT_EQ(key.MacroActionNum, 0u) << "SetAction does not count steps";
    key.SetAction(0, Key(0x44));
    EXPECT_EQ(key.GetAction(199), Key(0x42));
    EXPECT_EQ(key.GetAction(250), Key(0x44));
    EXPECT_EQ(key.GetAction(200), Key(0x44));
}

TEST(MacroKey, InsertShiftsLaterStepsAndAppendsBeyondTheEnd) {
    MacroKey key;
    EXPECT_TRUE(key.InsertAction(0, Key(0x41)));
    EXPECT_TRUE(key.InsertAction(50, Key(0x43)));  // beyond the end: appended at 1
    EXPECT_TRUE(key.InsertAction(1, Key(0x42)));
    EXPECT_EQ(key.MacroActionNum, 3u);
    EXPECT_EQ(key.GetAction(0), Key(0x41));
    EXPECT_EQ(key.GetAction(1), Key(0x42));
    EXPECT_EQ(key.GetAction(2), Key(0x43));
    EXPECT_EQ(key.GetAction(50), MacroAction{});
}

TEST(MacroKey, FullMacroRefusesInsertAndDropsNothing) {
    MacroKey key;
    for (uint32_t i = 0; i < 200; ++i)
        ASSERT_TRUE(key.InsertAction(i, Key(static_cast<uint8_t>(i))));
    EXPECT_FALSE(key.InsertAction(0, Key(0xFF)));
    EXPECT_EQ(key.MacroActionNum, 200u);
    EXPECT_EQ(key.GetAction(0), Key(0));
    EXPECT_EQ(key.GetAction(199), Key(199));
}

TEST(MacroKey, InsertIntoANearlyFullMacroDropsSlot199sOldContent) {
    MacroKey key;
    key.SetAction(199, Key(0x99));  // left over beyond the steps in use
    for (uint32_t i = 0; i < 10; ++i) key.InsertAction(i, Key(0x41));
    key.InsertAction(0, Key(0x42));
    EXPECT_EQ(key.GetAction(199), MacroAction{}) << "slot 198's old content moved up";
    EXPECT_EQ(key.GetAction(0), Key(0x42));
    EXPECT_EQ(key.GetAction(10), Key(0x41));
}

TEST(MacroKey, ClearActionsEmptiesEverySlotAndBothCounts) {
    MacroKey key;
    key.InsertAction(0, Key(0x41));
    key.SetAction(150, Key(0x42));
    key.MacroCommandActionNum = 7;
    key.LoopNum = 9;
    key.ClearActions();
    EXPECT_EQ(key.MacroActionNum, 0u);
    EXPECT_EQ(key.MacroCommandActionNum, 0);
    EXPECT_EQ(key.GetAction(150), MacroAction{});
    EXPECT_EQ(key.LoopNum, 9) << "loop settings are not steps";
}

TEST(MacroLibrary, SetsAndKeysAreAddressedByPosition) {
    MacroLibrary library;
    EXPECT_EQ(library.SetAt(0), nullptr);
    MacroSet* games = library.AddSet("Games");
    library.AddSet("Office");
    ASSERT_NE(games, nullptr);
    MacroKey* a = games->AddKey("A");
    games->AddKey("B");
    games->AddKey("C");
    EXPECT_EQ(games->MacroKeyNum(), 3u);
    EXPECT_FALSE(games->RemoveKey(3));
    EXPECT_TRUE(games->RemoveKey(1));
    EXPECT_EQ(games->KeyAt(1)->name, "C");
    EXPECT_EQ(games->KeyAt(0), a) << "keys keep their address while in the set";
    EXPECT_EQ(games->KeyAt(2), nullptr);
    EXPECT_FALSE(library.RemoveSet(2));
    EXPECT_TRUE(library.RemoveSet(0));
    EXPECT_EQ(library.SetAt(0)->name, "Office");
    library.Clear();
    EXPECT_EQ(library.MacroSetNum(), 0u);
}

TEST(MacroLibrary, FindByNameSearchesOnlyTheFirstSetExactly) {
    MacroLibrary library;
    EXPECT_EQ(library.FindMacroKeyByName("x"), nullptr);
    MacroSet* first = library.AddSet("First");
    MacroSet* second = library.AddSet("Second");
    second->AddKey("Only in second");
    MacroKey* fire = first->AddKey("Fire");
    first->AddKey("Fire");
    EXPECT_EQ(library.FindMacroKeyByName("Fire"), fire) << "the first match wins";
    EXPECT_EQ(library.FindMacroKeyByName("fire"), nullptr);
    EXPECT_EQ(library.FindMacroKeyByName("Only in second"), nullptr);
}

TEST(MacroLibrary, DefaultLibraryIsOneEmptySet) {
    MacroLibrary library;
    library.AddSet("x")->AddKey("y");
    library.ResetToDefault();
    ASSERT_EQ(library.MacroSetNum(), 1u);
    EXPECT_EQ(library.SetAt(0)->name, "Keyboard Macro Set");
    EXPECT_EQ(library.SetAt(0)->MacroKeyNum(), 0u);
}

TEST(MacroLibrary, InUseOnlyForMacroAssignmentsOfOnBoardProfiles) {
    KeyboardModel model;
    EXPECT_FALSE(IsMacroInUse(model, "Fire"));
    model.Profile(3).GKey(0)->name = "Fire";
    model.Profile(3).GKey(0)->action = {1, 0, 0};
    EXPECT_FALSE(IsMacroInUse(model, "Fire")) << "slot 3 lives only on the PC";
    model.Profile(1).GKey(4)->name = "Fire";
    model.Profile(1).GKey(4)->action = {6, 1, 0x1E};
    EXPECT_FALSE(IsMacroInUse(model, "Fire")) << "same name, but not a macro";
    model.Profile(1).GKey(4)->action = {1, 0, 0};
    EXPECT_TRUE(IsMacroInUse(model, "Fire"));
    EXPECT_FALSE(IsMacroInUse(model, "fire"));
}

// Names at the byte limits, in one, three and four bytes a character.
struct NameCase {
    const char* name;
    MacroNameCheck check;          // as a new name of a set holding "Fire"
    const char* fitted;            // what the keyboard's 24-byte field keeps
    const char* stored = nullptr;  // the new macro's name, when not `name`
};

class MacroNames : public testing::TestWithParam<NameCase> {};

TEST_P(MacroNames, NewNamesFitTheLimitAndFittingNeverCutsACharacter) {
    const NameCase& c = GetParam();
    MacroSet set("S");
    set.AddKey("Fire");
    EXPECT_EQ(set.CheckNewKeyName(c.name), c.check);
    const std::string_view fitted = FitMacroNameToField(c.name);
    EXPECT_EQ(fitted, c.fitted);
    EXPECT_LE(fitted.size(), kMacroNameFieldBytes);
    EXPECT_EQ(FitMacroNameToField(fitted), fitted) << "a fitted name stays as it is";
    if (c.check == MacroNameCheck::kAccepted) {
        EXPECT_EQ(fitted, c.name) << "reaches the keyboard whole";
    }
    EXPECT_EQ(set.AddNewKey(c.name), c.check);
    ASSERT_EQ(set.MacroKeyNum(), c.check == MacroNameCheck::kAccepted ? 2u : 1u);
    const char* stored = c.stored ? c.stored : c.name;
    EXPECT_EQ(set.KeyAt(set.MacroKeyNum() - 1)->name,
              c.check == MacroNameCheck::kAccepted ? stored : "Fire");
}

INSTANTIATE_TEST_SUITE_P(
    AsciiCjkEmoji, MacroNames,
    testing::Values(
        NameCase{"", MacroNameCheck::kEmpty, ""}, NameCase{"Fire", MacroNameCheck::kExists, "Fire"},
        NameCase{"fire", MacroNameCheck::kAccepted, "fire"},
        NameCase{"TwelveChars!", MacroNameCheck::kAccepted, "TwelveChars!"},
        NameCase{"Thirteen chrs", MacroNameCheck::kTooLong, "Thirteen chrs"},
        NameCase{"宏一二三", MacroNameCheck::kAccepted, "宏一二三"},  // 12 bytes
        NameCase{"宏一二三四", MacroNameCheck::kTooLong, "宏一二三四"},
        NameCase{"ab宏一二三", MacroNameCheck::kTooLong, "ab宏一二三"},
        NameCase{"宏一二三四五六七八九十二", MacroNameCheck::kTooLong, "宏一二三四五六七"},
        NameCase{"a宏一二三四五六七八", MacroNameCheck::kTooLong, "a宏一二三四五六"},
        NameCase{"🔥🎮🚀", MacroNameCheck::kAccepted, "🔥🎮🚀"},  // 12 bytes
        NameCase{"a🔥🎮🚀", MacroNameCheck::kTooLong, "a🔥🎮🚀"},
        NameCase{"🔥🎮🚀🔥🎮🚀🔥", MacroNameCheck::kTooLong, "🔥🎮🚀🔥🎮🚀"},
        NameCase{"abc🔥🎮🚀🔥🎮🚀", MacroNameCheck::kTooLong, "abc🔥🎮🚀🔥🎮"},
        NameCase{"abcdefghijklmnopqrstuvwxyz", MacroNameCheck::kTooLong,
                 "abcdefghijklmnopqrstuvwx"},
        // Cut inside its last character by an older program: that part goes.
        NameCase{"a宏一二三四五六\xE4\xB8", MacroNameCheck::kTooLong, "a宏一二三四五六"},
        // Shorter than the field, nothing was cut: stray bytes stay, or every
        // rewrite of the library would eat one more.
        NameCase{"Fire\r\xEB\xEB\xEB\xEB\xEB\xEB", MacroNameCheck::kAccepted,
                 "Fire\r\xEB\xEB\xEB\xEB\xEB\xEB", "Fire\xEB\xEB\xEB\xEB\xEB\xEB"},
        // Control characters (a pasted line break, a TAB) are taken out first.
        NameCase{"ab\r\ncd", MacroNameCheck::kAccepted, "ab\r\ncd", "abcd"},
        NameCase{"Twelve\tChars!", MacroNameCheck::kAccepted, "Twelve\tChars!", "TwelveChars!"},
        NameCase{"\177Fire\001", MacroNameCheck::kExists, "\177Fire\001"},
        NameCase{"\t\n", MacroNameCheck::kEmpty, "\t\n"}));

TEST(MacroLibrary, AGKeyNamingALongNameFindsTheMacroTheKeyboardKeeps) {
    MacroLibrary library;
    MacroKey* kept = library.AddSet("First")->AddKey("宏一二三四五六七");
    EXPECT_EQ(library.FindMacroKeyByName("宏一二三四五六七八九十二"), kept);
    EXPECT_EQ(library.FindMacroKeyByName("宏一二三四五六"), nullptr) << "shorter is another name";
    KeyboardModel model;
    model.Profile(0).GKey(2)->name = "宏一二三四五六七八九十二";
    model.Profile(0).GKey(2)->action = {1, 0, 0};
    EXPECT_TRUE(IsMacroInUse(model, "宏一二三四五六七"));
}

// Two whole names that share the 24 bytes the keyboard keeps.
TEST(MacroLibrary, LongNamesSharingWhatTheKeyboardKeepsStayTwoMacros) {
    MacroLibrary library;
    MacroSet* set = library.AddSet("First");
    MacroKey* first = set->AddKey("宏一二三四五六七八九十二");
    set->AddKey("宏一二三四五六七八");
    EXPECT_EQ(library.FindMacroKeyByName("宏一二三四五六七"), first)
        << "the name as it comes back from the keyboard finds the first it fits";
    KeyboardModel model;
    model.Profile(1).GKey(0)->name = "宏一二三四五六七";
    model.Profile(1).GKey(0)->action = {1, 0, 0};
    EXPECT_TRUE(IsMacroInUse(model, "宏一二三四五六七八"));
}

}  // namespace
}  // namespace lumbra
