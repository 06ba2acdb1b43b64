// The run-length decoder. Codes are byte pairs: (count, value) is an encoded run;
// (0, 0) ends the line, (0, 1) the bitmap, (0, 2, dx, dy) skips pixels, and (0, n)
// with n >= 3 is followed by n literal pixels, padded to an even byte count.
#include "formats/bmp/bmp_rle.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace bitmora {

void BmpByteSource::Reset(_tagPTzIOSTREAM* stream)
{
    m_stream = stream;
    m_begin = 0;
    m_end = 0;
}

uint32_t BmpByteSource::Read(uint8_t* target, uint32_t count)
{
    uint32_t done = 0;
    while (done < count) {
        if (m_begin == m_end) {
            m_begin = 0;
            m_end = PTzIOStreamRead(m_stream, m_buffer, Capacity);
            if (m_end == 0)
                break;
        }
        const uint32_t n = std::min(count - done, m_end - m_begin);
        std::memcpy(target + done, m_buffer + m_begin, n);
        m_begin += n;
        done += n;
    }
    return done;
}

namespace {

// The row being decoded and the next pixel to write.
class RleRow {
public:
    RleRow(uint8_t* row, uint32_t width, bool nibbles) : m_row(row), m_width(width), m_nibbles(nibbles) {}

    uint32_t left() const { return m_width - m_x; }

    void put(uint8_t index)
    {
        if (!m_nibbles) {
            m_row[m_x++] = index;
            return;
        }
        uint8_t& byte = m_row[m_x >> 1];
        byte = (m_x & 1) ? uint8_t((byte & 0xF0) | (index & 0x0F)) : uint8_t((byte & 0x0F) | index << 4);
        ++m_x;
    }

    // count pixels of value; at 4 bits they alternate its high and low nibble.
    void fill(uint32_t count, uint8_t value)
    {
        if (!m_nibbles) {
            std::memset(m_row + m_x, value, count);
            m_x += count;
            return;
        }
        uint8_t first = value >> 4;
        uint8_t second = value & 0x0F;
        if (count > 0 && (m_x & 1)) {
            put(first);
            std::swap(first, second);
            --count;
        }
        std::memset(m_row + (m_x >> 1), first << 4 | second, count / 2);
        m_x += count / 2 * 2;
        if (count & 1)
            put(first);
    }

    void clearRest() { fill(left(), 0); }

private:
    uint8_t* m_row;
    uint32_t m_width;
    bool m_nibbles;
    uint32_t m_x = 0;
};

// An absolute run of n pixels: all its bytes and its padding are consumed, pixels past
// the row's end are dropped. False when the data ended inside it.
bool absoluteRun(BmpByteSource& source, RleRow& row, uint32_t n, bool nibbles)
{
    const uint32_t bytes = nibbles ? (n + 1) / 2 : n;
    const uint32_t total = bytes + (bytes & 1);
    uint8_t literal[256];
    const uint32_t got = source.Read(literal, total);
    const uint32_t pixels = std::min({n, nibbles ? got * 2 : got, row.left()});
    for (uint32_t i = 0; i < pixels; ++i)
        row.put(nibbles ? uint8_t((i & 1) ? literal[i / 2] & 0x0F : literal[i / 2] >> 4) : literal[i]);
    return got == total;
}

// Fills the rest of the row with value and owes the pixels past its end to the next rows.
void carryOver(RleRow& row, BmpRleCarry& carry, uint64_t pixels, uint8_t value)
{
    carry.pixels = pixels - row.left();
    carry.value = value;
    row.fill(row.left(), value);
}

}  // namespace

void DecodeBmpRleRow(BmpByteSource& source, BmpRleCarry& carry, uint8_t* data, uint32_t width, uint16_t bits)
{
    const bool nibbles = bits == 4;
    RleRow row(data, width, nibbles);
    if (carry.ended) {
        row.clearRest();
        return;
    }
    if (carry.pixels >= width) {
        row.fill(width, carry.value);
        carry.pixels -= width;
        return;
    }
    row.fill(uint32_t(carry.pixels), carry.value);
    carry.pixels = 0;

    uint8_t code[2];
    while (source.Read(code, 2) == 2) {
        if (code[0] > 0) {
            // An 8-bit run carries what passes the row's end; a 4-bit run drops it.
            if (code[0] > row.left() && !nibbles) {
                carryOver(row, carry, code[0], code[1]);
                return;
            }
            row.fill(std::min<uint32_t>(code[0], row.left()), code[1]);
        } else if (code[1] == 0 || code[1] == 1) {
            carry.ended = code[1] == 1;
            row.clearRest();
            return;
        } else if (code[1] == 2) {
            uint8_t delta[2];
            if (source.Read(delta, 2) != 2)
                break;
            const uint64_t skip = uint64_t(width) * delta[1] + delta[0];
            if (skip > row.left()) {
                carryOver(row, carry, skip, 0);
                return;
            }
            row.fill(uint32_t(skip), 0);
        } else if (!absoluteRun(source, row, code[1], nibbles)) {
            break;
        }
    }
    // The data ended inside a code: what is left of the row is 0.
    row.clearRest();
}

}  // namespace bitmora
