// The string buffer's block holds (length + 1) characters rounded up to whole granules;
// an edit that changes the granule count moves the text into a new block.
#include "string_array.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "error_codes.h"
#include "memory.h"

namespace {

void copyChars(PTzChar* dst, const PTzChar* src, uint64_t count)
{
    std::memmove(dst, src, count * sizeof(PTzChar));
}

}  // namespace

PTzStringArray::PTzStringArray(uint8_t granuleShift) : m_granuleShift(granuleShift) {}

PTzStringArray::~PTzStringArray()
{
    if (m_text)
        PTzPointFree(m_text);
}

// A shift too wide for a 32-bit block yields a count no block can hold.
uint64_t PTzStringArray::granulesFor(uint64_t length) const
{
    if (m_granuleShift >= 32)
        return UINT64_MAX;
    const uint64_t bytes = (length + 1) * sizeof(PTzChar);
    const uint64_t granule = uint64_t(1) << m_granuleShift;
    return (bytes + granule - 1) >> m_granuleShift;
}

PTzChar* PTzStringArray::newBlock(uint64_t granules) const
{
    if (m_granuleShift >= 32 || granules > (uint64_t(UINT32_MAX) >> m_granuleShift)) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    return static_cast<PTzChar*>(PTzPointNew(uint32_t(granules << m_granuleShift)));
}

int PTzStringArray::InsertString(uint32_t index, const PTzChar* text, uint32_t count)
{
    if (!text)
        return PTzFailWithZero();
    uint32_t n = 0;
    while (n < count && text[n] != 0)
        ++n;
    if (n == 0)
        return 1;
    if (n >= UINT32_MAX - m_length)
        return PTzFailWithZero();
    const uint32_t at = std::min(index, m_length);
    const uint32_t length = m_length + n;
    const uint64_t granules = granulesFor(length);
    // Text taken from this very buffer would be overwritten by an in-place move.
    const std::less<const PTzChar*> before;
    const bool ownText = m_text && !before(text, m_text) && before(text, m_text + m_length);
    if (granules > m_granules || ownText) {
        PTzChar* block = newBlock(granules);
        if (!block)
            return 0;
        if (m_text) {
            copyChars(block, m_text, at);
            copyChars(block + at + n, m_text + at, m_length - at);
        }
        copyChars(block + at, text, n);
        if (m_text)
            PTzPointFree(m_text);
        m_text = block;
        m_granules = uint32_t(granules);
    } else {
        copyChars(m_text + at + n, m_text + at, m_length - at);
        copyChars(m_text + at, text, n);
    }
    m_length = length;
    m_text[m_length] = 0;
    return 1;
}

int PTzStringArray::RemoveString(uint32_t index, PTzChar* out, uint32_t count, uint32_t outChars)
{
    const uint32_t at = std::min(index, m_length);
    if (count == 0 || count > m_length - at || (out && count >= outChars)) {
        if (out && outChars != 0)
            out[0] = 0;
        return PTzFailWithZero();
    }
    if (out) {
        copyChars(out, m_text + at, count);
        out[count] = 0;
    }
    const uint32_t length = m_length - count;
    if (length == 0) {
        PTzPointFree(m_text);
        m_text = nullptr;
        m_granules = 0;
        m_length = 0;
        return 1;
    }
    // When the smaller block cannot be had the text simply stays in the larger one.
    const uint64_t granules = granulesFor(length);
    PTzChar* block = granules < m_granules ? newBlock(granules) : nullptr;
    if (block) {
        copyChars(block, m_text, at);
        copyChars(block + at, m_text + at + count, m_length - at - count);
        PTzPointFree(m_text);
        m_text = block;
        m_granules = uint32_t(granules);
    } else {
        copyChars(m_text + at, m_text + at + count, m_length - at - count);
    }
    m_length = length;
    m_text[m_length] = 0;
    return 1;
}
