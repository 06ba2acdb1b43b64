// The headers of a BMP file: the 14-byte file header and the OS/2 (12-byte) or
// Windows (40-byte, or a later 52- to 124-byte) info header, read and checked from a
// stream or written to one, and the sizes every reader and writer derives from them.
#pragma once

#include <cstdint>

#include "base/checked_size.h"
#include "base/io_stream.h"

namespace bitmora {

constexpr uint16_t BmpFileType = 0x4D42;  // "BM"
constexpr uint32_t BmpFileHeaderBytes = 14;
constexpr uint32_t BmpOs2HeaderBytes = 12;
constexpr uint32_t BmpWindowsHeaderBytes = 40;
constexpr uint32_t BmpMaskBytes = 12;
// The later Windows headers are the 40 bytes followed by the red, green and blue
// masks (52 bytes), an alpha mask (56), colour-space fields (108) and a rendering
// intent with a colour profile's place (124). Only the three masks are read.
constexpr uint32_t BmpMaskedHeaderBytes = BmpWindowsHeaderBytes + BmpMaskBytes;
constexpr uint32_t BmpLargestHeaderBytes = 124;

enum BmpCompression : uint32_t {
    BmpCompressionNone = 0,
    BmpCompressionRle8 = 1,
    BmpCompressionRle4 = 2,
    BmpCompressionBitFields = 3,
};

// The info header widened to the Windows fields; an OS/2 header has compression 0
// and no colours-used count.
struct BmpInfoHeader {
    uint32_t size;  // 12, 40, 52, 56, 108 or 124
    int32_t width;
    int32_t height;  // negative: rows stored top-down
    uint16_t planes;
    uint16_t bits;
    uint32_t compression;
    uint32_t imageSize;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t coloursUsed;
    uint32_t coloursImportant;
    uint32_t masks[3];  // red, green, blue of a header of 52 bytes or more, else 0
};

// The largest picture read, in pixels: rows past the end of a short file arrive as
// zeros, so a tiny file cannot make the engine hold more than this.
constexpr uint64_t BmpMaxPixels = uint64_t(1) << 30;
// Rows travel with an i32 stride.
constexpr uint64_t BmpMaxRowBytes = 0x7FFFFFFF;

// Bytes of a row of width pixels at bits each, padded to whole 4-byte words: false
// (out untouched) when they pass BmpMaxRowBytes.
inline bool BmpRowBytes(uint64_t width, uint32_t bits, uint32_t* out)
{
    uint64_t bytes = 0;
    if (!PTzCheckedRowBytes(width, bits, &bytes, BmpMaxRowBytes))
        return false;
    *out = uint32_t(bytes);
    return true;
}

// Palette entries a header announces: colours used when 0 < used <= 2^bits, else
// 2^bits; none above 8 bits.
uint32_t BmpPaletteEntries(const BmpInfoHeader& header);
// Bytes of one palette entry: B, G, R for OS/2 headers, B, G, R, 0 for Windows ones.
uint32_t BmpPaletteEntryBytes(const BmpInfoHeader& header);
// Whether the pixels are read through channel masks (16 and 32 bits with bit fields).
bool BmpHasMasks(const BmpInfoHeader& header);
// Whether those masks are three u32 after the header rather than inside it.
bool BmpMasksFollowHeader(const BmpInfoHeader& header);

// Reads the info header at the stream's position: 0, -2201 for an info size other
// than 12, 40, 52, 56, 108 and 124 or bits other than 1, 2, 4, 8, 16, 24 and 32,
// -2207 when the data ends inside it. The stream is left after the whole header.
int ReadBmpInfoHeader(_tagPTzIOSTREAM* stream, BmpInfoHeader* header);
// The header check of a file: the stream seeks to 0 (else -2001), the file header
// starts with "BM" (else -2201), then the info header as above.
int ReadBmpFileHeaders(_tagPTzIOSTREAM* stream, uint32_t* pixelOffset, BmpInfoHeader* header);
// The same for a header-less bitmap, which starts with its info header.
int ReadBmpDibHeader(_tagPTzIOSTREAM* stream, BmpInfoHeader* header);

// Writers of the two headers (the info header as 12 or 40 bytes by its size field):
// true when every byte was written.
bool WriteBmpFileHeader(_tagPTzIOSTREAM* stream, uint32_t fileSize, uint32_t pixelOffset);
bool WriteBmpInfoHeader(_tagPTzIOSTREAM* stream, const BmpInfoHeader& header);

}  // namespace bitmora
