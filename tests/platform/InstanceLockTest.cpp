// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/InstanceLock.h"
#include "tests/TestSupport.h"
#include "tests/Unprivileged.h"

namespace lumbra {
namespace {

namespace fs = std::filesystem;
using Result = InstanceLock::Result;

constexpr const char* kName = "Halvard Tessal";

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstReleases) {
    auto dir = std::filesystem::temp_directory_path() / ("lumbra-lock-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    InstanceLock first, second;
    ASSERT_TRUE(first.TryAcquire("Halvard Tessal", dir.string()));
    EXPECT_TRUE(std::filesystem::exists(dir / "Halvard Tessal.lock"));
    EXPECT_FALSE(second.TryAcquire("Halvard Tessal", dir.string()));
    first.Release();
    EXPECT_TRUE(second.TryAcquire("Halvard Tessal", dir.string()));
    EXPECT_FALSE(InstanceLock().TryAcquire("x", (dir / "missing").string()));
    second.Release();
    std::filesystem::remove_all(dir);
}

// Points the lock at a runtime folder and a temporary folder for the rest of
// the (child) process.
void UseFolders(const std::string& runtime, const std::string& tmp) {
    if (runtime.empty())
        ::unsetenv("XDG_RUNTIME_DIR");
    else
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::setenv("TMPDIR", tmp.c_str(), 1);
}

std::string PerUserFolder(const std::string& tmp) {
    return tmp + "/lumbra-" + std::to_string(::geteuid());
}

mode_t LstatMode(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

TEST(InstanceLock, OnlyALockHeldByAnotherProcessMeansAlreadyRunning) {
    test::TempDir dir;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        InstanceLock lock;
        const char held = lock.Acquire(kName, dir.Dir()) == Result::kAcquired ? 'y' : 'n';
        [[maybe_unused]] const ssize_t n = ::write(ready[1], &held, 1);
        ::pause();
        ::_exit(0);
    }
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    EXPECT_EQ(held, 'y');
    InstanceLock lock;
    EXPECT_EQ(lock.Acquire(kName, dir.Dir()), Result::kHeldElsewhere);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(lock.Acquire(kName, dir.Dir()), Result::kAcquired) << "the kernel dropped it";
    EXPECT_EQ(InstanceLock().Acquire(kName, dir.Path("missing")), Result::kUnavailable)
        << "a folder without a lock file is not another instance";
}

TEST(InstanceLock, AMissingOrReadOnlyRuntimeFolderFallsBackToAPrivateFolder) {
    for (const bool readOnly : {false, true}) {
        test::RunUnprivileged([readOnly] {
            test::TempDir base;
            const std::string runtime = base.Path("run");
            if (readOnly) fs::create_directory(runtime), ::chmod(runtime.c_str(), 0500);
            fs::create_directory(base.Path("tmp"));
            UseFolders(runtime, base.Path("tmp"));

            InstanceLock lock;
            EXPECT_EQ(lock.Acquire(kName), Result::kAcquired) << "read-only: " << readOnly;
            const std::string folder = PerUserFolder(base.Path("tmp"));
            EXPECT_EQ(InstanceLock::DefaultDirectory().value_or(""), folder);
            EXPECT_EQ(LstatMode(folder), S_IFDIR | 0700);
            EXPECT_TRUE(fs::exists(folder + "/" + kName + ".lock"));
            EXPECT_EQ(InstanceLock().Acquire(kName), Result::kHeldElsewhere);
            ::chmod(runtime.c_str(), 0700);
        });
    }
}

// Under umask 0277 the lock file is made read-only; the next run still
// takes the lock through it.
TEST(InstanceLock, ALockFileThatCannotBeWrittenStillLocks) {
    test::RunUnprivileged([] {
        test::TempDir dir;
        const mode_t old = ::umask(0277);
        EXPECT_EQ(InstanceLock().Acquire(kName, dir.Dir()), Result::kAcquired);
        ::umask(old);
        InstanceLock first;
        EXPECT_EQ(first.Acquire(kName, dir.Dir()), Result::kAcquired);
        EXPECT_EQ(InstanceLock().Acquire(kName, dir.Dir()), Result::kHeldElsewhere);
    });
}

TEST(InstanceLock, AnotherUsersLockInTheSharedFolderLocksNobodyOut) {
    if (!test::RunningAsRoot()) GTEST_SKIP() << "needs a second user";
    // The shared temporary folder, where another user's Lumbra runs with the
    // lock file of the same name.
    test::TempDir shared;
    ASSERT_EQ(::chmod(shared.Dir().c_str(), 01777), 0);
    const std::string theirs = shared.Path(std::string(kName) + ".lock");
    InstanceLock other;
    ASSERT_EQ(other.Acquire(kName, shared.Dir()), Result::kAcquired);
    ASSERT_EQ(::chmod(theirs.c_str(), 0600), 0);

    test::RunUnprivileged([&] {
        UseFolders("", shared.Path(""));
        InstanceLock lock;
        EXPECT_EQ(lock.Acquire(kName), Result::kAcquired);
        EXPECT_EQ(LstatMode(PerUserFolder(shared.Path(""))), S_IFDIR | 0700);
    });
}

TEST(InstanceLock, APerUserFolderThatIsNotPrivatelyOursIsNotUsed) {
    struct Case {
        const char* what;
        void (*plant)(const std::string& folder, const std::string& base);
    };
    const Case cases[] = {
        {"a symlink to a folder",
         [](const std::string& folder, const std::string& base) {
             fs::create_directory(base + "/target");
             fs::create_directory_symlink(base + "/target", folder);
         }},
        {"a folder others may enter",
         [](const std::string& folder, const std::string&) {
             fs::create_directory(folder);
             ::chmod(folder.c_str(), 0755);
         }},
        {"a file",
         [](const std::string& folder, const std::string&) { std::ofstream(folder) << "x"; }},
    };
    for (const Case& c : cases) {
        test::RunUnprivileged([&c] {
            test::TempDir base;
            c.plant(PerUserFolder(base.Path("")), base.Path(""));
            UseFolders("", base.Path(""));
            EXPECT_FALSE(InstanceLock::DefaultDirectory().has_value()) << c.what;
            EXPECT_EQ(InstanceLock().Acquire(kName), Result::kUnavailable) << c.what;
            EXPECT_FALSE(fs::exists(base.Path("target/") + kName + ".lock")) << c.what;
        });
    }
    if (!test::RunningAsRoot()) return;
    // A folder of that name made by another user.
    test::TempDir shared;
    ASSERT_EQ(::chmod(shared.Dir().c_str(), 01777), 0);
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    const std::string planted = shared.Path("lumbra-" + std::to_string(nobody->pw_uid));
    fs::create_directory(planted);
    ::chmod(planted.c_str(), 0700);
    test::RunUnprivileged([&] {
        UseFolders("", shared.Path(""));
        EXPECT_EQ(InstanceLock().Acquire(kName), Result::kUnavailable);
    });
}

}  // namespace
}  // namespace lumbra
