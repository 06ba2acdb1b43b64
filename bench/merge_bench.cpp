// The merge routines on a 4096 x 4096 picture against pixman's OVER on a8r8g8b8 of the
// same size, and the simple gray merges against plain memory traffic, in the same run;
// each merge once per build of the kernels the processor runs.
// Items are pixels; the destination is merged onto again and again (random source alphas
// leave the shortcuts of either side little to skip, and pixman's OVER does not look at
// the destination's).
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "engine/pixels/bitmap.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/merge_channel_bitmap.h"
#include "engine/pixels/merge_tile.h"
#include "kernel_builds.h"

namespace {

constexpr int32_t kSide = 4096;
constexpr size_t kPixels = size_t(kSide) * kSide;
constexpr size_t kTileBytes = 65536;
constexpr size_t kTiles = kPixels / kTileBytes;

std::vector<uint8_t> RandomBytes(uint32_t seed, size_t count)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(count);
    for (uint8_t& b : bytes)
        b = uint8_t(random() >> 24);
    return bytes;
}

void CountPixels(benchmark::State& state, size_t bytesPerPixel)
{
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(kPixels));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPixels * bytesPerPixel));
}

// Four planes of random bytes, kSide x kSide unless smaller; as tiles, plane c of tile
// k starts at k * 65,536.
struct Planes {
    std::array<std::vector<uint8_t>, 4> planes;
    explicit Planes(uint32_t seed, size_t pixels = kPixels)
    {
        for (int c = 0; c < 4; ++c)
            planes[c] = RandomBytes(seed + c, pixels);
    }
    _tagITzCHANNELBITMAP Bitmap()
    {
        return {kSide, kSide, kSide, 3, {planes[0].data(), planes[1].data(), planes[2].data(), planes[3].data(), nullptr}};
    }
    std::array<uint8_t*, 4> Tile(size_t k)
    {
        return {&planes[0][k * kTileBytes], &planes[1][k * kTileBytes], &planes[2][k * kTileBytes],
                &planes[3][k * kTileBytes]};
    }
    std::array<const uint8_t*, 4> SourceTile(size_t k)
    {
        const std::array<uint8_t*, 4> tile = Tile(k);
        return {tile[0], tile[1], tile[2], tile[3]};
    }
};

_tagITzBITMAP Interleaved(std::vector<uint8_t>& bytes, uint16_t bits, int32_t mode)
{
    return {kSide, kSide, kSide * bits / 8, bits, mode, bytes.data()};
}

const PTzRECT kWhole{0, 0, kSide, kSide};

// state.range(0): the opacity.
void AlphaOverBitmap32(benchmark::State& state)
{
    std::vector<uint8_t> sourceBytes = RandomBytes(1, kPixels * 4);
    std::vector<uint8_t> destBytes = RandomBytes(2, kPixels * 4);
    const _tagITzBITMAP source = Interleaved(sourceBytes, 32, 3);
    _tagITzBITMAP dest = Interleaved(destBytes, 32, 3);
    const _tagITzMERGEDATA merge{3, uint8_t(state.range(0))};
    for (auto _ : state) {
        CMathMerge::MergeBitmap(GetMathMerge(), &kWhole, &source, &dest, &kWhole, &merge);
        benchmark::ClobberMemory();
    }
    CountPixels(state, 4);
}
BENCHMARK_EACH_BUILD(AlphaOverBitmap32)->Arg(255)->Arg(128)->Unit(benchmark::kMillisecond);

void AlphaOverPlanar(benchmark::State& state)
{
    Planes source(10);
    Planes dest(20);
    const _tagITzCHANNELBITMAP sourceBitmap = source.Bitmap();
    _tagITzCHANNELBITMAP destBitmap = dest.Bitmap();
    const _tagITzMERGEDATA merge{3, uint8_t(state.range(0))};
    for (auto _ : state) {
        ITzMergeChannelBitmap(&merge, 255, nullptr, &destBitmap, GetMathMerge(), &kWhole, &sourceBitmap,
                              &kWhole, nullptr);
        benchmark::ClobberMemory();
    }
    CountPixels(state, 4);
}
BENCHMARK_EACH_BUILD(AlphaOverPlanar)->Arg(255)->Arg(128)->Unit(benchmark::kMillisecond);

void AlphaOverTiles(benchmark::State& state)
{
    Planes source(10);
    Planes dest(20);
    const _tagITzMERGEDATA merge{3, uint8_t(state.range(0))};
    for (auto _ : state) {
        for (size_t k = 0; k < kTiles; ++k)
            ITzMergeBlockARGB(source.SourceTile(k).data(), dest.Tile(k).data(), &merge, GetMathMerge());
        benchmark::ClobberMemory();
    }
    CountPixels(state, 4);
}
BENCHMARK_EACH_BUILD(AlphaOverTiles)->Arg(255)->Arg(128)->Unit(benchmark::kMillisecond);

// An a8r8g8b8 picture for pixman: random premultiplied pixels (colour at most alpha),
// or any random words for a destination.
struct PixmanPicture {
    std::vector<uint32_t> bits;
    pixman_image_t* image = nullptr;

    PixmanPicture(int32_t side, uint32_t seed, bool premultiplied) : bits(size_t(side) * side)
    {
        std::mt19937 random(seed);
        for (uint32_t& p : bits) {
            p = random();
            if (premultiplied) {
                const uint32_t a = p >> 24;
                p = a << 24;
                for (int shift = 0; shift < 24; shift += 8)
                    p |= (random() % (a + 1)) << shift;
            }
        }
        image = pixman_image_create_bits(PIXMAN_a8r8g8b8, side, side, bits.data(), side * 4);
    }
    ~PixmanPicture() { pixman_image_unref(image); }
    PixmanPicture(const PixmanPicture&) = delete;
    PixmanPicture& operator=(const PixmanPicture&) = delete;
};

// pixman's OVER of `side` x `side` pictures, source with random alpha.
void RunPixmanOver(benchmark::State& state, int32_t side)
{
    const PixmanPicture source(side, 3, true);
    PixmanPicture dest(side, 4, false);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, source.image, nullptr, dest.image, 0, 0, 0, 0, 0, 0,
                                 side, side);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * side * side);
}

void PixmanOver(benchmark::State& state)
{
    RunPixmanOver(state, kSide);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPixels * 4));
}
BENCHMARK(PixmanOver)->Unit(benchmark::kMillisecond);

// One 256 x 256 tile merged again and again, its data staying in cache: the cost of the
// arithmetic itself, against pixman's OVER on a picture of the same size.
void AlphaOverCachedTile(benchmark::State& state)
{
    Planes source(50, kTileBytes);
    Planes dest(60, kTileBytes);
    const std::array<const uint8_t*, 4> from = source.SourceTile(0);
    const std::array<uint8_t*, 4> to = dest.Tile(0);
    const _tagITzMERGEDATA merge{3, uint8_t(state.range(0))};
    for (auto _ : state) {
        ITzMergeBlockARGB(from.data(), to.data(), &merge, GetMathMerge());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(kTileBytes));
}
BENCHMARK_EACH_BUILD(AlphaOverCachedTile)->Arg(255)->Arg(128);

// 256 x 256 32-bit pixels merged again and again in cache, as pixman's picture beside.
void AlphaOverCachedBitmap32(benchmark::State& state)
{
    constexpr int32_t kCachedSide = 256;
    std::vector<uint8_t> sourceBytes = RandomBytes(70, kTileBytes * 4);
    std::vector<uint8_t> destBytes = RandomBytes(80, kTileBytes * 4);
    const _tagITzBITMAP source = {kCachedSide, kCachedSide, kCachedSide * 4, 32, 3, sourceBytes.data()};
    _tagITzBITMAP dest = {kCachedSide, kCachedSide, kCachedSide * 4, 32, 3, destBytes.data()};
    const PTzRECT whole{0, 0, kCachedSide, kCachedSide};
    const _tagITzMERGEDATA merge{3, uint8_t(state.range(0))};
    for (auto _ : state) {
        CMathMerge::MergeBitmap(GetMathMerge(), &whole, &source, &dest, &whole, &merge);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(kTileBytes));
}
BENCHMARK_EACH_BUILD(AlphaOverCachedBitmap32)->Arg(255)->Arg(128);

void PixmanOverCachedTile(benchmark::State& state)
{
    RunPixmanOver(state, 256);
}
BENCHMARK(PixmanOverCachedTile);

// The smudge mix and the colour copy under a random mask.
void MaskedPlanar(benchmark::State& state)
{
    Planes source(10);
    Planes dest(20);
    std::vector<uint8_t> maskBytes = RandomBytes(30, kPixels);
    const _tagITzBITMAP mask = Interleaved(maskBytes, 8, 6);
    const _tagITzCHANNELBITMAP sourceBitmap = source.Bitmap();
    _tagITzCHANNELBITMAP destBitmap = dest.Bitmap();
    const _tagITzMERGEDATA merge{int32_t(state.range(0)), 255};
    for (auto _ : state) {
        ITzMergeChannelBitmap(&merge, 255, &kWhole, &destBitmap, GetMathMerge(), &kWhole, &sourceBitmap,
                              &kWhole, &mask);
        benchmark::ClobberMemory();
    }
    CountPixels(state, 4);
}
BENCHMARK_EACH_BUILD(MaskedPlanar)->Arg(3)->Arg(2)->Arg(10)->Unit(benchmark::kMillisecond);

void AlphaOverTo24(benchmark::State& state)
{
    std::vector<uint8_t> sourceBytes = RandomBytes(1, kPixels * 4);
    std::vector<uint8_t> destBytes = RandomBytes(2, kPixels * 3);
    const _tagITzBITMAP source = Interleaved(sourceBytes, 32, 3);
    _tagITzBITMAP dest = Interleaved(destBytes, 24, 1);
    const _tagITzMERGEDATA merge{3, 255};
    for (auto _ : state) {
        CMathMerge::MergeBitmap(GetMathMerge(), &kWhole, &source, &dest, &kWhole, &merge);
        benchmark::ClobberMemory();
    }
    CountPixels(state, 3);
}
BENCHMARK_EACH_BUILD(AlphaOverTo24)->Unit(benchmark::kMillisecond);

// The gray merges of stored channels, tile by tile: state.range(0) is the merge type
// (3 union, 5 intersect, 6 reverse subtract, 7 subtract, 8 erase, 9 multiply),
// state.range(1) the opacity.
void GrayTiles(benchmark::State& state)
{
    const std::vector<uint8_t> source = RandomBytes(40, kPixels);
    std::vector<uint8_t> dest = RandomBytes(41, kPixels);
    const _tagITzMERGEDATA merge{int32_t(state.range(0)), uint8_t(state.range(1))};
    for (auto _ : state) {
        for (size_t k = 0; k < kTiles; ++k)
            ITzMergeGrayTileData(&merge, &source[k * kTileBytes], 0, &dest[k * kTileBytes]);
        benchmark::ClobberMemory();
    }
    CountPixels(state, 1);
}
BENCHMARK_EACH_BUILD(GrayTiles)
    ->ArgsProduct({{3, 5, 6, 7, 8, 9}, {255, 128}})
    ->Unit(benchmark::kMillisecond);

// Erase and multiply of the alpha of 32-bit pixels by an 8-bit bitmap.
void GrayIntoAlpha32(benchmark::State& state)
{
    std::vector<uint8_t> sourceBytes = RandomBytes(1, kPixels);
    std::vector<uint8_t> destBytes = RandomBytes(2, kPixels * 4);
    const _tagITzBITMAP source = Interleaved(sourceBytes, 8, 6);
    _tagITzBITMAP dest = Interleaved(destBytes, 32, 3);
    const _tagITzMERGEDATA merge{int32_t(state.range(0)), 200};
    for (auto _ : state) {
        CMathMerge::MergeBitmap(GetMathMerge(), &kWhole, &source, &dest, &kWhole, &merge);
        benchmark::ClobberMemory();
    }
    CountPixels(state, 4);
}
BENCHMARK_EACH_BUILD(GrayIntoAlpha32)->Arg(8)->Arg(9)->Unit(benchmark::kMillisecond);

// Memory speed on the same gray data: d = max(d, s) reads and writes what a gray merge
// does; memcpy for scale.
void MemoryMax(benchmark::State& state)
{
    const std::vector<uint8_t> source = RandomBytes(40, kPixels);
    std::vector<uint8_t> dest = RandomBytes(41, kPixels);
    for (auto _ : state) {
        for (size_t i = 0; i < kPixels; ++i)
            dest[i] = std::max(dest[i], source[i]);
        benchmark::ClobberMemory();
    }
    CountPixels(state, 1);
}
BENCHMARK(MemoryMax)->Unit(benchmark::kMillisecond);

void MemoryCopy(benchmark::State& state)
{
    const std::vector<uint8_t> source = RandomBytes(40, kPixels);
    std::vector<uint8_t> dest(kPixels);
    for (auto _ : state) {
        std::memcpy(dest.data(), source.data(), kPixels);
        benchmark::ClobberMemory();
    }
    CountPixels(state, 1);
}
BENCHMARK(MemoryCopy)->Unit(benchmark::kMillisecond);

}  // namespace
