// Linear and radial gradients over 10,000 x 10,000 pixels: the gradient tool painting
// the floating layer block by block, and the whole step with its merge and undo record,
// against pixman drawing the same gradients into an image of that size.
#include <benchmark/benchmark.h>

#include <pixman.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/picture/picture.h"
#include "engine/tools/tool_gradient.h"

namespace {

constexpr int32_t kSide = 10000;
// From a point near the upper left to one near the lower right; the radial gradient
// has the first point as its centre and the distance between them as its radius.
constexpr int32_t kStartX = 1500, kStartY = 2000, kEndX = 8500, kEndY = 7000;

void Report(benchmark::State& state)
{
    state.counters["MP/s"] =
        benchmark::Counter(double(state.iterations()) * double(kSide) * kSide / 1e6, benchmark::Counter::kIsRate);
}

// state.range(0): the type. state.range(1): 1 times the whole step (merge included),
// 0 only the painting of the floating layer. Each step is undone untimed.
void GradientTool(benchmark::State& state)
{
    const auto type = _tagITzGRADIENT_2_TYPE(state.range(0));
    const bool wholeStep = state.range(1) != 0;
    ITzPicture picture;
    if (picture.Create_1(kSide, kSide, nullptr) != 0) {
        state.SkipWithError("no picture");
        return;
    }
    _tagITzGRADIENTINFO_2 info = {kStartX, kStartY, kEndX, kEndY, {PTzCOLORMODE_ARGB, 255, {255, 40, 0}},
                                  {PTzCOLORMODE_ARGB, 255, {0, 90, 255}}};
    for (auto _ : state) {
        ITzToolGradient tool;
        void* job = tool.DoGradient_2Start(&picture, type, &info, 255);
        while (job && tool.DoGradient_2Run(job, nullptr)) {
        }
        if (!wholeStep)
            state.PauseTiming();
        const bool merged = job && tool.DoGradient_2End(job) != 0;
        if (wholeStep)
            state.PauseTiming();
        const bool undone = merged && picture.DoUndo() != 0;
        state.ResumeTiming();
        if (!undone) {
            state.SkipWithError("the gradient was not painted");
            break;
        }
    }
    Report(state);
}
BENCHMARK(GradientTool)
    ->ArgsProduct({{ITzGRADIENT_LINEAR, ITzGRADIENT_RADIAL}, {0, 1}})
    ->MinTime(2)
    ->Unit(benchmark::kMillisecond);

pixman_fixed_t Fixed(int32_t value)
{
    return pixman_int_to_fixed(value);
}

// The peer: pixman's gradient composited (source) into an a8r8g8b8 image of the size.
void PixmanGradient(benchmark::State& state)
{
    const bool radial = state.range(0) == ITzGRADIENT_RADIAL;
    std::vector<uint32_t> pixels(size_t(kSide) * kSide);
    pixman_image_t* target = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, pixels.data(), kSide * 4);
    const pixman_gradient_stop_t stops[2] = {{0, {0xFFFF, 0x2828, 0, 0xFFFF}}, {pixman_fixed_1, {0, 0x5A5A, 0xFFFF, 0xFFFF}}};
    const pixman_point_fixed_t start = {Fixed(kStartX), Fixed(kStartY)}, end = {Fixed(kEndX), Fixed(kEndY)};
    const double dx = kEndX - kStartX, dy = kEndY - kStartY;
    pixman_image_t* gradient =
        radial ? pixman_image_create_radial_gradient(&start, &start, 0, pixman_double_to_fixed(std::sqrt(dx * dx + dy * dy)),
                                                     stops, 2)
               : pixman_image_create_linear_gradient(&start, &end, stops, 2);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, gradient, nullptr, target, 0, 0, 0, 0, 0, 0, kSide, kSide);
        benchmark::DoNotOptimize(pixels.data());
    }
    pixman_image_unref(gradient);
    pixman_image_unref(target);
    Report(state);
}
BENCHMARK(PixmanGradient)->Arg(ITzGRADIENT_LINEAR)->Arg(ITzGRADIENT_RADIAL)->MinTime(2)->Unit(benchmark::kMillisecond);

}  // namespace
