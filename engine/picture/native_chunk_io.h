// The two ends a native file's chunk tree talks to: the sink a save writes through and
// the source a load reads from, each checking sizes and keeping the first failure.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/io_stream.h"
#include "engine/lumatra_export.h"

namespace lumatra::native {

constexpr uint32_t kFileMagic = 0x7964776B;  // "ydwk"
constexpr uint32_t kFileVersion = 1;
constexpr size_t kFileHeadSize = 16;
constexpr uint32_t kMaxLayers = 255;
constexpr uint32_t kChannelBytes = 65536;
constexpr uint32_t kMaxPictureSide = 1u << 30;

// Appends to a stream and counts what it wrote; a short write fails every later put.
class LUMATRA_API ChunkSink {
public:
    explicit ChunkSink(_tagPTzIOSTREAM* stream) : m_stream(stream) {}

    void Attach(_tagPTzIOSTREAM* stream) { m_stream = stream; }

    bool Put(const void* bytes, size_t count);
    bool PutHeader(uint32_t tag, uint64_t size);
    // Gives up the save: the file cannot be complete any more.
    bool Fail();
    // The same for the chunk operations, whose failure result is 0.
    int Refuse()
    {
        Fail();
        return 0;
    }
    bool Failed() const { return m_failed; }
    uint64_t Written() const { return m_written; }

private:
    _tagPTzIOSTREAM* m_stream;
    uint64_t m_written = 0;
    bool m_failed = false;
};

// Reads a stream front to back within its size; every read and skip is checked against
// the bytes left in the file before the stream is asked.
class LUMATRA_API ChunkSource {
public:
    explicit ChunkSource(_tagPTzIOSTREAM* stream);

    bool Read(void* buffer, uint64_t count);
    bool Skip(uint64_t count);
    // Reads a chunk header inside a container with `room` payload bytes left and checks
    // the chunk fits in what follows it: false (failed) otherwise.
    bool ReadChildHeader(uint64_t room, uint32_t* tag, uint64_t* size, uint64_t* headerSize);
    // Records the first failure (stored as the last error too); always false.
    bool Fail(int code);
    // The same for the chunk operations, whose failure result is 0.
    int Refuse(int code)
    {
        Fail(code);
        return 0;
    }
    bool Failed() const { return m_error != 0; }
    int Error() const { return m_error; }
    uint64_t Consumed() const { return m_consumed; }
    uint64_t Remaining() const { return m_fileSize - m_position; }
    // Counts consumption from here on (the start of the 'pict' payload).
    void StartCounting() { m_consumed = 0; }

private:
    _tagPTzIOSTREAM* m_stream;
    uint64_t m_fileSize = 0;
    uint64_t m_position = 0;
    uint64_t m_consumed = 0;
    int m_error = 0;
};

}  // namespace lumatra::native
