// Opening and saving a four-layer 4000 x 3000 native picture (about 192 MB) through the
// program's operations, step by step as the runner drives them, against a plain read of
// the same file into one reused buffer in the same run. Each operation reports its
// longest step (the window repaints and Cancel answers between steps) and when the
// runner's rule would hand it to the progress dialog; an open also reports the rate of
// its file part alone (file_bytes_per_second), apart from the preview cache it builds
// after. The opens run twice: with glibc's default trim threshold first, then with the
// threshold the program sets at start-up (which cannot be undone in-process, hence the
// order).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/file_filters.h"
#include "app/shell/memory_policy.h"
#include "app/shell/operations.h"
#include "bench/noise_picture.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "formats/manager/save_format.h"

namespace {

constexpr int32_t kWidth = 4000;
constexpr int32_t kHeight = 3000;
constexpr int kLayers = 4;
constexpr size_t kChunk = 256 * 1024;

using Clock = std::chrono::steady_clock;

std::string Folder()
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/shell_io_bench_XXXXXX";
        return std::string(mkdtemp(pattern) ? pattern : "/tmp");
    }();
    return folder;
}

_tagPTzFILE Record(const std::string& path)
{
    _tagPTzFILE file = {};
    for (size_t i = 0; i < path.size(); ++i)
        file.path[i] = PTzChar(path[i]);
    return file;
}

std::string PicturePath()
{
    return Folder() + "/picture.dwk";
}

// The picture, saved once as the native file it is then opened from and saved as.
ITzPicture& ThePicture()
{
    static ITzPicture* const picture = [] {
        ITzPicture* made = MakeNoisePicture(kWidth, kHeight, kLayers);
        void* native = nullptr;
        for (const _tagFTzFILTERINFO& record : quorvel::SaveFilters(ITzPictSetPictureClass(made))) {
            if (FTzSaveGetMode(record.plugin) == FTzMODE_NATIVE)
                native = record.plugin;
        }
        const _tagPTzFILE file = Record(PicturePath());
        COPSave save;
        save.Set(made, &file, 1, native, nullptr);
        if (!save.Run())
            std::fprintf(stderr, "the first save failed: %d\n", save.GetError());
        return made;
    }();
    return *picture;
}

uint64_t FileBytes()
{
    ThePicture();
    const int fd = open(PicturePath().c_str(), O_RDONLY | O_CLOEXEC);
    const off_t size = fd >= 0 ? lseek(fd, 0, SEEK_END) : 0;
    if (fd >= 0)
        close(fd);
    return uint64_t(size);
}

// Steps the operation as the runner does and keeps the figures the runner sees.
struct StepFigures {
    double longestMs = 0;
    double dialogAtMs = -1;  // when the runner's rule would show the dialog; -1 never
    double readingMs = 0;    // an open's steps while they read the file
    bool succeeded = false;
};

StepFigures RunSteps(COperationBase& operation)
{
    auto* load = dynamic_cast<COpLoad*>(&operation);
    StepFigures figures;
    const Clock::time_point start = Clock::now();
    if (!operation.Start())
        return figures;
    if (load)
        figures.readingMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    uint32_t percent = 0;
    for (int more = 1; more;) {
        const bool reading = load && load->Reading();
        const Clock::time_point before = Clock::now();
        more = operation.Step(&percent);
        const Clock::time_point after = Clock::now();
        const double stepMs = std::chrono::duration<double, std::milli>(after - before).count();
        figures.longestMs = std::max(figures.longestMs, stepMs);
        if (reading)
            figures.readingMs += stepMs;
        const uint32_t elapsed = uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(after - start).count());
        if (more && figures.dialogAtMs < 0 && ShouldShowProgress(elapsed, std::min<uint32_t>(percent, 100)))
            figures.dialogAtMs = elapsed;
    }
    figures.succeeded = operation.Finish() != 0;
    return figures;
}

void Report(benchmark::State& state, const StepFigures& worst, uint64_t bytes)
{
    state.counters["longest_step_ms"] = worst.longestMs;
    state.counters["dialog_at_ms"] = worst.dialogAtMs;
    state.SetBytesProcessed(int64_t(state.iterations() * bytes));
}

void Open(benchmark::State& state)
{
    const uint64_t bytes = FileBytes();
    const _tagPTzFILE file = Record(PicturePath());
    StepFigures worst;
    double readingMs = 0;
    for (auto _ : state) {
        ITzPicture* picture = nullptr;
        COpLoad load;
        load.Set(&file, &picture);
        const StepFigures figures = RunSteps(load);
        if (!figures.succeeded || !picture || picture->GetLayerCount() != kLayers) {
            state.SkipWithError("the open failed");
            break;
        }
        worst.longestMs = std::max(worst.longestMs, figures.longestMs);
        worst.dialogAtMs = std::max(worst.dialogAtMs, figures.dialogAtMs);
        readingMs += figures.readingMs;
        ITzPictDestroy(ITzPictSetPictureClass(picture));
    }
    Report(state, worst, bytes);
    state.counters["file_bytes_per_second"] =
        readingMs > 0 ? double(bytes) * double(state.iterations()) / (readingMs / 1000) : 0;
}

void OpenDefaultTrim(benchmark::State& state)
{
    Open(state);
}

void OpenKeepingFreedMemory(benchmark::State& state)
{
    quorvel::KeepFreedMemory();
    Open(state);
}

void Save(benchmark::State& state)
{
    const uint64_t bytes = FileBytes();
    const _tagPTzFILE file = Record(Folder() + "/saved.dwk");
    StepFigures worst;
    for (auto _ : state) {
        state.PauseTiming();
        std::remove((Folder() + "/saved.dwk").c_str());
        state.ResumeTiming();
        COPSave save;
        save.Set(&ThePicture(), &file, 0, nullptr, nullptr);
        const StepFigures figures = RunSteps(save);
        if (!figures.succeeded) {
            state.SkipWithError("the save failed");
            break;
        }
        worst.longestMs = std::max(worst.longestMs, figures.longestMs);
        worst.dialogAtMs = std::max(worst.dialogAtMs, figures.dialogAtMs);
    }
    Report(state, worst, bytes);
}

// The peer: the same file read into one reused buffer, a stream window at a time.
void PlainRead(benchmark::State& state)
{
    const uint64_t bytes = FileBytes();
    std::vector<uint8_t> buffer(bytes);
    for (auto _ : state) {
        const int fd = open(PicturePath().c_str(), O_RDONLY | O_CLOEXEC);
        size_t done = 0;
        for (ssize_t got = 1; fd >= 0 && got > 0; done += size_t(std::max<ssize_t>(got, 0)))
            got = read(fd, buffer.data() + done, std::min(kChunk, buffer.size() - done));
        if (fd >= 0)
            close(fd);
        benchmark::DoNotOptimize(buffer.data());
        if (done != bytes)
            state.SkipWithError("read fell short");
    }
    state.SetBytesProcessed(int64_t(state.iterations() * bytes));
}

}  // namespace

// In this order: the default trim threshold cannot come back once the program's is set.
BENCHMARK(PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Name("PlainRead/DefaultTrim");
BENCHMARK(OpenDefaultTrim)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(OpenKeepingFreedMemory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Name("PlainRead/KeptMemory");
BENCHMARK(Save)->Unit(benchmark::kMillisecond)->UseRealTime();
