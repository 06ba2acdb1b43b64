// The accumulation buffers of the bilinear resamplers: their arrays borrowed from the
// scratch pool, cleared, released, and divided back into channel bitmaps and bitmaps.
#include <algorithm>
#include <cstring>

#include "base/memory.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/resample.h"
#include "engine/pixels/resample_accumulate.h"

namespace {

uint64_t PixelCount(const _tagPTzSIZE* size)
{
    return (size && size->cx > 0 && size->cy > 0) ? uint64_t(size->cx) * uint64_t(size->cy) : 0;
}

// A zero-filled run of pool pages for `pixels` entries of `bytes` each, or null.
template <typename T>
T* TakeArray(uint64_t pixels)
{
    const uint64_t bytes = pixels * sizeof(T);
    uint8_t* pages = nullptr;
    if (bytes > UINT32_MAX || !BlockMemoryAlloc(GetBlockMemoryPool(), &pages, uint32_t(bytes)))
        return nullptr;
    std::memset(pages, 0, size_t(bytes));
    return reinterpret_cast<T*>(pages);
}

template <typename T>
void GiveBack(T*& array)
{
    if (array)
        BlockMemoryFree(reinterpret_cast<uint8_t*>(array), 0, GetBlockMemoryPool());
    array = nullptr;
}

template <typename T>
void Clear(T* array, uint32_t pixels)
{
    if (array)
        std::memset(array, 0, size_t(pixels) * sizeof(T));
}

}  // namespace

int ITzResize::AllocBLZoomBuffer_Core(const _tagPTzSIZE* size, int alpha, uint8_t colorCount,
                                      _tagITzZOOMBLBUFFERDATA* buffer)
{
    if (!buffer)
        return 0;
    ReleaseBLZoomBuffer(size, buffer);
    const uint64_t pixels = PixelCount(size);
    const int colours = colorCount < 4 ? colorCount : 4;
    if (pixels == 0 || (!alpha && colours == 0))
        return 0;
    bool ok = true;
    if (alpha) {
        ok = (buffer->weightSum = TakeArray<uint32_t>(pixels)) != nullptr;
        ok = ok && (buffer->alphaSum = TakeArray<uint64_t>(pixels)) != nullptr;
    }
    if (ok && colours > 0)
        ok = (buffer->colorWeightSum = TakeArray<uint64_t>(pixels)) != nullptr;
    for (int k = 0; ok && k < colours; ++k)
        ok = (buffer->colorSums[k] = TakeArray<uint64_t>(pixels)) != nullptr;
    if (!ok)
        ReleaseBLZoomBuffer(size, buffer);
    return ok ? 1 : 0;
}

int ITzResize::AllocBLZoomBuffer(const _tagPTzSIZE* size, const _tagITzCHANNELBITMAP* bitmap,
                                 _tagITzZOOMBLBUFFERDATA* buffer)
{
    uint8_t colours = 0;
    for (int p = 1; bitmap && p <= 4; ++p)
        colours += bitmap->planes[p] ? 1 : 0;
    return AllocBLZoomBuffer_Core(size, bitmap && bitmap->planes[0], colours, buffer);
}

int ITzResize::AllocBLZoomBuffer(const _tagPTzSIZE* size, _tagPTzCOLORMODE mode, _tagITzZOOMBLBUFFERDATA* buffer)
{
    switch (mode) {
    case PTzCOLORMODE_RGB:
    case PTzCOLORMODE_BGR: return AllocBLZoomBuffer_Core(size, 0, 3, buffer);
    case PTzCOLORMODE_ARGB: return AllocBLZoomBuffer_Core(size, 1, 3, buffer);
    case PTzCOLORMODE_CMYK: return AllocBLZoomBuffer_Core(size, 0, 4, buffer);
    case PTzCOLORMODE_ACMYK: return AllocBLZoomBuffer_Core(size, 1, 4, buffer);
    case PTzCOLORMODE_GRAY: return AllocBLZoomBuffer_Core(size, 0, 1, buffer);
    case PTzCOLORMODE_GRAY16: return AllocBLZoomBuffer_Core(size, 1, 1, buffer);
    default: return 0;
    }
}

int ITzResize::ClearnBLZoomBuffer(uint32_t pixelCount, _tagITzZOOMBLBUFFERDATA* buffer)
{
    if (!buffer)
        return 0;
    Clear(buffer->alphaSum, pixelCount);
    for (uint64_t* colour : buffer->colorSums)
        Clear(colour, pixelCount);
    Clear(buffer->colorWeightSum, pixelCount);
    Clear(buffer->weightSum, pixelCount);
    return 1;
}

int ITzResize::ReleaseBLZoomBuffer(const _tagPTzSIZE* /*size*/, _tagITzZOOMBLBUFFERDATA* buffer)
{
    if (!buffer)
        return 0;
    GiveBack(buffer->alphaSum);
    for (uint64_t*& colour : buffer->colorSums)
        GiveBack(colour);
    GiveBack(buffer->colorWeightSum);
    GiveBack(buffer->weightSum);
    return 1;
}

_tagITzZOOMBLBUFFERDATA* ITzResize::CreateZoomSettingBuffer(const _tagPTzSIZE* size,
                                                            const _tagITzCHANNELBITMAP* bitmap)
{
    auto* record = static_cast<_tagITzZOOMBLBUFFERDATA*>(PTzPointNew(sizeof(_tagITzZOOMBLBUFFERDATA)));
    if (record && !AllocBLZoomBuffer(size, bitmap, record)) {
        PTzPointFree(record);
        return nullptr;
    }
    return record;
}

int ITzResize::ReleaseZoomSettingBuffer(const _tagPTzSIZE* size, _tagITzZOOMBLBUFFERDATA* record)
{
    if (!record)
        return 0;
    ReleaseBLZoomBuffer(size, record);
    PTzPointFree(record);
    return 1;
}

int ITzResize::FillChannelBitmapWithBuffer(_tagITzCHANNELBITMAP* bitmap, const _tagITzZOOMBLBUFFERDATA* buffer,
                                           const _tagPTzSIZE* bufferSize)
{
    if (!bitmap || !buffer || !bufferSize)
        return 0;
    const lumatra::PlaneView planes = lumatra::ChannelPlanes(*bitmap);
    lumatra::DivideSums(*buffer, bufferSize->cx, planes, std::min(bitmap->width, bufferSize->cx),
                        std::min(bitmap->height, bufferSize->cy), lumatra::ZeroDivisor::Write255);
    return 1;
}

int ITzResize::FillDesBitmapWithBuffer(_tagITzBITMAP* bitmap, const _tagITzZOOMBLBUFFERDATA* buffer,
                                       const _tagPTzSIZE* bufferSize)
{
    lumatra::PlaneView planes;
    if (!bitmap || !buffer || !bufferSize || !lumatra::BitmapPlanes(*bitmap, planes))
        return 0;
    lumatra::DivideSums(*buffer, bufferSize->cx, planes, std::min(bitmap->width, bufferSize->cx),
                        std::min(bitmap->height, bufferSize->cy), lumatra::ZeroDivisor::Write255);
    return 1;
}
