// SPDX-License-Identifier: GPL-3.0-or-later
// The longest the UI thread is kept from its event loop while the keyboard
// is written or read: a 1 ms timer on the UI thread records how late each of
// its ticks runs, through the command itself, the worker's hand-overs, the
// files and the refreshes, until the worker is idle again. Against the
// simulated keyboard with the machine's clock. Target: under one frame.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "bench/app/SessionRig.h"
#include "device/DeviceWorker.h"
#include "model/MacroLibrary.h"
#include "model/KeyboardModel.h"
#include "sim/KeyboardSimulator.h"

namespace lumbra {
namespace {

using Ms = std::chrono::duration<double, std::milli>;
using Steady = std::chrono::steady_clock;

// A keyboard whose three profiles hold a named macro on every G key.
SimKeyboardState KeyboardWithMacros() {
    SimKeyboardState state = SimKeyboardState::Factory();
    for (int i = 0; i < kOnBoardProfileCount * kGKeyCount; ++i) {
        SimProfileState& p = state.profiles[static_cast<size_t>(i / kGKeyCount)];
        const auto g = static_cast<size_t>(i % kGKeyCount);
        p.actions[g] = KeyAction{0x01, 0, 0};
        auto& m = p.macros[g];
        m.fill(0);
        const std::string name = "Stall" + std::to_string(i);
        std::copy(name.begin(), name.end(), m.begin());
        m[25] = 96;
        for (size_t e = 0; e < 96; ++e) {
            m[26 + 2 * e] = 0x04;
            m[27 + 2 * e] = static_cast<uint8_t>((e % 2) ? 0x85 : 0x05);
        }
    }
    return state;
}

struct StallRig : SessionRig {
    explicit StallRig(const std::string& name) : SessionRig(name) {
        sim->SetState(KeyboardWithMacros());
        Open();
    }

    // Runs the command at a tick of a 1 ms UI timer and keeps ticking until
    // the worker is idle: the latest any tick ran, in milliseconds.
    double LongestStall(const std::function<void()>& command) {
        constexpr auto kTick = std::chrono::milliseconds(1);
        double longest = 0;
        auto due = Steady::now() + kTick;
        bool started = false;
        for (;;) {
            std::this_thread::sleep_until(due);
            const auto now = Steady::now();
            longest = std::max(longest, Ms(now - due).count());
            if (!started) {
                command();
                started = true;
            } else {
                ui.RunPending();
                if (!session->Busy()) {
                    ui.RunPending();
                    break;
                }
            }
            // A timer that fell behind fires once and goes on from now.
            due = std::max(due + kTick, Steady::now());
        }
        return longest;
    }
};

void Report(benchmark::State& st, double longest) { st.counters["longest_stall_ms"] = longest; }

void BM_StallFullApply(benchmark::State& st) {
    StallRig rig("lumbra-bench-stall-apply");
    rig.session->Connect();
    rig.session->RunToIdle();
    double longest = 0;
    for (auto _ : st) {
        for (int slot = 0; slot < kOnBoardProfileCount; ++slot) {
            rig.model.pending.MarkLighting(slot);
            rig.model.pending.MarkKeyTable(slot);
            for (int g = 0; g < kGKeyCount; ++g) rig.model.pending.MarkMacro(slot, g);
        }
        longest = std::max(longest, rig.LongestStall([&] { rig.session->Commit(0); }));
    }
    Report(st, longest);
}
BENCHMARK(BM_StallFullApply)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_StallResetAll(benchmark::State& st) {
    StallRig rig("lumbra-bench-stall-reset");
    rig.session->Connect();
    rig.session->RunToIdle();
    double longest = 0;
    for (auto _ : st)
        longest = std::max(longest, rig.LongestStall([&] { rig.session->ResetAll(); }));
    Report(st, longest);
}
BENCHMARK(BM_StallResetAll)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_StallStartUpReadBack(benchmark::State& st) {
    double longest = 0;
    for (auto _ : st) {
        StallRig rig("lumbra-bench-stall-start");
        longest = std::max(longest, rig.LongestStall([&] { rig.session->Connect(); }));
    }
    Report(st, longest);
}
BENCHMARK(BM_StallStartUpReadBack)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_StallHotPlugReadBack(benchmark::State& st) {
    StallRig rig("lumbra-bench-stall-plug");
    rig.session->Connect();
    rig.session->RunToIdle();
    double longest = 0;
    for (auto _ : st) {
        rig.sim->Unplug();
        rig.session->OnDeviceChange(DeviceChange::kRemoveComplete);
        rig.session->RunToIdle();
        rig.sim->Plug();
        longest = std::max(longest, rig.LongestStall([&] {
            rig.session->OnDeviceChange(DeviceChange::kArrival);
        }));
    }
    Report(st, longest);
}
BENCHMARK(BM_StallHotPlugReadBack)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace lumbra

BENCHMARK_MAIN();
