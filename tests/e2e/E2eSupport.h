// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <QImage>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lumbra::e2e {

using namespace std::chrono_literals;

// How long any awaited condition may take. Generous: the sanitizer build of
// lumbra on a loaded two-core machine is many times slower than the normal one.
constexpr std::chrono::milliseconds kPatience = 40s;

// Polls cond until it holds or the limit passes.
bool WaitUntil(const std::function<bool()>& cond, std::chrono::milliseconds limit = kPatience);

std::string ReadFile(const std::string& path);
// The lines of a text file without their CR LF or LF ends.
std::vector<std::string> ReadLines(const std::string& path);

// A child process; still running when this goes away, it is killed.
class Child {
public:
    Child() = default;
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // argv[0] is a path or a name looked up in PATH. stdout and stderr go to
    // files (/dev/null when empty); passFd, when set, becomes descriptor 3.
    bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
               const std::string& outFile = "", const std::string& errFile = "", int passFd = -1);
    pid_t Pid() const { return m_pid; }
    bool Running();
    // The exit status (128 + signal for a signal), or nothing when the
    // process is still running after the limit.
    std::optional<int> Wait(std::chrono::milliseconds limit = kPatience);
    void Signal(int signal) const;
    // Ends it with SIGTERM, then SIGKILL when it lingers.
    void Stop();

private:
    pid_t m_pid = -1;
    std::optional<int> m_status;
};

// Runs a program to its end and gives what it printed on stdout.
std::string Capture(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                    int* status = nullptr);

struct XWindow {
    std::string id;
    std::string name;
    int x = 0, y = 0, width = 0, height = 0;
};

// A private X server (Xvfb, on a display number it picks itself) with a
// notification area, and xdotool and the screenshot tool pointed at it.
class XSession {
public:
    ~XSession();
    bool Start(const std::string& folder, std::string* error);
    void Stop();
    const std::string& Display() const { return m_display; }
    // The environment every program of a journey runs with: only this
    // display, and home, runtime and session-bus paths of the journey's own.
    std::vector<std::string> Environment() const { return m_env; }

    std::string Xdotool(const std::vector<std::string>& args) const;
    // The mapped top-level windows of a process.
    std::vector<XWindow> Windows(pid_t pid) const;
    std::optional<XWindow> WaitForWindow(pid_t pid,
                                         const std::function<bool(const XWindow&)>& match,
                                         std::chrono::milliseconds limit = kPatience) const;
    // Pointer and keys, in screen coordinates.
    void Click(int x, int y) const;
    void MovePointer(int x, int y) const;
    void Keys(const std::vector<std::string>& keys) const;
    // Waits until a program holds the keyboard grab: keys typed before it
    // took the grab could go to a window its modal dialog blocks.
    bool WaitForKeyboardGrab() const;
    // The whole screen, also saved to file when one is named.
    QImage Shot(const std::string& file = "") const;

private:
    std::string m_folder;
    std::string m_display;
    std::vector<std::string> m_env;
    Child m_server;
    Child m_tray;
};

// One line of the simulated keyboard's trace: "<ms> set|get|in|plug|unplug <bytes> [FAIL]".
struct TraceLine {
    std::string op;
    std::vector<uint8_t> bytes;
    bool failed = false;
    std::string text;
};
std::vector<TraceLine> ReadTrace(const std::string& path);
// The keyboard's three profiles were read (a get of each table) since the trace held `from` lines.
bool HasReadBack(const std::string& trace, size_t from = 0);
// What a failed journey adds to its report: the trace and lumbra's stderr from
// its folder (ending with '/').
std::string JourneyFailureReport(const std::string& folder);
// The profile values the keyboard was sent (its ProfileReports), in order.
std::vector<int> ProfileReports(const std::string& trace);
// Lists up to three programs in a profile file of a config folder that a first start wrote.
void ListPrograms(const std::string& appDir, int slot, const std::vector<std::string>& programs);

// Pictures: a rectangle of a screenshot, compared exactly, and its mean colour.
QImage Crop(const QImage& shot, int x, int y, int width, int height);
struct MeanColour {
    double red = 0, green = 0, blue = 0;
};
MeanColour Mean(const QImage& image);

// ---- the main window ------------------------------------------------------

struct Box {
    int x, y, width, height;
    int Cx() const { return x + width / 2; }
    int Cy() const { return y + height / 2; }
};

inline constexpr int kScreenWidth = 1024, kScreenHeight = 768;
inline constexpr int kMainWidth = 818, kMainHeight = 628;
// The main window's controls, in its client coordinates.
inline constexpr Box kApply{683, 100, 46, 22};
inline constexpr Box kKeysTab{169, 516, 88, 22}, kGKeysTab{458, 516, 88, 22};
inline constexpr Box kProfileTabs[3] = {{180, 208, 23, 20}, {209, 208, 20, 20}, {236, 208, 19, 20}};
inline constexpr Box kSKey{238, 311, 19, 20};
inline constexpr Box kGKeyButtons[5] = {{139, 218, 225, 20},
                                        {139, 253, 225, 20},
                                        {139, 288, 225, 20},
                                        {139, 323, 225, 20},
                                        {139, 358, 225, 20}};
// A G key's function menu and the macro list beside it: rows of 16 pixels
// below a 3-pixel margin.
inline constexpr int kFunctionMenuWidth = 225, kMacroListWidth = 158;
constexpr int RowY(int row) { return 3 + 16 * row + 8; }

bool IsMainWindow(const XWindow& w);
// The main window is mapped first and centred on the screen after.
bool IsMainWindowInPlace(const XWindow& w);

// ---- a journey ------------------------------------------------------------

// A journey's folder under /tmp (with its home and runtime folders), the X
// session in it, and lumbra on the simulated keyboard, its trace in m_trace
// and its files under the folder's app/. On a failure the trace's last lines
// and lumbra's stderr are added to the report.
class E2eJourney : public ::testing::Test {
protected:
    explicit E2eJourney(std::string folderName = "lumbra-e2e")
        : m_folderName(std::move(folderName)) {}

    void SetUp() override;
    void TearDown() override;
    // Stops what the journey started, before the X session ends.
    virtual void StopChildren() { m_lumbra.Stop(); }

    // The command line of lumbra on the simulated keyboard, with its control
    // pipe when asked for.
    std::vector<std::string> LumbraArguments(const std::string& appDir, bool control) const;
    // Starts m_lumbra with its stdout and stderr in the folder.
    bool StartLumbraWith(const std::vector<std::string>& args, const std::vector<std::string>& env);
    // Starts lumbra and waits until its window is up, centred, and it has read
    // the keyboard's three profiles.
    void StartLumbra();
    // The keyboard's three profiles were read, since the trace held `from` lines.
    bool WaitForReadBack(size_t from = 0) const;

    // Pointer on the main window where it was found at start.
    void Click(const Box& b) const { m_x.Click(m_origin.x + b.Cx(), m_origin.y + b.Cy()); }
    void ClickIn(const XWindow& w, int x, int y) const { m_x.Click(w.x + x, w.y + y); }
    // A line to the simulated keyboard's control pipe ("event 05 03", "unplug").
    void Control(const std::string& line) const;
    void ClickIn(const XWindow& w, const Box& b) const { ClickIn(w, b.Cx(), b.Cy()); }
    // Out of every window, so that nothing is drawn hovered.
    void PointerAway() const { m_x.MovePointer(1, 1); }
    bool WaitWindowGone(const XWindow& gone) const;
    // A control's picture in a screenshot, with the main window at `at`.
    QImage Client(const QImage& shot, const XWindow& at, const Box& b) const {
        return Crop(shot, at.x + b.x, at.y + b.y, b.width, b.height);
    }
    QImage Client(const QImage& shot, const Box& b) const { return Client(shot, m_origin, b); }

    void KeepOutcome() const;
    std::string m_folderName;
    std::string m_dir, m_trace;  // m_dir ends with '/'
    XSession m_x;
    Child m_lumbra;
    size_t m_traceStart = 0;  // the trace's length at the last start
    XWindow m_origin;
};

}  // namespace lumbra::e2e
