// Starts `lumbra --simulate` headless on a factory keyboard and a fresh
// configuration, and measures the time from the spawn to the first painted
// frame (the program writes that moment into LUMBRA_STARTUP_PROBE) and the
// resident memory once start-up, read-back included, is over.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

void BM_StartToFirstFrame(benchmark::State& state) {
    double totalRssMb = 0;
    int runs = 0;
    for (auto _ : state) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lumbra-bench-XXXXXX").string();
        const std::string dir = mkdtemp(pattern.data());
        const std::string probe = dir + "/probe";
        const std::string trace = dir + "/trace";
        std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + dir,
                                        "HOME=" + dir, "LUMBRA_STARTUP_PROBE=" + probe};
        std::vector<std::string> args = {LUMBRA_PROGRAM, "--simulate", "--config-dir", dir,
                                         "--sim-trace",  trace};
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
            state.SkipWithError("cannot start lumbra");
            break;
        }
        const std::string painted = WaitForLine(probe);
        if (painted.empty()) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            state.SkipWithError("no frame painted");
            break;
        }
        state.SetIterationTime(static_cast<double>(std::stoll(painted) - start) / 1e9);
        // Start-up ends with the read-back of the keyboard (about 0.1 s with
        // a factory keyboard); the memory is read once that is surely over.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        totalRssMb += static_cast<double>(ResidentKb(pid)) / 1024.0;
        ++runs;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        std::filesystem::remove_all(dir);
    }
    if (runs > 0) state.counters["rss_mb"] = totalRssMb / runs;
}
BENCHMARK(BM_StartToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
