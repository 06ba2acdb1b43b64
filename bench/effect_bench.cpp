// The brightness and contrast effect over a 10,000 x 10,000 layer of noise: over the
// whole layer, against a plain table-lookup loop over flat planes of the same pixels;
// and through a soft selection of the left half (every value between 0 and 255, so every
// pixel blends), against the plain masked blend loop over the same half. Each effect is
// applied as a step and undone outside the timing, so every run starts from the same
// picture. Rates are megapixels per second of the area the effect covers.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/pixels/layer_image_select.h"
#include "engine/pixels/merge_math.h"
#include "engine/pixels/undo_block_list.h"
#include "engine/tools/tool_effect_brightnees_contrast.h"
#include "noise_picture.h"

namespace {

using lumatra::merge::Mul255;

constexpr int32_t kSide = 10000;
constexpr int32_t kHalf = kSide / 2;
constexpr int8_t kContrast = 40, kShift = -10;

// The selection's value at a pixel of the left half.
uint8_t SoftValue(int32_t x, int32_t y)
{
    return uint8_t(x * 3 + y * 5);
}

void SelectLeftHalf(ITzPicture& picture)
{
    auto* selection = dynamic_cast<ITzLayerImageSelect*>(picture.GetSelectionLayer(1));
    ITzLayerImage* floating = selection->CreateFloatingLayer();
    const PTzRECT half = {0, 0, kHalf, kSide};
    const _tagPTzCOLOR zero = {PTzCOLORMODE_GRAY, 255, {0}};
    floating->FillRect(&half, &zero);
    std::vector<uint8_t> band(size_t(kHalf) * 256);
    for (int32_t top = 0; top < kSide; top += 256) {
        const int32_t rows = std::min(256, kSide - top);
        for (int32_t y = 0; y < rows; ++y)
            for (int32_t x = 0; x < kHalf; ++x)
                band[size_t(y) * kHalf + size_t(x)] = SoftValue(x, top + y);
        _tagITzBITMAP bitmap = {kHalf, rows, kHalf, 8, int32_t(PTzCOLORMODE_GRAY), band.data()};
        const PTzRECT rect = {0, top, kHalf, top + rows};
        floating->SetRectData(&rect, &bitmap);
    }
    ITzUndoTwoLevelBlockList undo(ITzBLOCKTYPE_GRAY);
    ITzLayerBase::DestroyLayer(selection->MergeFlatingLayer(&undo));
}

// The pictures, made once: the noise layer alone, and the same with the half selected.
ITzPicture& Picture(bool selected)
{
    static ITzPicture* plain = MakeNoisePicture(kSide, kSide, 1);
    static ITzPicture* withSelection = [] {
        ITzPicture* picture = MakeNoisePicture(kSide, kSide, 1);
        SelectLeftHalf(*picture);
        return picture;
    }();
    return selected ? *withSelection : *plain;
}

// The red, green and blue of the layer's pixels in a plane each, over the first `width`
// columns.
struct Planes {
    int32_t width = 0;
    std::vector<uint8_t> colour[3];
    std::vector<uint8_t> mask;
};

Planes& FlatPlanes(bool selected)
{
    static Planes planes[2];
    Planes& made = planes[selected ? 1 : 0];
    if (made.width != 0)
        return made;
    made.width = selected ? kHalf : kSide;
    const size_t count = size_t(made.width) * kSide;
    for (auto& plane : made.colour)
        plane.resize(count);
    auto* layer = static_cast<ITzLayerImage*>(Picture(false).GetLayerbyIndex(0));
    std::vector<uint8_t> band(size_t(made.width) * 4 * 256);
    for (int32_t top = 0; top < kSide; top += 256) {
        const int32_t rows = std::min(256, kSide - top);
        _tagITzBITMAP bitmap = {made.width, rows, made.width * 4, 32, int32_t(PTzCOLORMODE_ARGB), band.data()};
        const PTzRECT rect = {0, top, made.width, top + rows};
        layer->GetRectData(&rect, &bitmap);
        for (size_t i = 0, first = size_t(top) * made.width; i < size_t(rows) * made.width; ++i)
            for (int c = 0; c < 3; ++c)
                made.colour[c][first + i] = band[i * 4 + 1 + size_t(c)];
    }
    if (selected) {
        made.mask.resize(count);
        for (int32_t y = 0; y < kSide; ++y)
            for (int32_t x = 0; x < made.width; ++x)
                made.mask[size_t(y) * made.width + size_t(x)] = SoftValue(x, y);
    }
    return made;
}

// A brightening, contrast-raising table; every table costs the plain loops the same.
std::vector<uint8_t> ToneTable()
{
    std::vector<uint8_t> table(256);
    for (int i = 0; i < 256; ++i)
        table[size_t(i)] = uint8_t(std::clamp(i * 5 / 4 - 12, 0, 255));
    return table;
}

void Rate(benchmark::State& state, int64_t pixels)
{
    state.counters["MP/s"] =
        benchmark::Counter(double(state.iterations()) * double(pixels) / 1e6, benchmark::Counter::kIsRate);
}

// The effect run to its end and applied as a step; undone and dropped untimed.
void Effect(benchmark::State& state)
{
    const bool selected = state.range(0) != 0;
    ITzPicture& picture = Picture(selected);
    for (auto _ : state) {
        ITzToolEffectBrightneesContrast tool;
        tool.SetParameters(&picture, kContrast, kShift);
        void* handle = tool.EffectStart();
        while (handle && tool.EffectRun(handle, nullptr)) {
        }
        const int applied = handle ? tool.EffectApply(handle) : 0;
        state.PauseTiming();
        const bool undone = applied && picture.DoUndo() != 0;
        picture.ClearModified();
        state.ResumeTiming();
        if (!undone) {
            state.SkipWithError("the effect made no step");
            return;
        }
    }
    Rate(state, int64_t(selected ? kHalf : kSide) * kSide);
}
BENCHMARK(Effect)->Arg(0)->Arg(1)->MinTime(2)->Unit(benchmark::kMillisecond);

// The plain loops over the flat planes: c = t[c] for every colour byte, or with the
// selection c = M(t[c], s) + M(c, 255 - s).
void PlainLoop(benchmark::State& state)
{
    const bool selected = state.range(0) != 0;
    Planes& planes = FlatPlanes(selected);
    const std::vector<uint8_t> table = ToneTable();
    const uint8_t* t = table.data();
    for (auto _ : state) {
        for (auto& plane : planes.colour) {
            uint8_t* bytes = plane.data();
            const size_t count = plane.size();
            if (!selected) {
                for (size_t i = 0; i < count; ++i)
                    bytes[i] = t[bytes[i]];
            } else {
                const uint8_t* mask = planes.mask.data();
                for (size_t i = 0; i < count; ++i)
                    bytes[i] = uint8_t(Mul255(t[bytes[i]], mask[i]) + Mul255(bytes[i], 255 - mask[i]));
            }
        }
        benchmark::ClobberMemory();
    }
    Rate(state, int64_t(planes.width) * kSide);
}
BENCHMARK(PlainLoop)->Arg(0)->Arg(1)->MinTime(2)->Unit(benchmark::kMillisecond);

}  // namespace
