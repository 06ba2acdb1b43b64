// The brush engine's fixed stroke replayed with every painting brush (pen, pencil,
// eraser, clone, blur, sharpen, smudge) at tip diameters 20, 200 and 600, each stroke one
// undo step, against libmypaint painting the same dabs in the same run: its plain dabs,
// and for the smudge (whose dabs lie one pixel apart) dabs that first read the colour
// under them. Rates per CPU second; libmypaint runs on one thread.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "brush_stroke.h"
#include "engine/pixels/layer_image.h"
#include "engine/tools/tool_blur.h"
#include "engine/tools/tool_clone.h"
#include "engine/tools/tool_erase.h"
#include "engine/tools/tool_pen.h"
#include "engine/tools/tool_pencil.h"
#include "engine/tools/tool_sharp.h"
#include "engine/tools/tool_smudge.h"
#include "kernel_builds.h"

namespace {

using namespace brush_bench;

// What a tool paints on: a transparent layer, an opaque white one, or an opaque
// photograph-like one (noise) that the retouching tools have something to work on.
enum class Canvas { Transparent, White, Photo };

bool MakeCanvas(ITzPicture& picture, Canvas canvas)
{
    const _tagPTzCOLOR colour = {PTzCOLORMODE_ARGB, uint8_t(canvas == Canvas::Transparent ? 0 : 255), {255, 255, 255}};
    if (picture.Create_1(kCanvas, kCanvas, &colour) != 0)
        return false;
    if (canvas != Canvas::Photo)
        return true;
    std::vector<uint8_t> pixels(size_t(kCanvas) * kCanvas * 4);
    std::mt19937 random(1);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        const uint32_t r = random();
        pixels[i] = 255;
        pixels[i + 1] = uint8_t(r);
        pixels[i + 2] = uint8_t(r >> 8);
        pixels[i + 3] = uint8_t(r >> 16);
    }
    _tagITzBITMAP bitmap = {kCanvas, kCanvas, kCanvas * 4, 32, int32_t(PTzCOLORMODE_ARGB), pixels.data()};
    const PTzRECT all = {0, 0, kCanvas, kCanvas};
    auto* layer = static_cast<ITzLayerImage*>(picture.GetLayerbyIndex(0));
    return layer->SetRectData(&all, &bitmap) == 0;
}

// Strokes of one tool on a picture of the canvas.
template <typename Tool>
void ToolStroke(benchmark::State& state, Canvas canvas, const std::function<void(Tool&, ITzPicture&)>& setup)
{
    ITzPicture picture;
    if (!MakeCanvas(picture, canvas)) {
        state.SkipWithError("no picture");
        return;
    }
    ToolStrokes<Tool>(state, picture, int32_t(state.range(0)), setup);
}

template <typename Tool>
void NoSetup(Tool&, ITzPicture&)
{
}

void Pen(benchmark::State& state)
{
    ToolStroke<ITzToolPen>(state, Canvas::Transparent, NoSetup<ITzToolPen>);
}

void Pencil(benchmark::State& state)
{
    ToolStroke<ITzToolPencil>(state, Canvas::Transparent, NoSetup<ITzToolPencil>);
}

void Eraser(benchmark::State& state)
{
    ToolStroke<ITzToolErase>(state, Canvas::White, [](ITzToolErase& tool, ITzPicture&) {
        tool.SetEraseMode(ITzERASE_ALPHA);
        tool.SetMode(ITzMERGE_ERASE);
    });
}

void Clone(benchmark::State& state)
{
    ToolStroke<ITzToolClone>(state, Canvas::Photo, [](ITzToolClone& tool, ITzPicture& picture) {
        const PTzPOINT source = {700, 300}, start = {300, 700};
        tool.SetSourceLayer(static_cast<ITzLayerImage*>(picture.GetLayerbyIndex(0)), &source);
        tool.SetDesStartPoint(&start);
    });
}

void Blur(benchmark::State& state)
{
    ToolStroke<ITzToolBlur>(state, Canvas::Photo, NoSetup<ITzToolBlur>);
}

void Sharpen(benchmark::State& state)
{
    ToolStroke<ITzToolSharp>(state, Canvas::Photo, NoSetup<ITzToolSharp>);
}

void Smudge(benchmark::State& state)
{
    ToolStroke<ITzToolSmudge>(state, Canvas::Photo, NoSetup<ITzToolSmudge>);
}

void MyPaintDabs(benchmark::State& state)
{
    const int32_t diameter = int32_t(state.range(0));
    PaintWithMyPaint(state, SharedStroke(diameter, StepPixels(diameter)), diameter, 1, false);
}

// The smudge's dabs, one pixel apart.
void MyPaintSmudgeDabs(benchmark::State& state)
{
    const int32_t diameter = int32_t(state.range(0));
    PaintWithMyPaint(state, SharedStroke(diameter, 1), diameter, 1, true);
}

// The brushes once per build of the row loops the processor runs; the peers once.
#define PAINT_TOOL_BENCHMARK(registration, name) \
    registration(name)->Arg(20)->Arg(200)->Arg(600)->MinWarmUpTime(0.5)->MinTime(2)->Unit(benchmark::kMillisecond)

PAINT_TOOL_BENCHMARK(BENCHMARK, MyPaintDabs);
PAINT_TOOL_BENCHMARK(BENCHMARK_EACH_BUILD, Pen);
PAINT_TOOL_BENCHMARK(BENCHMARK_EACH_BUILD, Pencil);
PAINT_TOOL_BENCHMARK(BENCHMARK_EACH_BUILD, Eraser);
PAINT_TOOL_BENCHMARK(BENCHMARK_EACH_BUILD, Clone);
PAINT_TOOL_BENCHMARK(BENCHMARK_EACH_BUILD, Blur);
PAINT_TOOL_BENCHMARK(BENCHMARK_EACH_BUILD, Sharpen);
PAINT_TOOL_BENCHMARK(BENCHMARK, MyPaintSmudgeDabs);
PAINT_TOOL_BENCHMARK(BENCHMARK_EACH_BUILD, Smudge);

}  // namespace
