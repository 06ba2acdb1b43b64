// Golden bytes of the native file's chunk headers, short and long forms.
#include <gtest/gtest.h>

#include <vector>

#include "engine/picture/native_chunk_header.h"

using namespace lumatra::native;

namespace {

std::vector<uint8_t> encode(uint32_t tag, uint64_t size)
{
    uint8_t out[kLongHeaderSize] = {};
    const size_t length = encodeChunkHeader({tag, size}, out);
    return {out, out + length};
}

}  // namespace

TEST(NativeChunkHeader, TagIsStoredWithItsLettersReversed)
{
    EXPECT_EQ(encode(kTagPicture, 20), (std::vector<uint8_t>{'t', 'c', 'i', 'p', 20, 0, 0, 0}));
}

TEST(NativeChunkHeader, SizesBelowTheMarkerUseEightBytes)
{
    EXPECT_EQ(encode(kTagName, 0xFFFFFFFE),
              (std::vector<uint8_t>{'e', 'm', 'a', 'n', 0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(chunkHeaderSize(0), 8u);
}

TEST(NativeChunkHeader, SizeEqualToTheMarkerUsesSixteenBytes)
{
    EXPECT_EQ(encode(kTagPreviewData, 0xFFFFFFFF),
              (std::vector<uint8_t>{'d', 'e', 'r', 'p', 0xFF, 0xFF, 0xFF, 0xFF,  //
                                    0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}));
}

TEST(NativeChunkHeader, SizeBeyondThirtyTwoBitsUsesSixteenBytes)
{
    EXPECT_EQ(encode(kTagLayer, 0x0123456789ABCDEFull),
              (std::vector<uint8_t>{'r', 'y', 'a', 'l', 0xFF, 0xFF, 0xFF, 0xFF,  //
                                    0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}));
}

TEST(NativeChunkHeader, DecodeReversesEncodeForBothForms)
{
    for (uint64_t size : {0ull, 1ull, 0xFFFFFFFEull, 0xFFFFFFFFull, 0x100000000ull, ~0ull}) {
        const std::vector<uint8_t> bytes = encode(kTagPreview, size);
        ChunkHeader header;
        ASSERT_EQ(decodeChunkHeader(bytes.data(), bytes.size(), &header), bytes.size());
        EXPECT_EQ(header.tag, kTagPreview);
        EXPECT_EQ(header.size, size);
    }
}

TEST(NativeChunkHeader, DecodeOfCutHeaderFailsAndLeavesTheOutputAlone)
{
    const std::vector<uint8_t> longForm = encode(kTagPreview, 0x100000000ull);
    for (size_t cut = 0; cut < longForm.size(); ++cut) {
        ChunkHeader header{7, 9};
        EXPECT_EQ(decodeChunkHeader(longForm.data(), cut, &header), 0u) << cut;
        EXPECT_EQ(header.tag, 7u);
        EXPECT_EQ(header.size, 9u);
    }
}
