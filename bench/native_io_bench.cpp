// Native file save and load of a 4-layer 4000 x 3000 picture of non-uniform pixels,
// against plain POSIX write and read of the same bytes between memory and a file in the
// same run, all in a temporary folder, none of them synced. Figures are file bytes a
// second. A load must make a new picture, so it has two read peers: into one reused
// buffer (the kernel's copy alone) and into fresh 64 KiB blocks each time, which the C
// library hands back to the system when freed and which fault in again on first touch
// (what reading into new memory costs).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/file_stream.h"
#include "bench/noise_picture.h"
#include "engine/picture/native_reader.h"
#include "engine/picture/native_writer.h"
#include "engine/picture/picture.h"

namespace {

constexpr int32_t kWidth = 4000;
constexpr int32_t kHeight = 3000;
constexpr int kLayers = 4;
constexpr size_t kChunk = PTzFILESTREAM_WINDOW;  // the peers move what the stream's window holds

struct Folder {
    std::string path;
    Folder()
    {
        char pattern[] = "/tmp/native_bench_XXXXXX";
        path = mkdtemp(pattern) ? pattern : "/tmp";
    }
    ~Folder()
    {
        for (const char* name : {"/picture.dwk", "/raw.bin"})
            std::remove((path + name).c_str());
        rmdir(path.c_str());
    }
    _tagPTzFILE File(const char* name) const
    {
        _tagPTzFILE file = {};
        const std::string full = path + "/" + name;
        for (size_t i = 0; i < full.size(); ++i)
            file.path[i] = PTzChar(full[i]);
        return file;
    }
};

const Folder& TheFolder()
{
    static const Folder folder;
    return folder;
}

ITzPicture& ThePicture()
{
    static ITzPicture* const picture = MakeNoisePicture(kWidth, kHeight, kLayers);
    return *picture;
}

uint64_t SaveNative(const _tagPTzFILE& file)
{
    _tagPTzIOSTREAM* stream = PTzFileStreamCreateEx_1(&file, 3, PTzFILESTREAM_WINDOW);
    lumatra::native::PictureWriter writer(&ThePicture(), stream);
    while (writer.Step()) {
    }
    PTzFileStreamDestory(stream);
    return writer.Finished() ? writer.FileSize() : 0;
}

uint64_t FileBytes()
{
    static const uint64_t bytes = SaveNative(TheFolder().File("picture.dwk"));
    return bytes;
}

void NativeSave(benchmark::State& state)
{
    const uint64_t total = FileBytes();  // the picture is made outside the timing
    const _tagPTzFILE file = TheFolder().File("picture.dwk");
    for (auto _ : state) {
        // Each save makes a new file, as a save beside the user's file does.
        state.PauseTiming();
        std::remove((TheFolder().path + "/picture.dwk").c_str());
        state.ResumeTiming();
        if (SaveNative(file) != total)
            state.SkipWithError("the save failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations() * total));
}

void NativeLoad(benchmark::State& state)
{
    FileBytes();
    const _tagPTzFILE file = TheFolder().File("picture.dwk");
    for (auto _ : state) {
        _tagPTzIOSTREAM* stream = PTzFileStreamCreate_1(&file, 2, PTzFILESTREAM_WINDOW);
        std::unique_ptr<ITzPicture> picture;
        {
            lumatra::native::PictureReader reader(stream);
            while (reader.Step()) {
            }
            picture.reset(reader.TakePicture());
        }
        PTzFileStreamDestory(stream);
        if (!picture || picture->GetLayerCount() != kLayers)
            state.SkipWithError("the load failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations() * FileBytes()));
}

std::string RawPath()
{
    return TheFolder().path + "/raw.bin";
}

// The native file's bytes in memory, as the peers' source and target: they move what
// the save and the load move, between memory of the file's size and the file.
std::vector<uint8_t>& FileImage()
{
    static std::vector<uint8_t> image = [] {
        std::vector<uint8_t> bytes(FileBytes());
        FILE* file = std::fopen((TheFolder().path + "/picture.dwk").c_str(), "rb");
        if (file) {
            bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
            std::fclose(file);
        }
        return bytes;
    }();
    return image;
}

// Writes the image in chunks of the stream window: true when all was written.
bool WriteRaw(const std::vector<uint8_t>& image)
{
    const int fd = open(RawPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    size_t done = 0;
    for (ssize_t wrote = 1; fd >= 0 && done < image.size() && wrote > 0; done += size_t(std::max<ssize_t>(wrote, 0)))
        wrote = write(fd, image.data() + done, std::min(kChunk, image.size() - done));
    if (fd >= 0)
        close(fd);
    return done == image.size();
}

void PosixWrite(benchmark::State& state)
{
    const std::vector<uint8_t>& image = FileImage();
    for (auto _ : state) {
        state.PauseTiming();
        std::remove(RawPath().c_str());
        state.ResumeTiming();
        if (!WriteRaw(image))
            state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations() * image.size()));
}

void PosixRead(benchmark::State& state)
{
    std::vector<uint8_t>& image = FileImage();
    if (!WriteRaw(image))
        state.SkipWithError("write failed");
    for (auto _ : state) {
        const int fd = open(RawPath().c_str(), O_RDONLY | O_CLOEXEC);
        size_t done = 0;
        for (ssize_t got = 1; fd >= 0 && got > 0; done += size_t(std::max<ssize_t>(got, 0)))
            got = read(fd, image.data() + done, std::min(kChunk, image.size() - done));
        if (fd >= 0)
            close(fd);
        benchmark::DoNotOptimize(image.data());
        if (done != image.size())
            state.SkipWithError("read fell short");
    }
    state.SetBytesProcessed(int64_t(state.iterations() * image.size()));
}

// Each pass reads the file into new blocks of a channel's size, a window's worth a
// call, and frees them, as a load and the picture's end do.
void PosixReadFresh(benchmark::State& state)
{
    constexpr size_t kBlock = 65536;
    constexpr size_t kBlocksPerCall = kChunk / kBlock;
    const size_t total = FileImage().size();
    if (!WriteRaw(FileImage()))
        state.SkipWithError("write failed");
    std::vector<void*> blocks((total + kBlock - 1) / kBlock);
    for (auto _ : state) {
        const int fd = open(RawPath().c_str(), O_RDONLY | O_CLOEXEC);
        size_t done = 0;
        for (size_t b = 0; fd >= 0 && b < blocks.size(); b += kBlocksPerCall) {
            iovec parts[kBlocksPerCall];
            const size_t count = std::min(kBlocksPerCall, blocks.size() - b);
            for (size_t i = 0; i < count; ++i) {
                blocks[b + i] = std::malloc(kBlock);
                parts[i] = {blocks[b + i], std::min(kBlock, total - (b + i) * kBlock)};
            }
            const ssize_t got = readv(fd, parts, int(count));
            done += size_t(std::max<ssize_t>(got, 0));
        }
        if (fd >= 0)
            close(fd);
        benchmark::DoNotOptimize(blocks.data());
        for (void*& block : blocks)
            std::free(std::exchange(block, nullptr));
        if (done != total)
            state.SkipWithError("read fell short");
    }
    state.SetBytesProcessed(int64_t(state.iterations() * total));
}

}  // namespace

// Loads first: the saves leave gigabytes of dirty pages that the kernel writes back
// while later benchmarks run, which slows whatever allocates memory then.
BENCHMARK(NativeLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PosixRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PosixReadFresh)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(NativeSave)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PosixWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
