#pragma once

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

// Pictures: a rectangle of a screenshot, compared exactly, and its mean colour.
QImage Crop(const QImage& shot, int x, int y, int width, int height);
struct MeanColour {
    double red = 0, green = 0, blue = 0;
};
MeanColour Mean(const QImage& image);

}  // namespace lumbra::e2e
