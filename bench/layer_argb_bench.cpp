// The ARGB layer's tile store on a 10,000 x 10,000 picture: fills, rectangle writes and
// reads, each against memcpy of the same 400 MB in the same run, and the heap that an
// empty or uniform 30,000 x 30,000 layer takes (no channel blocks, only block records).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstring>
#include <memory>

#include "engine/pixels/layer_image_argb.h"

namespace {

constexpr int32_t kSide = 10000;
constexpr int64_t kBytes = int64_t(kSide) * kSide * 4;
constexpr PTzRECT kWhole = {0, 0, kSide, kSide};

using Layer = std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer>;

// A 32-bit picture of kSide x kSide: opaque, colours varying with x and y, so that every
// colour channel of every block holds data and alpha folds back into its byte.
_tagITzBITMAP& Picture()
{
    static _tagITzBITMAP picture = [] {
        _tagITzBITMAP bitmap = {};
        const _tagPTzSIZE size = {kSide, kSide};
        ITzPrepareITzBitmap(&bitmap, &size, PTzCOLORMODE_ARGB);
        for (int32_t y = 0; y < kSide; ++y)
            for (int32_t x = 0; x < kSide; ++x) {
                uint8_t* p = bitmap.pixels + int64_t(y) * bitmap.stride + int64_t(x) * 4;
                p[0] = 255;
                p[1] = uint8_t(x);
                p[2] = uint8_t(y);
                p[3] = uint8_t(x ^ y);
            }
        return bitmap;
    }();
    return picture;
}

_tagITzBITMAP& Target()
{
    static _tagITzBITMAP target = [] {
        _tagITzBITMAP bitmap = {};
        const _tagPTzSIZE size = {kSide, kSide};
        ITzPrepareITzBitmap(&bitmap, &size, PTzCOLORMODE_ARGB);
        return bitmap;
    }();
    return target;
}

Layer SizedLayer()
{
    Layer layer(new ITzLayerImageARGB());
    layer->ExtendSize(&kWhole, nullptr, 1);
    return layer;
}

void Memcpy(benchmark::State& state)
{
    const uint8_t* source = Picture().pixels;
    uint8_t* target = Target().pixels;
    for (auto _ : state) {
        std::memcpy(target, source, size_t(kBytes));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

// range(0): 0 fills the whole layer, 1 a rectangle 3 pixels in from every edge, so
// that the edge blocks are filled in part and hold data.
void LayerFill(benchmark::State& state)
{
    Layer layer = SizedLayer();
    const PTzRECT rect = state.range(0) == 0 ? kWhole : PTzRECT{3, 3, kSide - 3, kSide - 3};
    uint8_t shade = 0;
    for (auto _ : state) {
        const _tagPTzCOLOR colour = {PTzCOLORMODE_ARGB, 255, {shade, uint8_t(shade + 1), uint8_t(shade + 2)}};
        benchmark::DoNotOptimize(layer->FillRect(&rect, &colour));
        ++shade;
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

// Writes over blocks that already hold data (the first, expanding write is untimed).
void LayerWrite(benchmark::State& state)
{
    Layer layer = SizedLayer();
    layer->SetRectData(&kWhole, &Picture());
    for (auto _ : state)
        benchmark::DoNotOptimize(layer->SetRectData(&kWhole, &Picture()));
    state.SetBytesProcessed(state.iterations() * kBytes);
}

// range(0): 0 reads blocks holding data, 1 a uniform layer (its constants only).
void LayerRead(benchmark::State& state)
{
    Layer layer = SizedLayer();
    const _tagPTzCOLOR colour = {PTzCOLORMODE_ARGB, 255, {10, 20, 30}};
    if (state.range(0) == 0)
        layer->SetRectData(&kWhole, &Picture());
    else
        layer->FillRect(&kWhole, &colour);
    for (auto _ : state) {
        benchmark::DoNotOptimize(layer->GetRectData(&kWhole, &Target()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// range(0): 0 an empty layer of missing blocks, 1 of present transparent blocks, 2 a
// layer filled with one colour. Reports the heap the layer holds and its channel blocks.
void LayerMemory(benchmark::State& state)
{
    constexpr int32_t kLarge = 30000;
    const PTzRECT large = {0, 0, kLarge, kLarge};
    for (auto _ : state) {
        const size_t before = HeapInUse();
        Layer layer(new ITzLayerImageARGB());
        layer->ExtendSize(&large, nullptr, state.range(0) == 0 ? 0 : 1);
        if (state.range(0) == 2) {
            const _tagPTzCOLOR colour = {PTzCOLORMODE_ARGB, 255, {1, 2, 3}};
            layer->FillRect(&large, &colour);
        }
        const size_t bytes = HeapInUse() - before;
        uint32_t handles = 0;
        for (uint32_t index = 0; index < layer->GetBlockCount(); ++index) {
            _tagITzBLOCKINFOARGB record;
            if (layer->ITzLayerImageARGB::GetBlockInfo(index, &record, 0) == 0)
                for (PTzHANDLE channel : record.channels)
                    handles += channel != nullptr;
        }
        state.counters["heap_bytes"] = double(bytes);
        state.counters["blocks"] = double(layer->GetBlockCount());
        state.counters["bytes_per_block"] = double(bytes) / layer->GetBlockCount();
        state.counters["channel_blocks"] = double(handles);
    }
}

BENCHMARK(Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(LayerFill)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(LayerWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(LayerRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(LayerMemory)->Arg(0)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
