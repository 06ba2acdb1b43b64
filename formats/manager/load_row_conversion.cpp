// Conversion of a load's rows into the mode and depth the caller asked for: the
// conversion handle is made once per request, and the rows pass one at a time through
// a single row buffer.
#include <cstddef>
#include <cstdint>
#include <limits>

#include "base/checked_size.h"
#include "base/error_codes.h"
#include "base/memory.h"
#include "formats/manager/load_session.h"
#include "formats/manager/load_session_record.h"

namespace formick {

namespace {

void dropHandle(LoadSession* session)
{
    PTzDestroyConvertHandle_1(session->convert);
    session->convert = nullptr;
}

// The stride of one target row, padded to 4 bytes; false when it does not fit a row
// descriptor.
bool rowStride(int32_t width, uint32_t bits, int32_t* stride)
{
    uint64_t bytes = 0;
    if (!PTzCheckedRowBytes(uint64_t(width), bits, &bytes, uint64_t(std::numeric_limits<int32_t>::max())))
        return false;
    *stride = int32_t(bytes);
    return true;
}

// A row buffer of at least bytes; false when it cannot be had (the old one stays).
bool reserveRowBuffer(LoadSession* session, uint32_t bytes)
{
    if (session->rowBuffer && session->rowBufferBytes >= bytes)
        return true;
    auto* buffer = static_cast<uint8_t*>(PTzPointNew(bytes));
    if (!buffer)
        return false;
    PTzPointFree(session->rowBuffer);
    session->rowBuffer = buffer;
    session->rowBufferBytes = bytes;
    return true;
}

}  // namespace

int convertRows(uint32_t row, uint32_t rows, _tagPTzCOLORCONVERTBUFFER* source, void* user)
{
    auto* session = static_cast<LoadSession*>(user);
    if (!session || !source || !session->caller.proc)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    if (!session->convert)
        return session->caller.proc(row, rows, source, session->caller.user);
    if (source->width < 0 || !source->data)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    int32_t stride = 0;
    if (!rowStride(source->width, session->targetBits, &stride) || !reserveRowBuffer(session, uint32_t(stride)))
        return PTzFail(PTzERR_OUT_OF_MEMORY);
    _tagPTzCOLORCONVERTBUFFER target{source->width,  1, stride, session->targetMode, uint8_t(session->targetBits),
                                     session->rowBuffer, nullptr};
    _tagPTzCOLORCONVERTBUFFER line = *source;
    line.height = 1;
    for (int32_t i = 0; i < source->height; ++i) {
        line.data = source->data + ptrdiff_t(i) * source->stride;
        if (const int result = PTzConvertColor_1(&line, &target, session->convert))
            return result;
        if (const int result = session->caller.proc(row + uint32_t(i), 1, &target, session->caller.user))
            return result;
    }
    return 0;
}

void releaseConversion(LoadSession* session)
{
    dropHandle(session);
    PTzPointFree(session->rowBuffer);
    session->rowBuffer = nullptr;
    session->rowBufferBytes = 0;
}

}  // namespace formick

using namespace formick;

int FTzLoadSetColorMode_1(void* handle, _tagPTzCOLORMODE mode, uint16_t bits)
{
    auto* session = static_cast<LoadSession*>(handle);
    if (!session || !session->infoKnown)
        return PTzFail(FTzERR_BAD_HANDLE);
    const _tagFTzIMAGEINFO_1& file = session->info;
    if (mode == file.mode && bits == file.bits) {
        dropHandle(session);
        return 0;
    }
    // Row descriptors hold bits per pixel in a byte.
    if (bits > std::numeric_limits<uint8_t>::max() || file.bits > std::numeric_limits<uint8_t>::max())
        return PTzFail(PTzERR_COLOR_UNSUPPORTED);
    PTzSetLastError(0);
    PTzColorConvert_1Base* convert = PTzCreateConvertHandle_1(file.mode, uint8_t(file.bits), mode, uint8_t(bits));
    if (!convert)
        return PTzLastErrorOr(PTzERR_OUT_OF_MEMORY);
    dropHandle(session);
    session->convert = convert;
    session->targetMode = mode;
    session->targetBits = bits;
    return 0;
}
