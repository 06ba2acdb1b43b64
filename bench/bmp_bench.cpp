// Decoding and encoding a 4096 x 4096 24-bit BMP held in memory: Bitmora's read and
// save sessions against stb_image and stb_image_write on the same picture in the same
// run. Each decoder fills a whole picture buffer; each encoder writes a whole file.
#include <benchmark/benchmark.h>

#include <stb_image.h>
#include <stb_image_write.h>

#include <cstring>
#include <vector>

#include "base/error_codes.h"
#include "base/mem_stream.h"
#include "formats/bmp/bmp_read_session.h"
#include "formats/bmp/bmp_save_session.h"

namespace {

constexpr int Side = 4096;
constexpr size_t RowBytes = Side * 3;
constexpr size_t PictureBytes = RowBytes * Side;
constexpr size_t FileBytes = 54 + PictureBytes;

// A reproducible picture of R, G, B rows, top first.
const std::vector<uint8_t>& Picture()
{
    static const std::vector<uint8_t> picture = [] {
        std::vector<uint8_t> bytes(PictureBytes);
        uint32_t state = 12345;
        for (uint8_t& byte : bytes) {
            state = state * 1103515245u + 12345u;
            byte = uint8_t(state >> 16);
        }
        return bytes;
    }();
    return picture;
}

int SupplyRow(uint32_t row, uint32_t, _tagPTzCOLORCONVERTBUFFER* data, void*)
{
    std::memcpy(data->data, Picture().data() + row * RowBytes, RowBytes);
    return 0;
}

// Saves the picture as a 24-bit BMP into file (FileBytes long): true on success.
bool BitmoraEncode(std::vector<uint8_t>& file)
{
    _tagPTzIOSTREAM* stream = PTzCreateMemStream(file.data(), uint32_t(file.size()));
    int error = 0;
    void* session = bitmora::StartBmpSave(stream, nullptr, true, &error);
    _tagFTzIMAGEINFO_1 info{};
    info.width = Side;
    info.height = Side;
    info.bits = 24;
    info.mode = PTzCOLORMODE_RGB;
    bitmora::SetBmpSaveInfo(session, &info);
    _tagFTzSAVEGETDATACALLBACK_1 rows{SupplyRow, nullptr};
    bitmora::SetBmpSaveCallBack(session, &rows);
    int result = 0;
    while ((result = bitmora::StepBmpSave(session)) == 0) {
    }
    bitmora::EndBmpSave(session);
    PTzDestoryMemStream(stream);
    return result == FTzSTEP_FINISHED;
}

const std::vector<uint8_t>& EncodedFile()
{
    static const std::vector<uint8_t> file = [] {
        std::vector<uint8_t> bytes(FileBytes);
        BitmoraEncode(bytes);
        return bytes;
    }();
    return file;
}

int StoreRow(uint32_t row, uint32_t, _tagPTzCOLORCONVERTBUFFER* data, void* user)
{
    std::memcpy(static_cast<uint8_t*>(user) + row * RowBytes, data->data, RowBytes);
    return 0;
}

void BM_BitmoraDecode(benchmark::State& state)
{
    std::vector<uint8_t> file = EncodedFile();
    std::vector<uint8_t> picture(PictureBytes);
    for (auto _ : state) {
        _tagPTzIOSTREAM* stream = PTzCreateMemStream(file.data(), uint32_t(file.size()));
        int error = 0;
        void* session = bitmora::StartBmpRead(stream, nullptr, true, &error);
        _tagFTzGETDATACALLBACK_1 rows{StoreRow, picture.data()};
        bitmora::SetBmpReadCallBack(session, &rows);
        uint8_t percent = 0;
        int result = 0;
        while ((result = bitmora::StepBmpRead(session, &percent)) == 0) {
        }
        bitmora::EndBmpRead(session);
        PTzDestoryMemStream(stream);
        if (result != FTzSTEP_FINISHED)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(picture.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(PictureBytes));
}
BENCHMARK(BM_BitmoraDecode)->Unit(benchmark::kMillisecond);

void BM_StbImageDecode(benchmark::State& state)
{
    const std::vector<uint8_t>& file = EncodedFile();
    for (auto _ : state) {
        int width = 0, height = 0, channels = 0;
        stbi_uc* picture = stbi_load_from_memory(file.data(), int(file.size()), &width, &height, &channels, 3);
        if (!picture || width != Side || height != Side)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(picture);
        stbi_image_free(picture);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(PictureBytes));
}
BENCHMARK(BM_StbImageDecode)->Unit(benchmark::kMillisecond);

void BM_BitmoraEncode(benchmark::State& state)
{
    Picture();
    std::vector<uint8_t> file(FileBytes);
    for (auto _ : state) {
        if (!BitmoraEncode(file))
            state.SkipWithError("encode failed");
        benchmark::DoNotOptimize(file.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(PictureBytes));
}
BENCHMARK(BM_BitmoraEncode)->Unit(benchmark::kMillisecond);

struct Sink {
    std::vector<uint8_t> bytes;
    size_t used = 0;
};

void Append(void* context, void* data, int size)
{
    auto* sink = static_cast<Sink*>(context);
    std::memcpy(sink->bytes.data() + sink->used, data, size_t(size));
    sink->used += size_t(size);
}

void BM_StbImageWriteEncode(benchmark::State& state)
{
    const std::vector<uint8_t>& picture = Picture();
    Sink sink;
    sink.bytes.resize(FileBytes + 1024);
    for (auto _ : state) {
        sink.used = 0;
        if (!stbi_write_bmp_to_func(Append, &sink, Side, Side, 3, picture.data()))
            state.SkipWithError("encode failed");
        benchmark::DoNotOptimize(sink.bytes.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(PictureBytes));
}
BENCHMARK(BM_StbImageWriteEncode)->Unit(benchmark::kMillisecond);

}  // namespace
