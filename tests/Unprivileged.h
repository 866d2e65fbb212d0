// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUMBRA_TEST_ASAN 1
#endif
#endif

namespace lumbra::test {

// The exit status of `body` run in a forked child (128 + the signal when a
// signal ended it). The child is stopped by SIGALRM after `limitSeconds`, so
// a body that hangs fails instead of stalling the suite, and its address
// space is capped so that a runaway read ends with bad_alloc early.
inline int RunInChild(const std::function<int()>& body, unsigned limitSeconds = 20) {
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(limitSeconds);
#if !defined(__SANITIZE_ADDRESS__) && !defined(LUMBRA_TEST_ASAN)
        // Not under AddressSanitizer, whose shadow memory alone is larger.
        const rlimit memory{2UL << 30, 2UL << 30};
        ::setrlimit(RLIMIT_AS, &memory);
#endif
        int code = 125;  // an exception: it must not run the rest of the suite here
        try {
            code = body();
        } catch (...) {
        }
        std::fflush(stdout);
        ::_exit(code);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// True when the tests run as root, so that a second, unprivileged user is at
// hand (nobody) and files of another user can be made.
inline bool RunningAsRoot() { return ::geteuid() == 0; }

// Runs `body` as the user nobody in a forked child when the tests run as
// root, since root passes every permission check and would hide what the
// body looks for; directly otherwise. The child's failures are printed there
// and fail the test here.
inline void RunUnprivileged(const std::function<void()>& body) {
    if (!RunningAsRoot()) {
        body();
        return;
    }
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    constexpr int kCannotDrop = 77;
    const int status = RunInChild([&] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
            return kCannotDrop;
        body();
        return ::testing::Test::HasFailure() ? 1 : 0;
    });
    if (status == kCannotDrop) GTEST_SKIP() << "root here may not become nobody";
    EXPECT_EQ(status, 0) << "the part run as nobody failed";
}

}  // namespace lumbra::test
