// The whole load of a 4096 x 4096 24-bit BMP file (bottom-up, as BMPs usually are) into
// a picture through ITzPictLoad_1: the file read, Bitmora's decode and the rows written
// into the picture's blocks, uniform channels folded. Against stb_image's decode alone of
// the same file, already in memory, in the same run. The program keeps freed memory
// (app/shell/memory_policy.h), so the bench does too.
#include <benchmark/benchmark.h>

#include <stb_image.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/shell/memory_policy.h"
#include "engine/picture/engine_functions.h"

namespace {

constexpr int32_t kSide = 4096;
constexpr size_t kRowBytes = size_t(kSide) * 3;
constexpr size_t kFileBytes = 54 + kRowBytes * kSide;

void Put(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes[at + size_t(i)] = uint8_t(value >> (8 * i));
}

// A reproducible noise picture as a 24-bit bottom-up BMP.
std::vector<uint8_t> BmpFile()
{
    std::vector<uint8_t> bytes(kFileBytes);
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put(bytes, 2, uint32_t(kFileBytes), 4);
    Put(bytes, 10, 54, 4);
    Put(bytes, 14, 40, 4);
    Put(bytes, 18, kSide, 4);
    Put(bytes, 22, kSide, 4);
    Put(bytes, 26, 1, 2);
    Put(bytes, 28, 24, 2);
    Put(bytes, 34, uint32_t(kRowBytes * kSide), 4);
    uint32_t state = 12345;
    for (size_t i = 54; i < bytes.size(); ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = uint8_t(state >> 16);
    }
    return bytes;
}

// The file on disk, written once; removed when the program ends.
struct FileOnDisk {
    std::string path;
    std::vector<uint8_t> bytes = BmpFile();

    FileOnDisk()
    {
        char pattern[] = "/tmp/picture_load_bench_XXXXXX";
        const int descriptor = mkstemp(pattern);
        path = pattern;
        if (descriptor < 0 || write(descriptor, bytes.data(), bytes.size()) != ssize_t(bytes.size()))
            path.clear();
        if (descriptor >= 0)
            close(descriptor);
    }
    ~FileOnDisk()
    {
        if (!path.empty())
            std::remove(path.c_str());
    }
};

FileOnDisk& Shared()
{
    static FileOnDisk file;
    return file;
}

void ItzPictLoad(benchmark::State& state)
{
    quorvel::KeepFreedMemory();
    const std::string& path = Shared().path;
    const std::u16string units(path.begin(), path.end());
    _tagPTzFILE file = {};
    if (path.empty() || !PTzFileFill(&file, units.c_str())) {
        state.SkipWithError("the file could not be written");
        return;
    }
    for (auto _ : state) {
        int error = 0;
        void* picture = ITzPictLoad_1(&file, &error);
        if (!picture)
            state.SkipWithError("the load failed");
        ITzPictDestroy(picture);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kRowBytes * kSide));
}
BENCHMARK(ItzPictLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

void StbImageDecode(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = Shared().bytes;
    for (auto _ : state) {
        int width = 0, height = 0, channels = 0;
        stbi_uc* pixels = stbi_load_from_memory(bytes.data(), int(bytes.size()), &width, &height, &channels, 3);
        if (!pixels || width != kSide || height != kSide)
            state.SkipWithError("the decode failed");
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kRowBytes * kSide));
}
BENCHMARK(StbImageDecode)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
