// SPDX-License-Identifier: GPL-3.0-or-later
// Profiles that follow programs under KDE Plasma's compositor: KWin started headless with
// XWayland, on the journey's own session bus, with lumbra on its X display. weston-terminal (a
// native Wayland program) is listed in profile 2, xlogo (an X11 one) in profile 3,
// weston-flower (native) nowhere. Windows are activated through KWin's own scripting; what
// reached the simulated keyboard is read from its trace.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "E2eSupport.h"

namespace lumbra::e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kListedNative = "/usr/bin/weston-terminal";
constexpr const char* kListedX11 = "/usr/bin/xlogo";
constexpr const char* kUnlistedNative = "/usr/bin/weston-flower";
// KWin's session program: writes down the display and the Wayland socket it was given, and
// its own pid, then waits to be ended.
constexpr const char* kSession = R"sh(#!/bin/sh
cd "$(dirname "$0")"
echo $$ > session.pid
printf '%s\n%s\n' "$DISPLAY" "$WAYLAND_DISPLAY" > env.part && mv env.part env
exec sleep 600
)sh";

class KWinJourney : public ::testing::Test {
protected:
    void SetUp() override {
        const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        if (!bus) GTEST_SKIP() << "no session bus of the journey's own (run it through ctest)";
        const char* path = std::getenv("PATH");
        const std::string pathVariable = std::string("PATH=") + (path ? path : "/usr/bin:/bin");
        std::string kwin = Capture({"sh", "-c", "command -v kwin_wayland"}, {pathVariable});
        kwin.erase(kwin.find_last_not_of('\n') + 1);
        if (kwin.empty()) GTEST_SKIP() << "kwin_wayland is missing (package kwin-wayland)";
        for (const char* program : {kListedNative, kUnlistedNative, kListedX11})
            if (!fs::exists(program))
                GTEST_SKIP() << program << " is missing (packages weston, x11-apps)";
        char pattern[] = "/tmp/lumbra-kwin-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = std::string(pattern) + "/";
        fs::create_directories(m_dir + "home");
        ASSERT_EQ(mkdir((m_dir + "run").c_str(), 0700), 0);
        m_env = {pathVariable, "HOME=" + m_dir + "home", "XDG_RUNTIME_DIR=" + m_dir + "run",
                 std::string("DBUS_SESSION_BUS_ADDRESS=") + bus};
        for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "LANG"})
            if (const char* value = std::getenv(name))
                m_env.push_back(std::string(name) + "=" + value);

        // A KWin that carries file capabilities refuses to start as root in a container; a
        // copy has none. KWin starts the session's program once XWayland is up.
        fs::copy_file(kwin, m_dir + "kwin_wayland");
        WriteFile(m_dir + "session.sh", kSession);
        fs::permissions(m_dir + "session.sh", fs::perms::owner_all);
        ASSERT_TRUE(m_kwin.Start({m_dir + "kwin_wayland", "--virtual", "--xwayland", "--socket",
                                  "wayland-lumbra", "--no-lockscreen", m_dir + "session.sh"},
                                 m_env, m_dir + "kwin.out", m_dir + "kwin.err"));
        if (!WaitUntil([&] { return fs::exists(m_dir + "env") || !m_kwin.Running(); }) ||
            ReadLines(m_dir + "env").size() < 2 || ReadLines(m_dir + "env")[0].empty())
            GTEST_SKIP() << "KWin with XWayland does not start here:\n"
                         << ReadFile(m_dir + "kwin.err").substr(0, 3000);
        const std::vector<std::string> env = ReadLines(m_dir + "env");
        m_env.push_back("DISPLAY=" + env[0]);
        m_programEnv = m_env;
        m_programEnv.push_back("WAYLAND_DISPLAY=" + env[1]);
    }

    void TearDown() override {
        if (HasFailure()) {
            ADD_FAILURE() << JourneyFailureReport(m_dir) << "KWin's stderr:\n"
                          << ReadFile(m_dir + "kwin.err").substr(0, 4000);
        }
        for (Child* c : {&m_lumbra, &m_listedNative, &m_listedX11, &m_unlistedNative, &m_kwin})
            c->Stop();
        if (const auto pid = ReadLines(m_dir + "session.pid"); !pid.empty())
            kill(std::atoi(pid[0].c_str()), SIGTERM);
        std::error_code ignored;
        if (!m_dir.empty()) fs::remove_all(m_dir, ignored);
    }

    static void WriteFile(const std::string& file, const std::string& text) {
        std::ofstream(file) << text;
    }

    // Lumbra on XWayland, with KWin's script as its only source of the active window.
    void StartLumbra() {
        std::vector<std::string> env = m_env;
        env.push_back("QT_QPA_PLATFORM=xcb");
        env.push_back("LUMBRA_FOCUS_SOURCE=kwin");
        const size_t from = ReadTrace(m_dir + "trace.txt").size();
        ASSERT_TRUE(
            m_lumbra.Start({LUMBRA_PROGRAM, "--simulate=" + m_dir + "keyboard.state", "--sim-trace",
                            m_dir + "trace.txt", "--config-dir", m_dir + "app/"},
                           env, m_dir + "lumbra.out", m_dir + "lumbra.err"));
        ASSERT_TRUE(WaitUntil([&] { return HasReadBack(m_dir + "trace.txt", from); }))
            << "no read-back";
    }

    // Lists programs in a profile file that the first start wrote.
    void ListPrograms(int slot, const std::string& program) {
        e2e::ListPrograms(m_dir + "app/", slot, {program});
    }

    std::vector<int> ProfileReports() const { return e2e::ProfileReports(m_dir + "trace.txt"); }

    // A method of KWin's scripting interface, as dbus-send prints its answer.
    std::string Scripting(const std::string& path, const std::string& method,
                          const std::vector<std::string>& args = {}) const {
        std::vector<std::string> argv = {"dbus-send",           "--session", "--print-reply",
                                         "--dest=org.kde.KWin", path,        method};
        argv.insert(argv.end(), args.begin(), args.end());
        return Capture(argv, m_env);
    }
    bool ScriptLoaded(const std::string& name) const {
        return Scripting("/Scripting", "org.kde.kwin.Scripting.isScriptLoaded", {"string:" + name})
                   .find("boolean true") != std::string::npos;
    }

    // Activates the window of a program, as the user's click would, through a one-shot script.
    void Activate(const std::string& program) {
        const std::string name = "lumbra-journey-" + std::to_string(++m_scripts);
        const std::string file = m_dir + name + ".js";
        WriteFile(file,
                  "var all = workspace.clientList();\n"
                  "for (var i = 0; i < all.length; ++i)\n"
                  "    if (String(all[i].resourceName) == \"" +
                      fs::path(program).filename().string() +
                      "\") workspace.activeClient = all[i];\n");
        const std::string loaded = Scripting("/Scripting", "org.kde.kwin.Scripting.loadScript",
                                             {"string:" + file, "string:" + name});
        const size_t at = loaded.find("int32 ");
        if (at != std::string::npos)
            Scripting("/" + std::to_string(std::atoi(loaded.c_str() + at + 6)),
                      "org.kde.kwin.Script.run");
        Scripting("/Scripting", "org.kde.kwin.Scripting.unloadScript", {"string:" + name});
    }
    // Activates the program's window until the reports are the expected ones: a window
    // KWin does not know yet cannot be activated.
    bool ActivateUntil(const std::string& program, const std::vector<int>& reports) {
        return WaitUntil([&] {
            Activate(program);
            return ProfileReports() == reports;
        });
    }

    std::string m_dir;
    std::vector<std::string> m_env, m_programEnv;
    Child m_kwin, m_lumbra, m_listedNative, m_listedX11, m_unlistedNative;
    int m_scripts = 0;
};

TEST_F(KWinJourney, NativeAndX11WindowsSelectTheirProfilesAndAnUnlistedNativeOneTheBase) {
    // Lumbra's script is in KWin while Lumbra runs, and gone once it exits.
    StartLumbra();
    EXPECT_TRUE(WaitUntil([&] { return ScriptLoaded("lumbra-focus"); }));
    m_lumbra.Signal(SIGTERM);
    ASSERT_EQ(m_lumbra.Wait(), 0);
    EXPECT_FALSE(ScriptLoaded("lumbra-focus")) << "the script stayed in KWin";

    ListPrograms(1, kListedNative);
    ListPrograms(2, kListedX11);
    StartLumbra();
    std::vector<int> expected = ProfileReports();
    // Each step: the program activated (started first where it is not running: KWin
    // activates a new window itself), the profile it selects, and the program activated once
    // more, which sends nothing: a resend would spoil the next step's exact reports.
    struct Step {
        const char* program;
        Child* child;
        int profile;
    };
    const Step steps[] = {{kListedNative, &m_listedNative, 1},
                          {kListedX11, &m_listedX11, 2},
                          {kUnlistedNative, &m_unlistedNative, 0},
                          {kListedX11, &m_listedX11, 2},
                          {kListedNative, &m_listedNative, 1},
                          {kUnlistedNative, &m_unlistedNative, 0},
                          {kListedX11, &m_listedX11, 2}};
    for (const Step& step : steps) {
        if (step.child->Pid() < 0) {
            ASSERT_TRUE(step.child->Start({step.program}, m_programEnv));
        }
        expected.push_back(step.profile);
        ASSERT_TRUE(ActivateUntil(step.program, expected))
            << "activating " << step.program << " did not select profile " << step.profile + 1;
        Activate(step.program);
    }
    // Lumbra's own window keeps profile 3: Apply sends it again, and nothing before it.
    Activate("lumbra");
    ASSERT_EQ(Capture({"dbus-send", "--session", "--print-reply", "--dest=io.github.lumbra.lumbra",
                       "/io/github/lumbra/lumbra", "io.github.lumbra.lumbra.Keyboard1.Apply"},
                      m_env)
                  .empty(),
              false);
    expected.push_back(2);
    EXPECT_TRUE(WaitUntil([&] { return ProfileReports() == expected; }))
        << "Lumbra's own window changed the profile";
    m_lumbra.Signal(SIGTERM);
    EXPECT_EQ(m_lumbra.Wait(), 0);
}

}  // namespace
}  // namespace lumbra::e2e
