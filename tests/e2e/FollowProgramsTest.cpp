// SPDX-License-Identifier: GPL-3.0-or-later
// Profiles that follow programs, on a private X display with a real window manager (openbox)
// and real X programs: xlogo is listed in profile 2, xcalc in no profile. Windows are
// activated as a user's click would (through the window manager); what reached the simulated
// keyboard is read from its trace.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "E2eSupport.h"

namespace lumbra::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kMainWidth = 818, kMainHeight = 628;
constexpr int kBackgroundX = 30, kBackgroundY = 590;  // no control there
constexpr int kApplyX = 706, kApplyY = 111;
constexpr int kEditWidth = 525, kEditHeight = 356;
constexpr int kClearProgram3X = 339, kClearProgram3Y = 185, kEditCancelX = 126, kEditCancelY = 323;
constexpr const char* kProgramA = "/usr/bin/xlogo";
constexpr const char* kProgramB = "/usr/bin/xcalc";
// Rows of the context menu reached with the arrow keys: Profile 4, Profile 5, Edit Profile...,
// Follow programs.
constexpr int kEditProfileRow = 3, kFollowProgramsRow = 4;

const fs::path kShots = LUMBRA_E2E_SHOTS_DIR;

class FollowPrograms : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {kProgramA, kProgramB})
            ASSERT_TRUE(fs::exists(program)) << program << " is missing (package x11-apps)";
        char pattern[] = "/tmp/lumbra-follow-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = std::string(pattern) + "/";
        fs::create_directories(m_dir + "home");
        ASSERT_EQ(mkdir((m_dir + "run").c_str(), 0700), 0);
        std::string error;
        ASSERT_TRUE(m_x.Start(m_dir, &error)) << error;
        ASSERT_TRUE(
            m_wm.Start({"openbox", "--sm-disable"}, m_x.Environment(), "", m_dir + "openbox.err"))
            << "openbox does not start (package openbox)";
        // The manager is up once it keeps the desktop hints on the root window.
        ASSERT_TRUE(WaitUntil([&] {
            int status = 1;
            Capture({"xdotool", "get_desktop"}, m_x.Environment(), &status);
            return status == 0;
        })) << ReadFile(m_dir + "openbox.err");
    }

    void TearDown() override {
        if (HasFailure()) {
            ADD_FAILURE() << JourneyFailureReport(m_dir);
        }
        for (Child* c : {&m_lumbra, &m_programA, &m_programB, &m_wm}) c->Stop();
        m_x.Stop();
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    void StartLumbra() {
        ASSERT_TRUE(
            m_lumbra.Start({LUMBRA_PROGRAM, "--simulate=" + m_dir + "keyboard.state", "--sim-trace",
                            m_dir + "trace.txt", "--config-dir", m_dir + "app/"},
                           m_x.Environment(), m_dir + "lumbra.out", m_dir + "lumbra.err"));
        const auto window = m_x.WaitForWindow(m_lumbra.Pid(), [](const XWindow& w) {
            return w.width == kMainWidth && w.height == kMainHeight;
        });
        ASSERT_TRUE(window) << "no main window";
        m_main = *window;
        ASSERT_TRUE(WaitUntil([&] { return HasReadBack(m_dir + "trace.txt"); })) << "no read-back";
    }

    void StopLumbra() {
        m_lumbra.Signal(SIGTERM);
        EXPECT_EQ(m_lumbra.Wait(), 0);
    }

    std::string Config(const std::string& name) const { return m_dir + "app/config/" + name; }

    // Lists programs in a profile file that the first start wrote.
    void ListPrograms(int slot, const std::vector<std::string>& programs) {
        e2e::ListPrograms(m_dir + "app/", slot, programs);
    }

    // The profile values the keyboard was sent, in order.
    std::vector<int> ProfileReports() const { return e2e::ProfileReports(m_dir + "trace.txt"); }
    bool WaitForReports(const std::vector<int>& reports) const {
        return WaitUntil([&] { return ProfileReports() == reports; });
    }

    // Starts an X program and gives its window's id.
    std::string StartProgram(Child& child, const std::string& path) {
        const std::string name = fs::path(path).filename().string();
        EXPECT_TRUE(child.Start({path}, m_x.Environment()));
        std::string id;
        WaitUntil([&] {
            id = m_x.Xdotool({"search", "--onlyvisible", "--class", name});
            return !id.empty();
        });
        return id.substr(0, id.find('\n'));
    }
    // As a click on the window would: the window manager makes it the active window.
    void Activate(const std::string& id) const { m_x.Xdotool({"windowactivate", "--sync", id}); }
    void ClickMain(int x, int y) const { m_x.Click(m_main.x + x, m_main.y + y); }

    // Opens the background's context menu and chooses a row with the keyboard.
    void ChooseFromContextMenu(int row, const std::string& shot = "") {
        m_x.MovePointer(m_main.x + kBackgroundX, m_main.y + kBackgroundY);
        m_x.Xdotool({"click", "3"});
        ASSERT_TRUE(m_x.WaitForKeyboardGrab()) << "no context menu";
        std::vector<std::string> keys(static_cast<size_t>(row), "Down");
        m_x.Keys(keys);
        if (!shot.empty()) SaveShot(shot);
        m_x.Keys({"Return"});
    }

    void SaveShot(const std::string& name) const {
        fs::create_directories(kShots);
        m_x.Shot((kShots / (name + ".png")).string());
    }

    std::string m_dir;
    XSession m_x;
    Child m_wm, m_lumbra, m_programA, m_programB;
    XWindow m_main;
};

TEST_F(FollowPrograms, AProgramOfProfileTwoSelectsItAndAnyOtherWindowGivesTheBaseBack) {
    StartLumbra();
    StopLumbra();
    ListPrograms(1, {kProgramA});
    // Profile 1's programs never become active (xeyes takes no focus) or are gone.
    ListPrograms(0, {"/usr/bin/xeyes", "/opt/gone/game", "/usr/bin/xclock"});
    StartLumbra();
    const std::vector<int> atStart = ProfileReports();

    const std::string a = StartProgram(m_programA, kProgramA);
    ASSERT_FALSE(a.empty()) << "no xlogo window";
    Activate(a);
    std::vector<int> expected = atStart;
    expected.push_back(1);
    ASSERT_TRUE(WaitForReports(expected)) << "activating xlogo did not select profile 2";
    EXPECT_TRUE(WaitUntil([&] {
        return ReadFile(Config("config.ini")).find("CurrentProfile=1\r\n") != std::string::npos;
    }));

    const std::string b = StartProgram(m_programB, kProgramB);
    ASSERT_FALSE(b.empty()) << "no xcalc window";
    Activate(b);
    expected.push_back(0);
    ASSERT_TRUE(WaitForReports(expected)) << "activating xcalc did not give profile 1 back";
    Activate(a);
    Activate(a);
    expected.push_back(1);
    ASSERT_TRUE(WaitForReports(expected));
    Activate(b);
    expected.push_back(0);
    ASSERT_TRUE(WaitForReports(expected));

    // The dialog of profile 1: a program, a program no longer there (greyed), and one cleared.
    // Lumbra's own windows change no profile. (A click on the background would start a move.)
    Activate(m_main.id);
    ChooseFromContextMenu(kEditProfileRow);
    const auto dialog = m_x.WaitForWindow(m_lumbra.Pid(), [](const XWindow& w) {
        return w.width == kEditWidth && w.height == kEditHeight;
    });
    ASSERT_TRUE(dialog) << "no edit-profile dialog";
    m_x.MovePointer(1, 1);
    SaveShot("edit-profile-programs");
    m_x.Click(dialog->x + kClearProgram3X, dialog->y + kClearProgram3Y);
    m_x.MovePointer(1, 1);
    SaveShot("edit-profile-cleared");
    m_x.Click(dialog->x + kEditCancelX, dialog->y + kEditCancelY);

    // "Follow programs" off: remembered, and xlogo selects nothing any more.
    ChooseFromContextMenu(kFollowProgramsRow, "follow-programs-menu");
    ASSERT_TRUE(WaitUntil([&] {
        return ReadFile(Config("lumbra.ini")).find("\r\nFollowPrograms=0\r\n") != std::string::npos;
    })) << ReadFile(Config("lumbra.ini"));
    Activate(a);
    Activate(b);
    Activate(a);
    // On again (the default, so the line goes): xlogo, still active, selects profile 2 once it
    // is activated again. Had anything been sent while off, the reports would differ.
    Activate(m_main.id);
    ChooseFromContextMenu(kFollowProgramsRow);
    ASSERT_TRUE(WaitUntil([&] {
        return ReadFile(Config("lumbra.ini")).find("FollowPrograms") == std::string::npos;
    }));
    Activate(a);
    expected.push_back(1);
    EXPECT_TRUE(WaitForReports(expected)) << "reports were sent with following off";
    // Lumbra's own window keeps profile 2, so Apply sends it.
    Activate(m_main.id);
    ClickMain(kApplyX, kApplyY);
    expected.push_back(1);
    EXPECT_TRUE(WaitForReports(expected)) << "Lumbra's own window changed the profile";
    StopLumbra();
}

}  // namespace
}  // namespace lumbra::e2e
