// SPDX-License-Identifier: GPL-3.0-or-later
// The real lumbra where files and the instance lock fail it: a file size
// limit, no usable lock folder; and the main window's Load Profile on a file
// that is not a profile.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "AppTestSupport.h"
#include "storage/ProfileFile.h"
#include "tests/Unprivileged.h"

namespace lumbra::test {
namespace {

namespace fs = std::filesystem;

// Starts the real lumbra with `env` only, standard error into `errFile`, and
// under a file size limit when one is given.
pid_t StartLumbra(const std::vector<std::string>& args, const std::vector<std::string>& env,
                  const std::string& errFile, rlim_t fileSizeLimit = RLIM_INFINITY) {
    std::vector<std::string> argStore = args;
    std::vector<std::string> envStore = env;
    std::vector<char*> argv, envp;
    for (auto& a : argStore) argv.push_back(a.data());
    for (auto& e : envStore) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0 || err < 0 || ::dup2(err, 2) < 0) ::_exit(120);
        ::signal(SIGXFSZ, SIG_DFL);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(121);
    }
    return pid;
}

// The exit status (128 + the signal), or -1 when the process did not end in time.
int WaitExit(pid_t pid, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return -1;
}

// Waits until lumbra painted its first frame (the start-up probe was written)
// or ended.
bool WaitForFirstPaint(pid_t pid, const std::string& probe) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!ReadText(probe).empty()) return true;
        siginfo_t ended{};
        // WNOWAIT leaves the exit status to WaitExit.
        if (::waitid(P_PID, static_cast<id_t>(pid), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            ended.si_pid == pid)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

std::vector<std::string> Environment(const TempFolder& tmp, const std::string& runtimeDir) {
    return {"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + runtimeDir, "HOME=" + tmp.path,
            "TMPDIR=" + tmp.path, "LUMBRA_STARTUP_PROBE=" + tmp.path + "probe"};
}

TEST(FileSizeLimit, AWriteOverTheLimitFailsLikeAFullDiskAndLumbraRuns) {
    TempFolder tmp;
    const std::string config = tmp.path + "cfg";
    // Enough for the start-up probe, too little for any of Lumbra's files.
    const pid_t pid = StartLumbra({LUMBRA_PROGRAM, "--simulate", "--config-dir", config},
                                  Environment(tmp, tmp.path), tmp.path + "err.txt", 64);
    ASSERT_GT(pid, 0);
    const bool painted = WaitForFirstPaint(pid, tmp.path + "probe");
    if (painted) ::kill(pid, SIGTERM);
    EXPECT_TRUE(painted) << ReadText(tmp.path + "err.txt");
    EXPECT_EQ(WaitExit(pid, std::chrono::seconds(30)), 0) << "128 + 25 is SIGXFSZ";
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(config + "/config", error))
        EXPECT_EQ(entry.path().filename().string().find(".lumbra-"), std::string::npos)
            << entry.path() << " is a temporary file left behind";
}

TEST(SimulatorStateFile, LeftoversBesideAStateFileOutsideTheConfigFolderAreRemoved) {
    TempFolder tmp;
    fs::create_directory(tmp.path + "sim");
    const std::string leftover = tmp.path + "sim/.kb.state.lumbra-Ab12Cd";
    const std::string other = tmp.path + "sim/.notes.lumbra-Ab12Cd";
    ASSERT_TRUE(WriteFileAtomically(leftover, "half a state"));
    ASSERT_TRUE(WriteFileAtomically(other, "someone else's"));
    const pid_t pid = StartLumbra({LUMBRA_PROGRAM, "--simulate=" + tmp.path + "sim/kb.state",
                                   "--config-dir", tmp.path + "cfg"},
                                  Environment(tmp, tmp.path), tmp.path + "err.txt");
    ASSERT_GT(pid, 0);
    const bool painted = WaitForFirstPaint(pid, tmp.path + "probe");
    if (painted) ::kill(pid, SIGTERM);
    EXPECT_TRUE(painted) << ReadText(tmp.path + "err.txt");
    EXPECT_EQ(WaitExit(pid, std::chrono::seconds(30)), 0);
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_TRUE(fs::exists(other)) << "only the state file's own leftovers go";
}

TEST(InstanceLockStart, WithoutAnyUsableLockFolderLumbraStartsWithAWarning) {
    TempFolder tmp;
    // No runtime folder (a file in its place, which Qt cannot replace by a
    // folder), and the per-user folder in the temporary folder is a symlink
    // someone else planted.
    ASSERT_TRUE(WriteFileAtomically(tmp.path + "runtime", "x"));
    fs::create_directory(tmp.path + "elsewhere");
    fs::create_directory_symlink(tmp.path + "elsewhere",
                                 tmp.path + "lumbra-" + std::to_string(::geteuid()));
    const pid_t pid = StartLumbra({LUMBRA_PROGRAM, "--simulate", "--config-dir", tmp.path + "cfg"},
                                  Environment(tmp, tmp.path + "runtime"), tmp.path + "err.txt");
    ASSERT_GT(pid, 0);
    const bool painted = WaitForFirstPaint(pid, tmp.path + "probe");
    if (painted) ::kill(pid, SIGTERM);
    const std::string said = ReadText(tmp.path + "err.txt");
    EXPECT_TRUE(painted) << said;
    EXPECT_EQ(WaitExit(pid, std::chrono::seconds(30)), 0) << said;
    EXPECT_EQ(said.find("already running"), std::string::npos) << said;
    EXPECT_NE(said.find("instance lock"), std::string::npos) << said;
    EXPECT_TRUE(fs::is_empty(tmp.path + "elsewhere")) << "nothing was made through the symlink";
}

// Two Lumbras on one config folder whose runtime and temporary folders
// differ, or whose shared per-user lock folder is squatted: the second is
// refused and leaves the first one's write in progress alone.
TEST(InstanceLockStart, ASecondLumbraOnTheSameConfigFolderIsRefusedWhereverItsRuntimeFolder) {
    struct Case {
        bool firstHasRuntime, secondHasRuntime, squatted;
    } const cases[] = {
        {true, false, false}, {true, true, false}, {false, false, false}, {false, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.firstHasRuntime << c.secondHasRuntime << c.squatted);
        TempFolder tmp;
        // Each its own runtime folder (or none) and temporary folder, or a
        // temporary folder shared with a planted per-user folder.
        auto environment = [&](const std::string& own, bool runtime) {
            fs::create_directories(tmp.path + own);
            std::vector<std::string> env = Environment(tmp, tmp.path + own);
            env[3] = "TMPDIR=" + tmp.path + (c.squatted ? "shared" : own);
            env[4] += own;
            if (!runtime) env.erase(env.begin() + 1);
            return env;
        };
        fs::create_directories(tmp.path + "shared");
        fs::create_directory_symlink(tmp.path,
                                     tmp.path + "shared/lumbra-" + std::to_string(::geteuid()));
        const std::vector<std::string> args = {LUMBRA_PROGRAM, "--simulate", "--config-dir",
                                               tmp.path + "cfg"};
        const pid_t first = StartLumbra(args, environment("a", c.firstHasRuntime), tmp.path + "e1");
        ASSERT_TRUE(WaitForFirstPaint(first, tmp.path + "probea")) << ReadText(tmp.path + "e1");
        // The first one's rewrite of config.ini, half done.
        const std::string inProgress = tmp.path + "cfg/config/.config.ini.lumbra-a1B2c3";
        ASSERT_TRUE(WriteFileAtomically(inProgress, "CurrentProfile=1\r\n"));
        const pid_t second =
            StartLumbra(args, environment("b", c.secondHasRuntime), tmp.path + "e2");
        EXPECT_EQ(WaitExit(second, std::chrono::seconds(15)), 1) << ReadText(tmp.path + "e2");
        EXPECT_NE(ReadText(tmp.path + "e2").find("This application is already running!"),
                  std::string::npos);
        EXPECT_TRUE(fs::exists(inProgress));
        ::kill(first, SIGTERM);
        EXPECT_EQ(WaitExit(first, std::chrono::seconds(30)), 0);
    }
}

// However far the start had come, a simulator file that cannot be opened
// ends Lumbra with status 2, every time: no thread it started outlives it.
TEST(SimulatorFiles, AFileThatCannotBeOpenedEndsLumbraWithStatusTwoEveryTime) {
    struct Case {
        const char *what, *option, *file;
        mode_t umask;
    } const cases[] = {
        {"a trace in a missing folder", "--sim-trace", "missing/trace.txt", 022},
        {"a control pipe in a missing folder", "--sim-control", "missing/control", 022},
        {"a control pipe the umask makes unreadable", "--sim-control", "control", 0277},
    };
    RunUnprivileged([&] {
        for (const Case& c : cases) {
            for (int run = 0; run < 8; ++run) {
                TempFolder tmp;
                const mode_t old = ::umask(c.umask);
                const pid_t pid = StartLumbra({LUMBRA_PROGRAM, "--simulate", "--config-dir",
                                               tmp.path + "cfg", c.option, tmp.path + c.file},
                                              Environment(tmp, tmp.path), tmp.path + "err.txt");
                ::umask(old);
                ASSERT_GT(pid, 0);
                EXPECT_EQ(WaitExit(pid, std::chrono::seconds(30)), 2)
                    << c.what << ", run " << run << "\n"
                    << ReadText(tmp.path + "err.txt");
            }
        }
    });
}

TEST(MainWindowLoadProfile, AFileThatIsNoProfileIsSaidAndNothingChanges) {
    MainWindowRig rig;
    rig.Start();
    const std::string note = rig.dir.path + "notes.txt";
    ASSERT_TRUE(WriteFileAtomically(note, "shopping list\r\n"));
    std::vector<std::string> paths, profiles;
    for (int slot = 0; slot < kProfileSlotCount; ++slot) {
        paths.push_back(rig.model.settings.SlotPath(slot));
        profiles.push_back(FormatProfile(rig.model.Profile(slot)));
    }
    const size_t messages = rig.dialogs.messages.size();
    rig.dialogs.loadPath = note;
    rig.dlg->Commands().RunMenuCommand(MainCommand::kLoadProfile);

    EXPECT_EQ(ReadText(note), "shopping list\r\n");
    for (int slot = 0; slot < kProfileSlotCount; ++slot) {
        EXPECT_EQ(rig.model.settings.SlotPath(slot), paths[static_cast<size_t>(slot)]);
        EXPECT_EQ(FormatProfile(rig.model.Profile(slot)), profiles[static_cast<size_t>(slot)]);
    }
    ASSERT_EQ(rig.dialogs.messages.size(), messages + 1);
    EXPECT_NE(rig.dialogs.messages.back().find(std::string(kNotAProfileMessage)), std::string::npos)
        << rig.dialogs.messages.back();
    EXPECT_FALSE(fs::exists(note + ".rejected"));
}

}  // namespace
}  // namespace lumbra::test
