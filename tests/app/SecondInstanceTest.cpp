// SPDX-License-Identifier: GPL-3.0-or-later
// Two real lumbra processes on one lock folder: the second is refused and
// touches neither the keyboard nor the tray.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "AppTestSupport.h"

extern char** environ;

namespace lumbra::test {
namespace {

struct Process {
    pid_t pid = -1;
};

Process Spawn(const std::vector<std::string>& args, const std::string& runtimeDir,
              const std::string& stderrFile) {
    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + runtimeDir,
                                    "HOME=" + runtimeDir};
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> argsCopy = args;
    std::vector<char*> argv;
    for (auto& a : argsCopy) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    Process p;
    if (posix_spawn(&p.pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) p.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return p;
}

// The exit status, or -1 when the process did not end in time.
int WaitExit(pid_t pid, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

bool WaitForText(const std::string& path, const std::string& text, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (ReadText(path).find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

TEST(SecondInstance, IsRefusedWithTheMessageAndLeavesTheKeyboardAlone) {
    TempFolder tmp;
    const std::string lumbra = LUMBRA_PROGRAM;
    const std::string trace1 = tmp.path + "trace1.txt";
    const std::string trace2 = tmp.path + "trace2.txt";
    Process first =
        Spawn({lumbra, "--simulate", "--config-dir", tmp.path + "one", "--sim-trace", trace1},
              tmp.path, tmp.path + "err1.txt");
    ASSERT_GT(first.pid, 0);
    // Started: the read-back has asked the keyboard for its profile.
    ASSERT_TRUE(WaitForText(trace1, "get 05", std::chrono::seconds(30)))
        << ReadText(tmp.path + "err1.txt");

    Process second =
        Spawn({lumbra, "--simulate", "--config-dir", tmp.path + "two", "--sim-trace", trace2},
              tmp.path, tmp.path + "err2.txt");
    ASSERT_GT(second.pid, 0);
    EXPECT_EQ(WaitExit(second.pid, std::chrono::seconds(30)), 1);
    EXPECT_NE(ReadText(tmp.path + "err2.txt").find("This application is already running!"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(trace2)) << "the second instance opened no keyboard";
    EXPECT_FALSE(std::filesystem::exists(tmp.path + "two")) << "nor its files";

    // The first goes on, and SIGTERM ends it like "Exit": goodbye sent, status 0.
    int status = 0;
    EXPECT_EQ(waitpid(first.pid, &status, WNOHANG), 0) << "the first instance still runs";
    ASSERT_EQ(kill(first.pid, SIGTERM), 0);
    EXPECT_EQ(WaitExit(first.pid, std::chrono::seconds(30)), 0);
    const std::string trace = ReadText(trace1);
    const size_t lastLine = trace.rfind('\n', trace.size() - 2);
    EXPECT_NE(trace.substr(lastLine + 1).find("set 05 03 07"), std::string::npos) << trace;
}

}  // namespace
}  // namespace lumbra::test
