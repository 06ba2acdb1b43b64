// The chunk header of the native layered file: a u32 tag and the payload size, 8 bytes
// for sizes below 0xFFFFFFFF, else the u32 0xFFFFFFFF and the u64 size (16 bytes).
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/corvane_types.h"
#include "engine/lumatra_export.h"

namespace lumatra::native {

constexpr uint32_t kTagPicture = PTzFourCC("pict");
constexpr uint32_t kTagPictInfo = PTzFourCC("pifb");
constexpr uint32_t kTagTextTable = PTzFourCC("ttft");
constexpr uint32_t kTagLayer = PTzFourCC("layr");
constexpr uint32_t kTagName = PTzFourCC("name");
constexpr uint32_t kTagLayerInfo = PTzFourCC("lifb");
constexpr uint32_t kTagText = PTzFourCC("ttex");
constexpr uint32_t kTagTextInfo = PTzFourCC("ttif");
constexpr uint32_t kTagTextData = PTzFourCC("tdta");
constexpr uint32_t kTagPreview = PTzFourCC("prev");
constexpr uint32_t kTagPreviewInfo = PTzFourCC("prei");
constexpr uint32_t kTagPreviewData = PTzFourCC("pred");

constexpr size_t kShortHeaderSize = 8;
constexpr size_t kLongHeaderSize = 16;
constexpr uint32_t kLongSizeMarker = 0xFFFFFFFF;

struct ChunkHeader {
    uint32_t tag = 0;
    uint64_t size = 0;  // payload bytes, the header excluded
};

// Bytes the header of a chunk with this payload size takes: 8 or 16.
constexpr size_t chunkHeaderSize(uint64_t payload)
{
    return payload >= kLongSizeMarker ? kLongHeaderSize : kShortHeaderSize;
}

// Writes the header into out (room for 16 bytes) and returns its length.
LUMATRA_API size_t encodeChunkHeader(const ChunkHeader& header, uint8_t* out);

// Reads a header from the first available bytes of in. Returns its length (8 or 16), or
// 0 when the bytes end before the header does (header left unchanged).
LUMATRA_API size_t decodeChunkHeader(const uint8_t* in, size_t available, ChunkHeader* header);

}  // namespace lumatra::native
