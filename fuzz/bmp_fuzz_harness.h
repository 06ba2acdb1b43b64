// The check both BMP fuzz targets share: a read session over the input in a memory
// stream, stepped to the end, with every delivered row's index, size and stride
// checked against the image information and every byte of it readable.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

#include <sanitizer/asan_interface.h>

#include "base/mem_stream.h"
#include "formats/bmp/bitmora_entries.h"

namespace fuzzing {

// Stepping cost grows with the declared picture, not the input: pictures larger than
// this many row bytes in all, or taller than this many rows (each row is a step and a
// callback), are only started and described, never stepped.
constexpr uint64_t StepBudgetBytes = uint64_t(1) << 16;
constexpr int32_t StepBudgetRows = 1024;

inline void Require(bool condition)
{
    if (!condition)
        std::abort();
}

struct RowCheck {
    _tagFTzIMAGEINFO_1 info;
    uint32_t delivered;
};

inline uint64_t RowBytes(uint64_t width, uint32_t bits)
{
    return (width * bits + 31) / 32 * 4;
}

// The sanitizer's shadow answers for the whole range at once, where reading it byte by
// byte in the instrumented harness cost more than the reader's own work.
inline void RequireReadable(const uint8_t* bytes, uint64_t count)
{
    Require(__asan_region_is_poisoned(const_cast<uint8_t*>(bytes), count) == nullptr);
}

inline int CheckRow(uint32_t row, uint32_t rows, _tagPTzCOLORCONVERTBUFFER* data, void* user)
{
    auto* check = static_cast<RowCheck*>(user);
    const _tagFTzIMAGEINFO_1& info = check->info;
    const uint32_t height = uint32_t(info.height);
    Require(check->delivered < height && rows == 1 && data->height == 1);
    Require(row == (info.rowOrder == 0 ? check->delivered : height - 1 - check->delivered));
    Require(data->width == info.width && data->bits == info.bits && data->mode == info.mode && data->data);
    Require(data->stride >= 0 && uint64_t(data->stride) == RowBytes(uint64_t(data->width), data->bits));
    if (info.bits <= 8)
        Require(data->palette && data->palette->count == info.paletteCount && data->palette->count <= 256);
    else
        Require(!data->palette);
    RequireReadable(data->data, uint64_t(data->stride));
    ++check->delivered;
    return 0;
}

inline int CheckExtra(uint32_t kind, const void* data, uint32_t size, void* user)
{
    Require(kind == 1 && data && size > 0 && user);
    RequireReadable(static_cast<const uint8_t*>(data), size);
    return 0;
}

struct ReadEntries {
    void* (*start)(_tagPTzIOSTREAM* stream, RowCheck* check, int* error);
    int (*info)(void* session, _tagFTzIMAGEINFO_1* info);
    int (*callback)(void* session, _tagFTzGETDATACALLBACK_1* callback);
    int (*step)(void* session, uint8_t* percent);
    int (*end)(void* session);
};

inline int ReadAll(const uint8_t* input, size_t size, const ReadEntries& entries)
{
    // The memory stream wants a block even for an empty input.
    std::vector<uint8_t> bytes(input, input + size);
    bytes.reserve(1);
    _tagPTzIOSTREAM* stream = PTzCreateMemStream(bytes.data(), uint32_t(bytes.size()));
    Require(stream != nullptr);
    RowCheck check{};
    int error = 1;
    void* session = entries.start(stream, &check, &error);
    Require((session != nullptr) == (error == 0));
    if (session && entries.info(session, &check.info) == 0) {
        const _tagFTzIMAGEINFO_1& info = check.info;
        Require(info.width > 0 && info.height > 0 && uint64_t(info.width) * uint64_t(info.height) <= (1u << 30));
        Require(info.bits == 1 || info.bits == 4 || info.bits == 8 || info.bits == 24);
        if (RowBytes(uint64_t(info.width), info.bits) * uint64_t(info.height) <= StepBudgetBytes &&
            info.height <= StepBudgetRows) {
            _tagFTzGETDATACALLBACK_1 callback{CheckRow, &check};
            Require(entries.callback(session, &callback) == 0);
            int result = 0;
            uint64_t steps = 0;
            uint8_t percent = 0;
            while ((result = entries.step(session, &percent)) == 0) {
                Require(++steps <= uint64_t(info.height) + 2 && percent <= 100);
            }
            Require(result == 2001 && check.delivered == uint32_t(info.height) && percent == 100);
        }
    }
    Require(entries.end(session) == 0);
    PTzDestoryMemStream(stream);
    return 0;
}

}  // namespace fuzzing
