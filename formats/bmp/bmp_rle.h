// Run-length encoded BMP rows (8-bit and 4-bit): a buffered source of the pixel
// bytes, the state a run leaves for the rows after it, and the row decoder.
#pragma once

#include <cstdint>

#include "base/io_stream.h"

namespace bitmora {

// Reads the pixel data ahead in blocks, since run-length codes come two bytes at a time.
class BmpByteSource {
public:
    // Reads from the stream's current position on; buffered bytes are dropped.
    void Reset(_tagPTzIOSTREAM* stream);
    // Copies up to count bytes: the number copied, less than count only at the data's end.
    uint32_t Read(uint8_t* target, uint32_t count);

private:
    static constexpr uint32_t Capacity = 4096;

    _tagPTzIOSTREAM* m_stream;
    uint32_t m_begin;
    uint32_t m_end;
    uint8_t m_buffer[Capacity];
};

// What the codes of one row leave for the next rows: pixels still owed (a run or a
// delta that went past the row's end) and their value, and whether the bitmap ended.
struct BmpRleCarry {
    uint64_t pixels;
    uint8_t value;
    bool ended;
};

// Decodes one row of width pixels at bits 8 or 4 (two pixels a byte, high nibble
// first). Every pixel of the row is written: what no code reaches is 0.
void DecodeBmpRleRow(BmpByteSource& source, BmpRleCarry& carry, uint8_t* row, uint32_t width, uint16_t bits);

}  // namespace bitmora
