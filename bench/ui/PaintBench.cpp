// Paint timings of a main-window-sized dialog: a full repaint of 818 x 628
// with 130 controls, and the repaint after the pointer moves from one key to
// the next. Printed in microseconds.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/Application.h"
#include "platform/HostWindow.h"
#include "ui/CComboButton.h"
#include "ui/CDlgBase.h"
#include "ui/CImageButton.h"
#include "ui/CKeyboardButton.h"
#include "ui/CTabControl.h"

#ifdef LUMBRA_HAVE_SKIN
#include "skin/SkinResources.h"
#endif

namespace lumbra {
namespace {

class BenchDialog : public CDlgBase {
public:
    BenchDialog() : CDlgBase(0, nullptr) {}
    bool OnInitDialog() override {
        CDlgBase::OnInitDialog();
        SetBackgroundBitmap(129);
        return true;
    }
    void DrawBackground(Surface& s, const Rect& client) override {
        StandardDrawBackground(s, client);
    }
    void BuildControls(int, int, int, int) override {
        HostWindow* w = Window();
        // 103 keys in rows of 20.
        for (int i = 0; i < 103; ++i) {
            auto key = std::make_unique<CKeyboardButton>(
                w, 2200 + i, Rect::FromSize(177 + 22 * (i % 20), 236 + 25 * (i / 20), 19, 20), "",
                true, false);
            key->LoadImageStrip(271 + i % 100);
            key->SetKeyInfo("K", 4, static_cast<uint8_t>(i % 7 == 0 ? 5 : 4));
            keys.push_back(AddControl(1, std::move(key)));
        }
        // 11 window buttons and tabs, 16 drop-down buttons: 130 in all.
        for (int i = 0; i < 11; ++i) {
            auto tab = std::make_unique<CTabControl>(
                w, 2003 + i, Rect::FromSize(74 + 60 * i, 516, 55, 22), "", true, false);
            tab->LoadImageStrip(137);
            AddControl(0, std::move(tab));
        }
        for (int i = 0; i < 16; ++i) {
            auto combo = std::make_unique<CComboButton>(
                w, 2078 + i, Rect::FromSize(139 + 230 * (i % 2), 100 + 22 * (i / 2), 225, 20), "",
                true, false);
            combo->LoadImageStrip(265);
            combo->SetDisplayText("No Function");
            AddControl(0, std::move(combo));
        }
    }
    std::vector<CKeyboardButton*> keys;
};

struct Fixture {
    Fixture() {
        dlg.Create();
        dlg.Window()->SetInvalidateObserver([this](const Rect& r) { dirty.push_back(r); });
    }
    BenchDialog dlg;
    std::vector<Rect> dirty;
};

Fixture& TheFixture() {
    static Fixture* f = new Fixture;  // lives until the process ends
    return *f;
}

void BM_FullRepaint(benchmark::State& state) {
    Fixture& f = TheFixture();
    const Rect client = f.dlg.Window()->ClientRect();
    Surface surface(client.Width(), client.Height());
    for (auto _ : state) {
        f.dlg.OnPaint(surface, client);
        benchmark::DoNotOptimize(surface.GetPixel(400, 300));
    }
    state.counters["controls"] = 130;
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

void BM_HoverRepaint(benchmark::State& state) {
    Fixture& f = TheFixture();
    const Rect client = f.dlg.Window()->ClientRect();
    Surface surface(client.Width(), client.Height());
    f.dlg.OnPaint(surface, client);
    int next = 0;
    for (auto _ : state) {
        // The pointer moves onto the next key: the old and new hot keys are
        // invalidated and only their rectangles are painted again.
        const Rect r = f.dlg.keys[static_cast<size_t>(next)]->GetRect();
        next = (next + 1) % 20;
        f.dirty.clear();
        f.dlg.OnMouseMove(0, r.left + 5, r.top + 5);
        for (const Rect& d : f.dirty) {
            surface.SetClip(d);
            f.dlg.OnPaint(surface, client);
        }
        surface.ClearClip();
    }
}
BENCHMARK(BM_HoverRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lumbra

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    lumbra::Application app(argc, argv);
#ifdef LUMBRA_HAVE_SKIN
    lumbra::InitSkinResources();
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
