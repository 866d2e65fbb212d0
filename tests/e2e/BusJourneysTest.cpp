// SPDX-License-Identifier: GPL-3.0-or-later
// Lumbra driven by scripts: the real lumbra on the simulated keyboard and the
// real lumbractl, on a session bus of their own (each journey runs under
// dbus-run-session, see bus-session.sh), checked through the keyboard's trace,
// the files, what lumbractl prints and its exit status.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "E2eSupport.h"

namespace lumbra::e2e {
namespace {

namespace fs = std::filesystem;

class BusJourney : public E2eJourney {
protected:
    BusJourney() : E2eJourney("lumbra-bus") {}

    void SetUp() override {
        const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        ASSERT_TRUE(bus && *bus) << "run under bus-session.sh (dbus-run-session)";
        E2eJourney::SetUp();
        // The journey's programs reach the bus they run under.
        m_env = m_x.Environment();
        for (std::string& e : m_env)
            if (e.starts_with("DBUS_SESSION_BUS_ADDRESS=")) e = std::string("DBUS_SESSION_BUS_ADDRESS=") + bus;
    }
    void StopChildren() override {
        m_watch.Stop();
        E2eJourney::StopChildren();
    }

    // lumbra on the simulated keyboard, hidden (as the bus or a session starts
    // it) or with its window; back once its name answers and the keyboard is read.
    void StartOnBus(bool hidden) {
        auto args = LumbraArguments(m_dir + "app/", true);
        if (hidden) args.push_back("--hidden");
        m_traceStart = ReadTrace(m_trace).size();
        ASSERT_TRUE(m_lumbra.Start(args, m_env, m_dir + "lumbra.out", m_dir + "lumbra.err"));
        ASSERT_TRUE(WaitForReadBack(m_traceStart)) << "no read-back";
        ASSERT_TRUE(WaitUntil([&] { return Ctl({"status"}).status == 0; })) << "no answer on the bus";
    }

    struct Ran {
        int status = -1;
        std::string out, err;
    };
    Ran Ctl(const std::vector<std::string>& args) {
        std::vector<std::string> argv = {LUMBRACTL};
        argv.insert(argv.end(), args.begin(), args.end());
        Child child;
        const std::string out = m_dir + "ctl.out", err = m_dir + "ctl.err";
        fs::remove(out);
        fs::remove(err);
        Ran ran;
        if (!child.Start(argv, m_env, out, err)) return ran;
        ran.status = child.Wait().value_or(-1);
        ran.out = ReadFile(out);
        ran.err = ReadFile(err);
        return ran;
    }
    // What the keyboard was sent since the trace held `from` lines.
    std::vector<std::string> SetsSince(size_t from) const {
        std::vector<std::string> sets;
        const auto trace = ReadTrace(m_trace);
        for (size_t i = from; i < trace.size(); ++i)
            if (trace[i].op == "set") sets.push_back(trace[i].text.substr(trace[i].text.find("set")));
        return sets;
    }
    size_t TraceSize() const { return ReadTrace(m_trace).size(); }
    // The main window is mapped (the tray icon is a window of the process too).
    bool WindowShown(pid_t pid = 0) const {
        const auto windows = m_x.Windows(pid ? pid : m_lumbra.Pid());
        return std::any_of(windows.begin(), windows.end(), IsMainWindow);
    }

    std::vector<std::string> m_env;
    Child m_watch;
};

TEST_F(BusJourney, EveryCommandOfLumbractlDoesWhatTheWindowWouldAndTheKeyboardSeesExactlyThat) {
    StartOnBus(true);
    EXPECT_FALSE(WindowShown()) << "a hidden start shows no window";

    // The interface answered is the checked-in one.
    EXPECT_EQ(Capture({"gdbus", "introspect", "--session", "--dest", "io.github.lumbra.lumbra",
                       "--object-path", "/io/github/lumbra/lumbra", "--xml"},
                      m_env),
              ReadFile(LUMBRA_BUS_INTERFACE_XML));

    Ran r = Ctl({"status", "--json"});
    EXPECT_EQ(r.status, 0) << r.err;
    for (const char* part : {"\"connected\":true", "\"profile\":1", "\"pending\":false", "Default2"})
        EXPECT_NE(r.out.find(part), std::string::npos) << part << " in " << r.out;

    // A profile the keyboard holds: exactly its ProfileReport.
    size_t from = TraceSize();
    r = Ctl({"profile", "set", "2"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(SetsSince(from), (std::vector<std::string>{"set 05 03 01"}));
    EXPECT_EQ(Ctl({"profile"}).out, "2\n");

    // Lighting waits for apply, which sends the Lighting page's report.
    from = TraceSize();
    r = Ctl({"lighting", "set", "orange", "60%", "--no-commit"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(SetsSince(from).empty());
    EXPECT_NE(Ctl({"status", "--json"}).out.find("\"pending\":true"), std::string::npos);
    r = Ctl({"apply"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(SetsSince(from), (std::vector<std::string>{"set 07 0D 01 00 04 04", "set 05 03 01"}));
    from = TraceSize();
    r = Ctl({"lighting", "set", "7", "breath"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(SetsSince(from), (std::vector<std::string>{"set 07 0D 01 00 07 18", "set 05 03 01"}));

    // A file that is no profile is refused and left alone; nothing is sent.
    const std::string notes = m_dir + "notes.psf";
    {
        std::FILE* f = std::fopen(notes.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("shopping: milk\n", f);
        std::fclose(f);
    }
    from = TraceSize();
    r = Ctl({"load", notes});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("not a Lumbra profile"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(notes), "shopping: milk\n");
    EXPECT_TRUE(SetsSince(from).empty());
    // Bad usage is said before anything is asked.
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"profile", "set", "6"}, {"lighting", "set", "purple"}, {"dance"}})
        EXPECT_EQ(Ctl(bad).status, 2) << bad[0];

    // Save the profile, then load it into profile 1 and apply: profile 1 gets it.
    r = Ctl({"save", m_dir + "mine.psf"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(ReadFile(m_dir + "mine.psf").find("LightColor=7\r\n"), std::string::npos);
    EXPECT_EQ(Ctl({"profile", "set", "1"}).status, 0);
    from = TraceSize();
    r = Ctl({"load", m_dir + "mine.psf"});
    EXPECT_EQ(r.status, 0) << r.err;
    const auto loaded = SetsSince(from);
    EXPECT_NE(std::find(loaded.begin(), loaded.end(), "set 07 0D 00 00 07 18"), loaded.end());

    // Following programs is a switch of its own.
    EXPECT_EQ(Ctl({"follow", "on"}).status, 0);
    EXPECT_EQ(Ctl({"follow"}).out, "on\n");
    EXPECT_NE(ReadFile(m_dir + "app/config/lumbra.ini").find("FollowPrograms=1"), std::string::npos);

    // Two scripts at once: each gets its answer, each change is sent once.
    from = TraceSize();
    std::vector<std::string> a = {LUMBRACTL, "profile", "set", "3"};
    std::vector<std::string> b = {LUMBRACTL, "lighting", "set", "green"};
    Child first, second;
    ASSERT_TRUE(first.Start(a, m_env, "", m_dir + "a.err"));
    ASSERT_TRUE(second.Start(b, m_env, "", m_dir + "b.err"));
    EXPECT_EQ(first.Wait(), 0) << ReadFile(m_dir + "a.err");
    EXPECT_EQ(second.Wait(), 0) << ReadFile(m_dir + "b.err");
    const auto both = SetsSince(from);
    EXPECT_EQ(both.size(), 3u) << "the switch, the lighting and the apply's profile";
    EXPECT_NE(std::find(both.begin(), both.end(), "set 05 03 02"), both.end());
    EXPECT_EQ(std::count_if(both.begin(), both.end(),
                            [](const std::string& s) { return s.starts_with("set 07 0D"); }),
              1);

    // The window comes and goes.
    EXPECT_EQ(Ctl({"show"}).status, 0);
    EXPECT_TRUE(WaitUntil([&] { return WindowShown(); }));
    EXPECT_EQ(Ctl({"hide"}).status, 0);
    EXPECT_TRUE(WaitUntil([&] { return !WindowShown(); }));

    // Quit says goodbye to the keyboard and ends lumbra.
    r = Ctl({"quit"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(m_lumbra.Wait(), 0);
    const auto last = SetsSince(0);
    ASSERT_FALSE(last.empty());
    EXPECT_EQ(last.back(), "set 05 03 07");
    // Nothing answers now, and nothing may start it: lumbractl says so.
    r = Ctl({"status"});
    EXPECT_EQ(r.status, 3);
}

TEST_F(BusJourney, WatchSeesTheKeyboardsOwnKeysAndItsUnplugging) {
    StartOnBus(true);
    ASSERT_TRUE(m_watch.Start({LUMBRACTL, "watch", "--json"}, m_env, m_dir + "watch.out",
                              m_dir + "watch.err"));
    ASSERT_TRUE(WaitUntil([&] { return !ReadFile(m_dir + "watch.out").empty(); }))
        << "watch prints the state it starts with";
    Control("event 05 03");
    EXPECT_TRUE(WaitUntil([&] { return ReadFile(m_dir + "watch.out").find("\"profile\":3") != std::string::npos; }))
        << ReadFile(m_dir + "watch.out");
    Control("unplug");
    EXPECT_TRUE(WaitUntil([&] { return ReadFile(m_dir + "watch.out").find("\"connected\":false") != std::string::npos; }));
    Control("plug");
    EXPECT_TRUE(WaitUntil([&] {
        const std::string out = ReadFile(m_dir + "watch.out");
        return out.rfind("\"connected\":true") != std::string::npos &&
               out.rfind("\"connected\":true") > out.find("\"connected\":false");
    })) << ReadFile(m_dir + "watch.out");
    // One JSON object per line.
    for (const std::string& line : ReadLines(m_dir + "watch.out"))
        EXPECT_TRUE(line.starts_with("{") && line.ends_with("}")) << line;
}

TEST_F(BusJourney, ASecondStartShowsTheFirstWindowAndADialogMakesCallsWait) {
    StartOnBus(true);
    EXPECT_FALSE(WindowShown());
    Child second;
    ASSERT_TRUE(second.Start({LUMBRA_PROGRAM, "--config-dir", m_dir + "app/"}, m_env, "",
                             m_dir + "second.err"));
    EXPECT_EQ(second.Wait(), 0) << ReadFile(m_dir + "second.err");
    const auto window = m_x.WaitForWindow(m_lumbra.Pid(), IsMainWindowInPlace);
    ASSERT_TRUE(window) << "the first Lumbra shows its window";
    m_origin = *window;

    // A key's dialog owns the state while it is open.
    Click(kSKey);
    ASSERT_TRUE(WaitUntil([&] {
        const auto windows = m_x.Windows(m_lumbra.Pid());
        return std::any_of(windows.begin(), windows.end(),
                           [](const XWindow& w) { return w.width == 400 && w.height == 270; });
    })) << "no key dialog";
    const size_t from = TraceSize();
    const Ran r = Ctl({"profile", "set", "2"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("dialog"), std::string::npos) << r.err;
    EXPECT_TRUE(SetsSince(from).empty());
}

TEST_F(BusJourney, ACallStartsAHiddenLumbraFromTheInstalledServiceFile) {
    const char* services = std::getenv("LUMBRA_BUS_SERVICES");
    ASSERT_TRUE(services && *services) << "run under bus-session.sh";
    const std::string prefix = m_dir + "prefix";
    int status = -1;
    Capture({"cmake", "--install", LUMBRA_BUILD_DIR, "--prefix", prefix}, m_env, &status);
    ASSERT_EQ(status, 0);
    const std::string file = "/share/dbus-1/services/io.github.lumbra.lumbra.service";
    fs::copy_file(prefix + file, services + file.substr(file.rfind('/')),
                  fs::copy_options::overwrite_existing);
    // What a desktop tells its bus at login, so that started programs reach it.
    std::string activation = "{";
    for (const std::string& e : m_env) {
        const auto eq = e.find('=');
        if (activation.size() > 1) activation += ", ";
        activation += "'" + e.substr(0, eq) + "': '" + e.substr(eq + 1) + "'";
    }
    activation += "}";
    Capture({"gdbus", "call", "--session", "--dest", "org.freedesktop.DBus", "--object-path",
             "/org/freedesktop/DBus", "--method",
             "org.freedesktop.DBus.UpdateActivationEnvironment", activation},
            m_env, &status);
    ASSERT_EQ(status, 0);

    Ran r = Ctl({"status", "--json"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"connected\":false"), std::string::npos) << "no keyboard here: " << r.out;
    const std::string pid =
        Capture({"pgrep", "-f", "-x", prefix + "/bin/lumbra --hidden"}, m_env, &status);
    ASSERT_EQ(status, 0) << "the installed lumbra runs, hidden";
    EXPECT_FALSE(WindowShown(std::stoi(pid)));
    r = Ctl({"profile", "set", "2"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no keyboard"), std::string::npos) << r.err;
    EXPECT_EQ(Ctl({"quit"}).status, 0);
    EXPECT_TRUE(WaitUntil([&] {
        Capture({"pgrep", "-f", "-x", prefix + "/bin/lumbra --hidden"}, m_env, &status);
        return status != 0;
    }));
}

}  // namespace
}  // namespace lumbra::e2e
