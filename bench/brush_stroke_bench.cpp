// One fixed brush stroke of about 1,000 dabs with varying pressure, replayed at tip
// diameters 20, 200 and 600 through the stroke engine as the program drives it, against
// libmypaint painting the same dabs (places and radii) onto its tiled surface; the engine
// once per build of the row loops the processor runs.
#include <benchmark/benchmark.h>

#include "brush_stroke.h"
#include "kernel_builds.h"

namespace {

using namespace brush_bench;

// The stroke engine itself, painting a transparent picture.
void EngineStroke(benchmark::State& state)
{
    _tagPTzCOLOR transparent = {PTzCOLORMODE_ARGB, 0, {}};
    ITzPicture picture;
    if (picture.Create_1(kCanvas, kCanvas, &transparent) != 0) {
        state.SkipWithError("no picture");
        return;
    }
    ToolStrokes<ITzToolBrushBase>(state, picture, int32_t(state.range(0)), [](ITzToolBrushBase&, ITzPicture&) {});
}

// A warm-up stroke makes the tip and its pyramid; every run lasts a few seconds, since a
// stroke of the largest tip takes about one.
BENCHMARK_EACH_BUILD(EngineStroke)
    ->Arg(20)->Arg(200)->Arg(600)->MinWarmUpTime(0.5)->MinTime(3)->Unit(benchmark::kMillisecond);

// The peer, per core (state.range(1) = 1) and with the library's default threads (0).
void MyPaintStroke(benchmark::State& state)
{
    const int32_t diameter = int32_t(state.range(0));
    PaintWithMyPaint(state, SharedStroke(diameter, StepPixels(diameter)), diameter, int(state.range(1)),
                               false);
}
BENCHMARK(MyPaintStroke)
    ->Args({20, 1})->Args({200, 1})->Args({600, 1})
    ->MinWarmUpTime(0.5)->MinTime(3)->Unit(benchmark::kMillisecond);
BENCHMARK(MyPaintStroke)
    ->Args({20, 0})->Args({200, 0})->Args({600, 0})
    ->MinWarmUpTime(0.5)->MinTime(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
