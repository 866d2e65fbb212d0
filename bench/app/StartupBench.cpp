// SPDX-License-Identifier: GPL-3.0-or-later
// Starts `lumbra --simulate` headless on a factory keyboard and a
// configuration written by an earlier start, and measures the time from the spawn to the first
// painted frame (the program writes that moment into LUMBRA_STARTUP_PROBE) and the resident memory
// once start-up, read-back included, is over; the same for the floor program, a bare Qt window
// painting one picture, and the time lumbra --hidden takes to its tray icon (headless: its
// minimised window).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// The first line of a file once it holds one; waits up to ten seconds.
std::string WaitForLine(const std::string& path) {
    for (int i = 0; i < 10000; ++i) {
        std::ifstream in(path);
        std::string line;
        if (std::getline(in, line) && !line.empty()) return line;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return {};
}

struct Start {
    double ms = 0;     // spawn to the probe
    double rssMb = 0;  // once start-up is over
};

// Spawns a program headless in a scratch home, waits for its probe, reads its
// resident memory once start-up is surely over, and ends it.
// "DIR" in an argument stands for the run's scratch folder, "CONFIG" for
// config.
std::optional<Start> RunOnce(std::vector<std::string> args, const std::string& config,
                             const char** error) {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumbra-bench-XXXXXX").string();
    const std::string dir = mkdtemp(pattern.data());
    const std::string probe = dir + "/probe";
    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + dir,
                                    "HOME=" + dir, "LUMBRA_STARTUP_PROBE=" + probe};
    for (std::string& a : args) {
        if (a.starts_with("DIR")) a = dir + a.substr(3);
        if (a.starts_with("CONFIG")) a = config + a.substr(6);
    }
    std::vector<char*> envp, argv;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    pid_t pid = -1;
    const long long start = MonotonicNs();
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        *error = "cannot start the program";
        return std::nullopt;
    }
    std::optional<Start> result;
    const std::string painted = WaitForLine(probe);
    if (painted.empty()) {
        *error = "no frame painted";
    } else {
        result = Start{static_cast<double>(std::stoll(painted) - start) / 1e6, 0};
        // Start-up ends with the read-back of the keyboard (about 0.1 s with
        // a factory keyboard); the memory is read once that is surely over.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        result->rssMb = static_cast<double>(ResidentKb(pid)) / 1024.0;
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    std::filesystem::remove_all(dir);
    return result;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Each iteration starts the floor, lumbra and lumbra --hidden one after the
// other, so that a machine that gets busier or quieter during the run weighs
// on all three alike. The iteration's time is lumbra's; the ratios compare
// medians.
void BM_StartToFirstFrame(benchmark::State& state) {
    // Every login but the first finds the configuration in place: one start
    // before the measured ones writes it.
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lumbra-bench-config-XXXXXX").string();
    const std::string config = mkdtemp(pattern.data());
    const std::vector<std::string> lumbra = {LUMBRA_PROGRAM, "--simulate",  "--config-dir",
                                             "CONFIG",       "--sim-trace", "DIR/trace"};
    std::vector<std::string> hidden = lumbra;
    hidden.push_back("--hidden");
    const std::vector<std::string> floor = {LUMBRA_FLOOR_PROGRAM, LUMBRA_FLOOR_PICTURE};
    std::vector<double> ms, rss, floorMs, floorRss, hiddenMs;
    const char* error = nullptr;
    if (!RunOnce(lumbra, config, &error)) state.SkipWithError(error);
    for (auto _ : state) {
        const auto f = RunOnce(floor, config, &error);
        const auto l = f ? RunOnce(lumbra, config, &error) : std::nullopt;
        const auto h = l ? RunOnce(hidden, config, &error) : std::nullopt;
        if (!h) {
            state.SkipWithError(error);
            break;
        }
        state.SetIterationTime(l->ms / 1e3);
        ms.push_back(l->ms);
        rss.push_back(l->rssMb);
        floorMs.push_back(f->ms);
        floorRss.push_back(f->rssMb);
        hiddenMs.push_back(h->ms);
    }
    std::filesystem::remove_all(config);
    if (ms.empty()) return;
    state.counters["median_ms"] = Median(ms);
    state.counters["rss_mb"] = Median(rss);
    state.counters["floor_ms"] = Median(floorMs);
    state.counters["floor_rss_mb"] = Median(floorRss);
    state.counters["ratio"] = Median(ms) / Median(floorMs);
    state.counters["rss_ratio"] = Median(rss) / Median(floorRss);
    state.counters["hidden_ms"] = Median(hiddenMs);
}
BENCHMARK(BM_StartToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
