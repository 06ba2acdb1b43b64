// Lifts and cuts of an elliptical selection covering half of a 10,000 x 10,000 layer: the
// move tool's lift (taking the pixels out, and copying them) and the cut, against pixman
// compositing the same area through the same 8-bit mask in the same run (IN for the copy,
// OUT_REVERSE for taking out). Rates are megapixels per second of the selection's bounds.
// Each lift or cut is undone outside the timing, so every run starts from the same picture.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/tools/tool_mask.h"
#include "engine/tools/tool_move.h"

namespace {

constexpr int32_t kSide = 10000;
// An ellipse as wide as the layer whose area is half the layer's: pi/4 x w x h = w x w / 2.
constexpr int32_t kEllipseHeight = 6366;
constexpr PTzRECT kEllipse = {0, (kSide - kEllipseHeight) / 2, kSide, (kSide + kEllipseHeight) / 2};
constexpr int64_t kBoundsPixels = int64_t(kSide) * kEllipseHeight;

// Opaque, colours varying with x and y so that every colour channel holds data.
uint32_t PixelOf(int32_t x, int32_t y)
{
    return 0xFF000000u | uint32_t(uint8_t(x)) << 16 | uint32_t(uint8_t(y)) << 8 | uint8_t(x ^ y);
}

// The picture: one such layer with the ellipse selected, made once.
ITzPicture& Picture()
{
    static ITzPicture* picture = [] {
        auto* made = new ITzPicture();
        made->Create(kSide, kSide);
        auto* layer = new ITzLayerImageARGB();
        const PTzRECT bounds = {0, 0, kSide, kSide};
        layer->SetSize(&bounds, 1);
        std::vector<uint8_t> band(size_t(kSide) * 256 * 4);
        for (int32_t top = 0; top < kSide; top += 256) {
            const int32_t rows = std::min(256, kSide - top);
            for (int32_t y = 0; y < rows; ++y)
                for (int32_t x = 0; x < kSide; ++x) {
                    uint8_t* p = &band[(size_t(y) * kSide + size_t(x)) * 4];
                    const uint32_t argb = PixelOf(x, top + y);
                    p[0] = uint8_t(argb >> 24), p[1] = uint8_t(argb >> 16), p[2] = uint8_t(argb >> 8), p[3] = uint8_t(argb);
                }
            _tagITzBITMAP bitmap = {kSide, rows, kSide * 4, 32, int32_t(PTzCOLORMODE_ARGB), band.data()};
            const PTzRECT strip = {0, top, kSide, top + rows};
            layer->SetRectData(&strip, &bitmap);
        }
        made->InsertLayer(0, layer);
        ITzToolMask selection;
        selection.DrawArcSelection(made, &kEllipse, 255, ITzSELECTION_REPLACE);
        return made;
    }();
    return *picture;
}

void CountBoundsPixels(benchmark::State& state)
{
    state.counters["MPix/s"] =
        benchmark::Counter(double(kBoundsPixels) * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

// range(0): the move tool's type, 0 taking the pixels out, 1 copying them.
void SelectionLift(benchmark::State& state)
{
    ITzPicture& picture = Picture();
    ITzToolMove tool;
    tool.SetToolType(ITzTOOLMOVETYPE(state.range(0)));
    const _tagPTzOFFSET step = {1, 0};
    auto* layer = static_cast<ITzLayerImage*>(picture.GetLayerbyIndex(0));
    for (auto _ : state) {
        tool.KeyMove(&picture, &step);
        state.PauseTiming();
        if (!layer->GetFloatingLayer()) {
            state.SkipWithError("nothing was lifted");
            break;
        }
        picture.DoUndo();
        state.ResumeTiming();
    }
    CountBoundsPixels(state);
}
BENCHMARK(SelectionLift)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void SelectionCut(benchmark::State& state)
{
    ITzPicture& picture = Picture();
    for (auto _ : state) {
        ITzLayerImage* cut = picture.DoCut();
        state.PauseTiming();
        if (!cut) {
            state.SkipWithError("nothing was cut");
            break;
        }
        ITzLayerBase::DestroyLayer(cut);
        picture.DoUndo();
        state.ResumeTiming();
    }
    CountBoundsPixels(state);
}
BENCHMARK(SelectionCut)->Unit(benchmark::kMillisecond)->UseRealTime();

// The peer's images over the selection's bounds: the layer's pixels, the selection's own
// values as an 8-bit mask (rows padded to 4 bytes) and a destination.
struct PixmanImages {
    std::vector<uint32_t> source, target;
    static constexpr int32_t maskStride = (kSide + 3) & ~3;
    std::vector<uint8_t> mask;
    pixman_image_t* sourceImage = nullptr;
    pixman_image_t* targetImage = nullptr;
    pixman_image_t* maskImage = nullptr;

    PixmanImages()
        : source(size_t(kBoundsPixels)), target(size_t(kBoundsPixels)),
          mask(size_t(maskStride) * kEllipseHeight)
    {
        for (int32_t y = 0; y < kEllipseHeight; ++y)
            for (int32_t x = 0; x < kSide; ++x)
                source[size_t(y) * kSide + size_t(x)] = PixelOf(x, kEllipse.top + y);
        ITzLayerImage* selection = Picture().GetSelectionLayer(0);
        _tagITzCHANNELBITMAP values = {kSide, kEllipseHeight, maskStride, int32_t(PTzCOLORMODE_GRAY), {mask.data()}};
        PTzRECT local;
        selection->PRECTtoLRECT(&kEllipse, &local);
        selection->GetRectChannelData(&values, &local);
        sourceImage = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kEllipseHeight, source.data(), kSide * 4);
        targetImage = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kEllipseHeight, target.data(), kSide * 4);
        maskImage = pixman_image_create_bits(PIXMAN_a8, kSide, kEllipseHeight,
                                             reinterpret_cast<uint32_t*>(mask.data()), maskStride);
    }
    ~PixmanImages()
    {
        pixman_image_unref(sourceImage);
        pixman_image_unref(targetImage);
        pixman_image_unref(maskImage);
    }
};

// The copy's peer: target = source IN mask, over an opaque target.
void PixmanIn(benchmark::State& state)
{
    PixmanImages images;
    for (auto _ : state) {
        state.PauseTiming();
        std::fill(images.target.begin(), images.target.end(), 0xFFFFFFFFu);
        state.ResumeTiming();
        pixman_image_composite32(PIXMAN_OP_IN, images.sourceImage, images.maskImage, images.targetImage, 0, 0, 0, 0,
                                 0, 0, kSide, kEllipseHeight);
    }
    CountBoundsPixels(state);
}
BENCHMARK(PixmanIn)->Unit(benchmark::kMillisecond)->UseRealTime();

// Taking out's peer: the layer's pixels lose what the mask selects (an opaque source
// OUT_REVERSE through the mask).
void PixmanOutReverse(benchmark::State& state)
{
    PixmanImages images;
    const pixman_color_t opaque = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    pixman_image_t* solid = pixman_image_create_solid_fill(&opaque);
    for (auto _ : state) {
        state.PauseTiming();
        images.target = images.source;
        state.ResumeTiming();
        pixman_image_composite32(PIXMAN_OP_OUT_REVERSE, solid, images.maskImage, images.targetImage, 0, 0, 0, 0, 0,
                                 0, kSide, kEllipseHeight);
    }
    pixman_image_unref(solid);
    CountBoundsPixels(state);
}
BENCHMARK(PixmanOutReverse)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
