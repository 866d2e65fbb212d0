// SPDX-License-Identifier: GPL-3.0-or-later
// The real lumbra program, without the simulator, against the keyboard
// emulated at the kernel interface: hidapi enumerates and opens the emulated
// hidraw nodes, the feature reports go through their ioctls to the simulator
// that the harness keeps behind them, and the harness's trace tells what the
// keyboard saw.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>

#include "E2eSupport.h"

namespace lumbra::e2e {
namespace {

constexpr Box kThirdProfileTab = kProfileTabs[2];
// The harness's exit status when the testbed cannot work on this machine.
constexpr int kCannotEmulate = 77;

std::vector<std::string> Preloaded(std::vector<std::string> env) {
    env.push_back("LD_PRELOAD=" LUMBRA_HIDRAW_PRELOAD);
    return env;
}

// A trace line without its time: "set 05 03 02".
std::string Words(const TraceLine& line) { return line.text.substr(line.text.find(' ') + 1); }

// lumbra runs under the harness, which writes the trace.
class HidrawJourney : public E2eJourney {
protected:
    HidrawJourney() : E2eJourney("lumbra-hidraw-e2e") {}

    void StopChildren() override {
        if (m_pid > 0 && m_harness.Running()) kill(m_pid, SIGKILL);
        m_harness.Stop();
    }

    std::vector<TraceLine> Exchanges() const {
        std::vector<TraceLine> out;
        for (const TraceLine& l : ReadTrace(m_trace))
            if (l.op == "set" || l.op == "get") out.push_back(l);
        return out;
    }
    bool WaitForExchange(const std::string& words) const {
        return WaitUntil([&] {
            const auto all = Exchanges();
            return std::any_of(all.begin(), all.end(),
                               [&](const TraceLine& l) { return Words(l) == words; });
        });
    }

    Child m_harness;
    pid_t m_pid = -1;
};

TEST_F(HidrawJourney, WithoutTheSimulatorLumbraReadsAppliesAndSaysGoodbyeThroughTheNodes) {
    const std::string pidFile = m_dir + "lumbra.pid";
    ASSERT_TRUE(m_harness.Start({LUMBRA_HIDRAW_HARNESS, m_trace, m_dir + "keyboard.state", pidFile,
                                 "--", LUMBRA_PROGRAM, "--config-dir", m_dir + "app/"},
                                Preloaded(m_x.Environment()), m_dir + "lumbra.out",
                                m_dir + "lumbra.err"));
    ASSERT_TRUE(WaitUntil([&] { return !ReadFile(pidFile).empty() || !m_harness.Running(); }));
    if (!m_harness.Running() && m_harness.Wait() == kCannotEmulate)
        GTEST_SKIP() << ReadFile(m_dir + "lumbra.err");
    ASSERT_TRUE(m_harness.Running()) << "the harness gave up";
    m_pid = std::stoi(ReadFile(pidFile));
    const auto window = m_x.WaitForWindow(m_pid, IsMainWindowInPlace);
    ASSERT_TRUE(window) << "no main window";
    m_origin = *window;

    // The start-up read-back of a factory keyboard: the profile, then lighting
    // and key table of each on-board profile, each after its select.
    ASSERT_TRUE(WaitUntil([&] {
        const auto all = Exchanges();
        return std::count_if(all.begin(), all.end(), [](const TraceLine& l) {
                   return l.op == "get" && l.bytes.size() == 184;
               }) == 3;
    })) << "no read-back";
    std::vector<std::string> readBack;
    for (const TraceLine& l : Exchanges()) {
        EXPECT_FALSE(l.failed) << l.text;
        readBack.push_back(Words(l).substr(0, 20));
    }
    const std::vector<std::string> expected = {
        "get 05 03 00",         "set 04 00 00", "get 07 0D 00 00 01 0", "set 04 01 00",
        "get 07 0D 01 00 01 0", "set 04 02 00", "get 07 0D 02 00 01 0", "set 04 00 00",
        "get 06 B8 00 00 00 0", "set 04 01 00", "get 06 B8 01 00 00 0", "set 04 02 00",
        "get 06 B8 02 00 00 0",
    };
    EXPECT_EQ(readBack, expected);

    // Apply with the third profile chosen makes it the keyboard's.
    Click(kThirdProfileTab);
    Click(kApply);
    EXPECT_TRUE(WaitForExchange("set 05 03 02")) << "Apply did not reach the keyboard";

    // SIGTERM, as a session's end sends it: the goodbye is the last word.
    kill(m_pid, SIGTERM);
    EXPECT_EQ(m_harness.Wait(), 0);
    const auto all = Exchanges();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(Words(all.back()), "set 05 03 07");
    EXPECT_EQ(ReadFile(m_dir + "lumbra.err").find("permission denied"), std::string::npos);
}

}  // namespace
}  // namespace lumbra::e2e
