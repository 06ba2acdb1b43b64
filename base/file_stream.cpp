// The buffered file stream. The window holds the bytes [start, start + valid) of the
// file as the stream sees it; dirty bytes reach the disk only when the window moves or
// the stream closes. A failed write-back makes the stream fail from then on, and its
// destroy report it, so a full disk can never pass for a saved file.
#include "file_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <utility>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include "error_codes.h"
#include "file.h"
#include "file_stream_test_hooks.h"
#include "memory.h"
#include "posix_file.h"

using namespace corvane;

static_assert(sizeof(off_t) == 8, "file offsets must be 64-bit");

namespace {

// Largest size and position: positions and sizes travel as u32.
constexpr uint64_t kLimit = 0xFFFFFFFF;

enum class Access { Read, Write, ReadWrite };

class FileStream {
public:
    FileStream(int fd, Access access, uint8_t* window, uint32_t capacity, uint64_t size)
        : m_fd(fd), m_access(access), m_window(window), m_capacity(capacity), m_size(size)
    {
    }

    uint32_t seek(int32_t offset, uint16_t whence);
    uint32_t read(void* buffer, uint32_t count);
    uint32_t write(const void* buffer, uint32_t count);
    uint32_t size() const { return uint32_t(m_size); }
    // Writes back, sets the file's end, closes: false (the first failure's code stored)
    // when anything failed, now or earlier.
    bool close();
    uint8_t* window() const { return m_window; }

private:
    bool inWindowData() const { return m_position >= m_start && m_position < m_start + m_valid; }
    uint32_t refused(int code) const;
    uint64_t putInWindow(const uint8_t* bytes, uint64_t count);
    bool moveWindow(uint64_t start);
    // Reads rest bytes at the position into out and up to ahead bytes behind them into
    // the window, in one call: the bytes that reached out.
    uint64_t readThrough(uint8_t* out, uint64_t rest, uint64_t ahead);

    int m_fd;
    Access m_access;
    uint8_t* m_window;
    uint32_t m_capacity;
    uint32_t m_valid = 0;  // bytes of the window that hold the file's data
    bool m_dirty = false;
    uint64_t m_start = 0;  // file offset of the window's first byte
    uint64_t m_position = 0;
    uint64_t m_size;       // the file's size as the stream sees it
    int m_error = 0;       // the first failed write-back or write; sticky
    bool m_lastReadLarge = false;  // the last read asked for a quarter window or more
};

uint32_t FileStream::refused(int code) const
{
    PTzSetLastError(code);
    return 0;
}

uint32_t FileStream::seek(int32_t offset, uint16_t whence)
{
    int64_t target;
    switch (whence) {
    case 0:
        target = offset;
        break;
    case 1:
        target = int64_t(m_position) + offset;
        break;
    case 2:
        target = int64_t(m_size) - offset;
        break;
    default:
        return uint32_t(m_position);
    }
    m_position = uint64_t(std::clamp<int64_t>(target, 0, kLimit));
    return uint32_t(m_position);
}

uint32_t FileStream::read(void* buffer, uint32_t count)
{
    if (m_access == Access::Write)
        return refused(PTzERR_BAD_ARGUMENT);
    if (m_error)
        return refused(m_error);
    auto* out = static_cast<uint8_t*>(buffer);
    uint64_t done = 0;
    if (inWindowData()) {
        done = std::min<uint64_t>(count, m_start + m_valid - m_position);
        std::memcpy(out, m_window + (m_position - m_start), done);
        m_position += done;
    }
    const bool large = count >= m_capacity / 4;
    const bool afterLarge = std::exchange(m_lastReadLarge, large);
    if (done == count || m_position >= m_size || !moveWindow(m_position))
        return uint32_t(done);
    const uint64_t rest = std::min<uint64_t>(count - done, m_size - m_position);
    // Small reads fill the window for the small reads that follow. Among large reads
    // (channels of pixels) the window reads ahead only a 64th of itself, for the header
    // or mask between them, so that the large ones go straight to the caller.
    const uint64_t ahead = large || afterLarge ? m_capacity / 64 : m_capacity;
    return uint32_t(done + readThrough(out + done, rest, std::min(ahead, m_size - m_position - rest)));
}

uint64_t FileStream::readThrough(uint8_t* out, uint64_t rest, uint64_t ahead)
{
    iovec parts[2] = {{out, size_t(rest)}, {m_window, size_t(ahead)}};
    ssize_t n;
    do {
        n = preadv(m_fd, parts, 2, off_t(m_position));
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        failWithErrno();
    uint64_t got = n > 0 ? uint64_t(n) : 0;
    if (n > 0 && got < rest) {
        // A transfer cut short by the system's cap on one call, or by a file shortened
        // behind the stream: the caller's bytes are finished the plain way.
        uint64_t more = 0;
        readAt(m_fd, out + got, rest - got, m_position + got, &more);
        got += more;
    }
    const uint64_t taken = std::min(got, rest);
    m_position += taken;
    m_start = m_position;
    m_valid = uint32_t(got - taken);
    return taken;
}

uint32_t FileStream::write(const void* buffer, uint32_t count)
{
    if (m_access == Access::Read)
        return refused(PTzERR_BAD_ARGUMENT);
    if (m_error)
        return refused(m_error);
    const auto* in = static_cast<const uint8_t*>(buffer);
    const uint64_t wanted = std::min<uint64_t>(count, kLimit - m_position);
    uint64_t done = 0;
    // Writing at the end of the window's data extends it; a gap behind the data would
    // need bytes the window does not have, so the window moves instead.
    if (m_position >= m_start && m_position <= m_start + m_valid && m_position < m_start + m_capacity)
        done = putInWindow(in, wanted);
    if (done < wanted && moveWindow(m_position)) {
        const uint64_t rest = wanted - done;
        if (rest < m_capacity) {
            done += putInWindow(in + done, rest);
        } else {
            uint64_t put = 0;
            if (!writeAt(m_fd, in + done, rest, m_position, &put))
                m_error = PTzGetLastError();
            m_position += put;
            m_size = std::max(m_size, m_position);
            m_start = m_position;
            done += put;
        }
    }
    if (done < count && !m_error)
        PTzSetLastError(EFBIG);  // the 4 GiB limit stopped it
    return uint32_t(done);
}

uint64_t FileStream::putInWindow(const uint8_t* bytes, uint64_t count)
{
    const uint64_t offset = m_position - m_start;
    const uint64_t n = std::min<uint64_t>(count, m_capacity - offset);
    std::memcpy(m_window + offset, bytes, n);
    m_dirty = true;
    m_position += n;
    m_valid = uint32_t(std::max<uint64_t>(m_valid, offset + n));
    m_size = std::max(m_size, m_position);
    return n;
}

// Writes the window's data back when dirty and starts an empty window at start.
// Bytes between the file's end and the data become zeros on disk.
bool FileStream::moveWindow(uint64_t start)
{
    bool ok = true;
    if (m_dirty && m_valid > 0) {
        uint64_t put = 0;
        ok = writeAt(m_fd, m_window, m_valid, m_start, &put);
        if (!ok)
            m_error = PTzGetLastError();
    }
    m_start = start;
    m_valid = 0;
    m_dirty = false;
    return ok;
}

bool FileStream::close()
{
    if (!m_error)
        moveWindow(m_start);
    int failure = m_error;
    if (m_access != Access::Read && ftruncate(m_fd, off_t(m_size)) != 0 && !failure)
        failure = errno;
    if (!closeDescriptor(m_fd) && !failure)
        failure = PTzGetLastError();
    if (failure)
        PTzSetLastError(failure);
    return failure == 0;
}

// The record and the stream object share one block; the record comes first, so a
// record pointer is the block's pointer.
struct FileStreamBlock {
    _tagPTzIOSTREAM record;
    FileStream stream;
};

FileStream* streamOf(void* context)
{
    return static_cast<FileStream*>(context);
}

uint32_t seekCallback(void* context, int32_t offset, uint16_t whence)
{
    return streamOf(context)->seek(offset, whence);
}

uint32_t readCallback(void* context, void* buffer, uint32_t count)
{
    return streamOf(context)->read(buffer, count);
}

uint32_t writeCallback(void* context, const void* buffer, uint32_t count)
{
    return streamOf(context)->write(buffer, count);
}

uint32_t sizeCallback(void* context, uint32_t* high)
{
    if (high)
        *high = 0;
    return streamOf(context)->size();
}

_tagPTzIOSTREAM* failDescriptor(int fd, int code)
{
    close(fd);
    PTzSetLastError(code);
    return nullptr;
}

// A stream over fd, which it owns from here on (closed on failure).
_tagPTzIOSTREAM* streamOverDescriptor(int fd, uint32_t mode, uint32_t windowBytes)
{
    if (windowBytes == 0 || accessFlags(mode) < 0)
        return failDescriptor(fd, PTzERR_BAD_ARGUMENT);
    const Access access = mode == 1 ? Access::ReadWrite : mode == 2 ? Access::Read : Access::Write;
    struct stat info {};
    if (fstat(fd, &info) != 0)
        return failDescriptor(fd, errno);
    if (uint64_t(info.st_size) > kLimit)
        return failDescriptor(fd, EFBIG);
    void* block = PTzPointNew(sizeof(FileStreamBlock));
    auto* window = static_cast<uint8_t*>(PTzPointNew(windowBytes));
    if (!block || !window) {
        PTzPointFree(block);
        PTzPointFree(window);
        return failDescriptor(fd, PTzERR_OUT_OF_MEMORY);
    }
    auto* stream = new (block) FileStreamBlock{
        {nullptr, seekCallback, readCallback, writeCallback, sizeCallback},
        FileStream(fd, access, window, windowBytes, uint64_t(info.st_size)),
    };
    stream->record.context = &stream->stream;
    return &stream->record;
}

}  // namespace

namespace corvane {

bool isFileStream(const _tagPTzIOSTREAM* stream)
{
    return stream->read == readCallback;
}

int destroyFileStream(_tagPTzIOSTREAM* record)
{
    auto* block = reinterpret_cast<FileStreamBlock*>(record);
    const bool closed = block->stream.close();
    const int code = PTzGetLastError();
    PTzPointFree(block->stream.window());
    block->~FileStreamBlock();
    PTzPointFree(block);
    PTzSetLastError(code);
    return closed ? 1 : 0;
}

}  // namespace corvane

_tagPTzIOSTREAM* PTzFileStreamCreate_1(const _tagPTzFILE* file, uint32_t mode, uint32_t windowBytes)
{
    if (!file || windowBytes == 0) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    const int fd = openExisting(file, mode);
    return fd < 0 ? nullptr : streamOverDescriptor(fd, mode, windowBytes);
}

_tagPTzIOSTREAM* PTzFileStreamCreate(const _tagPTzFILE* file, uint32_t mode)
{
    return PTzFileStreamCreate_1(file, mode, PTzFILESTREAM_WINDOW);
}

_tagPTzIOSTREAM* PTzFileStreamCreateEx_1(const _tagPTzFILE* file, uint32_t mode, uint32_t windowBytes)
{
    if (_tagPTzIOSTREAM* stream = PTzFileStreamCreate_1(file, mode, windowBytes))
        return stream;
    if (!file || windowBytes == 0 || accessFlags(mode) < 0)
        return nullptr;
    PTzFILEHANDLE created = PTzFileCreateEx(file, mode);
    if (!created || !PTzFileClose(created))
        return nullptr;
    return PTzFileStreamCreate_1(file, mode, windowBytes);
}

_tagPTzIOSTREAM* PTzFileStreamCreateEx(const _tagPTzFILE* file, uint32_t mode)
{
    return PTzFileStreamCreateEx_1(file, mode, PTzFILESTREAM_WINDOW);
}

_tagPTzIOSTREAM* PTzTestFileStreamOverDescriptor(int fd, uint32_t mode, uint32_t windowBytes)
{
    if (fd < 0) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    return streamOverDescriptor(fd, mode, windowBytes);
}
