// Null-safe UTF-16 string functions, and UTF-16 text on streams: little-endian
// characters with CR LF line ends and no byte-order mark, on any host.
#pragma once

#include <cstdint>

#include "corvane_export.h"
#include "corvane_types.h"
#include "io_stream.h"

// Characters before the terminator; 0 for null.
CORVANE_C uint32_t PTzStringLength(const PTzChar* text);

// The copies and conversions below write at most the destination's size, always
// terminate the destination when its size is at least 1, and return 1 only when the
// whole text went in: a text that did not fit is cut off and gives 0. A null pointer or
// a size of 0 gives 0 and leaves the destination alone. Every 0 stores -1.
CORVANE_C int PTzStringCopy(PTzChar* dst, const PTzChar* src, uint32_t dstChars);
CORVANE_C int PTzStringCopy_C(char* dst, const char* src, uint32_t dstBytes);
// Appends src to the text in dst; a dst without a terminator inside dstChars gives 0
// and stays as it was.
CORVANE_C int PTzStringCat(PTzChar* dst, const PTzChar* src, uint32_t dstChars);
// Narrows while every character is below 256; a wider character ends the text there.
CORVANE_C int PTzStringTCharToChar(char* dst, uint32_t dstBytes, const PTzChar* src);
// Widens each byte as an unsigned value (Latin-1).
CORVANE_C int PTzStringCharToTChar(PTzChar* dst, uint32_t dstChars, const char* src);
// The value in decimal.
CORVANE_C int PTzStringUIntToChar(uint32_t value, PTzChar* dst, uint32_t dstChars);

// -1, 0 or 1 comparing character codes as unsigned values; 0 (with -1 stored) when
// either text is null.
CORVANE_C int PTzStringCompare(const PTzChar* a, const PTzChar* b);

// Transfer chars characters; the result is the characters transferred (bytes / 2).
// PTzReadString does not terminate the buffer. A null argument gives 0 with -1.
CORVANE_C uint32_t PTzReadString(_tagPTzIOSTREAM* stream, PTzChar* buffer, uint32_t chars);
CORVANE_C uint32_t PTzWriteString(_tagPTzIOSTREAM* stream, const PTzChar* text, uint32_t chars);

// Writes CR LF: 1, or 0 when the write came back short.
CORVANE_C int PTzWriteReturn(_tagPTzIOSTREAM* stream);

// Writes *chars characters of text and then CR LF: 1 when all was written. On a short
// write 0, and *chars becomes the characters of text that were written.
CORVANE_C int PTzWriteStringLine(_tagPTzIOSTREAM* stream, const PTzChar* text, uint32_t* chars);

// Reads one line ended by CR LF (a lone CR or LF is part of the line). *chars gives the
// buffer's size in characters and receives the characters stored; the line is stored
// without its end and terminated. Results:
//   1  a line was read: it ended with CR LF, or the stream ended after its last character;
//   0  the stream has no more characters (*chars = 0), or the line does not fit: the
//      buffer is filled with its first (size - 1) characters and the stream stays at
//      the first character not stored, so the next call goes on with the line.
// A null argument or a size of 0 gives 0 with -1 stored.
CORVANE_C int PTzReadStringLine(_tagPTzIOSTREAM* stream, PTzChar* buffer, uint32_t* chars);

// Stream writers that report bytes written; a null argument gives 0 with -1.
class CORVANE_API PTzStringUtility {
public:
    PTzStringUtility() = delete;

    // CR LF: 4 on success, the bytes written otherwise.
    static uint32_t WriteNewLine(_tagPTzIOSTREAM* stream);
    // One tab character (9).
    static uint32_t WriteTap(_tagPTzIOSTREAM* stream);
    // The text without its terminator.
    static uint32_t WriteString(_tagPTzIOSTREAM* stream, const PTzChar* text);
    static uint32_t WriteBuffer(_tagPTzIOSTREAM* stream, const void* bytes, uint32_t n);
};
