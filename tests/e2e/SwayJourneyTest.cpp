// SPDX-License-Identifier: GPL-3.0-or-later
// Profiles that follow programs under sway, started headless with XWayland: foot (a native
// Wayland program) is listed in profile 2, xlogo (an X11 one) in profile 3, weston-terminal
// (native) in none. Windows are focused with swaymsg; what reached the simulated keyboard is
// read from its trace. sway refuses to run as root, so the compositor, the programs and
// lumbra (which XWayland only lets in as the compositor's user) run as nobody.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "E2eSupport.h"

namespace lumbra::e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUser = "nobody";
constexpr const char* kListedNative = "/usr/bin/foot";
constexpr const char* kListedX11 = "/usr/bin/xlogo";
constexpr const char* kUnlistedNative = "/usr/bin/weston-terminal";
constexpr const char* kFoot = "[app_id=\"^foot$\"]";
constexpr const char* kXlogo = "[class=\"^XLogo$\"]";
constexpr const char* kWestonTerminal = "[app_id=\"weston\"]";
constexpr const char* kLumbra = "[class=\"(?i)^lumbra$\"]";

// How lumbra is told the active window: sway's own socket, or the foreign-toplevel protocol
// every wlroots compositor offers (LUMBRA_FOCUS_SOURCE).
struct Source {
    const char* name;
    const char* forced;
    bool seesNative = true;  // false: XWayland's hint alone, blind to native windows
};
void PrintTo(const Source& source, std::ostream* out) { *out << source.name; }

class SwayJourney : public ::testing::TestWithParam<Source> {
protected:
    void SetUp() override {
        for (const char* program : {"sway", "swaymsg", "setpriv"})
            if (Capture({"sh", "-c", std::string("command -v ") + program}, {"PATH=/usr/bin:/bin"})
                    .empty())
                GTEST_SKIP() << program << " is missing (packages sway, util-linux)";
        for (const char* program : {kListedNative, kListedX11, kUnlistedNative})
            if (!fs::exists(program))
                GTEST_SKIP() << program << " is missing (packages foot, x11-apps, weston)";
        char pattern[] = "/tmp/lumbra-sway-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = std::string(pattern) + "/";
        fs::create_directories(m_dir + "home");
        ASSERT_EQ(mkdir((m_dir + "run").c_str(), 0700), 0);
        chmod(m_dir.c_str(), 0755);
        // The compositor tells its display, Wayland socket and IPC socket to the programs it
        // starts; the first one it starts writes them down.
        std::ofstream(m_dir + "sway.config")
            << "xwayland enable\n"
            << "output HEADLESS-1 resolution 1024x768\n"
            // Lumbra's window opens elsewhere: the window active when it starts stays active.
            << "assign " << kLumbra << " workspace 2\n"
            << "exec env > " << m_dir << "env.part && mv " << m_dir << "env.part " << m_dir
            << "sway.env\n";
        if (geteuid() == 0) {
            Capture({"chown", "-R", std::string(kUser) + ":", m_dir}, {"PATH=/usr/bin:/bin"});
            m_asUser = {"setpriv", "--reuid=" + std::string(kUser), "--regid=" + GroupOf(kUser),
                        "--clear-groups"};
        }
        m_base = {"PATH=/usr/bin:/bin", "HOME=" + m_dir + "home",
                  "XDG_RUNTIME_DIR=" + m_dir + "run"};
        std::vector<std::string> env = m_base;
        env.insert(env.end(), {"WLR_BACKENDS=headless", "WLR_LIBINPUT_NO_DEVICES=1"});
        ASSERT_TRUE(m_sway.Start(AsUser({"sway", "-c", m_dir + "sway.config"}), env,
                                 m_dir + "sway.log", m_dir + "sway.log"));
        if (!WaitUntil([&] { return fs::exists(m_dir + "sway.env") || !m_sway.Running(); }) ||
            !fs::exists(m_dir + "sway.env"))
            GTEST_SKIP() << "sway does not start here:\n" << Tail(m_dir + "sway.log");
        std::map<std::string, std::string> told;
        for (const std::string& line : ReadLines(m_dir + "sway.env"))
            if (const size_t eq = line.find('='); eq != std::string::npos)
                told[line.substr(0, eq)] = line.substr(eq + 1);
        // Everything runs in sway's runtime folder, where its Wayland socket's name leads.
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SWAYSOCK"}) {
            ASSERT_FALSE(told[name].empty()) << "sway did not tell " << name;
            m_base.push_back(std::string(name) + "=" + told[name]);
        }
    }

    void TearDown() override {
        if (HasFailure()) {
            ADD_FAILURE() << JourneyFailureReport(m_dir) << "sway's log:\n"
                          << Tail(m_dir + "sway.log");
        }
        for (Child* c : {&m_lumbra, &m_listedNative, &m_listedX11, &m_unlistedNative, &m_sway})
            c->Stop();
        std::error_code ignored;
        if (!m_dir.empty()) fs::remove_all(m_dir, ignored);
    }

    static std::string GroupOf(const std::string& user) {
        std::string group = Capture({"id", "-gn", user}, {"PATH=/usr/bin:/bin"});
        return group.substr(0, group.find('\n'));
    }
    static std::string Tail(const std::string& path) {
        const std::string text = ReadFile(path);
        return text.substr(text.size() > 3000 ? text.size() - 3000 : 0);
    }
    std::vector<std::string> AsUser(std::vector<std::string> argv) const {
        argv.insert(argv.begin(), m_asUser.begin(), m_asUser.end());
        return argv;
    }

    // Focuses the window sway finds by the criteria; false when there is none (yet).
    bool Focus(const std::string& criteria) const {
        int status = 1;
        Capture(AsUser({"swaymsg", criteria + " focus"}), m_base, &status);
        return status == 0;
    }
    void StartProgram(Child& child, const std::vector<std::string>& argv,
                      const std::string& criteria) {
        ASSERT_TRUE(child.Start(AsUser(argv), m_base));
        ASSERT_TRUE(WaitUntil([&] { return Focus(criteria); })) << "no window of " << argv[0];
    }

    void StartLumbra() {
        std::vector<std::string> env = m_base;
        // No QT_QPA_PLATFORM: with WAYLAND_DISPLAY set and the toolkit's Wayland plug-in
        // installed, lumbra must still choose XWayland by itself.
        env.insert(env.end(), {"XDG_SESSION_TYPE=wayland",
                               "DBUS_SESSION_BUS_ADDRESS=unix:path=" + m_dir + "no-bus"});
        for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
            if (const char* value = getenv(name)) env.push_back(std::string(name) + "=" + value);
        env.push_back(std::string("LUMBRA_FOCUS_SOURCE=") + GetParam().forced);
        ASSERT_TRUE(m_lumbra.Start(
            AsUser({LUMBRA_PROGRAM, "--simulate=" + m_dir + "keyboard.state", "--sim-trace",
                    m_dir + "trace.txt", "--config-dir", m_dir + "app/"}),
            env, m_dir + "lumbra.out", m_dir + "lumbra.err"));
        ASSERT_TRUE(WaitUntil([&] { return HasReadBack(m_dir + "trace.txt"); })) << "no read-back";
    }
    void StopLumbra() {
        m_lumbra.Signal(SIGTERM);
        EXPECT_EQ(m_lumbra.Wait(), 0);
    }

    void ListProgram(int slot, const std::string& program) {
        ListPrograms(m_dir + "app/", slot, {program});
    }

    // The profile values the keyboard was sent, in order.
    std::vector<int> ProfileReports() const { return e2e::ProfileReports(m_dir + "trace.txt"); }
    bool WaitForReports(const std::vector<int>& reports) const {
        return WaitUntil([&] { return ProfileReports() == reports; });
    }

    std::string m_dir;
    std::vector<std::string> m_asUser, m_base;
    Child m_sway, m_lumbra, m_listedNative, m_listedX11, m_unlistedNative;
};

TEST_P(SwayJourney, NativeAndX11WindowsSelectTheirProfilesAndAnyOtherGivesTheBaseBack) {
    StartProgram(m_unlistedNative, {kUnlistedNative}, kWestonTerminal);
    StartProgram(m_listedX11, {kListedX11}, kXlogo);
    // foot's shell would be the user's login shell, which nobody has not.
    StartProgram(m_listedNative, {kListedNative, "sleep", "1000000"}, kFoot);
    StartLumbra();  // writes the profile files
    StopLumbra();
    ListProgram(1, kListedNative);
    ListProgram(2, kListedX11);
    fs::remove(m_dir + "trace.txt");

    // foot, active when lumbra starts, selects profile 2 at once.
    ASSERT_TRUE(Focus(kFoot));
    StartLumbra();
    std::vector<int> expected;
    if (GetParam().seesNative) {
        expected.push_back(1);
        ASSERT_TRUE(WaitForReports(expected)) << "the window active at start was not followed";
    }

    struct Step {
        const char* criteria;
        int profile;  // -1: nothing is sent
    };
    const std::vector<Step> steps =
        GetParam().seesNative
            ? std::vector<Step>{{kXlogo, 2},  {kWestonTerminal, 0},  // an unlisted native
                                                                    // window after an X11
                                                                    // one: the base
                                {kFoot, 1},   {kFoot, -1},
                                {kLumbra, -1},  // lumbra's own window keeps the profile
                                {kFoot, -1},  {kXlogo, 2}}
            // XWayland's hint goes to 0 for any native window: the base, also for foot.
            : std::vector<Step>{{kXlogo, 2}, {kWestonTerminal, 0}, {kFoot, -1},
                                {kLumbra, -1}, {kXlogo, 2}, {kFoot, 0}};
    for (const Step& step : steps) {
        ASSERT_TRUE(Focus(step.criteria)) << step.criteria;
        if (step.profile < 0) continue;
        expected.push_back(step.profile);
        // Anything sent for the steps before would stand in front and make the lists differ.
        ASSERT_TRUE(WaitForReports(expected)) << "after focusing " << step.criteria;
    }
    StopLumbra();
}

INSTANTIATE_TEST_SUITE_P(Sources, SwayJourney,
                         ::testing::Values(Source{"SwaySocket", "sway"},
                                           Source{"ForeignToplevelOnly", "wlr"},
                                           Source{"XWaylandHintOnly", "x11", false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumbra::e2e
