// The brush benchmarks' fixed stroke: about 1,000 dabs of a Lissajous figure with swinging
// pressure at a tip diameter, made by our mouse track from tablet-like samples, and its
// replay through a brush tool as the program drives it; and libmypaint painting the same
// dabs (places and radii) onto its tiled surface, as the peer.
#pragma once

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
#include <tuple>
#include <utility>
#include <vector>

#include "engine/picture/picture.h"
#include "engine/tools/brush_circle.h"
#include "engine/tools/mouse_track.h"
#include "engine/tools/tool_brush_base.h"

namespace brush_bench {

constexpr int32_t kCanvas = 2048;
constexpr size_t kDabs = 1000;
constexpr uint8_t kHardness = 50;
// A soft tip of hardness h reaches sqrt((200 - h) / 100) times its nominal radius.
inline const double kFootprint = std::sqrt((200.0 - kHardness) / 100.0);

// The stroke: pen samples as a tablet delivers them, and the dabs our mouse track makes
// of them, grouped by the sample after which they can be painted.
struct Stroke {
    std::vector<_tagPTzMOUSEPOINT> samples;
    std::vector<_tagPTzMOUSEPOINT> dabs;
    std::vector<size_t> dabsAfterSample;  // running count
    double footprintPixels = 0;           // the dabs' summed area
};

// The brush step of a diameter: a quarter of it.
inline uint32_t StepPixels(int32_t diameter)
{
    return uint32_t(std::max(1, diameter / 4));
}

inline double FootprintRadius(int32_t diameter, uint8_t pressure)
{
    return diameter * 0.5 * kFootprint * pressure / 255.0;
}

// A Lissajous figure filling the canvas, pressure swinging between 28 and 228, sampled
// about every two brush steps of path: the same curve at every diameter, walked further
// by larger tips. The track spaces the dabs `trackStep` pixels apart: the brush step, or
// less for a tool that adjusts it (the smudge's 1), which then walks less of the curve.
// With `wholePixels` the samples lie on whole pixels, as the brush functions take them.
inline Stroke MakeStroke(int32_t diameter, uint32_t trackStep, bool wholePixels)
{
    Stroke stroke;
    ITzMouseTrack track;
    track.SetStep(trackStep, 1);
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
        const auto sixteenths = [wholePixels](double v) { return wholePixels ? int32_t(v) * 16 : int32_t(v * 16); };
        const _tagPTzMOUSEPOINT sample = {sixteenths(lastX), sixteenths(lastY), pressure, {}};
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

inline const Stroke& SharedStroke(int32_t diameter, uint32_t trackStep, bool wholePixels = false)
{
    static std::map<std::tuple<int32_t, uint32_t, bool>, Stroke> strokes;
    const auto key = std::make_tuple(diameter, trackStep, wholePixels);
    auto found = strokes.find(key);
    if (found == strokes.end())
        found = strokes.emplace(key, MakeStroke(diameter, trackStep, wholePixels)).first;
    return found->second;
}

inline void Report(benchmark::State& state, const Stroke& stroke)
{
    const double runs = double(state.iterations());
    state.counters["dabs/s"] = benchmark::Counter(runs * double(stroke.dabs.size()), benchmark::Counter::kIsRate);
    state.counters["dab_MP/s"] = benchmark::Counter(runs * stroke.footprintPixels / 1e6, benchmark::Counter::kIsRate);
    state.counters["dabs"] = double(stroke.dabs.size());
}

// A brush tool as the stroke engine drives it, counting the points it finishes.
template <typename Tool>
class Counting : public Tool {
public:
    int DoPoint(_tagPTzMOUSEPOINT* point, void* picture) override
    {
        const int done = Tool::DoPoint(point, picture);
        dabsDone += done != 0;
        return done;
    }
    size_t dabsDone = 0;
};

// Idle calls after the points of one sample: the stroke engine pushes its cache in a few
// steps when the point work runs dry, as between two tablet events.
constexpr int kIdleCallsAfterPoints = 6;
// More calls than this for each dab of a sample mean the engine makes no progress.
constexpr size_t kIdleCallsPerDabLimit = 1000;

// Replays the stroke: down, each later sample as a move followed by the idle calls that
// paint its dabs, then up on the last sample (the step saved for undo).
template <typename Tool>
bool ReplayStroke(const Stroke& stroke, Counting<Tool>& tool, ITzPicture& picture)
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
        const size_t dabs = stroke.dabsAfterSample[k] - (k > 0 ? stroke.dabsAfterSample[k - 1] : 0);
        for (size_t calls = 0; tool.dabsDone < stroke.dabsAfterSample[k]; ++calls) {
            if (calls > kIdleCallsPerDabLimit * (dabs + 1))
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

// Strokes of one tool on one picture as in a painting session, each taken back (untimed)
// by undo, so that the layer and the memory pool look alike for every stroke. Each tool
// paints black at full opacity with pressure driving the tip's size; `setup` adds what
// the tool needs besides. The stroke is made for the tool's own spacing of dabs.
template <typename Tool, typename Setup>
void ToolStrokes(benchmark::State& state, ITzPicture& picture, int32_t diameter, Setup&& setup)
{
    ITzBrushCircle brush(uint32_t(diameter), kHardness, 0, 100);
    brush.SetStep(StepPixels(diameter));
    _tagPTzCOLOR black = {PTzCOLORMODE_ARGB, 255, {}};
    const Stroke* stroke = nullptr;
    for (auto _ : state) {
        state.PauseTiming();
        auto tool = std::make_unique<Counting<Tool>>();
        tool->SetBrush(&brush);
        tool->SetColor(&black, nullptr);
        tool->SetPressFlag(ITzBRUSH_PRESS_SIZE);
        tool->SetOpacity(255);
        setup(*tool, picture);
        stroke = &SharedStroke(diameter, tool->AdjustStep(StepPixels(diameter)));
        state.ResumeTiming();
        const bool painted = ReplayStroke(*stroke, *tool, picture);
        state.PauseTiming();
        tool.reset();
        const bool undone = painted && picture.DoUndo() != 0;
        state.ResumeTiming();
        if (!undone) {
            state.SkipWithError("the tool did not paint the stroke");
            return;
        }
    }
    if (stroke)
        Report(state, *stroke);
}

// libmypaint's tiled surface painting the stroke's dabs, its work grouped per tablet
// event as a painting program hands it over. `threads`: its OpenMP threads, 1 for a
// per-core comparison with the single-threaded engine (rates per CPU second, as the
// engine's), 0 for the library's default (rates per wall-clock second). A smudge reads
// the colour under each dab and paints the colour it carries, mixed with that, from the
// second dab on.
inline void PaintWithMyPaint(benchmark::State& state, const Stroke& stroke, int32_t diameter, int threads, bool smudge)
{
    const int defaultThreads = omp_get_max_threads();
    if (threads > 0)
        omp_set_num_threads(threads);
    // One surface for every stroke, as the engine's strokes share one picture.
    MyPaintFixedTiledSurface* fixed = mypaint_fixed_tiled_surface_new(kCanvas, kCanvas);
    MyPaintSurface* surface = mypaint_fixed_tiled_surface_interface(fixed);
    if (smudge) {
        // Something to smudge: the canvas painted with the stroke's own dabs first.
        mypaint_surface_begin_atomic(surface);
        for (const _tagPTzMOUSEPOINT& point : stroke.dabs)
            mypaint_surface_draw_dab(surface, point.x / 16.0f, point.y / 16.0f, 6, 0.8f, 0.2f, 0.1f, 1.0f, 1.0f, 1.0f,
                                     1.0f, 0, 0, 0);
        MyPaintRectangle changed;
        mypaint_surface_end_atomic(surface, &changed);
    }
    for (auto _ : state) {
        size_t dab = 0;
        float carried[4] = {};
        for (size_t k = 0; k < stroke.samples.size(); ++k) {
            mypaint_surface_begin_atomic(surface);
            for (; dab < stroke.dabsAfterSample[k]; ++dab) {
                const _tagPTzMOUSEPOINT& point = stroke.dabs[dab];
                const float x = point.x / 16.0f, y = point.y / 16.0f;
                const float radius = float(FootprintRadius(diameter, point.pressure));
                float colour[3] = {0, 0, 0};
                if (smudge) {
                    float under[4];
                    mypaint_surface_get_color(surface, x, y, radius, &under[0], &under[1], &under[2], &under[3]);
                    for (int c = 0; c < 4; ++c)
                        carried[c] = dab == 0 ? under[c] : 0.5f * (carried[c] + under[c]);
                    if (dab == 0)
                        continue;
                    std::copy(carried, carried + 3, colour);
                }
                mypaint_surface_draw_dab(surface, x, y, radius, colour[0], colour[1], colour[2], 1.0f,
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

}  // namespace brush_bench
