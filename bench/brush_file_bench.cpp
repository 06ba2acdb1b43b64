// Reading and writing a brush library of 10,000 round brushes through the program's
// brush file (a read-only file stream; a synced temporary file renamed over the target),
// against a plain read of the same bytes and a plain synced write of them in the same run.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/shell/path_text.h"
#include "app/ui/brush_file_io.h"
#include "app/ui/brush_round.h"

namespace {

constexpr uint32_t kBrushes = 10000;

// A folder of the run's own under /tmp.
const std::string& Folder()
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/brush_file_bench_XXXXXX";
        return std::string(mkdtemp(pattern) ? pattern : "/tmp");
    }();
    return folder;
}

const std::string& LibraryPath()
{
    static const std::string path = Folder() + "/Brush.dat";
    return path;
}

_tagPTzFILE LibraryRecord()
{
    _tagPTzFILE record = {};
    quorvel::PathRecordFromText(QString::fromStdString(LibraryPath()), &record);
    return record;
}

BrushRecords Library()
{
    BrushRecords records;
    for (uint32_t i = 0; i < kBrushes; ++i) {
        auto brush = std::make_unique<CBrushRound>(1 + i % 1000, i % 101);
        brush->SetSpacing(1 + i % 300);
        brush->SetAngle(i % 180);
        brush->SetRoundness(i % 101);
        records.push_back(std::move(brush));
    }
    return records;
}

void WriteLibrary(benchmark::State& state)
{
    const BrushRecords records = Library();
    const _tagPTzFILE path = LibraryRecord();
    for (auto _ : state) {
        if (WriteBrushFile(path, records, 20, false) != BrushFileWrite::Written)
            state.SkipWithError("the write failed");
    }
}
BENCHMARK(WriteLibrary)->Unit(benchmark::kMillisecond);

void ReadLibrary(benchmark::State& state)
{
    const _tagPTzFILE path = LibraryRecord();
    if (WriteBrushFile(path, Library(), 20, false) != BrushFileWrite::Written)
        state.SkipWithError("no library to read");
    for (auto _ : state) {
        BrushRecords records;
        uint32_t defaults = 0;
        if (ReadBrushFile(path, &records, &defaults) != BrushFileRead::Whole || records.size() != kBrushes)
            state.SkipWithError("the read failed");
        benchmark::DoNotOptimize(records.data());
    }
}
BENCHMARK(ReadLibrary)->Unit(benchmark::kMillisecond);

// The peers: the same bytes read in one call, and written, synced and renamed into place.
std::vector<char> LibraryBytes()
{
    std::vector<char> bytes(BRUSH_FILE_HEAD_SIZE + kBrushes * 18);
    const int fd = open(LibraryPath().c_str(), O_RDONLY);
    if (fd < 0 || read(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size()))
        bytes.clear();
    if (fd >= 0)
        close(fd);
    return bytes;
}

void PlainRead(benchmark::State& state)
{
    WriteBrushFile(LibraryRecord(), Library(), 20, false);
    std::vector<char> bytes(BRUSH_FILE_HEAD_SIZE + kBrushes * 18);
    for (auto _ : state) {
        const int fd = open(LibraryPath().c_str(), O_RDONLY);
        benchmark::DoNotOptimize(read(fd, bytes.data(), bytes.size()));
        close(fd);
    }
}
BENCHMARK(PlainRead)->Unit(benchmark::kMillisecond);

void PlainSyncedWrite(benchmark::State& state)
{
    WriteBrushFile(LibraryRecord(), Library(), 20, false);
    const std::vector<char> bytes = LibraryBytes();
    const std::string temporary = Folder() + "/plain.tmp";
    for (auto _ : state) {
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        benchmark::DoNotOptimize(write(fd, bytes.data(), bytes.size()));
        fsync(fd);
        close(fd);
        std::rename(temporary.c_str(), LibraryPath().c_str());
    }
}
BENCHMARK(PlainSyncedWrite)->Unit(benchmark::kMillisecond);

}  // namespace
