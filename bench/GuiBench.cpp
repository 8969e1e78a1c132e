// Editor drawing costs: a full redraw of the 682 x 425 panel with all its
// knobs and faders, one knob changing, and an idle with nothing to do.
#include <benchmark/benchmark.h>

#include <vector>

#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/CMovieBitmap.h"
#include "gui/SkinBitmaps.h"

namespace {

struct Strip {
    int id, left, top, width, height, images;
};
const Strip kStrips[] = {
    {1044, 490, 344, 52, 52, 96}, {1027, 20, 265, 52, 52, 96},  {1026, 20, 344, 52, 52, 96},
    {1053, 100, 184, 52, 52, 96}, {1035, 100, 265, 52, 52, 96}, {1051, 100, 344, 52, 52, 96},
    {1009, 180, 265, 52, 52, 96}, {1008, 180, 344, 52, 52, 96}, {1033, 260, 184, 52, 52, 96},
    {1034, 330, 184, 52, 52, 96}, {1045, 260, 265, 52, 52, 96}, {1046, 330, 265, 52, 52, 96},
    {1041, 260, 344, 52, 52, 96}, {1042, 330, 344, 52, 52, 96}, {1023, 410, 344, 52, 52, 96},
    {1021, 412, 99, 24, 82, 128}, {1022, 451, 99, 24, 82, 128}, {1012, 412, 211, 24, 82, 128},
    {1010, 451, 211, 24, 82, 128}, {1011, 490, 211, 24, 82, 128}, {1058, 559, 211, 24, 82, 128},
    {1056, 598, 211, 24, 82, 128}, {1057, 637, 211, 24, 82, 128}, {1017, 559, 100, 24, 82, 128},
    {1018, 598, 100, 24, 82, 128}, {1061, 260, 89, 126, 31, 128}, {1014, 306, 125, 88, 26, 128},
    {1043, 574, 343, 84, 47, 65},
};

struct Panel {
    Panel() : frame(CRect(0, 0, 682, 425), nullptr, nullptr) {
        skin::acquireBitmaps();
        frame.setBackground(skin::getBitmap(1000));
        for (const Strip& s : kStrips) {
            auto* v = new CMovieBitmap(CRect(s.left, s.top, s.left + s.width, s.top + s.height), nullptr, s.id,
                                       s.images, s.height, skin::getBitmap(s.id));
            v->setValue(0.5f);
            frame.addView(v);
            views.push_back(v);
        }
        frame.idle();
    }
    ~Panel() { skin::releaseBitmaps(); }
    CFrame frame;
    std::vector<CMovieBitmap*> views;
};

void BM_FullRedraw682x425(benchmark::State& state) {
    Panel p;
    for (auto _ : state) {
        p.frame.setDirty(true);
        p.frame.redrawDirty();
        benchmark::DoNotOptimize(p.frame.offscreen().getPixel(300, 200));
    }
}
BENCHMARK(BM_FullRedraw682x425)->Unit(benchmark::kMicrosecond);

void BM_OneKnobChanged(benchmark::State& state) {
    Panel p;
    float v = 0;
    for (auto _ : state) {
        v = v > 0.9f ? 0.f : v + 0.05f;
        p.views[0]->setValue(v);
        p.frame.idle();
    }
}
BENCHMARK(BM_OneKnobChanged)->Unit(benchmark::kMicrosecond);

void BM_IdleNothingDirty(benchmark::State& state) {
    Panel p;
    for (auto _ : state) p.frame.idle();
    if (p.frame.redrawCount() != 1) state.SkipWithError("idle drew although nothing was dirty");
}
BENCHMARK(BM_IdleNothingDirty);

} // namespace
