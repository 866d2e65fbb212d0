// SPDX-License-Identifier: GPL-3.0-or-later
// Storms against the simulated keyboard with the machine's clock: profile
// switches given once a millisecond (as focus changes ask for them), and
// the keyboard's quick-launch and macro-recorded events sent as fast as the
// listener takes them. Counted: what reached the keyboard, the settings-file
// rewrites, the programs started, how long the keyboard's work went on after
// the storm ended, and the process's CPU time.
#include <benchmark/benchmark.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "bench/app/SessionRig.h"
#include "device/DeviceLink.h"
#include "model/KeyboardModel.h"
#include "model/MacroLibrary.h"
#include "sim/KeyboardSimulator.h"

namespace lumbra {
namespace {

using Steady = std::chrono::steady_clock;

class CountingLauncher final : public ProgramLauncher {
public:
    void Open(const std::string&) override { ++opened; }
    int opened = 0;
};

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct StormRig : SessionRig {
    CountingLauncher launcher;
    std::atomic<int> profileSets{0};
    std::atomic<int> macroGets{0};
    int watch = -1;

    explicit StormRig(const std::string& name) : SessionRig(name) {
        sim->SetObserver([this](const SimExchange& e) {
            if (e.bytes.empty()) return;
            if (e.op == SimExchange::Op::kSet && e.bytes[0] == 0x05) ++profileSets;
            if (e.op == SimExchange::Op::kGet && e.bytes[0] == 0x08) ++macroGets;
        });
        Open(&launcher);
        session->Connect();
        session->RunToIdle();
        watch = inotify_init1(IN_NONBLOCK);
        inotify_add_watch(watch, (dir + "config").c_str(), IN_MOVED_TO | IN_CLOSE_WRITE);
        profileSets = 0;
        macroGets = 0;
    }
    ~StormRig() {
        close(watch);
        Close();
        sim->SetObserver(nullptr);
    }

    // The settings file's rewrites since the last call.
    int SettingsWrites() {
        int writes = 0;
        alignas(inotify_event) char buffer[64 * 1024];
        for (;;) {
            const ssize_t n = read(watch, buffer, sizeof buffer);
            if (n <= 0) return writes;
            for (ssize_t at = 0; at < n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
                if (e->len > 0 && std::strcmp(e->name, "config.ini") == 0) ++writes;
                at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            }
        }
    }

    // Plays the UI thread until the worker is idle: the seconds it took.
    double DrainSeconds() {
        const auto start = Steady::now();
        session->RunToIdle();
        return std::chrono::duration<double>(Steady::now() - start).count();
    }

    // Sends the events and plays the UI thread until the listener has handled them.
    void Flood(int count, uint8_t code, uint8_t gKeys) {
        const uint64_t handled = session->Link()->EventsHandled() + static_cast<uint64_t>(count);
        for (int i = 0; i < count; ++i) sim->SendEvent(code, static_cast<uint8_t>(1 + i % gKeys));
        while (session->Link()->EventsHandled() < handled) {
            ui.RunPending();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        ui.RunPending();
    }
};

void BM_StormProfileSwitches(benchmark::State& st) {
    for (auto _ : st) {
        StormRig rig("lumbra-bench-storm-switch");
        const double cpu = CpuSeconds();
        auto due = Steady::now();
        for (int i = 0; i < 1000; ++i) {
            due += std::chrono::milliseconds(1);
            std::this_thread::sleep_until(due);
            rig.ui.RunPending();
            rig.session->SendCurrentProfile(i % 2);
        }
        st.counters["behind_s"] = rig.DrainSeconds();
        st.counters["cpu_s"] = CpuSeconds() - cpu;
        st.counters["profile_reports"] = rig.profileSets.load();
        st.counters["settings_writes"] = rig.SettingsWrites();
    }
}
BENCHMARK(BM_StormProfileSwitches)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_StormQuickLaunch(benchmark::State& st) {
    for (auto _ : st) {
        StormRig rig("lumbra-bench-storm-launch");
        rig.model.Profile(0).GKey(1)->launchPath = "/bin/true";
        rig.Flood(500, 0x04, 1);
        rig.DrainSeconds();
        st.counters["launches"] = rig.launcher.opened;
    }
}
BENCHMARK(BM_StormQuickLaunch)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_StormMacroRecorded(benchmark::State& st) {
    for (auto _ : st) {
        StormRig rig("lumbra-bench-storm-macro");
        const double cpu = CpuSeconds();
        rig.Flood(300, 0x01, kGKeyCount);
        st.counters["behind_s"] = rig.DrainSeconds();
        st.counters["cpu_s"] = CpuSeconds() - cpu;
        st.counters["macro_imports"] = rig.macroGets.load();
    }
}
BENCHMARK(BM_StormMacroRecorded)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace lumbra

BENCHMARK_MAIN();
