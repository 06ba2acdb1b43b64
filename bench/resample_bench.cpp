// The layer resize jobs on a 4000 x 3000 ARGB layer, bilinear and nearest pixel, by 2.5
// and 7 and by 1/3 and 1/8, against pixman in the same run: its bilinear transform on
// the same enlargements, and its separable convolution with box kernels (the area
// average the bilinear reduction makes) on the same reductions. Counters give megapixels
// per second of the destination and of the source. The opaque layer is the common case
// of a photograph; the layer with random alpha takes the general path of the bilinear
// read. The bilinear jobs run once per build of the row loops the processor runs.
// A resize's result is a new layer: warm, its memory is what the run before freed (the
// bench never trims freed memory), as pixman's destination is allocated once; fresh,
// every free page is handed back to the system after each run, so that the kernel
// provides and clears each page of the result, as for the first large resize of a
// session or any result above the program's 1 GiB of kept memory
// (app/shell/memory_policy.cpp). The fresh peer allocates pixman's destination anew
// for each run and lets the composite touch it first.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <malloc.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/resample.h"
#include "kernel_builds.h"

namespace {

constexpr int32_t kWidth = 4000, kHeight = 3000;

using Layer = std::unique_ptr<ITzLayerImage, ITzLayerDestroyer>;

// Noise over a gradient, so that no block is uniform; alpha opaque or random.
std::vector<uint8_t> Plane(uint32_t seed, bool alpha, bool opaque)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> plane(size_t(kWidth) * kHeight);
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x)
            plane[size_t(y) * kWidth + size_t(x)] =
                alpha ? (opaque ? 255 : uint8_t(random())) : uint8_t((x + y) / 32 + (random() & 15));
    return plane;
}

struct Source {
    std::vector<uint8_t> planes[4];
    Layer layer{new ITzLayerImageARGB()};

    explicit Source(bool opaque)
        : planes{Plane(1, true, opaque), Plane(2, false, opaque), Plane(3, false, opaque), Plane(4, false, opaque)}
    {
        mallopt(M_TRIM_THRESHOLD, -1);  // freed memory is never trimmed
        const PTzRECT bounds = {0, 0, kWidth, kHeight};
        layer->SetSize(&bounds, 1);
        _tagITzCHANNELBITMAP bitmap = {kWidth, kHeight, kWidth, PTzCOLORMODE_ARGB,
                                       {planes[0].data(), planes[1].data(), planes[2].data(), planes[3].data()}};
        layer->SetRectChannelData(&bitmap, &bounds);
    }
};

Source& Opaque()
{
    static Source source(true);
    return source;
}

Source& Translucent()
{
    static Source source(false);
    return source;
}

_tagITzZOOMLEVEL Zoom(const benchmark::State& state)
{
    return {uint32_t(state.range(0)), uint32_t(state.range(1))};
}

void Count(benchmark::State& state, const _tagITzZOOMLEVEL& zoom)
{
    const double source = double(kWidth) * kHeight / 1e6;
    const double dest = source * zoom.numerator * zoom.numerator / (double(zoom.denominator) * zoom.denominator);
    state.counters["dest_MP/s"] = benchmark::Counter(dest, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["source_MP/s"] = benchmark::Counter(source, benchmark::Counter::kIsIterationInvariantRate);
}

// `fresh`: all free memory is handed back to the system after each resize.
void ResizeLayer(benchmark::State& state, Source& source, uint32_t type, bool fresh = false)
{
    ITzLayerImage& layer = *source.layer;
    _tagITzZOOMLEVEL zoom = Zoom(state);
    for (auto _ : state) {
        void* job = layer.ResizeLayerStart(&zoom, &zoom, type, nullptr);
        uint32_t progress = 0;
        while (layer.ResizeLayer(job, &progress))
            ;
        Layer resized(static_cast<ITzLayerImage*>(layer.ResizeLayerEnd(job)));
        if (!resized)
            state.SkipWithError("the resize failed");
        benchmark::DoNotOptimize(resized.get());
        if (fresh) {
            resized.reset();
            malloc_trim(0);
        }
    }
    Count(state, zoom);
}

void Bilinear(benchmark::State& state)
{
    ResizeLayer(state, Opaque(), ITzRESAMPLE_BILINEAR);
}

void BilinearFresh(benchmark::State& state)
{
    ResizeLayer(state, Opaque(), ITzRESAMPLE_BILINEAR, true);
}

void BilinearTranslucent(benchmark::State& state)
{
    ResizeLayer(state, Translucent(), ITzRESAMPLE_BILINEAR);
}

void Nearest(benchmark::State& state)
{
    ResizeLayer(state, Opaque(), ITzRESAMPLE_NEAREST);
}

// The source as premultiplied a8r8g8b8 for pixman (opaque, so the colours stand).
std::vector<uint32_t> PixmanSource()
{
    const Source& shared = Opaque();
    std::vector<uint32_t> source(size_t(kWidth) * kHeight);
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = uint32_t(shared.planes[0][i]) << 24 | uint32_t(shared.planes[1][i]) << 16 |
                    uint32_t(shared.planes[2][i]) << 8 | shared.planes[3][i];
    return source;
}

// Runs pixman's SRC of the source, scaled by `filter`, into a destination of the zoomed
// size: one allocated once, or with `fresh` a new one for each run.
template <class Filter>
void RunPixman(benchmark::State& state, Filter&& filter, bool fresh = false)
{
    const _tagITzZOOMLEVEL zoom = Zoom(state);
    std::vector<uint32_t> source = PixmanSource();
    const int32_t width = int32_t(int64_t{kWidth} * zoom.numerator / zoom.denominator);
    const int32_t height = int32_t(int64_t{kHeight} * zoom.numerator / zoom.denominator);
    const size_t size = size_t(width) * height;
    std::vector<uint32_t> kept(fresh ? 0 : size);
    pixman_image_t* from = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, source.data(), kWidth * 4);
    pixman_transform_t scale;
    const pixman_fixed_t inverse = pixman_double_to_fixed(double(zoom.denominator) / zoom.numerator);
    pixman_transform_init_scale(&scale, inverse, inverse);
    pixman_image_set_transform(from, &scale);
    filter(from, inverse);
    for (auto _ : state) {
        const std::unique_ptr<uint32_t[]> made(fresh ? new uint32_t[size] : nullptr);
        uint32_t* bits = fresh ? made.get() : kept.data();
        pixman_image_t* to = pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, bits, width * 4);
        pixman_image_composite32(PIXMAN_OP_SRC, from, nullptr, to, 0, 0, 0, 0, 0, 0, width, height);
        pixman_image_unref(to);
        benchmark::DoNotOptimize(bits);
    }
    pixman_image_unref(from);
    Count(state, zoom);
}

// The peer of the enlargements: pixman's bilinear filter.
void BilinearFilter(pixman_image_t* image, pixman_fixed_t)
{
    pixman_image_set_filter(image, PIXMAN_FILTER_BILINEAR, nullptr, 0);
}

void PixmanBilinear(benchmark::State& state)
{
    RunPixman(state, BilinearFilter);
}

// The peer of the fresh enlargements.
void PixmanBilinearFresh(benchmark::State& state)
{
    RunPixman(state, BilinearFilter, true);
}

// The peer of the reductions: pixman's separable convolution averaging boxes of the
// reduction's size.
void PixmanBoxConvolution(benchmark::State& state)
{
    RunPixman(state, [](pixman_image_t* image, pixman_fixed_t inverse) {
        int count = 0;
        pixman_fixed_t* filter = pixman_filter_create_separable_convolution(
            &count, inverse, inverse, PIXMAN_KERNEL_IMPULSE, PIXMAN_KERNEL_IMPULSE, PIXMAN_KERNEL_BOX,
            PIXMAN_KERNEL_BOX, 1, 1);
        pixman_image_set_filter(image, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, filter, count);
        free(filter);
    });
}

// A warm-up run first, so that a warm resize finds the memory of one before it.
void Enlargements(benchmark::internal::Benchmark* bench)
{
    bench->Args({5, 2})->Args({7, 1})->Unit(benchmark::kMillisecond)->MinTime(2)->MinWarmUpTime(0.5);
}

void Reductions(benchmark::internal::Benchmark* bench)
{
    bench->Args({1, 3})->Args({1, 8})->Unit(benchmark::kMillisecond)->MinTime(2);
}

BENCHMARK_EACH_BUILD(Bilinear)->Apply(Enlargements)->Apply(Reductions);
BENCHMARK(PixmanBilinear)->Apply(Enlargements);
BENCHMARK_EACH_BUILD(BilinearFresh)->Apply(Enlargements);
BENCHMARK(PixmanBilinearFresh)->Apply(Enlargements);
BENCHMARK(PixmanBoxConvolution)->Apply(Reductions);
BENCHMARK_EACH_BUILD(BilinearTranslucent)->Apply(Enlargements)->Apply(Reductions);
BENCHMARK(Nearest)->Apply(Enlargements)->Apply(Reductions);

}  // namespace
