// The view's heavy commands on 4000 x 3000 pictures. The clipboard: a copied layer of
// reproducible noise rendered as the bitmap other programs paste when the program goes
// inactive, and a paste of a clipboard image of that size (its conversion to the packed
// bitmap and the engine's paste), each through a port that keeps the image in memory as
// QClipboard does; the plain copy of the same pixels into one reused buffer is the peer.
// The operations: Resize and the three rotations of a four-layer picture, stepped as the
// runner steps them, each reporting its longest step (the window repaints and Cancel
// answers between steps).
#include <benchmark/benchmark.h>

#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "app/shell/clipboard_bridge.h"
#include "app/shell/operations.h"
#include "bench/noise_picture.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"

namespace {

constexpr int32_t kWidth = 4000;
constexpr int32_t kHeight = 3000;

using Clock = std::chrono::steady_clock;

struct MemoryPort : IClipboardPort {
    uint32_t sequence = 0;
    QImage image;
    uint32_t GetSequenceNumber() override { return sequence; }
    QImage GetImage() override { return image; }
    void SetImage(const QImage& written) override
    {
        ++sequence;
        image = written;
    }
};

ITzPicture& OneLayerPicture()
{
    static ITzPicture* const picture = MakeNoisePicture(kWidth, kHeight, 1);
    return *picture;
}

void ClipboardRender(benchmark::State& state)
{
    ITzPicture& picture = OneLayerPicture();
    auto owned = std::make_unique<MemoryPort>();
    MemoryPort* port = owned.get();
    TzClipBoard bridge(std::move(owned));
    for (auto _ : state) {
        state.PauseTiming();
        bridge.Copy(&picture);
        state.ResumeTiming();
        bridge.OnAppActivate(false);
        if (port->image.size() != QSize(kWidth, kHeight)) {
            state.SkipWithError("no bitmap was rendered");
            break;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kWidth * kHeight * 4);
}

void ClipboardPaste(benchmark::State& state)
{
    ITzPicture& picture = OneLayerPicture();
    auto owned = std::make_unique<MemoryPort>();
    owned->image = QImage(kWidth, kHeight, QImage::Format_RGB32);
    uint32_t noise = 99;
    for (int y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<QRgb*>(owned->image.scanLine(y));
        for (int x = 0; x < kWidth; ++x, noise = noise * 1103515245u + 12345u)
            row[x] = 0xFF000000u | noise >> 8;
    }
    TzClipBoard bridge(std::move(owned));
    for (auto _ : state) {
        bridge.Paste(&picture);
        state.PauseTiming();
        if (picture.GetLayerCount() != 2 || !picture.DoUndo())
            state.SkipWithError("the paste failed");
        picture.ClearModified();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kWidth * kHeight * 4);
}

// The peer: the same pixels copied row by row into one reused 24-bit buffer.
void PlainRowCopy(benchmark::State& state)
{
    std::vector<uint8_t> source(size_t(kWidth) * kHeight * 4, 7);
    std::vector<uint8_t> target(size_t(kWidth) * kHeight * 3);
    for (auto _ : state) {
        for (int32_t y = 0; y < kHeight; ++y) {
            const uint8_t* in = source.data() + size_t(y) * kWidth * 4;
            uint8_t* out = target.data() + size_t(kHeight - 1 - y) * kWidth * 3;
            for (int32_t x = 0; x < kWidth; ++x)
                std::memcpy(out + x * 3, in + x * 4, 3);
        }
        benchmark::DoNotOptimize(target.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kWidth * kHeight * 4);
}

ITzPicture& FourLayerPicture()
{
    static ITzPicture* const picture = MakeNoisePicture(kWidth, kHeight, 4);
    return *picture;
}

// Runs the operation step by step: the longest step in ms, or -1 when it failed.
double LongestStepMs(COperationBase& operation)
{
    double longest = 0;
    Clock::time_point before = Clock::now();
    if (!operation.Start())
        return -1;
    longest = std::chrono::duration<double, std::milli>(Clock::now() - before).count();
    uint32_t percent = 0;
    for (int more = 1; more;) {
        before = Clock::now();
        more = operation.Step(&percent);
        longest = std::max(longest, std::chrono::duration<double, std::milli>(Clock::now() - before).count());
    }
    before = Clock::now();
    const int finished = operation.Finish();
    longest = std::max(longest, std::chrono::duration<double, std::milli>(Clock::now() - before).count());
    return finished ? longest : -1;
}

void RunTransform(benchmark::State& state, const std::function<std::unique_ptr<COperationBase>(ITzPicture&)>& make)
{
    ITzPicture& picture = FourLayerPicture();
    double longest = 0;
    for (auto _ : state) {
        std::unique_ptr<COperationBase> operation = make(picture);
        const double step = LongestStepMs(*operation);
        state.PauseTiming();
        if (step < 0 || !picture.DoUndo()) {
            state.SkipWithError("the operation failed");
            break;
        }
        picture.ClearModified();
        longest = std::max(longest, step);
        state.ResumeTiming();
    }
    state.counters["longest_step_ms"] = longest;
}

void Resize(benchmark::State& state)
{
    RunTransform(state, [](ITzPicture& picture) {
        auto resize = std::make_unique<COPResize>();
        const _tagPTzSIZE size = {3000, 2250};
        resize->Set(&picture, &size, 1, 3780);
        return resize;
    });
}

void Rotate(benchmark::State& state)
{
    RunTransform(state, [kind = uint32_t(state.range(0))](ITzPicture& picture) {
        auto rotate = std::make_unique<COPRotateS>();
        rotate->Set(&picture, kind);
        return rotate;
    });
}

}  // namespace

BENCHMARK(ClipboardRender)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ClipboardPaste)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PlainRowCopy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Resize)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(Rotate)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
