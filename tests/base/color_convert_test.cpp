// Row conversions into 24-bit rows, checked against a plain per-pixel reference on
// odd widths and padded strides, and the inputs every conversion must refuse.
#include "base/color_convert.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "base/error_codes.h"

namespace {

constexpr uint8_t kPadding = 0xA5;

// A buffer over its own storage; padding bytes past each row hold kPadding.
struct Rows {
    Rows(int32_t width, int32_t height, int32_t stride, uint32_t mode, uint8_t bits)
        : bytes(size_t(stride) * size_t(height) + 1, kPadding)
    {
        buffer = {width, height, stride, _tagPTzCOLORMODE(mode), bits, bytes.data(), nullptr};
    }
    uint8_t* row(int32_t y) { return bytes.data() + size_t(y) * size_t(buffer.stride); }

    std::vector<uint8_t> bytes;
    _tagPTzCOLORCONVERTBUFFER buffer;
};

int32_t minimalStride(int32_t width, int bits)
{
    return (width * bits + 7) / 8;
}

Rows randomRows(int32_t width, int32_t height, int32_t stride, uint32_t mode, uint8_t bits, std::mt19937& rng)
{
    Rows rows(width, height, stride, mode, bits);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t i = 0; i < minimalStride(width, bits); ++i)
            rows.row(y)[i] = uint8_t(rng());
    return rows;
}

Rows targetFor(const Rows& source, int32_t extraStride)
{
    const int32_t width = source.buffer.width;
    return Rows(width, source.buffer.height, width * 3 + extraStride, PTzCOLORMODE_RGB, 24);
}

_tagPTzCOLORPALETTE randomPalette(uint16_t count, std::mt19937& rng)
{
    _tagPTzCOLORPALETTE palette{};
    palette.count = count;
    for (auto& entry : palette.entries)
        for (auto& component : entry)
            component = uint8_t(rng());
    return palette;
}

// The reference: pixel x's index read bit by bit, most significant first.
unsigned referenceIndex(const uint8_t* row, int32_t x, int bits)
{
    unsigned index = 0;
    for (int b = 0; b < bits; ++b) {
        const int bit = x * bits + b;
        index = index << 1 | ((row[bit / 8] >> (7 - bit % 8)) & 1);
    }
    return index;
}

void expectPaddingUntouched(Rows& target)
{
    for (int32_t y = 0; y < target.buffer.height; ++y)
        for (int32_t i = target.buffer.width * 3; i < target.buffer.stride; ++i)
            ASSERT_EQ(target.row(y)[i], kPadding) << "row " << y << " byte " << i;
}

void expectIndexedMatchesReference(Rows& source, Rows& target, const _tagPTzCOLORPALETTE& palette)
{
    const int bits = source.buffer.bits;
    for (int32_t y = 0; y < source.buffer.height; ++y) {
        for (int32_t x = 0; x < source.buffer.width; ++x) {
            const unsigned index = referenceIndex(source.row(y), x, bits);
            for (int c = 0; c < 3; ++c) {
                const uint8_t expected = index < palette.count ? palette.entries[index][c] : 0;
                ASSERT_EQ(target.row(y)[x * 3 + c], expected) << "bits " << bits << " x " << x << " y " << y;
            }
        }
    }
    expectPaddingUntouched(target);
}

struct HandleDeleter {
    void operator()(PTzColorConvert_1Base* handle) const { PTzDestroyConvertHandle_1(handle); }
};
using Handle = std::unique_ptr<PTzColorConvert_1Base, HandleDeleter>;

Handle makeHandle(uint32_t sourceMode, uint8_t sourceBits)
{
    return Handle(PTzCreateConvertHandle_1(_tagPTzCOLORMODE(sourceMode), sourceBits, PTzCOLORMODE_RGB, 24));
}

TEST(ColorConvertIndexed, OneBitRowReadsTheMostSignificantBitFirst)
{
    Rows source(8, 1, 4, PTzCOLORMODE_RGB, 1);
    source.row(0)[0] = 0b10110000;
    _tagPTzCOLORPALETTE palette{};
    palette.count = 2;
    palette.entries[1][0] = palette.entries[1][1] = palette.entries[1][2] = 255;
    source.buffer.palette = &palette;
    Rows target = targetFor(source, 0);
    ASSERT_EQ(PTzConvertColor(&source.buffer, &target.buffer), 0);
    const uint8_t expected[8] = {255, 0, 255, 255, 0, 0, 0, 0};
    for (int x = 0; x < 8; ++x)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(target.row(0)[x * 3 + c], expected[x]) << x;
}

TEST(ColorConvertIndexed, EveryDepthOddWidthsPaddedStridesMatchTheReference)
{
    std::mt19937 rng(110);
    const Handle handle = makeHandle(PTzCOLORMODE_RGB, 8);
    ASSERT_TRUE(handle);
    for (uint8_t bits : {1, 2, 4, 8}) {
        // A count below the index range leaves indexes that must read as black.
        _tagPTzCOLORPALETTE palette = randomPalette(uint16_t((1u << bits) * 3 / 4), rng);
        for (int32_t width = 1; width <= 19; width += 2) {
            const int32_t stride = minimalStride(width, bits) + width % 3;
            Rows source = randomRows(width, 3, stride, PTzCOLORMODE_RGB, bits, rng);
            source.buffer.palette = &palette;
            Rows byFunction = targetFor(source, 2);
            ASSERT_EQ(PTzConvertColor(&source.buffer, &byFunction.buffer), 0);
            expectIndexedMatchesReference(source, byFunction, palette);
            Rows byHandle = targetFor(source, 1);
            ASSERT_EQ(PTzConvertColor_1(&source.buffer, &byHandle.buffer, handle.get()), 0);
            expectIndexedMatchesReference(source, byHandle, palette);
        }
    }
}

TEST(ColorConvertIndexed, PaletteCountsOfZeroAndPastTheTableAreSafe)
{
    std::mt19937 rng(7);
    for (uint16_t count : {0, 256, 1000}) {
        _tagPTzCOLORPALETTE palette = randomPalette(count, rng);
        Rows source = randomRows(37, 2, 40, PTzCOLORMODE_RGB, 8, rng);
        source.buffer.palette = &palette;
        Rows target = targetFor(source, 0);
        ASSERT_EQ(PTzConvertColor(&source.buffer, &target.buffer), 0);
        palette.count = std::min<uint16_t>(count, 256);
        expectIndexedMatchesReference(source, target, palette);
    }
}

TEST(ColorConvertFourChannel, HandleRoundsAndFunctionTruncatesOverEveryPair)
{
    // Pixel (x, y) holds c = x in the first three channels and k = y.
    Rows source(256, 256, 1024, PTzCOLORMODE_CMYK, 32);
    for (int32_t k = 0; k < 256; ++k)
        for (int32_t c = 0; c < 256; ++c)
            for (int i = 0; i < 4; ++i)
                source.row(k)[c * 4 + i] = uint8_t(i == 3 ? k : c);
    Rows rounded = targetFor(source, 0);
    Rows truncated = targetFor(source, 0);
    const Handle handle = makeHandle(PTzCOLORMODE_CMYK, 32);
    ASSERT_TRUE(handle);
    ASSERT_EQ(PTzConvertColor_1(&source.buffer, &rounded.buffer, handle.get()), 0);
    ASSERT_EQ(PTzConvertColor(&source.buffer, &truncated.buffer), 0);
    for (int32_t k = 0; k < 256; ++k) {
        for (int32_t c = 0; c < 256; ++c) {
            for (int i = 0; i < 3; ++i) {
                ASSERT_EQ(rounded.row(k)[c * 3 + i], (127 + c * k) / 255) << c << " " << k;
                ASSERT_EQ(truncated.row(k)[c * 3 + i], c * k / 255) << c << " " << k;
            }
        }
    }
}

TEST(ColorConvertGray, EachByteIsWrittenThreeTimesOnPaddedRows)
{
    std::mt19937 rng(6);
    const Handle handle = makeHandle(PTzCOLORMODE_GRAY, 8);
    for (int32_t width : {1, 5, 33}) {
        Rows source = randomRows(width, 4, width + 3, PTzCOLORMODE_GRAY, 8, rng);
        Rows byFunction = targetFor(source, 3);
        Rows byHandle = targetFor(source, 3);
        ASSERT_EQ(PTzConvertColor(&source.buffer, &byFunction.buffer), 0);
        ASSERT_EQ(PTzConvertColor_1(&source.buffer, &byHandle.buffer, handle.get()), 0);
        for (int32_t y = 0; y < 4; ++y)
            for (int32_t x = 0; x < width * 3; ++x)
                ASSERT_EQ(byFunction.row(y)[x], source.row(y)[x / 3]);
        expectPaddingUntouched(byFunction);
        EXPECT_EQ(byHandle.bytes, byFunction.bytes);
    }
}

TEST(ColorConvertPairs, OnlyTheListedPairsHaveFunctionsAndHandles)
{
    for (uint8_t bits : {1, 2, 4, 8})
        EXPECT_NE(PTzGetConvertFunction(PTzCOLORMODE_RGB, bits, PTzCOLORMODE_RGB, 24), nullptr);
    EXPECT_NE(PTzGetConvertFunction(PTzCOLORMODE_CMYK, 32, PTzCOLORMODE_RGB, 24), nullptr);
    EXPECT_NE(PTzGetConvertFunction(PTzCOLORMODE_GRAY, 8, PTzCOLORMODE_RGB, 24), nullptr);
    const struct { uint32_t mode; uint8_t bits; uint32_t targetMode; uint8_t targetBits; } unsupported[] = {
        {PTzCOLORMODE_BGR, 24, PTzCOLORMODE_RGB, 24}, {PTzCOLORMODE_RGB, 24, PTzCOLORMODE_RGB, 24},
        {PTzCOLORMODE_RGB, 3, PTzCOLORMODE_RGB, 24},  {PTzCOLORMODE_CMYK, 40, PTzCOLORMODE_RGB, 24},
        {PTzCOLORMODE_GRAY, 16, PTzCOLORMODE_RGB, 24}, {PTzCOLORMODE_GRAY, 8, PTzCOLORMODE_BGR, 24},
        {PTzCOLORMODE_GRAY, 8, PTzCOLORMODE_RGB, 32},
    };
    for (const auto& pair : unsupported) {
        PTzSetLastError(0);
        EXPECT_EQ(PTzGetConvertFunction(_tagPTzCOLORMODE(pair.mode), pair.bits, _tagPTzCOLORMODE(pair.targetMode),
                                        pair.targetBits),
                  nullptr);
        EXPECT_EQ(PTzGetLastError(), PTzERR_COLOR_UNSUPPORTED);
    }

    EXPECT_NE(dynamic_cast<PTzColorConvert_1RGB2RGB*>(makeHandle(PTzCOLORMODE_RGB, 4).get()), nullptr);
    EXPECT_NE(dynamic_cast<PTzColorConvert_1CMYK2RGB*>(makeHandle(PTzCOLORMODE_CMYK, 32).get()), nullptr);
    EXPECT_NE(dynamic_cast<PTzColorConvert_1GRAY2RGB*>(makeHandle(PTzCOLORMODE_GRAY, 8).get()), nullptr);
    for (uint32_t mode : {2u, 3u, 5u, 7u, 8u}) {
        PTzSetLastError(0);
        EXPECT_EQ(makeHandle(mode, 24), nullptr) << mode;
        EXPECT_EQ(PTzGetLastError(), PTzERR_COLOR_UNSUPPORTED);
    }
    PTzSetLastError(0);
    EXPECT_EQ(PTzCreateConvertHandle_1(PTzCOLORMODE_GRAY, 8, PTzCOLORMODE_BGR, 24), nullptr);
    EXPECT_EQ(PTzGetLastError(), PTzERR_COLOR_UNSUPPORTED);
    EXPECT_EQ(PTzDestroyConvertHandle_1(nullptr), 0);
}

TEST(ColorConvertPairs, ConvertColorGivesTheStoredErrorForAnUnsupportedPair)
{
    Rows source(2, 1, 6, PTzCOLORMODE_BGR, 24);
    Rows target = targetFor(source, 0);
    EXPECT_EQ(PTzConvertColor(&source.buffer, &target.buffer), PTzERR_COLOR_UNSUPPORTED);
    EXPECT_EQ(PTzGetLastError(), PTzERR_COLOR_UNSUPPORTED);
}

// Every refused conversion stores and returns its code and writes nothing.
class ColorConvertRefuses : public ::testing::Test {
protected:
    void SetUp() override
    {
        palette.count = 2;
        palette.entries[1][0] = 9;
        source.buffer.palette = &palette;
    }

    void expectRefused(int code)
    {
        const std::vector<uint8_t> before = target.bytes;
        for (PTzColorConvert_1Base* converter : {static_cast<PTzColorConvert_1Base*>(nullptr), handle.get()}) {
            PTzSetLastError(0);
            const int result = converter ? PTzConvertColor_1(&source.buffer, &target.buffer, converter)
                                         : PTzConvertColor(&source.buffer, &target.buffer);
            EXPECT_EQ(result, code) << (converter ? "handle" : "function");
            EXPECT_EQ(PTzGetLastError(), code);
            EXPECT_EQ(target.bytes, before);
        }
    }

    _tagPTzCOLORPALETTE palette{};
    // 11 pixels at 4 bits take 6 bytes a row.
    Rows source{11, 2, 6, PTzCOLORMODE_RGB, 4};
    Rows target{11, 2, 33, PTzCOLORMODE_RGB, 24};
    Handle handle = makeHandle(PTzCOLORMODE_RGB, 4);
};

TEST_F(ColorConvertRefuses, MinimalStridesAreAccepted)
{
    EXPECT_EQ(PTzConvertColor(&source.buffer, &target.buffer), 0);
    EXPECT_EQ(PTzConvertColor_1(&source.buffer, &target.buffer, handle.get()), 0);
}

TEST_F(ColorConvertRefuses, StridesShorterThanTheRow)
{
    source.buffer.stride = 5;
    expectRefused(PTzERR_BAD_ARGUMENT);
    source.buffer.stride = -6;
    expectRefused(PTzERR_BAD_ARGUMENT);
    source.buffer.stride = 6;
    target.buffer.stride = 32;
    expectRefused(PTzERR_BAD_ARGUMENT);
}

TEST_F(ColorConvertRefuses, NullPaletteOrData)
{
    source.buffer.palette = nullptr;
    expectRefused(PTzERR_BAD_ARGUMENT);
    source.buffer.palette = &palette;
    source.buffer.data = nullptr;
    expectRefused(PTzERR_BAD_ARGUMENT);
    source.buffer.data = source.bytes.data();
    target.buffer.data = nullptr;
    expectRefused(PTzERR_BAD_ARGUMENT);
}

TEST_F(ColorConvertRefuses, SizesThatDifferOrAreNegative)
{
    target.buffer.width = 10;
    expectRefused(PTzERR_BAD_ARGUMENT);
    target.buffer.width = 11;
    target.buffer.height = 1;
    expectRefused(PTzERR_BAD_ARGUMENT);
    source.buffer.width = target.buffer.width = -1;
    target.buffer.height = 2;
    expectRefused(PTzERR_BAD_ARGUMENT);
}

TEST_F(ColorConvertRefuses, NullBuffersAndNullHandle)
{
    EXPECT_EQ(PTzConvertColor(nullptr, &target.buffer), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(PTzConvertColor_1(&source.buffer, nullptr, handle.get()), PTzERR_BAD_ARGUMENT);
    PTzSetLastError(0);
    EXPECT_EQ(PTzConvertColor_1(&source.buffer, &target.buffer, nullptr), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

TEST_F(ColorConvertRefuses, PaletteHandleRejectsUnsupportedBitsWithTheUnsupportedCode)
{
    source.buffer.bits = 3;
    EXPECT_EQ(PTzConvertColor_1(&source.buffer, &target.buffer, handle.get()), PTzERR_COLOR_UNSUPPORTED);
    source.buffer.bits = 4;
    target.buffer.bits = 32;
    EXPECT_EQ(PTzConvertColor_1(&source.buffer, &target.buffer, handle.get()), PTzERR_COLOR_UNSUPPORTED);
    target.buffer.bits = 24;
    target.buffer.mode = PTzCOLORMODE_BGR;
    EXPECT_EQ(PTzConvertColor_1(&source.buffer, &target.buffer, handle.get()), PTzERR_BAD_ARGUMENT);
}

TEST(ColorConvertHandles, HandleRefusesBuffersOfAnotherPair)
{
    Rows gray(4, 1, 4, PTzCOLORMODE_GRAY, 8);
    Rows fourChannel(4, 1, 16, PTzCOLORMODE_CMYK, 32);
    Rows target(4, 1, 12, PTzCOLORMODE_RGB, 24);
    EXPECT_EQ(PTzConvertColor_1(&gray.buffer, &target.buffer, makeHandle(PTzCOLORMODE_CMYK, 32).get()),
              PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(PTzConvertColor_1(&fourChannel.buffer, &target.buffer, makeHandle(PTzCOLORMODE_GRAY, 8).get()),
              PTzERR_BAD_ARGUMENT);
}

TEST(ColorConvertBGRtoRGB, SwapsFirstAndThirdByteOfEachPixel)
{
    uint8_t data[7] = {1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(PTzConvertBGRtoRGB(data, 2), 0);
    const uint8_t expected[7] = {3, 2, 1, 6, 5, 4, 7};
    EXPECT_TRUE(std::equal(data, data + 7, expected));
    EXPECT_EQ(PTzConvertBGRtoRGB(data, 0), 0);
    EXPECT_EQ(PTzConvertBGRtoRGB(nullptr, 1), PTzERR_BAD_ARGUMENT);
}

}  // namespace
