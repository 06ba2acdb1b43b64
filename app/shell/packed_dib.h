// Packed DIBs, the clipboard's bitmap form of the engine, to and from QImage. Towards the
// engine every image becomes one kind of bitmap: a 40-byte header, then rows of blue,
// green and red bytes padded to 4 bytes, bottom row first (a positive height), with
// transparent parts laid over white. From the engine comes the same kind, which the
// layers render.
#pragma once

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <memory>

struct CPackedDib {
    std::unique_ptr<uint8_t[]> bytes;
    uint32_t size = 0;
};

// Bytes of a packed 24-bit DIB of the size: true with them; false when a side is not
// positive or they pass 32 bits.
bool PackedDib24Size(int64_t width, int64_t height, uint32_t* size);

// The image as a packed 24-bit DIB: true with it; false (the DIB untouched) for a null or
// empty image, one whose bitmap does not fit 32 bits, or when memory is short.
bool PackedDibFromImage(const QImage& image, CPackedDib* dib);

// A packed DIB of 24 bits without compression as an image (rows either way up); a null
// image for any other bitmap and for bytes too short for the rows.
QImage ImageFromPackedDib(const uint8_t* bytes, size_t size);
