// The brush file's field access over Corvane's stream calls.
#include "app/ui/brush_stream.h"

#include "base/corvane_types.h"

bool ReadStreamU8(_tagPTzIOSTREAM* stream, uint8_t* value)
{
    return PTzIOStreamRead(stream, value, 1) == 1;
}

bool ReadStreamU16(_tagPTzIOSTREAM* stream, uint16_t* value)
{
    uint8_t bytes[2];
    if (PTzIOStreamRead(stream, bytes, sizeof bytes) != sizeof bytes)
        return false;
    *value = PTzReadLE16(bytes);
    return true;
}

bool ReadStreamU32(_tagPTzIOSTREAM* stream, uint32_t* value)
{
    uint8_t bytes[4];
    if (PTzIOStreamRead(stream, bytes, sizeof bytes) != sizeof bytes)
        return false;
    *value = PTzReadLE32(bytes);
    return true;
}

bool WriteStreamU8(_tagPTzIOSTREAM* stream, uint8_t value)
{
    return PTzIOStreamWrite(stream, &value, 1) == 1;
}

bool WriteStreamU16(_tagPTzIOSTREAM* stream, uint16_t value)
{
    uint8_t bytes[2];
    PTzWriteLE16(bytes, value);
    return PTzIOStreamWrite(stream, bytes, sizeof bytes) == sizeof bytes;
}

bool WriteStreamU32(_tagPTzIOSTREAM* stream, uint32_t value)
{
    uint8_t bytes[4];
    PTzWriteLE32(bytes, value);
    return PTzIOStreamWrite(stream, bytes, sizeof bytes) == sizeof bytes;
}
