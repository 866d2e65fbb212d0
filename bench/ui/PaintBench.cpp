// SPDX-License-Identifier: GPL-3.0-or-later
// Paint timings of the main window on the simulated keyboard: a full repaint
// of the key page (818 x 628, every control of the page; also at device pixel
// ratio 2), and the repaint after the pointer moves from one key to the next.
// Printed in microseconds.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/CCorvexDlg.h"
#include "app/MainWindowLayout.h"
#include "app/MainWindowMessages.h"
#include "platform/Application.h"
#include "platform/HostWindow.h"
#include "sim/KeyboardSimulator.h"
#include "skin/SkinResources.h"

namespace lumbra {
namespace {

// The keyboard's pauses are not what is measured here.
class NoSleepClock final : public Clock {
public:
    void SleepMs(uint32_t) override {}
    uint64_t NowMs() override { return 0; }
};

struct Fixture {
    Fixture() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lumbra-bench-ui-XXXXXX").string();
        dir = std::string(mkdtemp(pattern.data())) + "/";
        MainWindowServices s;
        s.appDirectory = dir;
        s.backend = std::make_shared<KeyboardSimulator>();
        s.clock = std::make_shared<NoSleepClock>();
        s.model = &model;
        s.library = &library;
        dlg = std::make_unique<CCorvexDlg>(std::move(s));
        dlg->Create();
        for (int i = 0; i < 20; ++i) Application::ProcessEventsFor(5);
        // The page that holds the key buttons.
        for (const ControlLayout& c : MainWindowControls()) {
            if (c.id == static_cast<int>(MainId::kKeys.first) && c.list > 0)
                dlg->ShowPage(c.list - 1);
        }
        for (uint32_t id = MainId::kKeys.first; id <= MainId::kKeys.last; ++id) {
            if (CControlBase* key = dlg->FindControl(id); key != nullptr && key->IsVisible())
                keys.push_back(key);
        }
        dlg->Window()->SetInvalidateObserver([this](const Rect& r) { dirty.push_back(r); });
    }
    KeyboardModel model;
    MacroLibrary library;
    std::string dir;
    std::unique_ptr<CCorvexDlg> dlg;
    std::vector<CControlBase*> keys;
    std::vector<Rect> dirty;
};

Fixture& TheFixture() {
    static Fixture* f = new Fixture;  // lives until the process ends
    return *f;
}

void FullRepaint(benchmark::State& state, double devicePixelRatio) {
    Fixture& f = TheFixture();
    const Rect client = f.dlg->Window()->ClientRect();
    Surface surface(client.Width(), client.Height(), devicePixelRatio);
    for (auto _ : state) {
        f.dlg->OnPaint(surface, client);
        benchmark::DoNotOptimize(surface.GetPixel(400, 300));
    }
    state.counters["keys"] = static_cast<double>(f.keys.size());
}

void BM_FullRepaint(benchmark::State& state) { FullRepaint(state, 1.0); }
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

// The same on a screen of device pixel ratio 2: four times the pixels, drawn
// from the pictures with twice the pixels.
void BM_FullRepaintScale2(benchmark::State& state) { FullRepaint(state, 2.0); }
BENCHMARK(BM_FullRepaintScale2)->Unit(benchmark::kMicrosecond);

void BM_HoverRepaint(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (f.keys.size() < 2) {
        state.SkipWithError("no key buttons on the page");
        return;
    }
    const Rect client = f.dlg->Window()->ClientRect();
    Surface surface(client.Width(), client.Height());
    f.dlg->OnPaint(surface, client);
    size_t next = 0;
    size_t painted = 0;
    for (auto _ : state) {
        // The pointer moves onto the next key: the old and new hot keys are
        // invalidated and only their rectangles are painted again.
        const Rect r = f.keys[next]->GetRect();
        next = (next + 1) % 20;
        f.dirty.clear();
        f.dlg->OnMouseMove(0, r.left + 5, r.top + 5);
        painted += f.dirty.size();
        for (const Rect& d : f.dirty) {
            surface.SetClip(d);
            f.dlg->OnPaint(surface, client);
        }
        surface.ClearClip();
    }
    state.counters["rects"] =
        static_cast<double>(painted) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_HoverRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lumbra

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    lumbra::Application app(argc, argv);
    lumbra::InitSkinResources();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(lumbra::TheFixture().dir);
    return 0;
}
