// One fixed brush stroke of about 1,000 dabs with varying pressure, replayed at tip
// diameters 20, 200 and 600 through the stroke engine as the program drives it, against
// libmypaint painting the same dabs (places and radii) onto its tiled surface.
#include <benchmark/benchmark.h>
#include <omp.h>

extern "C" {
#include <mypaint-fixed-tiled-surface.h>
}

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <vector>

#include "engine/picture/picture.h"
#include "engine/tools/brush_circle.h"
#include "engine/tools/mouse_track.h"
#include "engine/tools/tool_brush_base.h"

namespace {

constexpr int32_t kCanvas = 2048;
constexpr size_t kDabs = 1000;
constexpr uint8_t kHardness = 50;
// A soft tip of hardness h reaches sqrt((200 - h) / 100) times its nominal radius.
const double kFootprint = std::sqrt((200.0 - kHardness) / 100.0);

// The stroke: pen samples as a tablet delivers them, and the dabs our mouse track makes
// of them, grouped by the sample after which they can be painted.
struct Stroke {
    std::vector<_tagPTzMOUSEPOINT> samples;
    std::vector<_tagPTzMOUSEPOINT> dabs;
    std::vector<size_t> dabsAfterSample;  // running count
    double footprintPixels = 0;           // the dabs' summed area
};

uint32_t StepPixels(int32_t diameter)
{
    return uint32_t(std::max(1, diameter / 4));
}

double FootprintRadius(int32_t diameter, uint8_t pressure)
{
    return diameter * 0.5 * kFootprint * pressure / 255.0;
}

// A Lissajous figure filling the canvas, pressure swinging between 28 and 228, sampled
// about every two steps of path: the same curve at every diameter, walked further by
// larger tips.
Stroke MakeStroke(int32_t diameter)
{
    Stroke stroke;
    ITzMouseTrack track;
    track.SetStep(StepPixels(diameter), 1);
    const double margin = FootprintRadius(diameter, 255) + 8;
    const double amplitude = kCanvas / 2.0 - margin;
    const double spacing = 2.0 * StepPixels(diameter);
    double t = 0;
    double travelled = 0;
    double lastX = kCanvas / 2.0;
    double lastY = kCanvas / 2.0 + amplitude * std::sin(0.3);
    for (size_t k = 0; stroke.dabs.size() < kDabs; ++k) {
        while (travelled < spacing) {
            t += 0.0002;
            const double x = kCanvas / 2.0 + amplitude * std::sin(3 * t);
            const double y = kCanvas / 2.0 + amplitude * std::sin(2 * t + 0.3);
            travelled += std::hypot(x - lastX, y - lastY);
            lastX = x;
            lastY = y;
        }
        travelled = 0;
        const uint8_t pressure = uint8_t(128 + 100 * std::sin(0.05 * double(k)));
        const _tagPTzMOUSEPOINT sample = {int32_t(lastX * 16), int32_t(lastY * 16), pressure, {}};
        stroke.samples.push_back(sample);
        track.AddPoint(&sample);
        _tagPTzMOUSEPOINT dab{};
        while (track.GetNextPoint(&dab))
            stroke.dabs.push_back(dab);
        stroke.dabsAfterSample.push_back(stroke.dabs.size());
    }
    for (const _tagPTzMOUSEPOINT& dab : stroke.dabs) {
        const double radius = FootprintRadius(diameter, dab.pressure);
        stroke.footprintPixels += std::numbers::pi * radius * radius;
    }
    return stroke;
}

const Stroke& SharedStroke(int32_t diameter)
{
    static std::map<int32_t, Stroke> strokes;
    auto found = strokes.find(diameter);
    if (found == strokes.end())
        found = strokes.emplace(diameter, MakeStroke(diameter)).first;
    return found->second;
}

void Report(benchmark::State& state, const Stroke& stroke)
{
    const double runs = double(state.iterations());
    state.counters["dabs/s"] = benchmark::Counter(runs * double(stroke.dabs.size()), benchmark::Counter::kIsRate);
    state.counters["dab_MP/s"] = benchmark::Counter(runs * stroke.footprintPixels / 1e6, benchmark::Counter::kIsRate);
    state.counters["dabs"] = double(stroke.dabs.size());
}

// The pen tool as the stroke engine drives it, counting the dabs it finishes.
class CountingBrushTool : public ITzToolBrushBase {
public:
    int DoPoint(_tagPTzMOUSEPOINT* point, void* picture) override
    {
        const int done = ITzToolBrushBase::DoPoint(point, picture);
        dabsDone += done != 0;
        return done;
    }
    size_t dabsDone = 0;
};

// Idle calls after the points of one sample: the stroke engine pushes its cache into the
// floating layer in a few steps when the point work runs dry, as between two tablet events.
constexpr int kIdleCallsAfterPoints = 6;
constexpr int kIdleCallsPerDabLimit = 1000;

// Replays the stroke: down, each later sample as a move followed by the idle calls that
// paint its dabs, then up on the last sample (merge into the layer with undo).
bool ReplayStroke(const Stroke& stroke, CountingBrushTool& tool, ITzPicture& picture)
{
    _tagPTzMOUSEPOINT sample = stroke.samples.front();
    if (!tool.OnMouseDown(&sample, &picture))
        return false;
    const size_t last = stroke.samples.size() - 1;
    for (size_t k = 0; k < last; ++k) {
        if (k > 0) {
            sample = stroke.samples[k];
            tool.OnMouseMove(&sample, &picture);
        }
        for (int calls = 0; tool.dabsDone < stroke.dabsAfterSample[k]; ++calls) {
            if (calls > kIdleCallsPerDabLimit)
                return false;
            tool.OnIdle(&picture);
        }
        for (int i = 0; i < kIdleCallsAfterPoints; ++i)
            tool.OnIdle(&picture);
    }
    sample = stroke.samples[last];
    tool.OnMouseUp(&sample, &picture);
    return tool.dabsDone == stroke.dabs.size();
}

// Strokes on one picture as in a painting session, each taken back (untimed) by undo, so
// that the layer and the memory pool look alike for every stroke.
void EngineStroke(benchmark::State& state)
{
    const int32_t diameter = int32_t(state.range(0));
    const Stroke& stroke = SharedStroke(diameter);
    ITzBrushCircle brush(uint32_t(diameter), kHardness, 0, 100);
    brush.SetStep(StepPixels(diameter));
    _tagPTzCOLOR black = {PTzCOLORMODE_ARGB, 255, {}};
    _tagPTzCOLOR transparent = {PTzCOLORMODE_ARGB, 0, {}};
    ITzPicture picture;
    if (picture.Create_1(kCanvas, kCanvas, &transparent) != 0) {
        state.SkipWithError("no picture");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto tool = std::make_unique<CountingBrushTool>();
        tool->SetBrush(&brush);
        tool->SetColor(&black, nullptr);
        tool->SetPressFlag(ITzBRUSH_PRESS_SIZE);
        tool->SetOpacity(255);
        state.ResumeTiming();
        const bool painted = ReplayStroke(stroke, *tool, picture);
        state.PauseTiming();
        tool.reset();
        const bool undone = painted && picture.DoUndo() != 0;
        state.ResumeTiming();
        if (!undone) {
            state.SkipWithError("the stroke engine did not paint the stroke");
            break;
        }
    }
    Report(state, stroke);
}
// A warm-up stroke makes the tip and its pyramid; every run lasts a few seconds, since a
// stroke of the largest tip takes about one.
BENCHMARK(EngineStroke)->Arg(20)->Arg(200)->Arg(600)->MinWarmUpTime(0.5)->MinTime(3)->Unit(benchmark::kMillisecond);

// The peer: libmypaint's tiled surface with the same dabs, its work grouped per tablet
// event as a painting program hands it over. state.range(1): its OpenMP threads, 1 for a
// per-core comparison with the single-threaded engine (rates per CPU second, as the
// engine's), 0 for the library's default (rates per wall-clock second).
void MyPaintStroke(benchmark::State& state)
{
    const int32_t diameter = int32_t(state.range(0));
    const Stroke& stroke = SharedStroke(diameter);
    const int defaultThreads = omp_get_max_threads();
    if (state.range(1) > 0)
        omp_set_num_threads(int(state.range(1)));
    // One surface for every stroke, as the engine's strokes share one picture.
    MyPaintFixedTiledSurface* fixed = mypaint_fixed_tiled_surface_new(kCanvas, kCanvas);
    MyPaintSurface* surface = mypaint_fixed_tiled_surface_interface(fixed);
    for (auto _ : state) {
        size_t dab = 0;
        for (size_t k = 0; k < stroke.samples.size(); ++k) {
            mypaint_surface_begin_atomic(surface);
            for (; dab < stroke.dabsAfterSample[k]; ++dab) {
                const _tagPTzMOUSEPOINT& point = stroke.dabs[dab];
                const float radius = float(FootprintRadius(diameter, point.pressure));
                mypaint_surface_draw_dab(surface, point.x / 16.0f, point.y / 16.0f, radius, 0, 0, 0, 1.0f,
                                         kHardness / 100.0f, 1.0f, 1.0f, 0, 0, 0);
            }
            MyPaintRectangle changed;
            mypaint_surface_end_atomic(surface, &changed);
        }
    }
    mypaint_surface_unref(surface);
    omp_set_num_threads(defaultThreads);
    Report(state, stroke);
}
BENCHMARK(MyPaintStroke)
    ->Args({20, 1})->Args({200, 1})->Args({600, 1})
    ->MinWarmUpTime(0.5)->MinTime(3)->Unit(benchmark::kMillisecond);
BENCHMARK(MyPaintStroke)
    ->Args({20, 0})->Args({200, 0})->Args({600, 0})
    ->MinWarmUpTime(0.5)->MinTime(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
