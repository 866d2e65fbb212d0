// SPDX-License-Identifier: GPL-3.0-or-later
#include "E2eSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

extern char** environ;

namespace lumbra::e2e {

namespace {

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (std::string& s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

std::string PathOf(const std::vector<std::string>& env) {
    for (const std::string& e : env)
        if (e.starts_with("PATH=")) return e.substr(5);
    return "/usr/bin:/bin";
}

// posix_spawn does not search PATH in the child's environment, so the
// program is looked up here.
std::string Resolve(const std::string& program, const std::vector<std::string>& env) {
    if (program.find('/') != std::string::npos) return program;
    std::stringstream path(PathOf(env));
    std::string dir;
    while (std::getline(path, dir, ':')) {
        const std::string candidate = dir + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return program;
}

int StatusOf(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw); }

}  // namespace

bool WaitUntil(const std::function<bool()>& cond, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (cond()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(25ms);
    }
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::stringstream in(ReadFile(path));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

namespace {

// Starts the program with stdin from /dev/null and whatever else the caller
// adds to the file actions. The process id, or -1.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::function<void(posix_spawn_file_actions_t&)>& files) {
    std::vector<std::string> args = argv;
    std::vector<std::string> environment = env;
    args[0] = Resolve(args[0], env);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    files(actions);
    auto argp = Pointers(args);
    auto envp = Pointers(environment);
    pid_t pid = -1;
    const int error =
        posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

}  // namespace

// ---- Child ----------------------------------------------------------------

Child::~Child() { Stop(); }

bool Child::Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                  const std::string& outFile, const std::string& errFile, int passFd) {
    m_status.reset();
    m_pid = Spawn(argv, env, [&](posix_spawn_file_actions_t& actions) {
        posix_spawn_file_actions_addopen(&actions, 1,
                                         outFile.empty() ? "/dev/null" : outFile.c_str(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0600);
        posix_spawn_file_actions_addopen(&actions, 2,
                                         errFile.empty() ? "/dev/null" : errFile.c_str(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (passFd >= 0) posix_spawn_file_actions_adddup2(&actions, passFd, 3);
    });
    return m_pid > 0;
}

bool Child::Running() {
    if (m_pid <= 0 || m_status) return false;
    int raw = 0;
    if (waitpid(m_pid, &raw, WNOHANG) == m_pid) {
        m_status = StatusOf(raw);
        return false;
    }
    return true;
}

std::optional<int> Child::Wait(std::chrono::milliseconds limit) {
    if (m_pid <= 0) return std::nullopt;
    WaitUntil([this] { return !Running(); }, limit);
    return m_status;
}

void Child::Signal(int signal) const {
    if (m_pid > 0 && !m_status) kill(m_pid, signal);
}

void Child::Stop() {
    if (!Running()) return;
    Signal(SIGTERM);
    if (!Wait(10s)) {
        Signal(SIGKILL);
        Wait(10s);
    }
}

std::string Capture(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                    int* status) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return {};
    const pid_t pid = Spawn(argv, env, [&](posix_spawn_file_actions_t& actions) {
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    });
    const int error = pid > 0 ? 0 : 1;
    close(pipeFds[1]);
    std::string out;
    if (error == 0) {
        char buffer[4096];
        ssize_t n = 0;
        while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
            out.append(buffer, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
    int raw = 0;
    if (error == 0) waitpid(pid, &raw, 0);
    if (status) *status = error == 0 ? StatusOf(raw) : 127;
    return out;
}

// ---- XSession -------------------------------------------------------------

XSession::~XSession() { Stop(); }

bool XSession::Start(const std::string& folder, std::string* error) {
    m_folder = folder;
    const char* path = getenv("PATH");
    const std::vector<std::string> base = {std::string("PATH=") + (path ? path : "/usr/bin:/bin")};
    // The display number comes back on a pipe: no guessing, no clash with
    // journeys running at the same time. Both ends stay clear of descriptor 3,
    // which the server is given.
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return false;
    for (int& fd : pipeFds) {
        const int high = fcntl(fd, F_DUPFD_CLOEXEC, 10);
        close(fd);
        fd = high;
    }
    const bool started = m_server.Start(
        {"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, base,
        folder + "xvfb.log", folder + "xvfb.log", pipeFds[1]);
    close(pipeFds[1]);
    std::string number;
    if (started) {
        pollfd p{pipeFds[0], POLLIN, 0};
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (number.find('\n') == std::string::npos &&
               std::chrono::steady_clock::now() < deadline) {
            if (poll(&p, 1, 100) <= 0) continue;
            char c[16];
            const ssize_t n = read(pipeFds[0], c, sizeof c);
            if (n <= 0) break;
            number.append(c, static_cast<size_t>(n));
        }
    }
    close(pipeFds[0]);
    if (number.find('\n') == std::string::npos) {
        *error =
            "Xvfb did not start (is the xvfb package installed?): " + ReadFile(folder + "xvfb.log");
        return false;
    }
    m_display = ":" + number.substr(0, number.find('\n'));
    m_env = base;
    m_env.push_back("DISPLAY=" + m_display);
    m_env.push_back("HOME=" + folder + "home");
    m_env.push_back("XDG_RUNTIME_DIR=" + folder + "run");
    // A bus that is not there: Qt neither finds a desktop's tray over it nor
    // starts a bus of its own for the journey's display.
    m_env.push_back("DBUS_SESSION_BUS_ADDRESS=unix:path=" + folder + "no-bus");
    m_env.push_back("QT_QPA_PLATFORM=xcb");
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "LANG"})
        if (const char* value = getenv(name)) m_env.push_back(std::string(name) + "=" + value);

    int status = 0;
    Capture({"xdotool", "version"}, m_env, &status);
    if (status != 0) {
        *error = "xdotool does not run (is the xdotool package installed?)";
        return false;
    }
    const std::string trayOut = folder + "tray.out";
    if (!m_tray.Start({LUMBRA_E2E_XTOOL, "tray"}, m_env, trayOut, folder + "tray.err") ||
        !WaitUntil([&] { return ReadFile(trayOut).find("ready") != std::string::npos; })) {
        *error = "the notification area did not start: " + ReadFile(folder + "tray.err");
        return false;
    }
    return true;
}

void XSession::Stop() {
    m_tray.Stop();
    m_server.Stop();
}

std::string XSession::Xdotool(const std::vector<std::string>& args) const {
    std::vector<std::string> argv = {"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    return Capture(argv, m_env);
}

std::vector<XWindow> XSession::Windows(pid_t pid) const {
    std::vector<XWindow> windows;
    std::stringstream ids(Xdotool({"search", "--onlyvisible", "--pid", std::to_string(pid)}));
    std::string id;
    while (ids >> id) {
        XWindow w;
        w.id = id;
        std::stringstream shell(Xdotool({"getwindowgeometry", "--shell", id}));
        std::string line;
        bool complete = false;
        while (std::getline(shell, line)) {
            const size_t eq = line.find('=');
            if (eq == std::string::npos) continue;
            const std::string key = line.substr(0, eq);
            const int value = std::atoi(line.c_str() + eq + 1);
            if (key == "X") w.x = value;
            if (key == "Y") w.y = value;
            if (key == "WIDTH") w.width = value;
            if (key == "HEIGHT") complete = (w.height = value) > 0;
        }
        if (!complete) continue;  // gone between the search and the question
        w.name = Xdotool({"getwindowname", id});
        if (!w.name.empty() && w.name.back() == '\n') w.name.pop_back();
        windows.push_back(w);
    }
    return windows;
}

std::optional<XWindow> XSession::WaitForWindow(pid_t pid,
                                               const std::function<bool(const XWindow&)>& match,
                                               std::chrono::milliseconds limit) const {
    std::optional<XWindow> found;
    WaitUntil(
        [&] {
            for (const XWindow& w : Windows(pid))
                if (match(w)) found = w;
            return found.has_value();
        },
        limit);
    return found;
}

void XSession::Click(int x, int y) const {
    Xdotool({"mousemove", std::to_string(x), std::to_string(y), "click", "1"});
}

void XSession::MovePointer(int x, int y) const {
    Xdotool({"mousemove", std::to_string(x), std::to_string(y)});
}

void XSession::Keys(const std::vector<std::string>& keys) const {
    std::vector<std::string> args = {"key"};
    args.insert(args.end(), keys.begin(), keys.end());
    Xdotool(args);
}

bool XSession::WaitForKeyboardGrab() const {
    return WaitUntil([this] {
        int status = 1;
        Capture({LUMBRA_E2E_XTOOL, "grabbed"}, m_env, &status);
        return status == 0;
    });
}

QImage XSession::Shot(const std::string& file) const {
    const std::string path = file.empty() ? m_folder + "shot.png" : file;
    Capture({LUMBRA_E2E_XTOOL, "shot", path}, m_env);
    QImage image(QString::fromStdString(path));
    return image.convertToFormat(QImage::Format_RGB32);
}

// ---- trace and pictures ---------------------------------------------------

std::vector<TraceLine> ReadTrace(const std::string& path) {
    std::vector<TraceLine> out;
    for (const std::string& text : ReadLines(path)) {
        std::stringstream words(text);
        std::string ms;
        TraceLine line;
        line.text = text;
        words >> ms >> line.op;
        std::string word;
        while (words >> word) {
            if (word == "FAIL")
                line.failed = true;
            else
                line.bytes.push_back(static_cast<uint8_t>(std::stoul(word, nullptr, 16)));
        }
        out.push_back(std::move(line));
    }
    return out;
}

QImage Crop(const QImage& shot, int x, int y, int width, int height) {
    return shot.copy(x, y, width, height);
}

MeanColour Mean(const QImage& image) {
    MeanColour m;
    const double n = static_cast<double>(image.width()) * image.height();
    if (n == 0) return m;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            m.red += qRed(p) / n;
            m.green += qGreen(p) / n;
            m.blue += qBlue(p) / n;
        }
    return m;
}

// ---- the main window and a journey ----------------------------------------

bool IsMainWindow(const XWindow& w) { return w.width == kMainWidth && w.height == kMainHeight; }

bool IsMainWindowInPlace(const XWindow& w) {
    return IsMainWindow(w) && std::abs(w.x + w.width / 2 - kScreenWidth / 2) <= 2 &&
           std::abs(w.y + w.height / 2 - kScreenHeight / 2) <= 2;
}

void E2eJourney::SetUp() {
    std::string pattern = "/tmp/" + m_folderName + "-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_dir = pattern + "/";
    std::filesystem::create_directories(m_dir + "home");
    ASSERT_EQ(mkdir((m_dir + "run").c_str(), 0700), 0);
    m_trace = m_dir + "trace.txt";
    std::string error;
    ASSERT_TRUE(m_x.Start(m_dir, &error)) << error;
}

void E2eJourney::TearDown() {
    if (HasFailure()) {
        std::string tail;
        const auto lines = ReadLines(m_trace);
        for (size_t i = lines.size() > 40 ? lines.size() - 40 : 0; i < lines.size(); ++i)
            tail += lines[i].substr(0, 120) + "\n";
        ADD_FAILURE() << "trace (last lines):\n"
                      << tail << "lumbra's stderr:\n"
                      << ReadFile(m_dir + "lumbra.err").substr(0, 4000);
    }
    StopChildren();
    m_x.Stop();
    KeepOutcome();
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

// With LUMBRA_E2E_KEEP set, the journey's trace (without its times) and the
// files it left are copied under that folder, one folder per test, so that two
// builds can be compared byte for byte.
void E2eJourney::KeepOutcome() const {
    const char* keep = getenv("LUMBRA_E2E_KEEP");
    if (keep == nullptr || *keep == '\0') return;
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::filesystem::path into =
        std::filesystem::path(keep) / (std::string(info->test_suite_name()) + "." + info->name());
    std::error_code ignored;
    std::filesystem::create_directories(into, ignored);
    std::ofstream trace(into / "trace.txt");
    for (const std::string& line : ReadLines(m_trace)) {
        const size_t space = line.find(' ');
        trace << (space == std::string::npos ? line : line.substr(space + 1)) << "\n";
    }
    // The journey's folder has a new name each run; the copies say DIR/.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(m_dir + "app", ignored)) {
        if (!entry.is_regular_file()) continue;
        std::string text = ReadFile(entry.path().string());
        for (size_t at = text.find(m_dir); at != std::string::npos; at = text.find(m_dir, at))
            text.replace(at, m_dir.size(), "DIR/");
        const auto copy = into / std::filesystem::relative(entry.path(), m_dir);
        std::filesystem::create_directories(copy.parent_path(), ignored);
        std::ofstream(copy, std::ios::binary) << text;
    }
}

std::vector<std::string> E2eJourney::LumbraArguments(const std::string& appDir,
                                                     bool control) const {
    std::vector<std::string> args = {LUMBRA_PROGRAM, "--simulate=" + m_dir + "keyboard.state",
                                     "--sim-trace", m_trace};
    if (control) args.insert(args.end(), {"--sim-control", m_dir + "control"});
    args.insert(args.end(), {"--config-dir", appDir});
    return args;
}

bool E2eJourney::StartLumbraWith(const std::vector<std::string>& args,
                                 const std::vector<std::string>& env) {
    return m_lumbra.Start(args, env, m_dir + "lumbra.out", m_dir + "lumbra.err");
}

void E2eJourney::Control(const std::string& line) const {
    const int fd = open((m_dir + "control").c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0) << "lumbra does not read its control pipe";
    const std::string text = line + "\n";
    ASSERT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    close(fd);
}

void E2eJourney::StartLumbra() {
    m_traceStart = ReadTrace(m_trace).size();
    ASSERT_TRUE(StartLumbraWith(LumbraArguments(m_dir + "app/", true), m_x.Environment()));
    const auto window = m_x.WaitForWindow(m_lumbra.Pid(), IsMainWindowInPlace);
    ASSERT_TRUE(window) << "no main window";
    m_origin = *window;
    ASSERT_TRUE(WaitForReadBack(m_traceStart)) << "no read-back";
}

bool HasReadBack(const std::string& path, size_t from) {
    const auto trace = ReadTrace(path);
    return std::count_if(trace.begin() + static_cast<long>(std::min(from, trace.size())),
                         trace.end(), [](const TraceLine& l) {
                             return l.op == "get" && !l.bytes.empty() && l.bytes[0] == 0x06;
                         }) >= 3;
}

std::vector<int> ProfileReports(const std::string& trace) {
    std::vector<int> out;
    for (const TraceLine& l : ReadTrace(trace))
        if (l.op == "set" && l.bytes.size() >= 3 && l.bytes[0] == 0x05 && l.bytes[1] == 0x03)
            out.push_back(l.bytes[2]);
    return out;
}

void ListPrograms(const std::string& appDir, int slot, const std::vector<std::string>& programs) {
    std::ofstream file(appDir + "config/default" + std::to_string(slot) + ".psf", std::ios::app);
    for (size_t k = 0; k < 3; ++k)
        file << "Program" << k + 1 << "=" << (k < programs.size() ? programs[k] : "") << "\r\n";
}

std::string JourneyFailureReport(const std::string& folder) {
    std::string tail;
    for (const std::string& l : ReadLines(folder + "trace.txt")) tail += l.substr(0, 60) + "\n";
    return "trace:\n" + tail + "lumbra's stderr:\n" + ReadFile(folder + "lumbra.err").substr(0, 4000);
}

bool E2eJourney::WaitForReadBack(size_t from) const {
    return WaitUntil([&] { return HasReadBack(m_trace, from); });
}

bool E2eJourney::WaitWindowGone(const XWindow& gone) const {
    return WaitUntil([&] {
        for (const XWindow& w : m_x.Windows(m_lumbra.Pid()))
            if (w.id == gone.id) return false;
        return true;
    });
}

}  // namespace lumbra::e2e
