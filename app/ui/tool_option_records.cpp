// Field-by-field little-endian codecs of the tools' option records.
#include "app/ui/tool_option_records.h"

#include "base/corvane_types.h"

void EncodeBrushRecord(const BrushOptionRecord& record, uint8_t* out)
{
    using namespace brush_record;
    PTzWriteLE32(out + kBrushIndex, record.brushIndex);
    PTzWriteLE32(out + kPaintMode, record.paintMode);
    out[kOpacity] = record.opacity;
    out[kPress] = record.press;
    PTzWriteLE32(out + kHoldingSupport, record.holdingSupport);
    out[kStrength] = record.strengthPercent;
}

bool DecodeBrushRecord(const uint8_t* bytes, uint32_t size, BrushOptionRecord* record)
{
    using namespace brush_record;
    if (!bytes || !record || size < kSize)
        return false;
    record->brushIndex = PTzReadLE32(bytes + kBrushIndex);
    record->paintMode = PTzReadLE32(bytes + kPaintMode);
    record->opacity = bytes[kOpacity];
    record->press = bytes[kPress];
    record->holdingSupport = PTzReadLE32(bytes + kHoldingSupport);
    record->strengthPercent = bytes[kStrength];
    return true;
}

bool DecodeTailValue(const uint8_t* tail, uint32_t size, uint32_t* value)
{
    if (!tail || !value || size < brush_record::kTailValue)
        return false;
    *value = PTzReadLE32(tail);
    return true;
}

uint32_t EncodeTailValue(uint32_t value, uint8_t* tail, uint32_t room)
{
    if (!tail || room < brush_record::kTailValue)
        return 0;
    PTzWriteLE32(tail, value);
    return brush_record::kTailValue;
}

void DecodeGradientRecord(const uint8_t* bytes, uint32_t size, uint32_t* type, uint8_t* opacity)
{
    if (!bytes)
        return;
    uint32_t at = 0;
    if (size >= 4) {
        *type = PTzReadLE32(bytes);
        at = 4;
    }
    if (size > at)
        *opacity = bytes[at];
}

uint32_t EncodeGradientRecord(uint32_t type, uint8_t opacity, uint8_t* out, uint32_t room)
{
    if (!out || room < 4)
        return 0;
    PTzWriteLE32(out + gradient_record::kType, type);
    if (room < gradient_record::kSize)
        return 4;
    out[gradient_record::kOpacity] = opacity;
    return gradient_record::kSize;
}

void DecodeWandRecord(const uint8_t* bytes, uint32_t size, uint8_t* tolerance, uint32_t* contiguous)
{
    if (!bytes || size < 1)
        return;
    *tolerance = bytes[wand_record::kTolerance];
    if (size >= wand_record::kSize)
        *contiguous = PTzReadLE32(bytes + wand_record::kContiguous);
}

uint32_t EncodeWandRecord(uint8_t tolerance, uint32_t contiguous, uint8_t* out, uint32_t room)
{
    if (!out || room < 1)
        return 0;
    out[wand_record::kTolerance] = tolerance;
    if (room < wand_record::kSize)
        return 1;
    PTzWriteLE32(out + wand_record::kContiguous, contiguous);
    return wand_record::kSize;
}

namespace {

void DecodeFont(const uint8_t* bytes, _tagPTzFONTDATAINFO* font)
{
    using namespace text_record;
    for (uint32_t i = 0; i < kFaceNameUnits; ++i)
        font->faceName[i] = PTzChar(PTzReadLE16(bytes + 2 * i));
    font->faceName[kFaceNameUnits - 1] = 0;
    font->height = int16_t(PTzReadLE16(bytes + kHeight));
    font->italic = bytes[kItalic];
    font->underline = bytes[kUnderline];
    font->weight = PTzReadLE16(bytes + kWeight);
}

void EncodeFont(const _tagPTzFONTDATAINFO& font, uint8_t* out)
{
    using namespace text_record;
    for (uint32_t i = 0; i < kFaceNameUnits; ++i)
        PTzWriteLE16(out + 2 * i, font.faceName[i]);
    PTzWriteLE16(out + kHeight, uint16_t(font.height));
    out[kItalic] = font.italic;
    out[kUnderline] = font.underline;
    PTzWriteLE16(out + kWeight, font.weight);
}

void DecodeColour(const uint8_t* bytes, _tagPTzCOLOR* colour)
{
    colour->mode = _tagPTzCOLORMODE(PTzReadLE32(bytes));
    colour->alpha = bytes[4];
    for (int i = 0; i < 7; ++i)
        colour->components[i] = bytes[5 + i];
}

void EncodeColour(const _tagPTzCOLOR& colour, uint8_t* out)
{
    PTzWriteLE32(out, uint32_t(colour.mode));
    out[4] = colour.alpha;
    for (int i = 0; i < 7; ++i)
        out[5 + i] = colour.components[i];
}

}  // namespace

void DecodeTextRecord(const uint8_t* bytes, uint32_t size, _tagPTzFONTDATAINFO* font, _tagPTzCOLOR* colour)
{
    using namespace text_record;
    if (!bytes)
        return;
    uint32_t at = 0;
    if (size >= kFontSize) {
        DecodeFont(bytes, font);
        at = kFontSize;
    }
    if (size - at >= kColourSize)
        DecodeColour(bytes + at, colour);
}

uint32_t EncodeTextRecord(const _tagPTzFONTDATAINFO& font, const _tagPTzCOLOR& colour, uint8_t* out, uint32_t room)
{
    using namespace text_record;
    if (!out || room < kFontSize)
        return 0;
    EncodeFont(font, out);
    if (room < kSize)
        return kFontSize;
    EncodeColour(colour, out + kFontSize);
    return kSize;
}
