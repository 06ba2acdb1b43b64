// The layer resize jobs on a 4000 x 3000 ARGB layer, bilinear and nearest pixel, by 2.5
// and by 1/3, against pixman's bilinear transform on the same enlargement in the same
// run (pixman does not average areas, so it is no peer for the reduction). Counters give
// megapixels per second of the destination and of the source.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <memory>
#include <random>
#include <vector>

#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/resample.h"

namespace {

constexpr int32_t kWidth = 4000, kHeight = 3000;
constexpr _tagITzZOOMLEVEL kEnlarge = {5, 2}, kReduce = {1, 3};

using Layer = std::unique_ptr<ITzLayerImage, ITzLayerDestroyer>;

// Opaque noise over a gradient, so that no block is uniform.
std::vector<uint8_t> Plane(uint32_t seed, bool alpha)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> plane(size_t(kWidth) * kHeight);
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x)
            plane[size_t(y) * kWidth + size_t(x)] = alpha ? 255 : uint8_t((x + y) / 32 + (random() & 15));
    return plane;
}

struct Source {
    std::vector<uint8_t> planes[4] = {Plane(1, true), Plane(2, false), Plane(3, false), Plane(4, false)};
    Layer layer{new ITzLayerImageARGB()};

    Source()
    {
        const PTzRECT bounds = {0, 0, kWidth, kHeight};
        layer->SetSize(&bounds, 1);
        _tagITzCHANNELBITMAP bitmap = {kWidth, kHeight, kWidth, PTzCOLORMODE_ARGB,
                                       {planes[0].data(), planes[1].data(), planes[2].data(), planes[3].data()}};
        layer->SetRectChannelData(&bitmap, &bounds);
    }
};

Source& Shared()
{
    static Source source;
    return source;
}

void Count(benchmark::State& state, const _tagITzZOOMLEVEL& zoom)
{
    const double source = double(kWidth) * kHeight / 1e6;
    const double dest = source * zoom.numerator * zoom.numerator / (double(zoom.denominator) * zoom.denominator);
    state.counters["dest_MP/s"] = benchmark::Counter(dest, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["source_MP/s"] = benchmark::Counter(source, benchmark::Counter::kIsIterationInvariantRate);
}

void ResizeLayer(benchmark::State& state, _tagITzZOOMLEVEL zoom, uint32_t type)
{
    ITzLayerImage& layer = *Shared().layer;
    for (auto _ : state) {
        void* job = layer.ResizeLayerStart(&zoom, &zoom, type, nullptr);
        uint32_t progress = 0;
        while (layer.ResizeLayer(job, &progress))
            ;
        Layer resized(static_cast<ITzLayerImage*>(layer.ResizeLayerEnd(job)));
        if (!resized)
            state.SkipWithError("the resize failed");
        benchmark::DoNotOptimize(resized.get());
    }
    Count(state, zoom);
}

void BM_BilinearEnlarge(benchmark::State& state)
{
    ResizeLayer(state, kEnlarge, ITzRESAMPLE_BILINEAR);
}

void BM_BilinearReduce(benchmark::State& state)
{
    ResizeLayer(state, kReduce, ITzRESAMPLE_BILINEAR);
}

void BM_NearestEnlarge(benchmark::State& state)
{
    ResizeLayer(state, kEnlarge, ITzRESAMPLE_NEAREST);
}

void BM_NearestReduce(benchmark::State& state)
{
    ResizeLayer(state, kReduce, ITzRESAMPLE_NEAREST);
}

// The peer: the same enlargement of a8r8g8b8 pixels with pixman's bilinear filter.
void BM_PixmanBilinearEnlarge(benchmark::State& state)
{
    const Source& shared = Shared();
    std::vector<uint32_t> source(size_t(kWidth) * kHeight);
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = uint32_t(shared.planes[0][i]) << 24 | uint32_t(shared.planes[1][i]) << 16 |
                    uint32_t(shared.planes[2][i]) << 8 | shared.planes[3][i];
    const int32_t width = kWidth * 5 / 2, height = kHeight * 5 / 2;
    std::vector<uint32_t> dest(size_t(width) * height);
    pixman_image_t* from = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, source.data(), kWidth * 4);
    pixman_image_t* to = pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, dest.data(), width * 4);
    pixman_transform_t scale;
    pixman_transform_init_scale(&scale, pixman_double_to_fixed(0.4), pixman_double_to_fixed(0.4));
    pixman_image_set_transform(from, &scale);
    pixman_image_set_filter(from, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, from, nullptr, to, 0, 0, 0, 0, 0, 0, width, height);
        benchmark::DoNotOptimize(dest.data());
    }
    pixman_image_unref(from);
    pixman_image_unref(to);
    Count(state, kEnlarge);
}

BENCHMARK(BM_BilinearEnlarge)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_BilinearReduce)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_NearestEnlarge)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_NearestReduce)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_PixmanBilinearEnlarge)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace
