// SPDX-License-Identifier: GPL-3.0-or-later
// Profiles that follow programs: which program a window belongs to (read from a /proc laid out
// by the test), which profile the active window asks for, and what the main window does with
// it on the simulated keyboard. No display server is involved.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "AppTestSupport.h"
#include "app/ProgramFollower.h"

namespace lumbra::test {
namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "#!/bin/sh\n";
}

// A folder of programs and a /proc with four processes:
// 100 runs bin/game; 200 runs bin/sh on bin/run.sh; 300 may not be read (no exe link);
// 400 runs bin/sh on a script named relative to its working folder.
class FakeSystem : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"bin/game", "bin/sh", "bin/run.sh", "bin/Tool.exe"})
            Touch(Path(name));
        fs::create_symlink(Path("bin/game"), Path("bin/game-link"));
        Process(100, "bin/game", {"game", "--fullscreen"});
        Process(200, "bin/sh", {Path("bin/sh"), Path("bin/run.sh"), "--level=2"});
        Process(300, "", {});
        Process(400, "bin/sh", {"sh", "bin/run.sh"});
    }
    std::string Path(const std::string& name) const { return m_root.path + name; }
    std::string Proc() const { return m_root.path + "proc"; }
    void Process(int pid, const std::string& exe, const std::vector<std::string>& words) {
        const fs::path dir = Proc() + "/" + std::to_string(pid);
        fs::create_directories(dir);
        if (!exe.empty()) fs::create_symlink(Path(exe), dir / "exe");
        fs::create_directory_symlink(m_root.path, dir / "cwd");
        std::ofstream cmdline(dir / "cmdline", std::ios::binary);
        for (const std::string& w : words) cmdline << w << '\0';
    }
    ProcessFacts Facts(std::optional<int> pid) const { return ReadProcessFacts(pid, Proc()); }

    TempFolder m_root;
};

struct MatchCase {
    const char* what;
    const char* program;  // under the test's folder; empty for none
    std::optional<int> pid;
    const char* instance;
    const char* className;
    bool matches;
    const char* appId = "";  // a native Wayland window's
};

void PrintTo(const MatchCase& c, std::ostream* os) { *os << c.what; }

class WindowOfProgram : public FakeSystem, public ::testing::WithParamInterface<MatchCase> {};

TEST_P(WindowOfProgram, FollowsTheMatchRules) {
    const MatchCase& c = GetParam();
    const std::string program = *c.program ? Path(c.program) : "";
    const ActiveWindow window{c.pid, c.instance, c.className, false, c.appId};
    EXPECT_EQ(IsWindowOfProgram(program, window, Facts(c.pid)), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    ProgramFollower, WindowOfProgram,
    ::testing::Values(
        MatchCase{"executable", "bin/game", 100, "", "", true},
        MatchCase{"stored symlink resolved", "bin/game-link", 100, "", "", true},
        MatchCase{"other executable", "bin/Tool.exe", 100, "tool", "Tool", false},
        MatchCase{"script through its interpreter", "bin/run.sh", 200, "", "", true},
        MatchCase{"script named from the working folder", "bin/run.sh", 400, "", "", true},
        MatchCase{"the interpreter is not the script", "bin/game", 200, "game", "Game", false},
        MatchCase{"class without a pid", "bin/Tool.exe", std::nullopt, "x", "TOOL", true},
        MatchCase{"instance of an unreadable process", "bin/Tool.exe", 300, "tool", "", true},
        MatchCase{"class of another name", "bin/Tool.exe", 300, "tools", "Toolbox", false},
        MatchCase{"program no longer there", "bin/gone", std::nullopt, "gone", "Gone", false},
        MatchCase{"no program", "", std::nullopt, "", "", false},
        MatchCase{"app id alone", "bin/Tool.exe", std::nullopt, "", "", true, "tool"},
        MatchCase{"reverse-DNS desktop id", "bin/Tool.exe", std::nullopt, "", "", true,
                  "org.example.Tool.desktop"},
        MatchCase{"app id of another name", "bin/Tool.exe", std::nullopt, "", "", false,
                  "org.example.Toolbox"},
        MatchCase{"app id against a readable process", "bin/game", 200, "", "", false, "game"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(FakeSystem, ProcessFactsAreTheResolvedExecutableAndTwoWords) {
    const ProcessFacts game = Facts(100);
    EXPECT_EQ(game.executable, fs::canonical(Path("bin/game")).string());
    EXPECT_EQ(game.firstWords, (std::vector<std::string>{"game", "--fullscreen"}));
    const ProcessFacts script = Facts(400);
    EXPECT_EQ(script.firstWords[1], fs::canonical(Path("bin/run.sh")).string());
    EXPECT_EQ(Facts(300).executable, std::nullopt);
    EXPECT_EQ(Facts(999).executable, std::nullopt) << "a process that has gone";
    EXPECT_EQ(Facts(std::nullopt).firstWords.size(), 0u);
}

TEST_F(FakeSystem, TheLowestListingProfileWinsAndOtherWindowsGiveTheBaseBack) {
    AllProfilePrograms programs;
    programs[1].paths[2] = Path("bin/game");
    programs[3].paths[0] = Path("bin/game-link");
    programs[4].paths[0] = Path("bin/run.sh");
    const ActiveWindow game{100, "game", "Game"}, script{200, "", ""}, other{300, "xterm", ""};
    ProgramFollower follower;
    // The profile current at the first change is the base until the user chooses one.
    EXPECT_EQ(follower.Decide(programs, game, Facts(100), 2), 1);
    EXPECT_EQ(follower.Base(), 2);
    EXPECT_EQ(follower.Decide(programs, game, Facts(100), 1), std::nullopt) << "no resend";
    EXPECT_EQ(follower.Decide(programs, script, Facts(200), 1), 4);
    EXPECT_EQ(follower.Decide(programs, other, Facts(300), 4), 2);
    EXPECT_EQ(follower.Decide(programs, other, Facts(300), 2), std::nullopt);
    follower.SetBase(0);
    // Lumbra's own window (a profile tab just clicked) leaves the profile alone.
    const ActiveWindow own{std::nullopt, "lumbra", "lumbra", true};
    EXPECT_EQ(follower.Decide(programs, own, Facts(std::nullopt), 2), std::nullopt);
    EXPECT_EQ(follower.Decide(programs, other, Facts(300), 2), 0);
    // Native Wayland windows: one whose app id names a listed program selects its profile;
    // one that a source could only tell is native (XWayland's cleared hint) gives the base back.
    ActiveWindow nativeGame{std::nullopt, "", "", false, "org.example.Game.desktop"};
    nativeGame.kind = ActiveWindow::Kind::kNative;
    ActiveWindow native;
    native.kind = ActiveWindow::Kind::kNative;
    EXPECT_EQ(follower.Decide(programs, nativeGame, Facts(std::nullopt), 0), 1);
    EXPECT_EQ(follower.Decide(programs, native, Facts(std::nullopt), 1), 0);
    // A listed program that is no longer there is ignored.
    fs::remove(Path("bin/run.sh"));
    EXPECT_EQ(follower.Decide(programs, script, Facts(200), 0), std::nullopt);
    // The base lists the program too: being the lowest, it stays, and nothing is sent.
    follower.SetBase(1);
    EXPECT_EQ(follower.Decide(programs, game, Facts(100), 1), std::nullopt);
    EXPECT_EQ(follower.Decide(programs, game, Facts(100), 0), 1);
}

// The main window on the simulated keyboard; the active window is this test's own process,
// listed in profile 2.
class FollowingWindow : public ::testing::Test {
protected:
    void SetUp() override {
        m_rig.Start();
        m_self = fs::canonical("/proc/self/exe").string();
        m_rig.model.Profile(1).programs.paths[1] = m_self;
        m_rig.log.Clear();
    }
    void Activate(const ActiveWindow& window) {
        m_rig.dlg->FollowActiveWindow(window);
        m_rig.Settle();
    }
    std::string ConfigIni() const { return ReadText(m_rig.Config("config.ini")); }

    MainWindowRig m_rig;
    std::string m_self;
    const ActiveWindow m_program{getpid(), "lumbra_app_tests", ""};
    const ActiveWindow m_other{std::nullopt, "xterm", "XTerm"};
};

TEST_F(FollowingWindow, OnlyTheProfileIsSentAndStoredAndPendingEditsStayPending) {
    KeyboardModel& model = m_rig.model;
    model.Profile(0).SetLightColor(5);
    model.pending.lightingPending[0] = true;
    model.pending.keyTablePending[1] = true;
    model.settings.SetSlotPath(3, "/not/yet/saved.psf");
    const std::string before = ConfigIni();

    Activate(m_program);
    EXPECT_EQ(m_rig.log.Sets(), std::vector<std::string>{"set 05 03 01"});
    EXPECT_EQ(m_rig.dlg->CurrentProfileNumber(), 1) << "the window follows";
    std::string expected = before;
    expected.replace(expected.find("CurrentProfile=0"), 16, "CurrentProfile=1");
    EXPECT_EQ(ConfigIni(), expected) << "only CurrentProfile changes on disk";
    EXPECT_TRUE(model.pending.lightingPending[0]);
    EXPECT_TRUE(model.pending.keyTablePending[1]);

    Activate(m_program);
    EXPECT_EQ(m_rig.log.Sets().size(), 1u) << "nothing is sent when the profile stays";
    Activate(m_other);
    const std::vector<std::string> sets = m_rig.log.Sets();
    ASSERT_EQ(sets.size(), 2u) << "the switch the worker took, then the last";
    EXPECT_EQ(sets.back(), "set 05 03 00");
    EXPECT_EQ(ConfigIni(), before);
    EXPECT_TRUE(model.pending.lightingPending[0]);
}

// Focus flipping between a listed program and another window faster than the
// keyboard takes reports (the worker's first switch waits for the UI thread):
// only that switch and the last decision go out.
TEST_F(FollowingWindow, AStormOfFocusChangesSendsOnlyTheLastDecision) {
    for (int i = 0; i < 1000; ++i) m_rig.dlg->FollowActiveWindow(i % 2 ? m_other : m_program);
    m_rig.Idle();
    const std::vector<std::string> sets = m_rig.log.Sets();
    ASSERT_EQ(sets.size(), 2u) << "the switch the worker took, then the last";
    EXPECT_EQ(sets.back(), "set 05 03 00");
    EXPECT_EQ(m_rig.dlg->CurrentProfileNumber(), 0);
    EXPECT_NE(ConfigIni().find("CurrentProfile=0\r\n"), std::string::npos);
}

TEST_F(FollowingWindow, TheUsersChoiceIsTheBaseAndPcProfilesStayInTheWindow) {
    // Profile 3 applied by the user is where other windows return to.
    m_rig.dlg->Commands().RunClick(MainId::kProfile1 + 2);
    m_rig.ClickControl(MainId::kApply);
    Activate(m_program);
    Activate(m_other);
    EXPECT_EQ(m_rig.dlg->CurrentProfileNumber(), 2);
    // A program of profile 4 (kept on the PC) switches the window only.
    m_rig.model.Profile(1).programs = {};
    m_rig.model.Profile(3).programs.paths[0] = m_self;
    m_rig.log.Clear();
    const std::string before = ConfigIni();
    Activate(m_program);
    EXPECT_EQ(m_rig.dlg->CurrentProfileNumber(), 3);
    EXPECT_TRUE(m_rig.log.Sets().empty());
    EXPECT_EQ(ConfigIni(), before);
    // The context menu's profile 5 becomes the base.
    m_rig.dlg->Commands().RunClick(MainId::kProfile5);
    Activate(m_other);
    EXPECT_EQ(m_rig.dlg->CurrentProfileNumber(), 4);
    Activate(m_program);
    EXPECT_EQ(m_rig.dlg->CurrentProfileNumber(), 3);
}

TEST_F(FollowingWindow, FollowProgramsIsOnByDefaultAndItsOffSwitchIsRemembered) {
    ASSERT_TRUE(FollowsPrograms(m_rig.model));
    m_rig.dlg->Commands().RunMenuCommand(MainCommand::kFollowPrograms);
    EXPECT_FALSE(FollowsPrograms(m_rig.model));
    const std::string own = m_rig.Config("lumbra.ini");
    EXPECT_EQ(ReadText(own), "[Lumbra]\r\nFollowPrograms=0\r\n");
    EXPECT_EQ(ConfigIni().find("FollowPrograms"), std::string::npos) << "six pairs only";
    Activate(m_program);
    EXPECT_TRUE(m_rig.log.Sets().empty()) << "off: nothing follows";
    EXPECT_EQ(m_rig.dlg->CurrentProfileNumber(), 0);
    // Back to the default: the line goes.
    m_rig.dlg->Commands().RunMenuCommand(MainCommand::kFollowPrograms);
    EXPECT_EQ(ReadText(own), "[Lumbra]\r\n");
    // Without any program the default is off, and turning it on is what is remembered.
    m_rig.model.Profile(1).programs = {};
    EXPECT_FALSE(FollowsPrograms(m_rig.model));
    m_rig.dlg->Commands().RunMenuCommand(MainCommand::kFollowPrograms);
    EXPECT_EQ(ReadText(own), "[Lumbra]\r\nFollowPrograms=1\r\n");
}

}  // namespace
}  // namespace lumbra::test
