// The selection tools on large pictures, in megapixels of the picture per second. The
// magic wand on a 16,384 x 16,384 picture, uniform and noise (half the pixels the seed's
// colour, the rest random, with lines of it every 64 pixels so the region crosses every
// block), against a plain 4-connected scanline fill over a flat copy of the same pixels;
// and an ellipse and a star polygon selected in a 10,000 x 10,000 picture, against pixman
// rasterising the same shapes (the star as a triangle fan, the ellipse as a 1024-gon in
// trapezoid bands) into an 8-bit mask.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "engine/picture/magic_search.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/layer_image_gray.h"
#include "engine/tools/tool_mask.h"

namespace {

constexpr int32_t kSide = 16384;
constexpr int64_t kPixels = int64_t(kSide) * kSide;
constexpr uint32_t kSeedColour = 0xFF646464;  // alpha 255, red, green, blue 100
constexpr PTzRECT kWhole = {0, 0, kSide, kSide};

enum Kind { kUniform = 0, kNoise = 1 };

using Layer = std::unique_ptr<ITzLayerImage, ITzLayerDestroyer>;

// Pixels as alpha << 24 | red << 16 | green << 8 | blue.
uint32_t NoisePixel(std::mt19937& random, int32_t x, int32_t y)
{
    if (x % 64 == 0 || y % 64 == 0 || (random() & 1))
        return kSeedColour;
    const uint32_t other = 0xFF000000u | (random() & 0xFFFFFF);
    return other == kSeedColour ? 0xFF000000u : other;
}

// The flat copy of a kind's pixels, one kind at a time.
const std::vector<uint32_t>& Flat(Kind kind)
{
    static std::vector<uint32_t> pixels;
    static int held = -1;
    if (held != kind) {
        pixels.assign(size_t(kPixels), kSeedColour);
        if (kind == kNoise) {
            std::mt19937 random(11);
            for (int32_t y = 0; y < kSide; ++y)
                for (int32_t x = 0; x < kSide; ++x)
                    pixels[size_t(y) * kSide + size_t(x)] = NoisePixel(random, x, y);
        }
        held = kind;
    }
    return pixels;
}

// The same pixels as an ARGB layer, written band by band from the flat copy.
ITzLayerImage& Source(Kind kind)
{
    static Layer layers[2];
    if (!layers[kind]) {
        layers[kind].reset(new ITzLayerImageARGB());
        layers[kind]->SetSize(&kWhole, 1);
        if (kind == kUniform) {
            const _tagPTzCOLOR colour = {PTzCOLORMODE_ARGB, 255, {100, 100, 100}};
            layers[kind]->FillRect(&kWhole, &colour);
        } else {
            const std::vector<uint32_t>& flat = Flat(kind);
            std::vector<uint8_t> band(size_t(kSide) * 256 * 4);
            for (int32_t top = 0; top < kSide; top += 256) {
                for (size_t i = 0; i < size_t(kSide) * 256; ++i) {
                    const uint32_t p = flat[size_t(top) * kSide + i];
                    band[i * 4 + 0] = uint8_t(p >> 24);
                    band[i * 4 + 1] = uint8_t(p >> 16);
                    band[i * 4 + 2] = uint8_t(p >> 8);
                    band[i * 4 + 3] = uint8_t(p);
                }
                _tagITzBITMAP bitmap = {kSide, 256, kSide * 4, 32, PTzCOLORMODE_ARGB, band.data()};
                const PTzRECT rows = {0, top, kSide, top + 256};
                layers[kind]->SetRectData(&rows, &bitmap);
            }
        }
    }
    return *layers[kind];
}

Layer EmptyMask()
{
    Layer mask(new ITzLayerImageGray());
    mask->SetSize(&kWhole, 1);
    return mask;
}

void Wand(benchmark::State& state)
{
    const Kind kind = Kind(state.range(0));
    ITzLayerImage& source = Source(kind);
    const PTzPOINT seed = {0, 0};
    int64_t expandedBlocks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Layer target = EmptyMask();
        state.ResumeTiming();
        if (ITzMagicSearch().Search(&seed, target.get(), &source, 0) != 0)
            state.SkipWithError("the search failed");
        state.PauseTiming();
        expandedBlocks = 0;
        _tagITzBLOCKDATAINFO info;
        for (uint32_t i = 0; i < target->GetBlockCount(); ++i)
            if (target->GetBlockInfo(i, &info, 0) == 0 && info.channels[0].data)
                ++expandedBlocks;
        target.reset();
        state.ResumeTiming();
    }
    // On the uniform picture no block of the mask (and none of the source) holds data.
    state.counters["mask_blocks_with_data"] = double(expandedBlocks);
    state.counters["Mpx/s"] = benchmark::Counter(double(kPixels) * double(state.iterations()),
                                                 benchmark::Counter::kIsRate, benchmark::Counter::kIs1000);
}
BENCHMARK(Wand)->Arg(kUniform)->Arg(kNoise)->Unit(benchmark::kMillisecond)->UseRealTime();

// A plain scanline flood fill: each popped span is scanned, and every run found in it
// pushes the rows above and below.
int64_t FlatFill(const std::vector<uint32_t>& pixels, std::vector<uint8_t>& mask, int32_t sx, int32_t sy)
{
    const uint32_t colour = pixels[size_t(sy) * kSide + size_t(sx)];
    const auto matches = [&](size_t i) { return mask[i] == 0 && pixels[i] == colour; };
    struct Span {
        int32_t y, x1, x2;
    };
    std::vector<Span> stack = {{sy, sx, sx}};
    int64_t filled = 0;
    while (!stack.empty()) {
        const Span span = stack.back();
        stack.pop_back();
        if (span.y < 0 || span.y >= kSide)
            continue;
        const size_t row = size_t(span.y) * kSide;
        for (int32_t x = span.x1; x <= span.x2; ++x) {
            if (!matches(row + size_t(x)))
                continue;
            int32_t left = x, right = x;
            while (left > 0 && matches(row + size_t(left - 1)))
                --left;
            while (right + 1 < kSide && matches(row + size_t(right + 1)))
                ++right;
            std::memset(&mask[row + size_t(left)], 255, size_t(right - left + 1));
            filled += right - left + 1;
            stack.push_back({span.y - 1, left, right});
            stack.push_back({span.y + 1, left, right});
            x = right + 1;
        }
    }
    return filled;
}

void FlatScanlineFill(benchmark::State& state)
{
    const std::vector<uint32_t>& pixels = Flat(Kind(state.range(0)));
    std::vector<uint8_t> mask(static_cast<size_t>(kPixels));
    for (auto _ : state) {
        state.PauseTiming();
        std::fill(mask.begin(), mask.end(), uint8_t(0));
        state.ResumeTiming();
        benchmark::DoNotOptimize(FlatFill(pixels, mask, 0, 0));
    }
    state.counters["Mpx/s"] = benchmark::Counter(double(kPixels) * double(state.iterations()),
                                                 benchmark::Counter::kIsRate, benchmark::Counter::kIs1000);
}
BENCHMARK(FlatScanlineFill)->Arg(kUniform)->Arg(kNoise)->Unit(benchmark::kMillisecond)->UseRealTime();

constexpr int32_t kShapeSide = 10000;
constexpr int64_t kShapePixels = int64_t(kShapeSide) * kShapeSide;
constexpr PTzRECT kEllipse = {500, 700, 9500, 9300};

// A star of 16 points around the picture's centre, in pixels.
std::vector<std::pair<double, double>> Star()
{
    std::vector<std::pair<double, double>> points;
    for (int i = 0; i < 32; ++i) {
        const double angle = i * M_PI / 16, radius = i % 2 ? 2500 : 4800;
        points.push_back({5000 + radius * std::cos(angle), 5000 + radius * std::sin(angle)});
    }
    return points;
}

// state.range(0): 0 the ellipse, 1 the star.
void SelectionShape(benchmark::State& state)
{
    ITzPicture picture;
    picture.Create_1(kShapeSide, kShapeSide, nullptr);
    std::vector<PTzPOINT> star;
    for (const auto& [x, y] : Star())
        star.push_back({int32_t(x * 16), int32_t(y * 16)});
    ITzToolMask tool;
    for (auto _ : state) {
        const int made = state.range(0) == 0 ? tool.DrawArcSelection(&picture, &kEllipse, 255, 0)
                                             : tool.DrawPolygonSelection(&picture, uint32_t(star.size()), star.data(),
                                                                         0, 0);
        if (!made)
            state.SkipWithError("the selection step failed");
        state.PauseTiming();
        picture.DoUndo();  // the next step drops it from the history
        state.ResumeTiming();
    }
    state.counters["Mpx/s"] = benchmark::Counter(double(kShapePixels) * double(state.iterations()),
                                                 benchmark::Counter::kIsRate, benchmark::Counter::kIs1000);
}
BENCHMARK(SelectionShape)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

pixman_point_fixed_t Fixed(double x, double y)
{
    return {pixman_double_to_fixed(x), pixman_double_to_fixed(y)};
}

// The star as triangles fanned from its centre.
std::vector<pixman_triangle_t> StarFan()
{
    const std::vector<std::pair<double, double>> outline = Star();
    std::vector<pixman_triangle_t> triangles;
    for (size_t i = 0; i < outline.size(); ++i) {
        const auto& a = outline[i];
        const auto& b = outline[(i + 1) % outline.size()];
        triangles.push_back({Fixed(5000, 5000), Fixed(a.first, a.second), Fixed(b.first, b.second)});
    }
    return triangles;
}

// The ellipse as a 1024-gon cut into 512 horizontal bands, each one trapezoid, so that
// pixman covers every pixel once.
std::vector<pixman_trapezoid_t> EllipseBands()
{
    const double cx = (kEllipse.left + kEllipse.right) / 2.0, cy = (kEllipse.top + kEllipse.bottom) / 2.0;
    const double rx = (kEllipse.right - kEllipse.left) / 2.0, ry = (kEllipse.bottom - kEllipse.top) / 2.0;
    const auto at = [&](int k) {
        const double angle = -M_PI / 2 + k * M_PI / 512;
        return std::pair<double, double>{rx * std::cos(angle), cy + ry * std::sin(angle)};
    };
    std::vector<pixman_trapezoid_t> bands;
    for (int k = 0; k < 512; ++k) {
        const auto [x0, y0] = at(k);
        const auto [x1, y1] = at(k + 1);
        pixman_trapezoid_t band;
        band.top = pixman_double_to_fixed(y0);
        band.bottom = pixman_double_to_fixed(y1);
        band.left = {Fixed(cx - x0, y0), Fixed(cx - x1, y1)};
        band.right = {Fixed(cx + x0, y0), Fixed(cx + x1, y1)};
        bands.push_back(band);
    }
    return bands;
}

// state.range(0): 0 the ellipse, 1 the star.
void PixmanShape(benchmark::State& state)
{
    std::vector<uint32_t> bits(size_t(kShapePixels) / 4);
    pixman_image_t* mask = pixman_image_create_bits(PIXMAN_a8, kShapeSide, kShapeSide, bits.data(), kShapeSide);
    const std::vector<pixman_triangle_t> triangles = StarFan();
    const std::vector<pixman_trapezoid_t> bands = EllipseBands();
    for (auto _ : state) {
        state.PauseTiming();
        std::fill(bits.begin(), bits.end(), 0u);
        state.ResumeTiming();
        if (state.range(0) == 0)
            for (const pixman_trapezoid_t& band : bands)
                pixman_rasterize_trapezoid(mask, &band, 0, 0);
        else
            pixman_add_triangles(mask, 0, 0, int(triangles.size()), triangles.data());
        benchmark::DoNotOptimize(bits.data());
    }
    pixman_image_unref(mask);
    state.counters["Mpx/s"] = benchmark::Counter(double(kShapePixels) * double(state.iterations()),
                                                 benchmark::Counter::kIsRate, benchmark::Counter::kIs1000);
}
BENCHMARK(PixmanShape)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
