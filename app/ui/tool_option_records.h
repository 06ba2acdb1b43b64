// The byte layouts of the tools' option records, which the settings store keeps between
// runs: packed, little-endian, no header. Each decoder takes the fields in order while
// enough bytes remain and leaves the others as the caller had them, so a short record
// sets what it holds; the encoders write as much as the room allows and tell the size.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/color.h"
#include "base/font.h"

// The settings store holds at most this many bytes of a tool's record.
constexpr uint32_t kToolOptionsMaxBytes = 200;

// The brush tools': 15 bytes, then the tool's tail (Clone: aligned, Eraser: erase mode,
// each a u32; the others nothing).
struct BrushOptionRecord {
    uint32_t brushIndex = 0;
    uint32_t paintMode = 3;
    uint8_t opacity = 255;
    uint8_t press = 255;
    uint32_t holdingSupport = 0;
    uint8_t strengthPercent = 0;
};
namespace brush_record {
constexpr uint32_t kBrushIndex = 0;
constexpr uint32_t kPaintMode = 4;
constexpr uint32_t kOpacity = 8;
constexpr uint32_t kPress = 9;
constexpr uint32_t kHoldingSupport = 10;  // unaligned
constexpr uint32_t kStrength = 14;
constexpr uint32_t kSize = 15;
constexpr uint32_t kTailRoom = 5;  // room the tail is offered
constexpr uint32_t kTailValue = 4;
static_assert(kHoldingSupport == kPress + 1 && kStrength == kHoldingSupport + 4 && kSize == kStrength + 1);
}  // namespace brush_record

// Writes the 15 bytes.
void EncodeBrushRecord(const BrushOptionRecord& record, uint8_t* out);
// At least 15 bytes: the fields, true; fewer: false and the record unchanged.
bool DecodeBrushRecord(const uint8_t* bytes, uint32_t size, BrushOptionRecord* record);
// A tail's u32 when it has 4 bytes: true.
bool DecodeTailValue(const uint8_t* tail, uint32_t size, uint32_t* value);
// The u32 into a tail's room of at least 4 bytes: the size used (4), or 0 for less room.
uint32_t EncodeTailValue(uint32_t value, uint8_t* tail, uint32_t room);

// The gradient's: u32 type, u8 opacity (5 bytes). A record shorter than 4 bytes holds the
// opacity alone, in its first byte.
namespace gradient_record {
constexpr uint32_t kType = 0;
constexpr uint32_t kOpacity = 4;
constexpr uint32_t kSize = 5;
}  // namespace gradient_record
void DecodeGradientRecord(const uint8_t* bytes, uint32_t size, uint32_t* type, uint8_t* opacity);
uint32_t EncodeGradientRecord(uint32_t type, uint8_t opacity, uint8_t* out, uint32_t room);

// The magic wand's: u8 tolerance, u32 contiguous (unaligned at 1; 5 bytes).
namespace wand_record {
constexpr uint32_t kTolerance = 0;
constexpr uint32_t kContiguous = 1;
constexpr uint32_t kSize = 5;
}  // namespace wand_record
void DecodeWandRecord(const uint8_t* bytes, uint32_t size, uint8_t* tolerance, uint32_t* contiguous);
uint32_t EncodeWandRecord(uint8_t tolerance, uint32_t contiguous, uint8_t* out, uint32_t room);

// The text tool's: the font record (32 UTF-16 face-name units, i16 height, u8 italic,
// u8 underline, u16 weight: 70 bytes), then the colour record (u32 mode, u8 alpha, seven
// component bytes: 12). A record shorter than 70 bytes and at least 12 long holds the
// colour alone. A decoded face name is always terminated within its 32 units.
namespace text_record {
constexpr uint32_t kFontSize = 70;
constexpr uint32_t kFaceNameUnits = 32;
constexpr uint32_t kHeight = 64;
constexpr uint32_t kItalic = 66;
constexpr uint32_t kUnderline = 67;
constexpr uint32_t kWeight = 68;
constexpr uint32_t kColourSize = 12;
constexpr uint32_t kSize = kFontSize + kColourSize;
static_assert(kHeight == 2 * kFaceNameUnits && kWeight + 2 == kFontSize && kSize == 82);
static_assert(sizeof(_tagPTzFONTDATAINFO) == kFontSize && sizeof(_tagPTzCOLOR) == kColourSize);
}  // namespace text_record
void DecodeTextRecord(const uint8_t* bytes, uint32_t size, _tagPTzFONTDATAINFO* font, _tagPTzCOLOR* colour);
uint32_t EncodeTextRecord(const _tagPTzFONTDATAINFO& font, const _tagPTzCOLOR& colour, uint8_t* out, uint32_t room);
