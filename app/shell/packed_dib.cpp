// The header is the 40-byte BITMAPINFOHEADER, little-endian: size, width, height (a
// negative height counts rows from the top), planes, bits, compression, image size,
// horizontal and vertical resolution, colours used, colours important.
#include "app/shell/packed_dib.h"

#include <cstring>
#include <new>

#include "base/checked_size.h"
#include "base/corvane_types.h"

namespace {

constexpr uint32_t kHeaderSize = 40;
constexpr uint32_t kNoCompression = 0;

uint32_t RowBytes24(int64_t width)
{
    return uint32_t((width * 3 + 3) & ~int64_t(3));
}

}  // namespace

bool PackedDib24Size(int64_t width, int64_t height, uint32_t* size)
{
    uint64_t row = 0;
    uint64_t total = 0;
    if (width <= 0 || height <= 0 || width > INT32_MAX || height > INT32_MAX ||
        !PTzCheckedRowBytes(uint64_t(width), 24, &row) || !PTzCheckedMul(row, uint64_t(height), &total) ||
        !PTzCheckedAdd(total, kHeaderSize, &total, UINT32_MAX))
        return false;
    *size = uint32_t(total);
    return true;
}

bool PackedDibFromImage(const QImage& image, CPackedDib* dib)
{
    uint32_t size = 0;
    if (image.isNull() || !PackedDib24Size(image.width(), image.height(), &size))
        return false;
    // One pixel layout for every source: 32-bit, with the colour premultiplied by the
    // alpha, so that laying it over white is c + (255 - a).
    const QImage pixels = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                        : QImage::Format_RGB32);
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[size]);
    if (pixels.isNull() || !bytes)
        return false;
    const int32_t width = pixels.width();
    const int32_t height = pixels.height();
    const uint32_t stride = RowBytes24(width);
    uint8_t* header = bytes.get();
    std::memset(header, 0, kHeaderSize);
    PTzWriteLE32(header, kHeaderSize);
    PTzWriteLE32(header + 4, uint32_t(width));
    PTzWriteLE32(header + 8, uint32_t(height));
    PTzWriteLE16(header + 12, 1);
    PTzWriteLE16(header + 14, 24);
    PTzWriteLE32(header + 16, kNoCompression);
    PTzWriteLE32(header + 20, size - kHeaderSize);
    for (int32_t y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        uint8_t* out = header + kHeaderSize + size_t(height - 1 - y) * stride;
        for (int32_t x = 0; x < width; ++x, out += 3) {
            const QRgb pixel = in[x];
            const int clear = 255 - qAlpha(pixel);
            out[0] = uint8_t(qBlue(pixel) + clear);
            out[1] = uint8_t(qGreen(pixel) + clear);
            out[2] = uint8_t(qRed(pixel) + clear);
        }
        std::memset(out, 0, stride - size_t(width) * 3);
    }
    dib->bytes = std::move(bytes);
    dib->size = size;
    return true;
}

QImage ImageFromPackedDib(const uint8_t* bytes, size_t size)
{
    if (!bytes || size < kHeaderSize)
        return {};
    const uint32_t headerSize = PTzReadLE32(bytes);
    const int32_t width = int32_t(PTzReadLE32(bytes + 4));
    const int32_t storedHeight = int32_t(PTzReadLE32(bytes + 8));
    const uint32_t colours = PTzReadLE32(bytes + 32);
    if (headerSize < kHeaderSize || PTzReadLE16(bytes + 14) != 24 || PTzReadLE32(bytes + 16) != kNoCompression ||
        storedHeight == INT32_MIN)
        return {};
    const bool topDown = storedHeight < 0;
    const int32_t height = topDown ? -storedHeight : storedHeight;
    // The rows follow the header and the colour table, which 24-bit bitmaps seldom have.
    uint32_t packedSize = 0;
    uint64_t offset = 0;
    uint64_t end = 0;
    if (!PackedDib24Size(width, height, &packedSize) || !PTzCheckedMul(colours, 4, &offset) ||
        !PTzCheckedAdd(offset, headerSize, &offset) || !PTzCheckedAdd(offset, packedSize - kHeaderSize, &end) ||
        end > size)
        return {};
    QImage image(width, height, QImage::Format_BGR888);
    if (image.isNull())
        return {};
    const uint32_t stride = RowBytes24(width);
    const uint8_t* rows = bytes + offset;
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), rows + size_t(topDown ? y : height - 1 - y) * stride, size_t(width) * 3);
    return image;
}
