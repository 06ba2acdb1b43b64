// Little-endian fields of the brush file moved one at a time through a Corvane stream,
// so the layout is written down field by field, never as a copied struct.
#pragma once

#include <cstdint>

#include "base/io_stream.h"

// True when every byte of the field moved.
bool ReadStreamU8(_tagPTzIOSTREAM* stream, uint8_t* value);
bool ReadStreamU16(_tagPTzIOSTREAM* stream, uint16_t* value);
bool ReadStreamU32(_tagPTzIOSTREAM* stream, uint32_t* value);
bool WriteStreamU8(_tagPTzIOSTREAM* stream, uint8_t value);
bool WriteStreamU16(_tagPTzIOSTREAM* stream, uint16_t value);
bool WriteStreamU32(_tagPTzIOSTREAM* stream, uint32_t value);
