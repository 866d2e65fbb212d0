// SPDX-License-Identifier: GPL-3.0-or-later
// Profiles that follow programs under GNOME Shell, run headless on the journey's own session
// bus with a private system bus beside it. Lumbra's Shell extension is installed in the
// journey's home and enabled through Lumbra's own call before the Shell starts; the Shell
// then tells lumbra each focused window. Programs: foot (native, profile 2), xlogo (X11
// through XWayland, profile 3) and a small GTK window run by gjs (native, in no profile).
// Windows get the focus through the extension's test-only call, as a click would give it.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>

#include "E2eSupport.h"
#include "platform/GnomeExtension.h"

namespace lumbra::e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNative = "/usr/bin/foot";
constexpr const char* kX11 = "/usr/bin/xlogo";
constexpr const char* kScratchId = "io.github.lumbra.Scratch";
constexpr const char* kOtherExtension = "other@example.org";

// A native window of a program listed nowhere.
constexpr const char* kScratchScript = R"(imports.gi.versions.Gtk = '4.0';
const { Gtk } = imports.gi;
const app = new Gtk.Application({ application_id: 'io.github.lumbra.Scratch' });
app.connect('activate', () => new Gtk.ApplicationWindow({ application: app }).present());
app.run([]);
)";

// The value inside gdbus's printing of a one-value reply: ('text',) or (true,).
std::string ReplyValue(const std::string& reply) {
    const auto open = reply.find_first_of("'(");
    const auto close = reply.rfind(',');
    if (open == std::string::npos || close == std::string::npos || close <= open) return "";
    std::string value = reply.substr(open + 1, close - open - 1);
    if (value.size() >= 2 && value.front() == '\'') value = value.substr(1, value.size() - 2);
    return value;
}

class GnomeJourney : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QCoreApplication::instance())
            m_app = std::make_unique<QCoreApplication>(m_argc, m_argv);
        if (!fs::exists("/usr/bin/gnome-shell"))
            GTEST_SKIP() << "no GNOME Shell (package gnome-shell)";
        for (const char* program : {kNative, kX11, "/usr/bin/gjs"})
            ASSERT_TRUE(fs::exists(program))
                << program << " is missing (packages foot, x11-apps, gjs)";
        ASSERT_NE(getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr) << "not run on a bus of its own";
        char pattern[] = "/tmp/lumbra-gnome-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = std::string(pattern) + "/";
        ASSERT_EQ(mkdir((m_dir + "run").c_str(), 0700), 0);
        const std::string extension =
            m_dir + "home/.local/share/gnome-shell/extensions/" + kGnomeExtensionUuid;
        fs::create_directories(extension);
        fs::create_directories(m_dir + "home/.config");
        for (const char* file : {"metadata.json", "extension.js"})
            fs::copy_file(fs::path(LUMBRA_GNOME_EXTENSION_DIR) / file, fs::path(extension) / file);
        std::ofstream(m_dir + "scratch.js") << kScratchScript;

        // Lumbra's calls for the dialog read and write the settings of this process's
        // environment, which is the journey's.
        const std::vector<std::pair<std::string, std::string>> vars = {
            {"HOME", m_dir + "home"},
            {"XDG_RUNTIME_DIR", m_dir + "run"},
            {"XDG_DATA_HOME", m_dir + "home/.local/share"},
            {"XDG_CONFIG_HOME", m_dir + "home/.config"},
            {"GSETTINGS_BACKEND", "keyfile"},
            {"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + m_dir + "system_bus"},
            {"LANG", "C.UTF-8"}};
        for (const auto& [name, value] : vars) {
            setenv(name.c_str(), value.c_str(), 1);
            m_env.push_back(name + "=" + value);
        }
        for (const char* name : {"PATH", "DBUS_SESSION_BUS_ADDRESS"})
            m_env.push_back(std::string(name) + "=" + getenv(name));

        // GNOME Shell wants a system bus; a private one stands in for it.
        std::ofstream(m_dir + "system.conf")
            << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
               "1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig><type>system</type><listen>unix:path="
            << m_dir << "system_bus</listen><policy context=\"default\">"
            << "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/><allow "
               "own=\"*\"/></policy></busconfig>\n";
        ASSERT_TRUE(m_systemBus.Start(
            {"dbus-daemon", "--nofork", "--config-file=" + m_dir + "system.conf"}, m_env));
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(m_dir + "system_bus"); }));
    }

    void TearDown() override {
        if (HasFailure()) {
            std::string tail;
            for (const std::string& l : ReadLines(m_dir + "trace.txt"))
                tail += l.substr(0, 60) + "\n";
            const std::string shell = ReadFile(m_dir + "shell.err");
            ADD_FAILURE() << "trace:\n"
                          << tail << "lumbra's stderr:\n"
                          << ReadFile(m_dir + "lumbra.err").substr(0, 4000)
                          << "\nthe Shell's stderr:\n"
                          << shell.substr(shell.size() > 4000 ? shell.size() - 4000 : 0);
        }
        for (Child* c : {&m_lumbra, &m_native, &m_x11, &m_scratch, &m_shell, &m_systemBus})
            c->Stop();
        if (!m_dir.empty()) {
            std::error_code ignored;
            fs::remove_all(m_dir, ignored);
        }
    }

    std::string Gsettings(const std::vector<std::string>& args) const {
        std::vector<std::string> argv = {"gsettings"};
        argv.insert(argv.end(), args.begin(), args.end());
        return Capture(argv, m_env);
    }

    // A call of the extension's test-only object; its one value.
    std::string TestCall(const std::string& method, const std::string& arg) const {
        return ReplyValue(
            Capture({"gdbus", "call", "--session", "--timeout", "5", "--dest", "org.gnome.Shell",
                     "--object-path", "/io/github/lumbra/lumbra/TestFocus", "--method",
                     "io.github.lumbra.lumbra.TestFocus." + method, arg},
                    m_env));
    }
    // Gives the window the focus once it is there.
    bool Focus(const std::string& name) const {
        return WaitUntil([&] { return TestCall("FocusWindow", name) == "true"; });
    }

    // The Shell, on the bus; false when it does not come up.
    bool StartShell() {
        std::vector<std::string> env = m_env;
        env.push_back("LUMBRA_TEST_FOCUS=1");
        return m_shell.Start(
                   {"gnome-shell", "--headless", "--wayland", "--virtual-monitor", "1024x768"}, env,
                   m_dir + "shell.out", m_dir + "shell.err") &&
               WaitUntil([&] { return m_shell.Running() && QueryGnomeExtension().shellRunning; });
    }

    // What lumbra and the programs run with: the Shell's displays, read from the Shell.
    void ReadDisplays() {
        for (const char* name : {"DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY"}) {
            const std::string value = TestCall("Getenv", name);
            ASSERT_FALSE(value.empty()) << "the Shell has no " << name;
            m_env.push_back(std::string(name) + "=" + value);
        }
    }

    void StartLumbra(const std::vector<std::string>& more = {}) {
        std::vector<std::string> env = m_env;
        env.push_back("QT_QPA_PLATFORM=xcb");
        env.push_back("LUMBRA_FOCUS_SOURCE=gnome");
        std::vector<std::string> args = {LUMBRA_PROGRAM, "--simulate=" + m_dir + "keyboard.state",
                                         "--sim-trace",  m_dir + "trace.txt",
                                         "--config-dir", m_dir + "app/"};
        args.insert(args.end(), more.begin(), more.end());
        const size_t before = ReadBacks();
        ASSERT_TRUE(m_lumbra.Start(args, env, m_dir + "lumbra.out", m_dir + "lumbra.err"));
        ASSERT_TRUE(WaitUntil([&] { return ReadBacks() >= before + 3; })) << "no read-back";
    }
    void StopLumbra() {
        m_lumbra.Signal(SIGTERM);
        EXPECT_EQ(m_lumbra.Wait(), 0);
    }
    size_t ReadBacks() const {
        const auto t = ReadTrace(m_dir + "trace.txt");
        return static_cast<size_t>(std::count_if(t.begin(), t.end(), [](const TraceLine& l) {
            return l.op == "get" && !l.bytes.empty() && l.bytes[0] == 0x06;
        }));
    }

    void ListProgram(int slot, const std::string& program) const {
        ListPrograms(m_dir + "app/", slot, {program});
    }

    // The profile values the keyboard was sent, in order.
    std::vector<int> ProfileReports() const { return e2e::ProfileReports(m_dir + "trace.txt"); }
    // Focuses a window and waits for what the keyboard was sent since the last step; when
    // nothing is to be sent, a report would have come within the second waited.
    void Step(const std::string& window, std::optional<int> report, const char* what) {
        ASSERT_TRUE(Focus(window)) << "no window " << window;
        if (report) m_expected.push_back(*report);
        if (!report) std::this_thread::sleep_for(1s);
        EXPECT_TRUE(WaitUntil([&] { return ProfileReports() == m_expected; }, 10s)) << what;
    }

    int m_argc = 1;
    char m_name[16] = "gnome-journey";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QCoreApplication> m_app;
    std::string m_dir;
    std::vector<std::string> m_env;
    Child m_systemBus, m_shell, m_lumbra, m_native, m_x11, m_scratch;
    std::vector<int> m_expected;
};

TEST_F(GnomeJourney, TheExtensionTellsNativeAndX11WindowsAndAnUnlistedNativeOneGivesTheBaseBack) {
    // Enabling keeps the user's other extensions and takes ours out of the disabled ones.
    Gsettings({"set", "org.gnome.shell", "enabled-extensions",
               std::string("['") + kOtherExtension + "']"});
    Gsettings({"set", "org.gnome.shell", "disabled-extensions",
               std::string("['") + kGnomeExtensionUuid + "']"});
    std::string error;
    ASSERT_TRUE(EnableGnomeExtension(&error)) << error;
    EXPECT_EQ(Gsettings({"get", "org.gnome.shell", "enabled-extensions"}),
              std::string("['") + kOtherExtension + "', '" + kGnomeExtensionUuid + "']\n");
    EXPECT_EQ(Gsettings({"get", "org.gnome.shell", "disabled-extensions"}), "@as []\n");
    GnomeExtensionState state = QueryGnomeExtension();
    EXPECT_TRUE(state.installed && state.enabled);
    EXPECT_FALSE(state.shellRunning || state.running);

    if (!StartShell()) {
        const std::string err = ReadFile(m_dir + "shell.err");
        GTEST_SKIP() << "GNOME Shell does not start here:\n"
                     << err.substr(err.size() > 2000 ? err.size() - 2000 : 0);
    }
    // Once up, the Shell runs the extension; the test-only object comes with it.
    ASSERT_TRUE(WaitUntil([&] {
        state = QueryGnomeExtension();
        return state.running && !TestCall("Getenv", "WAYLAND_DISPLAY").empty();
    })) << "the extension does not run";
    EXPECT_TRUE(state.shellRunning && state.installed && state.enabled);
    ReadDisplays();

    StartLumbra();
    StopLumbra();
    ListProgram(1, kNative);
    ListProgram(2, kX11);
    StartLumbra();
    m_expected = ProfileReports();

    ASSERT_TRUE(m_native.Start({kNative}, m_env));
    Step("foot", 1, "the native foot did not select profile 2");
    ASSERT_TRUE(m_x11.Start({kX11}, m_env));
    Step("xlogo", 2, "xlogo under XWayland did not select profile 3");
    ASSERT_TRUE(m_scratch.Start({"gjs", m_dir + "scratch.js"}, m_env));
    Step(kScratchId, 0, "an unlisted native window after xlogo did not give the base back");
    Step("foot", 1, "foot again did not select profile 2");
    Step("lumbra", std::nullopt, "lumbra's own window changed the profile");
    Step(kScratchId, 0, "the unlisted window again did not give the base back");
    Step(kScratchId, std::nullopt, "the same window again resent a profile");

    // The window that has the focus when lumbra starts is followed at once (hidden, lumbra
    // takes no focus of its own).
    StopLumbra();
    ASSERT_TRUE(Focus("foot"));
    m_expected = ProfileReports();
    m_expected.push_back(1);
    StartLumbra({"--hidden"});
    EXPECT_TRUE(WaitUntil([&] { return ProfileReports() == m_expected; }, 10s))
        << "foot, focused before the start, did not select profile 2";
    StopLumbra();
}

}  // namespace
}  // namespace lumbra::e2e
