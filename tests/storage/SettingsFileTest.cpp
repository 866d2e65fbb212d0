// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "storage/SettingsFile.h"
#include "tests/TestSupport.h"

namespace lumbra {
namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    std::string FilePath() const { return m_dir.Path("config/config.ini"); }
    void Write(const std::string& text) { test::WriteBytes(FilePath(), text); }
    std::string Defaults() const {
        SettingsStore defaults;
        defaults.ResetDefaults(m_dir.Dir());
        return FormatSettings(defaults);
    }

    test::TempDir m_dir;
    SettingsStore m_store;
};

TEST(SettingsFormat, DefaultsAreWrittenLineForLine) {
    SettingsStore store;
    store.ResetDefaults("/opt/lumbra/");
    EXPECT_EQ(FormatSettings(store), test::Fixture("settings/default.ini"));
}

TEST_F(SettingsFileTest, MissingFileIsCreatedWithTheDefaults) {
    EXPECT_FALSE(ReadSettingsFile(m_store, m_dir.Dir()));
    EXPECT_EQ(m_store.Value(3), m_dir.Dir() + "config/default2.psf");
    EXPECT_EQ(test::ReadBytes(FilePath()), Defaults());
}

TEST_F(SettingsFileTest, WrittenFileReadsBack) {
    m_store.ResetDefaults(m_dir.Dir());
    m_store.SetCurrentProfile(2);
    m_store.SetSlotPath(1, "/home/u/My Profiles/fps=1.psf");
    ASSERT_TRUE(WriteSettingsFile(m_store, m_dir.Dir()));
    SettingsStore read;
    EXPECT_TRUE(ReadSettingsFile(read, m_dir.Dir()));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(read.Name(i), m_store.Name(i));
        EXPECT_EQ(read.Value(i), m_store.Value(i));
    }
}

// Files the reader must reject as a whole: the defaults replace them.
class RejectedSettings : public SettingsFileTest,
                         public ::testing::WithParamInterface<const char*> {};

TEST_P(RejectedSettings, AreReplacedByTheDefaults) {
    Write(GetParam());
    m_store.SetValue(0, "3");
    EXPECT_FALSE(ReadSettingsFile(m_store, m_dir.Dir()));
    EXPECT_EQ(m_store.Value(0), "0");
    EXPECT_EQ(m_store.Value(1), m_dir.Dir() + "config/default0.psf");
    EXPECT_EQ(test::ReadBytes(FilePath()), Defaults());
}

INSTANTIATE_TEST_SUITE_P(
    SettingsFile, RejectedSettings,
    ::testing::Values(
        "",                                                 // no line at all
        "[setting]\r\nCurrentProfile=1\r\n",                // header in lower case
        "[Setting] \r\nCurrentProfile=1\r\n",               // something else on the header line
        "\r\n[Setting]\r\n",                                // header not first
        "[Setting]\r\nCurrentProfile=\r\n",                 // nothing after the '='
        "[Setting]\r\n=1\r\n",                              // nothing before the '='
        "[Setting]\r\nCurrentProfile 1\r\n",                // no '=' at all
        "[Setting]\r\nCurrentProfile=1\r\n\r\n",            // a blank line is a pair line too
        "[Setting]\nA=0\nB=1\nC=2\nD=3\nE=4\nF=5\n\n",      // blank line after the sixth pair
        "[Setting]\nA=0\nB=1\nC=2\nD=3\nE=4\nF=5\nG=6\n"),  // a seventh pair
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// The follow-programs line is the only seventh line, exactly as written, and the last.
INSTANTIATE_TEST_SUITE_P(
    FollowProgramsLine, RejectedSettings,
    ::testing::Values("[Setting]\nA=0\nB=1\nC=2\nD=3\nE=4\nF=5\nFollowPrograms=2\n",
                      "[Setting]\nA=0\nB=1\nC=2\nD=3\nE=4\nF=5\nfollowprograms=0\n",
                      "[Setting]\nA=0\nB=1\nC=2\nD=3\nE=4\nF=5\nFollowPrograms=0\nG=7\n",
                      "[Setting]\nA=0\nB=1\nC=2\nD=3\nE=4\nF=5\nFollowPrograms=0\n\n"),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(SettingsFileTest, FollowProgramsIsWrittenToLumbrasOwnFileOnlyWhenChosen) {
    const std::string own = m_dir.Path("config/lumbra.ini");
    m_store.ResetDefaults(m_dir.Dir());
    for (bool follow : {false, true}) {
        m_store.SetFollowPrograms(follow);
        ASSERT_TRUE(WriteSettingsFile(m_store, m_dir.Dir()));
        EXPECT_EQ(test::ReadBytes(FilePath()), Defaults()) << "the settings keep six pairs";
        EXPECT_EQ(test::ReadBytes(own),
                  follow ? "[Lumbra]\r\nFollowPrograms=1\r\n" : "[Lumbra]\r\nFollowPrograms=0\r\n");
        SettingsStore read;
        EXPECT_TRUE(ReadSettingsFile(read, m_dir.Dir()));
        EXPECT_EQ(read.FollowPrograms(), follow);
        EXPECT_EQ(read.Value(5), m_store.Value(5));
        read.ResetDefaults(m_dir.Dir());
        EXPECT_EQ(read.FollowPrograms(), std::nullopt) << "the defaults follow the programs again";
    }
    m_store.SetFollowPrograms(std::nullopt);
    ASSERT_TRUE(WriteSettingsFile(m_store, m_dir.Dir()));
    EXPECT_EQ(test::ReadBytes(own), "[Lumbra]\r\n") << "the default is no line";
}

// An earlier Lumbra's seventh line moves to Lumbra's own file once, and the
// settings file keeps its six pairs as they stood.
TEST_F(SettingsFileTest, ASeventhFollowProgramsLineMovesToLumbrasOwnFile) {
    const std::string pairs =
        "[Setting]\r\nCurrentProfile=2\r\nP0=/u/a\r\nP1=/u/b\r\nP2=/u/c\r\n"
        "P3=/u/d\r\nP4=/u/e\r\n";
    const std::string own = m_dir.Path("config/lumbra.ini"), off = "FollowPrograms=0\r\n";
    const struct {
        std::string seventh, ownBefore, ownAfter;  // ownBefore empty: no file
        bool follow;
    } cases[] = {
        {off, "", "[Lumbra]\r\n" + off, false},
        {"FollowPrograms=1\r\n", "[Lumbra]\r\n" + off, "[Lumbra]\r\n" + off, false},
        {"FollowPrograms=1\r\n", "[Lumbra]\r\nLater=1\r\n",
         "[Lumbra]\r\nLater=1\r\nFollowPrograms=1\r\n", true},
        {off, "notes\r\n", "[Lumbra]\r\n" + off, false},  // not Lumbra's: kept as rejected
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seventh + c.ownBefore);
        std::filesystem::remove_all(m_dir.Path("config"));
        Write(pairs + c.seventh);
        if (!c.ownBefore.empty()) test::WriteBytes(own, c.ownBefore);
        SettingsStore read;
        EXPECT_TRUE(ReadSettingsFile(read, m_dir.Dir()));
        EXPECT_EQ(read.FollowPrograms(), c.follow);
        EXPECT_EQ(test::ReadBytes(FilePath()), pairs);
        EXPECT_EQ(test::ReadBytes(own), c.ownAfter);
    }
    EXPECT_EQ(test::ReadBytes(own + ".rejected"), "notes\r\n");
    // Where the own file cannot be written the line stays where it is.
    std::filesystem::remove_all(own);
    std::filesystem::create_directories(own);
    Write(pairs + off);
    EXPECT_TRUE(ReadSettingsFile(m_store, m_dir.Dir()));
    EXPECT_EQ(test::ReadBytes(FilePath()), pairs + off);
}

TEST_F(SettingsFileTest, HeaderAloneIsAcceptedAndChangesNothing) {
    Write("[Setting]\r\n");
    m_store.SetValue(0, "2");
    EXPECT_TRUE(ReadSettingsFile(m_store, m_dir.Dir()));
    EXPECT_EQ(m_store.Value(0), "2");
    EXPECT_EQ(test::ReadBytes(FilePath()), "[Setting]\r\n") << "an accepted file is not rewritten";
}

TEST_F(SettingsFileTest, FewerPairsFillOnlyTheFirstOnes) {
    Write("[Setting]\nCurrentProfile=1\nProfileSlot0URL=/p/a.psf");
    EXPECT_TRUE(ReadSettingsFile(m_store, m_dir.Dir()));
    EXPECT_EQ(m_store.CurrentProfile(), 1);
    EXPECT_EQ(m_store.Value(1), "/p/a.psf");
    EXPECT_EQ(m_store.Value(2), "") << "later pairs keep what they had";
}

TEST_F(SettingsFileTest, PairsAreTakenByPositionWithTheirOwnNames) {
    Write("[Setting]\r\nProfile=2\r\n");
    EXPECT_TRUE(ReadSettingsFile(m_store, m_dir.Dir()));
    EXPECT_EQ(m_store.Name(0), "Profile");
    EXPECT_EQ(m_store.CurrentProfile(), 2);
    ASSERT_TRUE(WriteSettingsFile(m_store, m_dir.Dir()));
    EXPECT_EQ(test::ReadBytes(FilePath()).substr(0, 22), "[Setting]\r\nProfile=2\r\n");
}

TEST_F(SettingsFileTest, ValuesKeepSpacesAndLaterEqualsSigns) {
    Write("[Setting]\r\nCurrentProfile= 1 \r\nProfileSlot0URL=/a=b/c.psf\r\n");
    EXPECT_TRUE(ReadSettingsFile(m_store, m_dir.Dir()));
    EXPECT_EQ(m_store.Value(0), " 1 ");
    EXPECT_EQ(m_store.CurrentProfile(), 1);
    EXPECT_EQ(m_store.Value(1), "/a=b/c.psf");
}

}  // namespace
}  // namespace lumbra
