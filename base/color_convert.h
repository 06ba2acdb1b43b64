// Conversion of pixel rows delivered by format plug-ins (palette-indexed, gray or
// four-channel) into 24-bit red, green, blue rows: one-off functions and the
// conversion handles that load sessions make once and use for every row.
#pragma once

#include <cstdint>

#include "color.h"
#include "corvane_export.h"

struct _tagPTzCOLORPALETTE {
    uint16_t count;            // entries in use; indexes at or past it read as black
    uint8_t entries[256][3];   // red, green, blue
};

// A run of pixel rows. Rows may be padded: stride is the distance in bytes from one
// row to the next and must cover a row's pixels.
struct _tagPTzCOLORCONVERTBUFFER {
    int32_t width;
    int32_t height;
    int32_t stride;
    _tagPTzCOLORMODE mode;
    uint8_t bits;              // bits per pixel
    uint8_t* data;
    _tagPTzCOLORPALETTE* palette;  // for palette-indexed rows only
};

// Every conversion gives 0, or -1 for null or inconsistent buffers (sizes that
// differ, null data or palette, a stride too short for its row, modes or bits
// other than the conversion's).
using PTzCOLORCONVERTFUNCTION = int (*)(const _tagPTzCOLORCONVERTBUFFER* source,
                                        _tagPTzCOLORCONVERTBUFFER* target);

// Converts into mode 1 at 24 bits from mode 1 at 1, 2, 4 or 8 bits (through the
// source's palette), from mode 4 at 32 bits (c x k / 255, truncated) or from mode 6
// at 8 bits. Any other pair gives null with -151 stored.
CORVANE_C PTzCOLORCONVERTFUNCTION PTzGetConvertFunction(_tagPTzCOLORMODE sourceMode, uint8_t sourceBits,
                                                        _tagPTzCOLORMODE targetMode, uint8_t targetBits);

// Converts with the function for the two buffers' modes and bits; without one, the
// stored error.
CORVANE_C int PTzConvertColor(const _tagPTzCOLORCONVERTBUFFER* source, _tagPTzCOLORCONVERTBUFFER* target);

// Swaps the first and third byte of each 3-byte pixel in place: 0, or -1 for null data.
CORVANE_C int PTzConvertBGRtoRGB(uint8_t* data, uint32_t pixels);

// A conversion made once and applied to many rows.
class CORVANE_API PTzColorConvert_1Base {
public:
    virtual ~PTzColorConvert_1Base();
    virtual int Convert(const _tagPTzCOLORCONVERTBUFFER* source, _tagPTzCOLORCONVERTBUFFER* target) = 0;
};

// Palette-indexed mode 1 rows (bits taken from the source) to 24-bit mode 1; source
// bits other than 1, 2, 4 or 8, or a target not at 24 bits, give -151.
class CORVANE_API PTzColorConvert_1RGB2RGB : public PTzColorConvert_1Base {
public:
    int Convert(const _tagPTzCOLORCONVERTBUFFER* source, _tagPTzCOLORCONVERTBUFFER* target) override;
};

// Mode 4 at 32 bits to 24-bit mode 1, rounding c x k / 255 to the nearest.
class CORVANE_API PTzColorConvert_1CMYK2RGB : public PTzColorConvert_1Base {
public:
    PTzColorConvert_1CMYK2RGB();
    int Convert(const _tagPTzCOLORCONVERTBUFFER* source, _tagPTzCOLORCONVERTBUFFER* target) override;

private:
    uint8_t m_product[256][256];  // (127 + i x j) / 255
};

// Mode 6 at 8 bits to 24-bit mode 1.
class CORVANE_API PTzColorConvert_1GRAY2RGB : public PTzColorConvert_1Base {
public:
    int Convert(const _tagPTzCOLORCONVERTBUFFER* source, _tagPTzCOLORCONVERTBUFFER* target) override;
};

// A handle for source mode 1, 4 or 6 with target mode 1. Another pair gives null
// with -151 stored; a failed allocation gives null and stores nothing.
CORVANE_C PTzColorConvert_1Base* PTzCreateConvertHandle_1(_tagPTzCOLORMODE sourceMode, uint8_t sourceBits,
                                                          _tagPTzCOLORMODE targetMode, uint8_t targetBits);
CORVANE_C int PTzDestroyConvertHandle_1(PTzColorConvert_1Base* handle);

// The handle's conversion; -1 for a null handle.
CORVANE_C int PTzConvertColor_1(const _tagPTzCOLORCONVERTBUFFER* source, _tagPTzCOLORCONVERTBUFFER* target,
                                PTzColorConvert_1Base* handle);
