// The preview-cache level builds of a 4000 x 3000 ARGB layer, counted in source pixels:
// level 1 from the layer, level 3 straight from the layer (the finer levels empty), and
// all eight levels in turn as a picture prepares them on opening; against pixman's
// box-filtered reductions by 2 and by 8 of the same pixels in the same run.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "engine/pixels/layer_image_argb.h"

namespace {

constexpr int32_t kWidth = 4000;
constexpr int32_t kHeight = 3000;
constexpr int64_t kPixels = int64_t(kWidth) * kHeight;

using Layer = std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer>;

// Random colours under bands of transparent, opaque and random alpha.
std::vector<uint8_t> Pixels()
{
    std::mt19937 random(7);
    std::vector<uint8_t> pixels(size_t(kPixels) * 4);
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) {
            uint8_t* p = &pixels[(size_t(y) * kWidth + size_t(x)) * 4];
            const int band = (x / 500 + y / 300) % 3;
            p[0] = band == 0 ? 0 : band == 1 ? 255 : uint8_t(random());
            p[1] = uint8_t(random());
            p[2] = uint8_t(x);
            p[3] = uint8_t(y);
        }
    return pixels;
}

ITzLayerImageARGB& SharedLayer()
{
    static Layer layer = [] {
        Layer made(new ITzLayerImageARGB());
        const PTzRECT whole = {0, 0, kWidth, kHeight};
        made->SetSize(&whole, 1);
        std::vector<uint8_t> pixels = Pixels();
        _tagITzBITMAP bitmap = {kWidth, kHeight, kWidth * 4, 32, PTzCOLORMODE_ARGB, pixels.data()};
        made->SetRectData(&whole, &bitmap);
        return made;
    }();
    return *layer;
}

// Every level's blocks dropped (their memory kept), as after an edit of the whole layer.
void DropLevels(ITzLayerImageARGB& layer)
{
    for (uint8_t n = 1; n <= 8; ++n)
        layer.InvalideCache(n);
}

void BuildLevel(ITzLayerImage& level)
{
    _tagITzBLOCKDATAINFO info;
    for (uint32_t i = 0, count = level.GetBlockCount(); i < count; ++i)
        benchmark::DoNotOptimize(level.GetBlockInfo(i, &info, 1));
}

// state.range(0): the level, built from the layer with every finer level empty.
void LevelFromLayer(benchmark::State& state)
{
    ITzLayerImageARGB& layer = SharedLayer();
    ITzLayerImage* level = layer.GetCacheLayer(uint8_t(state.range(0)));
    for (auto _ : state) {
        DropLevels(layer);
        BuildLevel(*level);
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK(LevelFromLayer)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

void AllLevelsPrepared(benchmark::State& state)
{
    ITzLayerImageARGB& layer = SharedLayer();
    for (auto _ : state) {
        DropLevels(layer);
        void* job = layer.PreparePreviewCacheStart();
        uint32_t built = 0;
        while (layer.PreparePreviewCacheRun(job, &built)) {
        }
        layer.PreparePreviewCacheEnd(job);
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK(AllLevelsPrepared)->Unit(benchmark::kMillisecond);

// The peer: pixman's separable box filter reducing premultiplied a8r8g8b8 by
// state.range(0) each way, which averages whole squares as the cache does.
void PixmanBoxReduce(benchmark::State& state)
{
    const int32_t factor = int32_t(state.range(0));
    std::vector<uint8_t> pixels = Pixels();
    std::vector<uint32_t> source(static_cast<size_t>(kPixels));
    for (size_t i = 0; i < source.size(); ++i) {
        const uint8_t* p = &pixels[i * 4];
        const uint32_t a = p[0];
        source[i] = a << 24 | (p[1] * a / 255) << 16 | (p[2] * a / 255) << 8 | (p[3] * a / 255);
    }
    std::vector<uint32_t> target(size_t(kWidth / factor) * size_t(kHeight / factor));
    pixman_image_t* from = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, source.data(), kWidth * 4);
    pixman_image_t* to = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth / factor, kHeight / factor,
                                                  target.data(), kWidth / factor * 4);
    pixman_transform_t scale;
    pixman_transform_init_scale(&scale, pixman_int_to_fixed(factor), pixman_int_to_fixed(factor));
    pixman_image_set_transform(from, &scale);
    int count = 0;
    pixman_fixed_t* filter = pixman_filter_create_separable_convolution(
        &count, pixman_int_to_fixed(factor), pixman_int_to_fixed(factor), PIXMAN_KERNEL_IMPULSE,
        PIXMAN_KERNEL_IMPULSE, PIXMAN_KERNEL_BOX, PIXMAN_KERNEL_BOX, 1, 1);
    pixman_image_set_filter(from, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, filter, count);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, from, nullptr, to, 0, 0, 0, 0, 0, 0, kWidth / factor,
                                 kHeight / factor);
        benchmark::DoNotOptimize(target.data());
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
    free(filter);
    pixman_image_unref(to);
    pixman_image_unref(from);
}
BENCHMARK(PixmanBoxReduce)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
