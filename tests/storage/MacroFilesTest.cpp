// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "storage/MacroFiles.h"
#include "storage/TextFile.h"
#include "tests/TestSupport.h"

namespace lumbra {
namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

MacroLibrary TwoSets() {
    MacroLibrary library;
    MacroSet* games = library.AddSet("Games");
    MacroKey* fire = games->AddKey("Fire");
    fire->LoopNum = 3;
    fire->InsertAction(0, MacroAction::KeyEvent(0x41, false));
    fire->InsertAction(1, MacroAction::KeyEvent(0x41, true));
    fire->MacroCommandActionNum = 2;
    MacroSet* office = library.AddSet("Office");
    MacroKey* sign = office->AddKey("Sign");
    sign->LoopEnable = 0;
    sign->InsertAction(0, MacroAction::KeyEvent(0x53, false));
    sign->InsertAction(1, MacroAction::Pause(1200));
    sign->InsertAction(2, MacroAction::KeyEvent(0x53, true));
    sign->MacroCommandActionNum = 2;
    office->AddKey("Empty");
    return library;
}

void ExpectSameKey(const MacroKey& a, const MacroKey& b) {
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.MacroActionNum, b.MacroActionNum);
    EXPECT_EQ(a.MacroCommandActionNum, b.MacroCommandActionNum);
    EXPECT_EQ(a.LoopEnable, b.LoopEnable);
    EXPECT_EQ(a.LoopNum, b.LoopNum);
    EXPECT_EQ(a.AllAction, b.AllAction);
}

TEST(MacroLibraryFormat, DefaultLibraryIsExactlyFourLines) {
    MacroLibrary library;
    library.ResetToDefault();
    EXPECT_EQ(FormatMacroLibrary(library), test::Fixture("macro/default.mlf"));
}

TEST(MacroLibraryFormat, KeysAreNumberedFromZeroInEverySet) {
    EXPECT_EQ(FormatMacroLibrary(TwoSets()), test::Fixture("macro/two_sets.mlf"));
}

TEST(MacroLibraryFormat, HandWrittenLibraryReadsIntoTheSameModel) {
    MacroLibrary read;
    ASSERT_TRUE(ParseMacroLibrary(test::Fixture("macro/two_sets.mlf"), read));
    const MacroLibrary expected = TwoSets();
    ASSERT_EQ(read.MacroSetNum(), 2u);
    EXPECT_EQ(read.SetAt(1)->name, "Office");
    ASSERT_EQ(read.SetAt(1)->MacroKeyNum(), 2u);
    ExpectSameKey(*read.SetAt(0)->KeyAt(0), *expected.SetAt(0)->KeyAt(0));
    ExpectSameKey(*read.SetAt(1)->KeyAt(0), *expected.SetAt(1)->KeyAt(0));
    ExpectSameKey(*read.SetAt(1)->KeyAt(1), *expected.SetAt(1)->KeyAt(1));
}

TEST(MacroLibraryFormat, LinesAreMatchedByPositionNotByKey) {
    std::string text = Replace(test::Fixture("macro/two_sets.mlf"), "MacroSetNum=2", "Foo=1");
    text = Replace(text, "MacroKey0LoopNum=3", "Bar=7");
    MacroLibrary read;
    ASSERT_TRUE(ParseMacroLibrary(text, read));
    EXPECT_EQ(read.MacroSetNum(), 1u) << "lines after the last expected one are never read";
    EXPECT_EQ(read.SetAt(0)->KeyAt(0)->LoopNum, 7);
}

TEST(MacroLibraryFormat, LowerCaseHexAndLongNamesWithEqualsReadBack) {
    std::string text = test::Fixture("macro/two_sets.mlf");
    text = Replace(text, "AllAction=4100000041800000", "AllAction=41000000418000ff");
    text = Replace(text, "MacroSet0Name=Games", "MacroSet0Name=Games=Fun");
    MacroLibrary read;
    ASSERT_TRUE(ParseMacroLibrary(text, read));
    EXPECT_EQ(read.SetAt(0)->name, "Games=Fun");
    EXPECT_EQ(read.SetAt(0)->KeyAt(0)->GetAction(1), (MacroAction{{0x41, 0x80, 0x00, 0xFF}}));
}

TEST(MacroLibraryFormat, NamesTooLongForTheKeyboardAreReadWhole) {
    std::string text = test::Fixture("macro/two_sets.mlf");
    // 36 bytes, and 26 bytes whose 24th ends inside a character.
    text = Replace(text, "MacroKey0Name=Fire", "MacroKey0Name=宏一二三四五六七八九十二");
    text = Replace(text, "MacroKey0Name=Sign", "MacroKey0Name=ab宏一二三四五六七");
    text = Replace(text, "MacroKey1Name=Empty", "MacroKey1Name=Twenty-four bytes exact!");
    MacroLibrary read;
    ASSERT_TRUE(ParseMacroLibrary(text, read));
    EXPECT_EQ(read.SetAt(0)->KeyAt(0)->name, "宏一二三四五六七八九十二");
    EXPECT_EQ(read.SetAt(1)->KeyAt(0)->name, "ab宏一二三四五六七");
    EXPECT_EQ(read.SetAt(1)->KeyAt(1)->name, "Twenty-four bytes exact!");
    EXPECT_EQ(read.SetAt(0)->KeyAt(0)->LoopNum, 3) << "the rest of the macro is read as before";

    // A second name with the same first 24 bytes stays a macro of its own,
    // and a G key naming it finds it, not the first.
    MacroKey* second = read.SetAt(0)->AddKey("宏一二三四五六七八");
    second->LoopNum = 9;
    MacroLibrary again;
    ASSERT_TRUE(ParseMacroLibrary(FormatMacroLibrary(read), again));
    ASSERT_EQ(again.SetAt(0)->MacroKeyNum(), 2u);
    EXPECT_EQ(again.FindMacroKeyByName("宏一二三四五六七八")->LoopNum, 9);
    EXPECT_EQ(again.FindMacroKeyByName("宏一二三四五六七八九十二")->LoopNum, 3);
}

// Files written before names were checked may hold control characters; a
// line break in a name, written as it stood, cut the file.
TEST(MacroLibraryFile, ControlCharactersInNamesNeverCostTheLibrary) {
    std::string text = test::Fixture("macro/two_sets.mlf");
    text = Replace(text, "MacroSet0Name=Games", "MacroSet0Name=Ga\tmes\x01");
    MacroLibrary read;
    ASSERT_TRUE(ParseMacroLibrary(text, read));
    EXPECT_EQ(read.SetAt(0)->name, "Ga_mes_") << "as the keyboard gives a TAB back";

    test::TempDir dir;
    MacroLibrary written = TwoSets();
    written.SetAt(0)->AddKey("ab\r\ncd");
    written.SetAt(1)->name = "Off\nice";
    ASSERT_TRUE(WriteMacroLibrary(written, dir.Dir()));
    ASSERT_TRUE(LoadMacroLibraryOrDefault(read, dir.Dir()));
    EXPECT_EQ(read.SetAt(0)->KeyAt(1)->name, "ab__cd");
    EXPECT_EQ(read.SetAt(1)->name, "Off_ice");
    EXPECT_EQ(read.SetAt(1)->MacroKeyNum(), 2u);
}

// Every library the writer writes is read back: a large one is read, and one
// the reader would refuse is not written over the last good file.
TEST(MacroLibraryFile, WhatIsWrittenIsWhatTheReaderTakes) {
    test::TempDir dir;
    MacroLibrary large;
    large.ResetToDefault();
    for (int i = 0; i < 10000; ++i) large.SetAt(0)->AddKey("M" + std::to_string(i));
    ASSERT_TRUE(WriteMacroLibrary(large, dir.Dir()));
    MacroLibrary read;
    ASSERT_TRUE(LoadMacroLibraryOrDefault(read, dir.Dir()));
    EXPECT_EQ(read.SetAt(0)->MacroKeyNum(), 10000u);
    read.Clear();

    MacroLibrary emptyName = TwoSets();
    emptyName.SetAt(1)->AddKey("");
    MacroLibrary oversized = TwoSets();
    oversized.SetAt(1)->name.assign(kMaxReadableFileSize, 'x');
    for (const MacroLibrary* refused : {&emptyName, &oversized}) {
        EXPECT_FALSE(WriteMacroLibrary(*refused, dir.Dir()));
        ASSERT_TRUE(ReadMacroLibrary(read, dir.Dir()));
        EXPECT_EQ(read.SetAt(0)->MacroKeyNum(), 10000u) << "the last good file stays";
    }
}

TEST(MacroLibraryFormat, ZeroOrNegativeSetCountIsAnEmptyLibrary) {
    MacroLibrary read;
    EXPECT_TRUE(ParseMacroLibrary("[MacroLibrary]\r\nMacroSetNum=0\r\n", read));
    EXPECT_EQ(read.MacroSetNum(), 0u);
    EXPECT_TRUE(ParseMacroLibrary("[MacroLibrary]\nMacroSetNum=-4\nrest is not read", read));
    EXPECT_EQ(read.MacroSetNum(), 0u);
    EXPECT_TRUE(ParseMacroLibrary(
        "[MacroLibrary]\nMacroSetNum=1\n\tMacroSet0Name=S\n\t\tMacroKeyNum=0", read));
    EXPECT_EQ(read.SetAt(0)->MacroKeyNum(), 0u);
}

// Library texts that must fail as a whole and leave the library empty.
class BadLibraries : public ::testing::TestWithParam<std::pair<std::string, std::string>> {};

TEST_P(BadLibraries, FailAndLeaveNothingBehind) {
    const auto& [from, to] = GetParam();
    MacroLibrary read;
    read.AddSet("stale");
    EXPECT_FALSE(ParseMacroLibrary(Replace(test::Fixture("macro/two_sets.mlf"), from, to), read));
    EXPECT_EQ(read.MacroSetNum(), 0u);
}

const std::string kZeros1584(1584, '0');

INSTANTIATE_TEST_SUITE_P(
    MacroFiles, BadLibraries,
    ::testing::Values(
        std::pair<std::string, std::string>{"[MacroLibrary]", "[macrolibrary]"},
        std::pair<std::string, std::string>{"MacroSetNum=2", "MacroSetNum="},
        std::pair<std::string, std::string>{"MacroSetNum=2", "MacroSetNum=3"},  // cut short
        std::pair<std::string, std::string>{"MacroKey0Name=Fire", "MacroKey0Name="},
        std::pair<std::string, std::string>{"MacroKey0LoopNum=3", "MacroKey0LoopNum 3"},
        std::pair<std::string, std::string>{"4100000041800000" + kZeros1584,
                                            "4100000041800000" + kZeros1584.substr(1)},  // 1599
        std::pair<std::string, std::string>{"4100000041800000" + kZeros1584,
                                            "4100000041800000" + kZeros1584 + "0"}),  // 1601
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(MacroLibraryFile, UnreadableLibraryFallsBackToTheDefaultAndIsRewritten) {
    test::TempDir dir;
    test::WriteBytes(MacroLibraryFilePath(dir.Dir()), "garbage");
    MacroLibrary library;
    EXPECT_FALSE(LoadMacroLibraryOrDefault(library, dir.Dir()));
    ASSERT_EQ(library.MacroSetNum(), 1u);
    EXPECT_EQ(library.SetAt(0)->name, "Keyboard Macro Set");
    EXPECT_EQ(test::ReadBytes(MacroLibraryFilePath(dir.Dir())), test::Fixture("macro/default.mlf"));

    test::TempDir empty;
    EXPECT_FALSE(LoadMacroLibraryOrDefault(library, empty.Dir()));
    EXPECT_EQ(test::ReadBytes(MacroLibraryFilePath(empty.Dir())),
              test::Fixture("macro/default.mlf"));
}

TEST(MacroLibraryFile, WrittenLibraryReadsBack) {
    test::TempDir dir;
    const MacroLibrary written = TwoSets();
    ASSERT_TRUE(WriteMacroLibrary(written, dir.Dir()));
    MacroLibrary read;
    ASSERT_TRUE(LoadMacroLibraryOrDefault(read, dir.Dir()));
    EXPECT_EQ(FormatMacroLibrary(read), FormatMacroLibrary(written));
}

TEST(MacroLibraryFile, CountsBeyondTheLimitsAreClampedOnRead) {
    std::string text = test::Fixture("macro/two_sets.mlf");
    text = Replace(text, "MacroActionNum=2", "MacroActionNum=4000000000");
    text = Replace(text, "MacroCommandActionNum=2", "MacroCommandActionNum=150");
    text = Replace(text, "MacroKey0LoopNum=3", "MacroKey0LoopNum=300");
    MacroLibrary read;
    ASSERT_TRUE(ParseMacroLibrary(text, read));
    const MacroKey& key = *read.SetAt(0)->KeyAt(0);
    EXPECT_EQ(key.MacroActionNum, 200u);
    EXPECT_EQ(key.ActionCount(), 200u);
    EXPECT_EQ(key.MacroCommandActionNum, 100);
    EXPECT_EQ(key.LoopNum, 300 % 256) << "8-bit fields keep their low 8 bits";
}

TEST(MacroKeyFile, ExportIsWrittenLineForLine) {
    MacroKey key("Fire");
    key.LoopNum = 5;
    key.InsertAction(0, MacroAction::KeyEvent(0x41, false));
    key.InsertAction(1, MacroAction::KeyEvent(0x41, true));
    key.MacroCommandActionNum = 2;
    EXPECT_EQ(FormatMacroKeyFile(key), test::Fixture("macro/press_release_a.mkf"));
}

TEST(MacroKeyFile, ImportCopiesEverythingButTheName) {
    test::TempDir dir;
    const MacroLibrary library = TwoSets();
    const MacroKey& sign = *library.SetAt(1)->KeyAt(0);
    ASSERT_TRUE(WriteMacroKeyFile(sign, dir.Path("sign.mkf")));
    MacroKey target("Other");
    target.SetAction(150, MacroAction::KeyEvent(0x5A, false));
    ASSERT_TRUE(ReadMacroKeyFile(target, dir.Path("sign.mkf")));
    EXPECT_EQ(target.name, "Other");
    EXPECT_EQ(target.LoopEnable, 0u);
    EXPECT_EQ(target.MacroActionNum, 3u);
    EXPECT_EQ(target.MacroCommandActionNum, 2);
    EXPECT_EQ(target.AllAction, sign.AllAction) << "all 200 slots, the stale one overwritten";
}

TEST(MacroKeyFile, FailedImportLeavesTheMacroUntouched) {
    const std::string good = test::Fixture("macro/press_release_a.mkf");
    const std::string bad[] = {
        "",
        Replace(good, "[MacroKey]", "[MacroLibrary]"),
        Replace(good, "\t\tAllAction=4100000041800000", "\t\tAllAction=41000000418000000"),
        good.substr(0, good.find("\t\tAllAction")),
        Replace(good, "MacroActionNum=2", "MacroActionNum="),
    };
    for (const std::string& text : bad) {
        MacroKey key("Mine");
        key.InsertAction(0, MacroAction::KeyEvent(0x42, false));
        key.LoopNum = 9;
        EXPECT_FALSE(ParseMacroKeyFile(text, key));
        EXPECT_EQ(key.LoopNum, 9);
        EXPECT_EQ(key.MacroActionNum, 1u);
        EXPECT_EQ(key.GetAction(0), MacroAction::KeyEvent(0x42, false));
    }
    MacroKey key;
    EXPECT_FALSE(ReadMacroKeyFile(key, "/nonexistent/x.mkf"));
}

}  // namespace
}  // namespace lumbra
