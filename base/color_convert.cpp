// Row conversions into 24-bit red, green, blue: each checks both buffers once, then
// walks the rows with each buffer's own stride through one tight loop per row.
#include "color_convert.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <new>
#include <utility>

#include "error_codes.h"

namespace {

using Buffer = _tagPTzCOLORCONVERTBUFFER;

constexpr uint8_t kTargetBits = 24;

int64_t rowBytes(int32_t width, uint8_t bits)
{
    return (int64_t(width) * bits + 7) / 8;
}

// The checks every conversion shares once its pair is known: the sizes agree, the
// rows exist and each stride covers its row.
int checkGeometry(const Buffer& source, const Buffer& target)
{
    if (source.width != target.width || source.height != target.height)
        return PTzERR_BAD_ARGUMENT;
    if (source.width < 0 || source.height < 0 || !source.data || !target.data)
        return PTzERR_BAD_ARGUMENT;
    if (source.stride < rowBytes(source.width, source.bits) || target.stride < rowBytes(target.width, target.bits))
        return PTzERR_BAD_ARGUMENT;
    return 0;
}

int checkPair(const Buffer* source, const Buffer* target, _tagPTzCOLORMODE mode, uint8_t bits)
{
    if (!source || !target)
        return PTzERR_BAD_ARGUMENT;
    if (source->mode != mode || source->bits != bits || target->mode != PTzCOLORMODE_RGB ||
        target->bits != kTargetBits)
        return PTzERR_BAD_ARGUMENT;
    return checkGeometry(*source, *target);
}

// Calls row(sourceRow, targetRow, width) for every row of the checked buffers.
template <typename RowFunction>
void forEachRow(const Buffer& source, Buffer& target, RowFunction row)
{
    for (int32_t y = 0; y < source.height; ++y)
        row(source.data + ptrdiff_t(y) * source.stride, target.data + ptrdiff_t(y) * target.stride, source.width);
}

// The palette widened to all 256 indexes, black past its count, so the row loop
// needs no range check.
using PaletteTable = std::array<std::array<uint8_t, 3>, 256>;

PaletteTable paletteTable(const _tagPTzCOLORPALETTE& palette)
{
    PaletteTable table{};
    const size_t count = std::min<size_t>(palette.count, table.size());
    std::memcpy(table.data(), palette.entries, count * 3);
    return table;
}

// Indexes sit in the most significant bits of each byte first.
template <int Bits>
int convertIndexed(const Buffer* source, Buffer* target)
{
    if (const int code = checkPair(source, target, PTzCOLORMODE_RGB, Bits))
        return PTzFail(code);
    if (!source->palette)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    const PaletteTable table = paletteTable(*source->palette);
    forEachRow(*source, *target, [&table](const uint8_t* in, uint8_t* out, int32_t width) {
        constexpr int perByte = 8 / Bits;
        int32_t x = 0;
        while (x < width) {
            unsigned byte = *in++;
            for (int k = 0; k < perByte && x < width; ++k, ++x) {
                const auto& rgb = table[byte >> (8 - Bits)];
                byte = (byte << Bits) & 0xFF;
                out[0] = rgb[0];
                out[1] = rgb[1];
                out[2] = rgb[2];
                out += 3;
            }
        }
    });
    return 0;
}

// Four channels c0, c1, c2, k give c0 x k / 255, c1 x k / 255, c2 x k / 255; product
// supplies the division: the plain function truncates, the handle's table rounds.
template <typename Product>
void convertFourChannelRows(const Buffer& source, Buffer& target, Product product)
{
    forEachRow(source, target, [&product](const uint8_t* in, uint8_t* out, int32_t width) {
        for (int32_t x = 0; x < width; ++x, in += 4, out += 3) {
            const uint8_t k = in[3];
            out[0] = product(in[0], k);
            out[1] = product(in[1], k);
            out[2] = product(in[2], k);
        }
    });
}

int convertFourChannel(const Buffer* source, Buffer* target)
{
    if (const int code = checkPair(source, target, PTzCOLORMODE_CMYK, 32))
        return PTzFail(code);
    convertFourChannelRows(*source, *target, [](unsigned c, unsigned k) { return uint8_t(c * k / 255); });
    return 0;
}

int convertGray(const Buffer* source, Buffer* target)
{
    if (const int code = checkPair(source, target, PTzCOLORMODE_GRAY, 8))
        return PTzFail(code);
    forEachRow(*source, *target, [](const uint8_t* in, uint8_t* out, int32_t width) {
        for (int32_t x = 0; x < width; ++x, out += 3)
            out[0] = out[1] = out[2] = in[x];
    });
    return 0;
}

}  // namespace

PTzCOLORCONVERTFUNCTION PTzGetConvertFunction(_tagPTzCOLORMODE sourceMode, uint8_t sourceBits,
                                              _tagPTzCOLORMODE targetMode, uint8_t targetBits)
{
    if (targetMode == PTzCOLORMODE_RGB && targetBits == kTargetBits) {
        if (sourceMode == PTzCOLORMODE_RGB) {
            switch (sourceBits) {
            case 1: return convertIndexed<1>;
            case 2: return convertIndexed<2>;
            case 4: return convertIndexed<4>;
            case 8: return convertIndexed<8>;
            default: break;
            }
        }
        if (sourceMode == PTzCOLORMODE_CMYK && sourceBits == 32)
            return convertFourChannel;
        if (sourceMode == PTzCOLORMODE_GRAY && sourceBits == 8)
            return convertGray;
    }
    PTzSetLastError(PTzERR_COLOR_UNSUPPORTED);
    return nullptr;
}

int PTzConvertColor(const _tagPTzCOLORCONVERTBUFFER* source, _tagPTzCOLORCONVERTBUFFER* target)
{
    if (!source || !target)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    const PTzCOLORCONVERTFUNCTION convert =
        PTzGetConvertFunction(source->mode, source->bits, target->mode, target->bits);
    if (!convert)
        return PTzLastErrorOr(PTzERR_COLOR_UNSUPPORTED);
    return convert(source, target);
}

int PTzConvertBGRtoRGB(uint8_t* data, uint32_t pixels)
{
    if (!data)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    for (uint8_t* end = data + size_t(pixels) * 3; data != end; data += 3)
        std::swap(data[0], data[2]);
    return 0;
}

PTzColorConvert_1Base::~PTzColorConvert_1Base() = default;

int PTzColorConvert_1RGB2RGB::Convert(const _tagPTzCOLORCONVERTBUFFER* source, _tagPTzCOLORCONVERTBUFFER* target)
{
    if (!source || !target || source->mode != PTzCOLORMODE_RGB || target->mode != PTzCOLORMODE_RGB)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    if (target->bits != kTargetBits)
        return PTzFail(PTzERR_COLOR_UNSUPPORTED);
    switch (source->bits) {
    case 1: return convertIndexed<1>(source, target);
    case 2: return convertIndexed<2>(source, target);
    case 4: return convertIndexed<4>(source, target);
    case 8: return convertIndexed<8>(source, target);
    default: return PTzFail(PTzERR_COLOR_UNSUPPORTED);
    }
}

PTzColorConvert_1CMYK2RGB::PTzColorConvert_1CMYK2RGB()
{
    for (unsigned i = 0; i < 256; ++i)
        for (unsigned j = 0; j < 256; ++j)
            m_product[i][j] = uint8_t((127 + i * j) / 255);
}

int PTzColorConvert_1CMYK2RGB::Convert(const _tagPTzCOLORCONVERTBUFFER* source, _tagPTzCOLORCONVERTBUFFER* target)
{
    if (const int code = checkPair(source, target, PTzCOLORMODE_CMYK, 32))
        return PTzFail(code);
    convertFourChannelRows(*source, *target, [this](uint8_t c, uint8_t k) { return m_product[c][k]; });
    return 0;
}

int PTzColorConvert_1GRAY2RGB::Convert(const _tagPTzCOLORCONVERTBUFFER* source, _tagPTzCOLORCONVERTBUFFER* target)
{
    return convertGray(source, target);
}

// The bits are not part of the choice: the handle checks them on every conversion.
PTzColorConvert_1Base* PTzCreateConvertHandle_1(_tagPTzCOLORMODE sourceMode, uint8_t /*sourceBits*/,
                                                _tagPTzCOLORMODE targetMode, uint8_t /*targetBits*/)
{
    if (targetMode == PTzCOLORMODE_RGB) {
        switch (sourceMode) {
        case PTzCOLORMODE_RGB: return new (std::nothrow) PTzColorConvert_1RGB2RGB;
        case PTzCOLORMODE_CMYK: return new (std::nothrow) PTzColorConvert_1CMYK2RGB;
        case PTzCOLORMODE_GRAY: return new (std::nothrow) PTzColorConvert_1GRAY2RGB;
        default: break;
        }
    }
    PTzSetLastError(PTzERR_COLOR_UNSUPPORTED);
    return nullptr;
}

int PTzDestroyConvertHandle_1(PTzColorConvert_1Base* handle)
{
    delete handle;
    return 0;
}

int PTzConvertColor_1(const _tagPTzCOLORCONVERTBUFFER* source, _tagPTzCOLORCONVERTBUFFER* target,
                      PTzColorConvert_1Base* handle)
{
    if (!handle)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    return handle->Convert(source, target);
}
