// The stream operations every reader and writer calls, whatever the stream: the four
// transfers, destroy, filling and moving ranges.
#include "io_stream.h"

#include <algorithm>
#include <climits>

#include "error_codes.h"
#include "file_stream.h"
#include "mem_stream.h"
#include "memory.h"

using namespace corvane;

namespace {

// Scratch blocks of the fill and the move never exceed this.
constexpr uint32_t kScratchBytes = 1u << 20;

uint32_t badArgument(uint32_t result)
{
    PTzSetLastError(PTzERR_BAD_ARGUMENT);
    return result;
}

// A scratch block of up to count bytes, halving the request while memory fails.
class Scratch {
public:
    explicit Scratch(uint32_t count) : m_bytes(std::min(count, kScratchBytes))
    {
        m_block = static_cast<uint8_t*>(PTzPointNewAdjustable(&m_bytes));
        if (!m_block)
            PTzSetLastError(PTzERR_OUT_OF_MEMORY);
    }
    ~Scratch() { PTzPointFree(m_block); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    uint8_t* bytes() const { return m_block; }
    uint32_t size() const { return m_bytes; }

private:
    uint32_t m_bytes;
    uint8_t* m_block = nullptr;
};

// Writes count bytes at the position, repeating the scratch block's bytes.
uint32_t fill(_tagPTzIOSTREAM* stream, const Scratch& scratch, uint32_t count)
{
    uint32_t done = 0;
    while (done < count) {
        const uint32_t n = std::min(count - done, scratch.size());
        const uint32_t put = stream->write(stream->context, scratch.bytes(), n);
        done += put;
        if (put != n)
            break;
    }
    return done;
}

// Seeks to an absolute position of up to 4 GiB - 1, which one seek from the start
// cannot reach past 2 GiB.
bool seekTo(_tagPTzIOSTREAM* stream, uint32_t position)
{
    uint32_t reached = stream->seek(stream->context, int32_t(std::min<uint32_t>(position, INT32_MAX)), 0);
    if (position > INT32_MAX)
        reached = stream->seek(stream->context, int32_t(position - INT32_MAX), 1);
    return reached == position;
}

// Copies length bytes at from to to, one chunk at a time.
bool copyChunk(_tagPTzIOSTREAM* stream, const Scratch& scratch, uint32_t from, uint32_t to, uint32_t length)
{
    return seekTo(stream, from) && stream->read(stream->context, scratch.bytes(), length) == length &&
           seekTo(stream, to) && stream->write(stream->context, scratch.bytes(), length) == length;
}

}  // namespace

uint32_t PTzIOStreamRead(_tagPTzIOSTREAM* stream, void* buffer, uint32_t count)
{
    if (!stream || !buffer)
        return badArgument(0);
    return stream->read(stream->context, buffer, count);
}

uint32_t PTzIOStreamWrite(_tagPTzIOSTREAM* stream, const void* buffer, uint32_t count)
{
    if (!stream || !buffer)
        return badArgument(0);
    return stream->write(stream->context, buffer, count);
}

uint32_t PTzIOStreamSeek(_tagPTzIOSTREAM* stream, int32_t offset, uint16_t whence)
{
    if (!stream)
        return badArgument(0xFFFFFFFF);
    return stream->seek(stream->context, offset, whence);
}

uint32_t PTzIOStreamSize(_tagPTzIOSTREAM* stream, uint32_t* high)
{
    if (!stream)
        return badArgument(0);
    return stream->size(stream->context, high);
}

uint32_t PTzFileStreamRead(_tagPTzIOSTREAM* stream, void* buffer, uint32_t count)
{
    return PTzIOStreamRead(stream, buffer, count);
}

uint32_t PTzFileStreamWrite(_tagPTzIOSTREAM* stream, const void* buffer, uint32_t count)
{
    return PTzIOStreamWrite(stream, buffer, count);
}

uint32_t PTzFileStreamSeek(_tagPTzIOSTREAM* stream, int32_t offset, uint16_t whence)
{
    return PTzIOStreamSeek(stream, offset, whence);
}

uint32_t PTzFileStreamSize(_tagPTzIOSTREAM* stream, uint32_t* high)
{
    return PTzIOStreamSize(stream, high);
}

int PTzFileStreamDestory(_tagPTzIOSTREAM* stream)
{
    if (!stream)
        return 1;
    if (isFileStream(stream))
        return destroyFileStream(stream);
    if (isMemStream(stream)) {
        destroyMemStream(stream);
        return 1;
    }
    return int(badArgument(0));  // a record Corvane did not make
}

int PTzDestoryMemStream(_tagPTzIOSTREAM* stream)
{
    return PTzFileStreamDestory(stream);
}

uint32_t PTzIOStreamSetData(_tagPTzIOSTREAM* stream, uint8_t value, uint32_t count)
{
    if (!stream)
        return badArgument(0);
    if (count == 0)
        return 0;
    const Scratch scratch(count);
    if (!scratch.bytes())
        return 0;
    PTzMemset(scratch.bytes(), value, scratch.size());
    return fill(stream, scratch, count);
}

int PTzIOStreamMove(_tagPTzIOSTREAM* stream, uint32_t from, uint32_t to, uint32_t length)
{
    if (!stream)
        return int(badArgument(0));
    uint32_t high = 0;
    const uint64_t size = uint64_t(stream->size(stream->context, &high)) | uint64_t(high) << 32;
    const uint64_t destinationEnd = uint64_t(to) + length;
    if (uint64_t(from) + length > size || destinationEnd > 0xFFFFFFFF)
        return int(badArgument(0));
    if (length == 0 || from == to)
        return 1;
    const Scratch scratch(length);
    if (!scratch.bytes())
        return 0;
    if (to > from) {
        // Grow the stream to hold the destination first, so that a stream that cannot
        // hold it fails before any byte has moved; bytes between stay as they are.
        if (destinationEnd > size) {
            const auto growth = uint32_t(destinationEnd - size);
            if (!seekTo(stream, uint32_t(size)) || fill(stream, scratch, growth) != growth)
                return 0;
        }
        // From the end towards the start, so an overlapping source is read before it
        // is overwritten.
        for (uint32_t rest = length; rest > 0;) {
            const uint32_t n = std::min(rest, scratch.size());
            rest -= n;
            if (!copyChunk(stream, scratch, from + rest, to + rest, n))
                return 0;
        }
        return 1;
    }
    for (uint32_t done = 0; done < length;) {
        const uint32_t n = std::min(length - done, scratch.size());
        if (!copyChunk(stream, scratch, from + done, to + done, n))
            return 0;
        done += n;
    }
    return 1;
}
