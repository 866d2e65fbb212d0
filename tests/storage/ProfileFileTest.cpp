// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "storage/ProfileFile.h"
#include "tests/TestSupport.h"

namespace lumbra {
namespace {

std::string DefaultKeyDigits() {
    const std::string file = test::Fixture("profile/default2.psf");
    const size_t start = file.find("AllRCKey=") + 9;
    return file.substr(start, 320);
}

// A well-formed profile text with a replaceable key-table and G-key part.
std::string ProfileText(const std::string& keyLine, int gkeyBlocks,
                        const std::string& value = "000000") {
    std::string text = "[Setting]\r\nProfileName=Work\r\nLightColor=4\r\nLightBrightness=24\r\n" +
                       keyLine + "\r\n";
    for (int n = 0; n < gkeyBlocks; ++n) {
        const std::string k = std::to_string(n);
        text += "Key" + k + "Name=G" + k + "\r\n\tKey" + k + "Value=" + value + "\r\n\tKey" + k +
                "URL=\r\n";
    }
    return text;
}

class ProfileFileTest : public ::testing::Test {
protected:
    std::string FilePath() const { return m_dir.Path("config/default2.psf"); }

    test::TempDir m_dir;
    KeyboardProfile m_profile;
};

TEST(ProfileFormat, DefaultProfileIsWrittenLineForLine) {
    KeyboardProfile profile;
    profile.ResetDefaults(2);
    EXPECT_EQ(FormatProfile(profile), test::Fixture("profile/default2.psf"));
}

TEST(ProfileFormat, GKeyBlockMatchesTheWrittenExample) {
    KeyboardProfile profile;
    profile.ResetDefaults(0);
    *profile.GKey(0) = {"notepad.exe", "C:\\Windows\\notepad.exe", {0x07, 0, 0}};
    *profile.GKey(1) = {"CTRL+2", "", {0x06, 0x01, 0x1F}};
    const std::string text = FormatProfile(profile);
    const size_t block = text.find("Key0Name=");
    ASSERT_NE(block, std::string::npos);
    const std::string expected = test::Fixture("profile/gkey_block_example.txt");
    EXPECT_EQ(text.substr(block, expected.size()), expected);
}

TEST_F(ProfileFileTest, MissingFileIsCreatedWithTheSlotsDefaults) {
    EXPECT_FALSE(ReadProfileFile(m_profile, 2, FilePath()));
    EXPECT_EQ(m_profile.PairValue(0), "Default3");
    EXPECT_EQ(m_profile.Keys(), kDefaultKeyTable);
    EXPECT_EQ(test::ReadBytes(FilePath()), test::Fixture("profile/default2.psf"));
}

TEST_F(ProfileFileTest, WrittenProfileReadsBackWhole) {
    KeyboardProfile written;
    written.ResetDefaults(1);
    written.SetPairValue(0, "Games = fun");
    written.SetLightColor(6);
    written.Keys()[159] = 0xAB;
    *written.GKey(2) = {"Ctrl+Alt+A", "", {6, 5, 4}};
    *written.GKey(3) = {"name=with=equals", "/usr/bin/x y", {7, 0, 0}};
    ASSERT_TRUE(WriteProfileFile(written, FilePath()));
    EXPECT_TRUE(ReadProfileFile(m_profile, 1, FilePath()));
    EXPECT_EQ(m_profile.PairValue(0), "Games = fun");
    EXPECT_EQ(m_profile.LightColor(), 6);
    EXPECT_EQ(m_profile.Keys(), written.Keys());
    for (int g = 0; g < kGKeyCount; ++g) {
        EXPECT_EQ(m_profile.GKey(g)->name, written.GKey(g)->name);
        EXPECT_EQ(m_profile.GKey(g)->launchPath, written.GKey(g)->launchPath);
        EXPECT_EQ(m_profile.GKey(g)->action, written.GKey(g)->action);
    }
}

class RejectedProfiles : public ProfileFileTest,
                         public ::testing::WithParamInterface<std::string> {};

TEST_P(RejectedProfiles, AreReplacedByTheDefaults) {
    test::WriteBytes(FilePath(), GetParam());
    EXPECT_FALSE(ReadProfileFile(m_profile, 2, FilePath()));
    EXPECT_EQ(m_profile.PairValue(0), "Default3");
    EXPECT_EQ(m_profile.Keys(), kDefaultKeyTable);
    EXPECT_EQ(m_profile.GKey(0)->name, "No Function");
    EXPECT_EQ(test::ReadBytes(FilePath()), test::Fixture("profile/default2.psf"));
}

INSTANTIATE_TEST_SUITE_P(
    ProfileFile, RejectedProfiles,
    ::testing::Values(
        std::string(), "[SETTING]\r\n",
        "[Setting]\r\nProfileName=x\r\nLightColor=1\r\n",                     // a pair missing
        "[Setting]\r\n=x\r\nLightColor=1\r\nLightBrightness=8\r\n",           // empty pair name
        ProfileText("AllRCKey=" + DefaultKeyDigits().substr(0, 318), 5),      // 318 digits
        ProfileText("AllRCKey=" + DefaultKeyDigits() + "00", 5),              // 322 digits
        ProfileText("AllRCKey " + DefaultKeyDigits(), 5),                     // no '='
        ProfileText("AllRCKey=" + DefaultKeyDigits(), 3),                     // cut after G3
        ProfileText("AllRCKey=" + DefaultKeyDigits(), 4) + "Key4Name=x\r\n",  // cut inside G5
        ProfileText("AllRCKey=" + DefaultKeyDigits(), 1) +
            "Key1Name\r\n"),  // name line without '='
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(ProfileFileTest, ShortValueLineReadsMissingParametersAsZero) {
    test::WriteBytes(FilePath(), ProfileText("AllRCKey=" + DefaultKeyDigits(), 5, "0601"));
    EXPECT_TRUE(ReadProfileFile(m_profile, 2, FilePath()));
    EXPECT_EQ(m_profile.GKey(0)->action, (KeyAction{0x06, 0x01, 0x00}));
    test::WriteBytes(FilePath(), ProfileText("AllRCKey=" + DefaultKeyDigits(), 5, ""));
    EXPECT_TRUE(ReadProfileFile(m_profile, 2, FilePath()));
    EXPECT_EQ(m_profile.GKey(4)->action, (KeyAction{}));
}

TEST_F(ProfileFileTest, HexPairsReadOnlyTheirLeadingDigits) {
    std::string digits = DefaultKeyDigits();
    digits.replace(0, 2, "ab");  // lower case
    digits.replace(2, 2, "G1");  // starts with a non-digit: 0
    digits.replace(4, 2, "1G");  // a digit then a non-digit: that digit
    digits.replace(6, 2, " F");  // a space is not a digit
    test::WriteBytes(FilePath(), ProfileText("=" + digits, 5, "07zz1"));
    EXPECT_TRUE(ReadProfileFile(m_profile, 2, FilePath())) << "the key table's name may be empty";
    EXPECT_EQ(m_profile.Keys()[0], 0xAB);
    EXPECT_EQ(m_profile.Keys()[1], 0x00);
    EXPECT_EQ(m_profile.Keys()[2], 0x01);
    EXPECT_EQ(m_profile.Keys()[3], 0x00);
    EXPECT_EQ(m_profile.Keys()[4], 0xE6);
    EXPECT_EQ(m_profile.GKey(0)->action, (KeyAction{0x07, 0x00, 0x01}));
}

TEST_F(ProfileFileTest, EmptyPairValuesAndLinesAfterTheLastBlockAreAccepted) {
    std::string text = ProfileText("AllRCKey=" + DefaultKeyDigits(), 5);
    text.replace(text.find("ProfileName=Work"), 16, "ProfileName=");
    text += "Program1=/usr/bin/gimp\r\nanything\r\n";
    test::WriteBytes(FilePath(), text);
    EXPECT_TRUE(ReadProfileFile(m_profile, 2, FilePath()));
    EXPECT_EQ(m_profile.PairValue(0), "");
    EXPECT_EQ(m_profile.LightBrightness(), 24);
    EXPECT_EQ(m_profile.GKey(4)->name, "G4");
    EXPECT_EQ(m_profile.programs, (ProfilePrograms{{"/usr/bin/gimp", "", ""}}));
}

// A name with a line break, written as it stood, made the file rejected at
// the next start; one with a TAB from an older file must still be read.
TEST_F(ProfileFileTest, ControlCharactersInNamesNeverCostTheProfile) {
    KeyboardProfile written;
    written.ResetDefaults(2);
    written.SetPairValue(0, "Ra\r\ncing");
    *written.GKey(1) = {"ab\tcd", "", {1, 0, 0}};
    ASSERT_TRUE(WriteProfileFile(written, FilePath()));
    EXPECT_TRUE(ReadProfileFile(m_profile, 2, FilePath()));
    EXPECT_EQ(m_profile.PairValue(0), "Ra__cing");
    EXPECT_EQ(m_profile.GKey(1)->name, "ab_cd") << "as the keyboard gives a TAB back";

    // A path cannot be cleaned: the file is not written, and the last one stays.
    KeyboardProfile refused = written;
    refused.GKey(0)->launchPath = "/opt/a\nb";
    EXPECT_FALSE(WriteProfileFile(refused, FilePath()));
    refused = written;
    refused.programs.paths[2] = "/opt/a\r";
    EXPECT_FALSE(WriteProfileFile(refused, FilePath()));
    EXPECT_TRUE(ReadProfileFile(m_profile, 2, FilePath()));
    EXPECT_EQ(m_profile.PairValue(0), "Ra__cing");
}

TEST_F(ProfileFileTest, ModelSlotsUseThePathsOfTheSettings) {
    KeyboardModel model;
    model.settings.ResetDefaults(m_dir.Dir());
    model.settings.SetSlotPath(1, m_dir.Path("elsewhere/mine.psf"));
    model.Profile(1).ResetDefaults(1);
    model.Profile(1).SetLightColor(3);
    ASSERT_TRUE(WriteProfileFile(model, 1));
    model.Profile(1).SetLightColor(1);
    EXPECT_TRUE(ReadProfileFile(model, 1));
    EXPECT_EQ(model.Profile(1).LightColor(), 3);
}

TEST(ProfilePrograms, WrittenAsThreeLinesAfterTheLastBlockOnlyWhenOneIsSet) {
    KeyboardProfile profile;
    profile.ResetDefaults(2);
    profile.programs = ProfilePrograms{{"/usr/bin/racer", "", "/opt/my tool"}};
    EXPECT_EQ(FormatProfile(profile), test::Fixture("profile/default2.psf") +
                                          "Program1=/usr/bin/racer\r\nProgram2=\r\n"
                                          "Program3=/opt/my tool\r\n");
    profile.programs = ProfilePrograms{};
    EXPECT_EQ(FormatProfile(profile), test::Fixture("profile/default2.psf"));
}

TEST(ProfilePrograms, ReadBackWhenPresentOtherTrailingLinesIgnored) {
    const std::string key = "AllRCKey=" + std::string(320, '0');
    KeyboardProfile profile;
    ASSERT_TRUE(ParseProfile(
        ProfileText(key, 5) + "Note=x\r\nProgram2=/opt/y\r\nProgram9=/z\r\nProgram=/w\r\n",
        profile));
    EXPECT_EQ(profile.programs, (ProfilePrograms{{"", "/opt/y", ""}}));
    // A file without programs leaves the record without any.
    ASSERT_TRUE(ParseProfile(ProfileText(key, 5), profile));
    EXPECT_FALSE(profile.programs.Any());
}

TEST(ProfilePrograms, SurviveAWriteAndReadOfTheFile) {
    test::TempDir dir;
    const std::string path = dir.Path("config/p.psf");
    KeyboardProfile written;
    written.ResetDefaults(1);
    written.programs = ProfilePrograms{{"/a", "/b", "/c"}};
    ASSERT_TRUE(WriteProfileFile(written, path));
    KeyboardProfile read;
    EXPECT_TRUE(ReadProfileFile(read, 1, path));
    EXPECT_EQ(read.programs, written.programs);
}

}  // namespace
}  // namespace lumbra
