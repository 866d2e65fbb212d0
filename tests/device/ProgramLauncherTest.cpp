// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "device/ProgramLauncher.h"
#include "sim/SimSession.h"
#include "storage/TextFile.h"
#include "tests/device/DeviceTestSupport.h"

namespace lumbra {
namespace {

TEST(ProgramLauncher, StartsAnExecutableFileWithoutAShell) {
    test::TempDir dir;
    // The name holds a shell's special characters: a shell would stumble here.
    const std::string script = dir.path + "touch me;$(x).sh";
    const std::string marker = dir.path + "touched";
    {
        std::ofstream out(script);
        out << "#!/bin/sh\ntouch '" << marker << "'\n";
    }
    chmod(script.c_str(), 0700);

    SpawnProgramLauncher launcher;
    launcher.Open(script);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(marker) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(std::filesystem::exists(marker));
}

// Waits for a file a launched program writes; its content, empty when it
// never came.
std::string WaitForFile(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(path) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return ReadWholeFile(path).value_or("");
}

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(ProgramLauncher, TheProgramGetsOnlyTheStandardDescriptors) {
    test::TempDir dir;
    // What a running Lumbra holds: the simulator's trace and control pipe,
    // and a descriptor a library opened without close-on-exec.
    std::string error;
    auto session = SimSession::Start(test::SimOptionsIn(dir.path),
                                     std::make_shared<test::RecordingClock>(nullptr), &error);
    ASSERT_NE(session, nullptr) << error;
    const int careless = ::open((dir.path + "trace.txt").c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(careless, 0);

    const std::string list = dir.path + "descriptors";
    {
        ScopedEnv env("LUMBRA_DESCRIPTOR_LIST", list);
        SpawnProgramLauncher().Open(LUMBRA_LIST_DESCRIPTORS);
    }
    const std::string got = WaitForFile(list);
    ::close(careless);
    ASSERT_FALSE(got.empty()) << "the program did not run";
    LineReader lines(got);
    while (const auto line = lines.Next())
        EXPECT_LE(std::stoi(std::string(*line)), STDERR_FILENO) << "inherited: " << *line;
}

TEST(ProgramLauncher, TheProgramStartsWithDefaultSignalsAndNoneBlocked) {
    test::TempDir dir;
    const std::string script = dir.path + "signals.sh";
    const std::string out = dir.path + "signals";
    {
        std::ofstream file(script);
        file << "#!/bin/sh\ngrep '^Sig\\(Ign\\|Blk\\)' /proc/self/status > '" << out
             << ".part'\nmv '" << out << ".part' '" << out << "'\n";
    }
    chmod(script.c_str(), 0700);
    // What Lumbra does to itself, and a thread that blocks a signal.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    sigset_t blocked, old;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &blocked, &old);
    SpawnProgramLauncher().Open(script);
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(WaitForFile(out), "SigBlk:\t0000000000000000\nSigIgn:\t0000000000000000\n");
}

TEST(ProgramLauncher, APathBeginningWithADashIsNoOptionForXdgOpen) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.path + "bin");
    const std::string opener = dir.path + "bin/xdg-open";
    const std::string args = dir.path + "args";
    {
        std::ofstream out(opener);
        out << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << args << ".part'\nmv '" << args
            << ".part' '" << args << "'\n";
    }
    chmod(opener.c_str(), 0700);
    ScopedEnv path("PATH", dir.path + "bin:" + std::getenv("PATH"));
    for (const std::string quickLaunch : {"-n", "--help", "-"}) {
        std::filesystem::remove(args);
        SpawnProgramLauncher().Open(quickLaunch);
        const std::string got = WaitForFile(args);
        EXPECT_EQ(got, (std::filesystem::current_path() / quickLaunch).string() + "\n")
            << quickLaunch;
    }
}

}  // namespace
}  // namespace lumbra
