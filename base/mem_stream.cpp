// The memory stream: transfers stop at the block's end; only a seek from the start may
// place the position past it.
#include "mem_stream.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "error_codes.h"
#include "memory.h"

namespace {

struct MemStream {
    uint8_t* data;
    uint32_t size;
    uint32_t position;

    // Bytes a transfer of count may move at the position.
    uint32_t available(uint32_t count) const { return position >= size ? 0 : std::min(count, size - position); }
};

// The record comes first, so a record pointer is the block's pointer.
struct MemStreamBlock {
    _tagPTzIOSTREAM record;
    MemStream stream;
};

MemStream* streamOf(void* context)
{
    return static_cast<MemStream*>(context);
}

uint32_t seekCallback(void* context, int32_t offset, uint16_t whence)
{
    MemStream* stream = streamOf(context);
    int64_t target;
    switch (whence) {
    case 0:
        stream->position = uint32_t(std::max(offset, 0));
        return stream->position;
    case 1:
        target = int64_t(stream->position) + offset;
        break;
    case 2:
        target = int64_t(stream->size) - offset;
        break;
    default:
        return stream->position;
    }
    stream->position = uint32_t(std::clamp<int64_t>(target, 0, stream->size));
    return stream->position;
}

uint32_t readCallback(void* context, void* buffer, uint32_t count)
{
    MemStream* stream = streamOf(context);
    const uint32_t n = stream->available(count);
    if (n > 0)
        std::memcpy(buffer, stream->data + stream->position, n);
    stream->position += n;
    return n;
}

uint32_t writeCallback(void* context, const void* buffer, uint32_t count)
{
    MemStream* stream = streamOf(context);
    const uint32_t n = stream->available(count);
    if (n > 0)
        std::memcpy(stream->data + stream->position, buffer, n);
    stream->position += n;
    return n;
}

uint32_t sizeCallback(void* context, uint32_t* high)
{
    if (high)
        *high = 0;
    return streamOf(context)->size;
}

}  // namespace

_tagPTzIOSTREAM* PTzCreateMemStream(void* data, uint32_t size)
{
    if (!data) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    void* block = PTzPointNew(sizeof(MemStreamBlock));
    if (!block) {
        PTzSetLastError(PTzERR_OUT_OF_MEMORY);
        return nullptr;
    }
    auto* stream = new (block) MemStreamBlock{
        {nullptr, seekCallback, readCallback, writeCallback, sizeCallback},
        {static_cast<uint8_t*>(data), size, 0},
    };
    stream->record.context = &stream->stream;
    return &stream->record;
}

namespace corvane {

bool isMemStream(const _tagPTzIOSTREAM* stream)
{
    return stream->read == readCallback;
}

void destroyMemStream(_tagPTzIOSTREAM* stream)
{
    PTzPointFree(stream);
}

}  // namespace corvane
