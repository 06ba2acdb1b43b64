// Encoding and decoding of the native file's 8- and 16-byte chunk headers.
#include "engine/picture/native_chunk_header.h"

namespace lumatra::native {

size_t encodeChunkHeader(const ChunkHeader& header, uint8_t* out)
{
    PTzWriteLE32(out, header.tag);
    if (chunkHeaderSize(header.size) == kShortHeaderSize) {
        PTzWriteLE32(out + 4, uint32_t(header.size));
        return kShortHeaderSize;
    }
    PTzWriteLE32(out + 4, kLongSizeMarker);
    PTzWriteLE64(out + 8, header.size);
    return kLongHeaderSize;
}

size_t decodeChunkHeader(const uint8_t* in, size_t available, ChunkHeader* header)
{
    if (available < kShortHeaderSize)
        return 0;
    const uint32_t shortSize = PTzReadLE32(in + 4);
    if (shortSize != kLongSizeMarker) {
        *header = {PTzReadLE32(in), shortSize};
        return kShortHeaderSize;
    }
    if (available < kLongHeaderSize)
        return 0;
    *header = {PTzReadLE32(in), PTzReadLE64(in + 8)};
    return kLongHeaderSize;
}

}  // namespace lumatra::native
