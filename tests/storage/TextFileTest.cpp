// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "storage/TextFile.h"
#include "tests/TestSupport.h"

namespace lumbra {
namespace {

std::vector<std::string> AllLines(std::string_view text) {
    LineReader reader(text);
    std::vector<std::string> lines;
    while (auto line = reader.Next()) lines.emplace_back(*line);
    return lines;
}

TEST(LineReader, CrLfAndLfFilesReadAlike) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(AllLines("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(AllLines("a\nb\n"), (Lines{"a", "b"}));
    EXPECT_EQ(AllLines("a\nb"), (Lines{"a", "b"})) << "a last line without its end counts";
    EXPECT_EQ(AllLines(""), Lines{});
    EXPECT_EQ(AllLines("\n"), (Lines{""}));
    EXPECT_EQ(AllLines("a\r\n\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(AllLines("a\rb\n"), (Lines{"a\rb"})) << "only a CR right before the LF goes";
}

TEST(WriteFileAtomically, CreatesTheMissingConfigFolder) {
    test::TempDir dir;
    const std::string path = dir.Path("config/config.ini");
    ASSERT_TRUE(WriteFileAtomically(path, "x\r\n"));
    EXPECT_EQ(test::ReadBytes(path), "x\r\n");
}

TEST(WriteFileAtomically, ReplacesTheWholeFileAndLeavesNoTemporaryFile) {
    test::TempDir dir;
    const std::string path = dir.Path("f.txt");
    ASSERT_TRUE(WriteFileAtomically(path, std::string(5000, 'a')));
    ASSERT_TRUE(WriteFileAtomically(path, "short"));
    EXPECT_EQ(test::ReadBytes(path), "short");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Dir()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(WriteFileAtomically, AFullDiskLeavesThePreviousFileIntact) {
    test::TempDir dir;
    const std::string path = dir.Path("MacroLibraryFile.mlf");
    ASSERT_TRUE(WriteFileAtomically(path, "old content\r\n"));

    // A file size limit makes the write fail half way, as a full disk does.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFileAtomically(path, std::string(100000, 'n'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(test::ReadBytes(path), "old content\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Dir()),
                            std::filesystem::directory_iterator()),
              1)
        << "the partial temporary file is removed";
}

TEST(WriteFileAtomically, FailsWhereTheTargetIsAFolderOrNothing) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.Path("config/x.psf"));
    EXPECT_FALSE(WriteFileAtomically(dir.Path("config/x.psf"), "y"));
    EXPECT_FALSE(WriteFileAtomically("", "y"));
    EXPECT_FALSE(ReadWholeFile(dir.Path("config/x.psf")).has_value());
    EXPECT_FALSE(ReadWholeFile(dir.Path("missing")).has_value());
}

TEST(RemoveLeftoverTempFiles, RemovesOnlyTheWritersOwnLeftovers) {
    test::TempDir dir;
    const std::string path = dir.Path("config.ini");
    const std::vector<std::string> leftovers = {".config.ini.lumbra-a1B2c3",
                                                ".config.ini.lumbra-XXXXXX"};
    const std::vector<std::string> kept = {"config.ini",
                                           "config.ini.bak",
                                           "config.ini.a1B2c3",
                                           "config.ini.backup",
                                           ".config.ini.lumbra-a1B2c3d",
                                           ".config.ini.lumbra-a1-2c3",
                                           ".default0.psf.lumbra-a1B2c3",
                                           ".config.ini.lumbra-Z9z9Z9/"};
    for (const std::string& name : leftovers) ASSERT_TRUE(WriteFileAtomically(dir.Path(name), "x"));
    for (const std::string& name : kept) {
        if (name.ends_with('/'))
            std::filesystem::create_directory(dir.Path(name));
        else
            ASSERT_TRUE(WriteFileAtomically(dir.Path(name), "x"));
    }
    EXPECT_EQ(RemoveLeftoverTempFiles({path}), 2);
    for (const std::string& name : leftovers) EXPECT_FALSE(std::filesystem::exists(dir.Path(name)));
    for (const std::string& name : kept)
        EXPECT_TRUE(std::filesystem::exists(dir.Path(name))) << name;
    EXPECT_EQ(RemoveLeftoverTempFiles({dir.Path("missing/config.ini")}), 0);
}

TEST(RemoveLeftoverTempFiles, TheUsersCopiesBesideTheFilesSurviveTheCleanUp) {
    test::TempDir dir;
    const std::vector<std::string> files = {"config.ini", "default0.psf", "MacroLibraryFile.mlf",
                                            "SimulatedKeyboard.state"};
    const std::vector<std::string> copies = {"config.ini.backup", "default0.psf.orig01",
                                             "MacroLibraryFile.mlf.201912",
                                             "SimulatedKeyboard.state.backup"};
    std::vector<std::string> paths;
    for (const std::string& name : files) {
        paths.push_back(dir.Path(name));
        ASSERT_TRUE(WriteFileAtomically(paths.back(), "x"));
    }
    for (const std::string& name : copies) ASSERT_TRUE(WriteFileAtomically(dir.Path(name), "mine"));
    // What a writer killed between creating and renaming its file leaves.
    std::string temp = dir.Path(TempFilePattern("default0.psf"));
    const int fd = ::mkstemp(temp.data());
    ASSERT_GE(fd, 0);
    ::close(fd);

    EXPECT_EQ(RemoveLeftoverTempFiles(paths), 1);
    EXPECT_FALSE(std::filesystem::exists(temp));
    for (const std::string& name : copies)
        EXPECT_EQ(test::ReadBytes(dir.Path(name)), "mine") << name;
}

}  // namespace
}  // namespace lumbra
