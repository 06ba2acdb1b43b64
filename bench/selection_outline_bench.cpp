// The view's selection outline built over a 1920 x 1080 visible area: the boundary mask
// the picture gives (the peer: what every build starts from, in the same run), and the
// whole build, which also judges where the outline rises to the right and fills the
// entries. A large ellipse at 1/1 and at 4/1 (about its edge rising at 45 degrees), and a
// non-contiguous wand selection of a noise picture at 1/1, whose boundary is most pixels.
#include <benchmark/benchmark.h>

#include <vector>

#include "app/shell/selection_outline.h"
#include "bench/noise_picture.h"
#include "engine/tools/tool_mask.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

enum Case { Ellipse, EllipseZoomed, Wand };

struct Scene {
    ITzPicture* ellipse = MakeNoisePicture(4000, 3000, 1);
    ITzPicture* wand = MakeNoisePicture(4000, 3000, 1);
    Scene()
    {
        ITzToolMask mask;
        const PTzRECT box = {100, 100, 3900, 2900};
        mask.DrawArcSelection(ellipse, &box, 255, ITzSELECTION_REPLACE);
        const PTzPOINT seed = {2000, 1500};
        mask.CreateMagicSelection(wand, &seed, 64, ITzSELECTION_REPLACE, 0);
    }
};

Scene& TheScene()
{
    static Scene* scene = new Scene();
    return *scene;
}

struct Area {
    ITzPicture* picture;
    PTzRECT zoomed;
    _tagITzZOOMLEVEL zoom;
};

Area AreaOf(Case which)
{
    Scene& scene = TheScene();
    switch (which) {
    case Ellipse:
        return {scene.ellipse, {1000, 0, 1000 + kWidth, kHeight}, {1, 1}};
    case EllipseZoomed:
        // About picture (660, 660), where the ellipse's upper left arc rises at 45 degrees.
        return {scene.ellipse, {4 * 660 - kWidth / 2, 4 * 660 - kHeight / 2, 4 * 660 + kWidth / 2, 4 * 660 + kHeight / 2},
                {4, 1}};
    case Wand:
        return {scene.wand, {1000, 1000, 1000 + kWidth, 1000 + kHeight}, {1, 1}};
    }
    return {};
}

void BoundaryMask(benchmark::State& state)
{
    Area area = AreaOf(Case(state.range(0)));
    const int stride = ((kWidth + 31) >> 3) & ~3;
    std::vector<uint8_t> bits(size_t(stride) * kHeight);
    for (auto _ : state) {
        std::fill(bits.begin(), bits.end(), 0);
        _tagITzBITMAP mask = {kWidth, kHeight, stride, 1, PTzCOLORMODE_2BIT, bits.data()};
        benchmark::DoNotOptimize(area.picture->GetSelectionBoundary(&area.zoomed, &mask, &area.zoom));
    }
}

void OutlineBuild(benchmark::State& state)
{
    Area area = AreaOf(Case(state.range(0)));
    const int stride = ((24 * kWidth + 31) >> 3) & ~3;
    std::vector<uint8_t> pixels(size_t(stride) * kHeight);
    const _tagITzBITMAP buffer = {kWidth, kHeight, stride, 24, PTzCOLORMODE_RGB, pixels.data()};
    CSelectionOutline outline;
    for (auto _ : state)
        benchmark::DoNotOptimize(outline.Build(area.picture, area.zoomed, area.zoom, buffer, {}));
    state.counters["outline pixels"] = double(outline.GetCount());
}

}  // namespace

BENCHMARK(BoundaryMask)->ArgNames({"case"})->DenseRange(Ellipse, Wand)->Unit(benchmark::kMillisecond);
BENCHMARK(OutlineBuild)->ArgNames({"case"})->DenseRange(Ellipse, Wand)->Unit(benchmark::kMillisecond);
