// The brush engine's fixed stroke, its samples on whole pixels, through the brush
// functions (ITzBrushSetPoint / ITzBrushRun) with a data callback that unites the handed
// coverage into a flat 8-bit canvas, at tip diameters 20 and 200, against libmypaint
// painting the same dabs in the same run, the brush functions once per build of the row
// loops the processor runs. Rates per CPU second; libmypaint on one thread.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "brush_stroke.h"
#include "engine/pixels/blend_tables.h"
#include "engine/tools/brush_functions.h"
#include "kernel_builds.h"

namespace {

using namespace brush_bench;

// The flat canvas the data callback merges into: d = S(d, s).
struct Canvas {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(size_t(kCanvas) * kCanvas, 0);
    _tagITzBITMAP bitmap = {kCanvas, kCanvas, kCanvas, 8, int32_t(PTzCOLORMODE_GRAY), pixels.data()};

    static int Merge(_tagITzBITMAP* coverage, PTzRECT* rect, void* user)
    {
        auto* canvas = static_cast<Canvas*>(user);
        const PTzRECT whole = {0, 0, coverage->width, coverage->height};
        const _tagITzMERGEDATA merge = {ITzMERGE_NORMAL, 255};
        CMathMerge::MergeBitmap(GetMathMerge(), &whole, coverage, &canvas->bitmap, rect, &merge);
        return 1;
    }
};

_tagITzBRUSHPOINTINFO WholePixels(const _tagPTzMOUSEPOINT& sample)
{
    return {sample.x / 16, sample.y / 16, sample.pressure};
}

// Replays the stroke as the brush-testing tool is driven: each sample a point, a run for
// each of its dabs and one more (the cache handed over as the points run dry, as between
// two tablet events), then the button up and runs until the stroke ends.
bool Replay(void* brush, const Stroke& stroke)
{
    if (!ITzBrushMouseDown(brush))
        return false;
    size_t done = 0;
    for (size_t k = 0; k < stroke.samples.size(); ++k) {
        const _tagITzBRUSHPOINTINFO point = WholePixels(stroke.samples[k]);
        ITzBrushSetPoint(brush, &point);
        for (; done < stroke.dabsAfterSample[k]; ++done)
            ITzBrushRun(brush);
        ITzBrushRun(brush);
    }
    ITzBrushMouseUp(brush);
    for (size_t runs = 0; ITzBrushRun(brush); ++runs)
        if (runs > stroke.dabs.size())
            return false;
    return true;
}

void BrushFunctionsStroke(benchmark::State& state)
{
    const int32_t diameter = int32_t(state.range(0));
    const Stroke& stroke = SharedStroke(diameter, StepPixels(diameter), true);
    ITzBrushCircle circle(uint32_t(diameter), kHardness, 0, 100);
    _tagITzBITMAP tip;
    void* brush = ITzBrushInit();
    Canvas canvas;
    const _tagITzBRUSHDATACALLBACKINFO data = {Canvas::Merge, &canvas};
    if (!brush || !circle.GetBitmap(&tip)) {
        state.SkipWithError("no brush");
        return;
    }
    // A quarter of the size apart, as the stroke's dabs; pressure drives the size.
    const _tagITzBRUSHBRUSHINFO info = {int16_t(diameter), int16_t(tip.width), int16_t(tip.height),
                                        int16_t(tip.stride), tip.pixels, 25, ITzBRUSHINFO_PRESS_SIZE};
    if (!ITzBrushSetBrush(brush, &info) || !ITzBrushSetDataCallback(brush, &data)) {
        state.SkipWithError("the brush was refused");
        return;
    }
    for (auto _ : state)
        if (!Replay(brush, stroke)) {
            state.SkipWithError("the stroke did not end");
            break;
        }
    ITzBrushUninit(brush);
    Report(state, stroke);
}
// A warm-up stroke makes the tip's pyramid.
BENCHMARK_EACH_BUILD(BrushFunctionsStroke)
    ->Arg(20)->Arg(200)->MinWarmUpTime(0.5)->MinTime(3)->Unit(benchmark::kMillisecond);

void MyPaintStroke(benchmark::State& state)
{
    const int32_t diameter = int32_t(state.range(0));
    PaintWithMyPaint(state, SharedStroke(diameter, StepPixels(diameter), true), diameter, 1, false);
}
BENCHMARK(MyPaintStroke)->Arg(20)->Arg(200)->MinWarmUpTime(0.5)->MinTime(3)->Unit(benchmark::kMillisecond);

}  // namespace
