// Reading and writing the BMP headers field by field, little-endian.
#include "formats/bmp/bmp_header.h"

#include "base/corvane_types.h"
#include "base/error_codes.h"

namespace bitmora {

namespace {

bool knownBits(uint16_t bits)
{
    switch (bits) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

bool knownHeaderSize(uint32_t size)
{
    switch (size) {
    case BmpOs2HeaderBytes:
    case BmpWindowsHeaderBytes:
    case 52:  // the later Windows headers
    case 56:
    case 108:
    case 124:
        return true;
    default:
        return false;
    }
}

int seekToStart(_tagPTzIOSTREAM* stream)
{
    return PTzIOStreamSeek(stream, 0, 0) == 0 ? 0 : PTzFail(FTzERR_BAD_HANDLE);
}

}  // namespace

uint32_t BmpPaletteEntries(const BmpInfoHeader& header)
{
    if (header.bits > 8)
        return 0;
    const uint32_t full = 1u << header.bits;
    return header.coloursUsed > 0 && header.coloursUsed <= full ? header.coloursUsed : full;
}

uint32_t BmpPaletteEntryBytes(const BmpInfoHeader& header)
{
    return header.size == BmpOs2HeaderBytes ? 3 : 4;
}

bool BmpHasMasks(const BmpInfoHeader& header)
{
    return header.compression == BmpCompressionBitFields && (header.bits == 16 || header.bits == 32);
}

bool BmpMasksFollowHeader(const BmpInfoHeader& header)
{
    return BmpHasMasks(header) && header.size < BmpMaskedHeaderBytes;
}

int ReadBmpInfoHeader(_tagPTzIOSTREAM* stream, BmpInfoHeader* header)
{
    uint8_t bytes[BmpLargestHeaderBytes];
    if (PTzIOStreamRead(stream, bytes, 4) != 4)
        return PTzFail(FTzERR_SHORT_READ);
    const uint32_t size = PTzReadLE32(bytes);
    if (!knownHeaderSize(size))
        return PTzFail(FTzERR_BAD_DATA);
    if (PTzIOStreamRead(stream, bytes + 4, size - 4) != size - 4)
        return PTzFail(FTzERR_SHORT_READ);
    BmpInfoHeader read{};
    read.size = size;
    if (size == BmpOs2HeaderBytes) {
        read.width = PTzReadLE16(bytes + 4);
        read.height = PTzReadLE16(bytes + 6);
        read.planes = PTzReadLE16(bytes + 8);
        read.bits = PTzReadLE16(bytes + 10);
    } else {
        read.width = int32_t(PTzReadLE32(bytes + 4));
        read.height = int32_t(PTzReadLE32(bytes + 8));
        read.planes = PTzReadLE16(bytes + 12);
        read.bits = PTzReadLE16(bytes + 14);
        read.compression = PTzReadLE32(bytes + 16);
        read.imageSize = PTzReadLE32(bytes + 20);
        read.xPelsPerMeter = int32_t(PTzReadLE32(bytes + 24));
        read.yPelsPerMeter = int32_t(PTzReadLE32(bytes + 28));
        read.coloursUsed = PTzReadLE32(bytes + 32);
        read.coloursImportant = PTzReadLE32(bytes + 36);
    }
    if (size >= BmpMaskedHeaderBytes) {
        for (uint32_t i = 0; i < 3; ++i)
            read.masks[i] = PTzReadLE32(bytes + BmpWindowsHeaderBytes + 4 * i);
    }
    if (!knownBits(read.bits))
        return PTzFail(FTzERR_BAD_DATA);
    *header = read;
    return 0;
}

int ReadBmpFileHeaders(_tagPTzIOSTREAM* stream, uint32_t* pixelOffset, BmpInfoHeader* header)
{
    if (const int code = seekToStart(stream))
        return code;
    uint8_t bytes[BmpFileHeaderBytes];
    if (PTzIOStreamRead(stream, bytes, BmpFileHeaderBytes) != BmpFileHeaderBytes)
        return PTzFail(FTzERR_SHORT_READ);
    if (PTzReadLE16(bytes) != BmpFileType)
        return PTzFail(FTzERR_BAD_DATA);
    if (const int code = ReadBmpInfoHeader(stream, header))
        return code;
    *pixelOffset = PTzReadLE32(bytes + 10);
    return 0;
}

int ReadBmpDibHeader(_tagPTzIOSTREAM* stream, BmpInfoHeader* header)
{
    if (const int code = seekToStart(stream))
        return code;
    return ReadBmpInfoHeader(stream, header);
}

bool WriteBmpFileHeader(_tagPTzIOSTREAM* stream, uint32_t fileSize, uint32_t pixelOffset)
{
    uint8_t bytes[BmpFileHeaderBytes] = {};
    PTzWriteLE16(bytes, BmpFileType);
    PTzWriteLE32(bytes + 2, fileSize);
    PTzWriteLE32(bytes + 10, pixelOffset);
    return PTzIOStreamWrite(stream, bytes, BmpFileHeaderBytes) == BmpFileHeaderBytes;
}

bool WriteBmpInfoHeader(_tagPTzIOSTREAM* stream, const BmpInfoHeader& header)
{
    uint8_t bytes[BmpWindowsHeaderBytes] = {};
    PTzWriteLE32(bytes, header.size);
    if (header.size == BmpOs2HeaderBytes) {
        PTzWriteLE16(bytes + 4, uint16_t(header.width));
        PTzWriteLE16(bytes + 6, uint16_t(header.height));
        PTzWriteLE16(bytes + 8, header.planes);
        PTzWriteLE16(bytes + 10, header.bits);
    } else {
        PTzWriteLE32(bytes + 4, uint32_t(header.width));
        PTzWriteLE32(bytes + 8, uint32_t(header.height));
        PTzWriteLE16(bytes + 12, header.planes);
        PTzWriteLE16(bytes + 14, header.bits);
        PTzWriteLE32(bytes + 16, header.compression);
        PTzWriteLE32(bytes + 20, header.imageSize);
        PTzWriteLE32(bytes + 24, uint32_t(header.xPelsPerMeter));
        PTzWriteLE32(bytes + 28, uint32_t(header.yPelsPerMeter));
        PTzWriteLE32(bytes + 32, header.coloursUsed);
        PTzWriteLE32(bytes + 36, header.coloursImportant);
    }
    return PTzIOStreamWrite(stream, bytes, header.size) == header.size;
}

}  // namespace bitmora
