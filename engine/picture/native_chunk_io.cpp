// The native file's sink and source: counted writes, and reads bounded by the file's
// size with sizes compared by subtraction so that no crafted size can overflow.
#include "engine/picture/native_chunk_io.h"

#include <algorithm>
#include <climits>

#include "base/error_codes.h"
#include "engine/picture/native_chunk_header.h"

namespace lumatra::native {

bool ChunkSink::Put(const void* bytes, size_t count)
{
    if (m_failed || !m_stream || PTzIOStreamWrite(m_stream, bytes, uint32_t(count)) != count)
        return Fail();
    m_written += count;
    return true;
}

bool ChunkSink::PutHeader(uint32_t tag, uint64_t size)
{
    uint8_t bytes[kLongHeaderSize];
    return Put(bytes, encodeChunkHeader({tag, size}, bytes));
}

bool ChunkSink::Fail()
{
    m_failed = true;
    return false;
}

ChunkSource::ChunkSource(_tagPTzIOSTREAM* stream) : m_stream(stream)
{
    if (!stream) {
        Fail(PTzERR_BAD_ARGUMENT);
        return;
    }
    uint32_t high = 0;
    m_fileSize = PTzIOStreamSize(stream, &high);
    m_fileSize |= uint64_t(high) << 32;
}

bool ChunkSource::Fail(int code)
{
    if (!m_error)
        m_error = code;
    PTzSetLastError(m_error);
    return false;
}

bool ChunkSource::Read(void* buffer, uint64_t count)
{
    if (m_error)
        return false;
    if (count > m_fileSize - m_position || PTzIOStreamRead(m_stream, buffer, uint32_t(count)) != count)
        return Fail(FTzERR_SHORT_READ);
    m_position += count;
    m_consumed += count;
    return true;
}

bool ChunkSource::Skip(uint64_t count)
{
    if (m_error)
        return false;
    if (count > m_fileSize - m_position)
        return Fail(FTzERR_SHORT_READ);
    // The stream seeks by i32: far targets are reached in two moves.
    const uint64_t target = m_position + count;
    uint32_t reached = PTzIOStreamSeek(m_stream, int32_t(std::min<uint64_t>(target, INT32_MAX)), 0);
    if (target > INT32_MAX)
        reached = PTzIOStreamSeek(m_stream, int32_t(target - INT32_MAX), 1);
    if (reached != target)
        return Fail(FTzERR_SHORT_READ);
    m_position = target;
    m_consumed += count;
    return true;
}

bool ChunkSource::ReadChildHeader(uint64_t room, uint32_t* tag, uint64_t* size, uint64_t* headerSize)
{
    uint8_t bytes[kLongHeaderSize];
    if (room < kShortHeaderSize)
        return Fail(FTzERR_BAD_DATA);
    if (!Read(bytes, kShortHeaderSize))
        return false;
    size_t length = kShortHeaderSize;
    if (PTzReadLE32(bytes + 4) == kLongSizeMarker) {
        if (room < kLongHeaderSize)
            return Fail(FTzERR_BAD_DATA);
        if (!Read(bytes + kShortHeaderSize, kLongHeaderSize - kShortHeaderSize))
            return false;
        length = kLongHeaderSize;
    }
    ChunkHeader header;
    decodeChunkHeader(bytes, length, &header);
    if (header.size > room - length)
        return Fail(FTzERR_BAD_DATA);
    *tag = header.tag;
    *size = header.size;
    *headerSize = length;
    return true;
}

}  // namespace lumatra::native
