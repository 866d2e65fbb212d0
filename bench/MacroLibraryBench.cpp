// SPDX-License-Identifier: GPL-3.0-or-later
// Reads and writes a macro library of 1,000 macros with 200 steps each, the
// largest library a user is likely to build by hand many times over.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "storage/MacroFiles.h"

namespace {

using namespace lumbra;

void FillLibrary(MacroLibrary& library) {
    library.Clear();
    MacroSet* set = library.AddSet("Keyboard Macro Set");
    for (int i = 0; i < 1000; ++i) {
        MacroKey* key = set->AddKey("Macro" + std::to_string(i));
        for (uint32_t a = 0; a < MacroKey::kSlotCount; ++a) {
            key->InsertAction(
                a, a % 2 ? MacroAction::Pause(a * 7u)
                         : MacroAction::KeyEvent(static_cast<uint8_t>(0x41 + a % 26), a % 4 == 2));
        }
        key->MacroCommandActionNum = 100;
    }
}

std::string BenchDirectory() {
    const auto dir = std::filesystem::temp_directory_path() / "lumbra-bench/";
    std::filesystem::create_directories(dir);
    return dir.string();
}

void BM_WriteMacroLibrary1000(benchmark::State& state) {
    MacroLibrary library;
    FillLibrary(library);
    const std::string dir = BenchDirectory();
    for (auto _ : state) {
        if (!WriteMacroLibrary(library, dir)) state.SkipWithError("write failed");
    }
    state.counters["bytes"] =
        static_cast<double>(std::filesystem::file_size(MacroLibraryFilePath(dir)));
}
BENCHMARK(BM_WriteMacroLibrary1000)->Unit(benchmark::kMillisecond);

void BM_ReadMacroLibrary1000(benchmark::State& state) {
    MacroLibrary library;
    FillLibrary(library);
    const std::string dir = BenchDirectory();
    WriteMacroLibrary(library, dir);
    for (auto _ : state) {
        MacroLibrary read;
        if (!ReadMacroLibrary(read, dir)) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(read.SetAt(0));
    }
}
BENCHMARK(BM_ReadMacroLibrary1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
