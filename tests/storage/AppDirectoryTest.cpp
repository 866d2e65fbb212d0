// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "storage/AppDirectory.h"
#include "tests/TestSupport.h"

namespace lumbra {
namespace {

TEST(AppDirectory, OptionWinsOverEnvironmentAndProgramFolder) {
    AppDirectoryInputs inputs;
    inputs.programDirectory = "/tmp/";
    inputs.lumbraHome = "/srv/home";
    inputs.configDirOption = "/data/lumbra";
    EXPECT_EQ(ResolveAppDirectory(inputs), "/data/lumbra/");
    inputs.configDirOption = "";
    EXPECT_EQ(ResolveAppDirectory(inputs), "/srv/home/");
}

TEST(AppDirectory, WritableProgramFolderIsTheApplicationDirectory) {
    test::TempDir dir;
    AppDirectoryInputs inputs;
    inputs.programDirectory = dir.Dir();
    inputs.xdgConfigHome = "/xdg";
    EXPECT_EQ(ResolveAppDirectory(inputs), dir.Dir());
}

TEST(AppDirectory, UnwritableProgramFolderFallsBackToTheUserConfiguration) {
    AppDirectoryInputs inputs;
    inputs.programDirectory = "/nonexistent/bin/";
    inputs.xdgConfigHome = "/home/u/.cfg";
    inputs.home = "/home/u";
    EXPECT_EQ(ResolveAppDirectory(inputs), "/home/u/.cfg/lumbra/");
    inputs.xdgConfigHome.reset();
    EXPECT_EQ(ResolveAppDirectory(inputs), "/home/u/.config/lumbra/");
}

// The user's configuration folder of the config files and of the autostart
// entry: a relative or empty value is no folder.
TEST(AppDirectory, ARelativeXdgConfigHomeOrHomeIsIgnored) {
    const struct {
        std::optional<std::string> xdgConfigHome, home;
        std::optional<std::string> folder;
    } cases[] = {
        {"/home/u/.cfg", "/home/u", "/home/u/.cfg/"},
        {"cfg", "/home/u", "/home/u/.config/"},
        {"", "/home/u/", "/home/u/.config/"},
        {"cfg", "home", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xdgConfigHome.value_or("(unset)") + " " + c.home.value_or("(unset)"));
        EXPECT_EQ(UserConfigFolder(c.xdgConfigHome, c.home), c.folder);
        AppDirectoryInputs inputs;
        inputs.programDirectory = "/nonexistent/bin/";
        inputs.xdgConfigHome = c.xdgConfigHome;
        inputs.home = c.home;
        EXPECT_EQ(ResolveAppDirectory(inputs), c.folder ? *c.folder + "lumbra/" : "./");
    }
}

TEST(AppDirectory, ProgramDirectoryIsTheFolderOfThisTestWithASlash) {
    const std::string dir = ProgramDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    struct stat info {};
    EXPECT_EQ(::stat(dir.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
}

}  // namespace
}  // namespace lumbra
