// String functions that never read through null and never write past the caller's
// size, and the UTF-16LE stream text built on PTzIOStreamRead and PTzIOStreamWrite.
#include "string_utility.h"

#include <algorithm>
#include <cstdio>

#include "error_codes.h"

namespace {

// Puts src into dst through convert, which refuses a character by returning false.
// Stops at src's terminator, at a refused character or when one slot is left, and
// terminates dst in every case.
template <typename Out, typename In, typename Convert>
int putText(Out* dst, uint32_t size, const In* src, Convert convert)
{
    if (!dst || !src || size == 0)
        return PTzFailWithZero();
    for (uint32_t i = 0;; ++i) {
        if (src[i] == 0) {
            dst[i] = 0;
            return 1;
        }
        if (i + 1 == size || !convert(src[i], dst[i])) {
            dst[i] = 0;
            return PTzFailWithZero();
        }
    }
}

template <typename Char>
bool copyChar(Char in, Char& out)
{
    out = in;
    return true;
}

// Texts go through the stream in chunks so that each character is put in
// little-endian order whatever the host's order.
constexpr uint32_t kChunkChars = 128;

// Writes count characters; the result is the bytes written.
uint64_t writeUtf16(_tagPTzIOSTREAM* stream, const PTzChar* text, uint32_t count)
{
    uint8_t bytes[2 * kChunkChars];
    uint64_t written = 0;
    while (count > 0) {
        const uint32_t n = std::min(count, kChunkChars);
        for (uint32_t i = 0; i < n; ++i)
            PTzWriteLE16(bytes + 2 * i, text[i]);
        const uint32_t done = PTzIOStreamWrite(stream, bytes, 2 * n);
        written += done;
        if (done != 2 * n)
            break;
        text += n;
        count -= n;
    }
    return written;
}

// Reads up to count characters; the result is the bytes read. A trailing odd byte is
// consumed but yields no character.
uint64_t readUtf16(_tagPTzIOSTREAM* stream, PTzChar* buffer, uint32_t count)
{
    uint8_t bytes[2 * kChunkChars];
    uint64_t read = 0;
    while (count > 0) {
        const uint32_t n = std::min(count, kChunkChars);
        const uint32_t done = PTzIOStreamRead(stream, bytes, 2 * n);
        for (uint32_t i = 0; i < done / 2; ++i)
            buffer[i] = PTzReadLE16(bytes + 2 * i);
        read += done;
        if (done != 2 * n)
            break;
        buffer += n;
        count -= n;
    }
    return read;
}

uint32_t clampToU32(uint64_t value)
{
    return uint32_t(std::min<uint64_t>(value, UINT32_MAX));
}

bool readChar(_tagPTzIOSTREAM* stream, PTzChar& c)
{
    return readUtf16(stream, &c, 1) == 2;
}

void unreadChar(_tagPTzIOSTREAM* stream)
{
    PTzIOStreamSeek(stream, -2, 1);
}

}  // namespace

uint32_t PTzStringLength(const PTzChar* text)
{
    if (!text)
        return 0;
    uint32_t length = 0;
    while (text[length] != 0)
        ++length;
    return length;
}

int PTzStringCopy(PTzChar* dst, const PTzChar* src, uint32_t dstChars)
{
    return putText(dst, dstChars, src, copyChar<PTzChar>);
}

int PTzStringCopy_C(char* dst, const char* src, uint32_t dstBytes)
{
    return putText(dst, dstBytes, src, copyChar<char>);
}

int PTzStringCat(PTzChar* dst, const PTzChar* src, uint32_t dstChars)
{
    if (!dst || !src || dstChars == 0)
        return PTzFailWithZero();
    uint32_t length = 0;
    while (length < dstChars && dst[length] != 0)
        ++length;
    if (length == dstChars)
        return PTzFailWithZero();
    return PTzStringCopy(dst + length, src, dstChars - length);
}

int PTzStringTCharToChar(char* dst, uint32_t dstBytes, const PTzChar* src)
{
    return putText(dst, dstBytes, src, [](PTzChar in, char& out) {
        out = char(in);
        return in < 256;
    });
}

int PTzStringCharToTChar(PTzChar* dst, uint32_t dstChars, const char* src)
{
    return putText(dst, dstChars, src, [](char in, PTzChar& out) {
        out = PTzChar(uint8_t(in));
        return true;
    });
}

int PTzStringUIntToChar(uint32_t value, PTzChar* dst, uint32_t dstChars)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%u", unsigned(value));
    return PTzStringCharToTChar(dst, dstChars, digits);
}

int PTzStringCompare(const PTzChar* a, const PTzChar* b)
{
    if (!a || !b)
        return PTzFailWithZero();
    for (;; ++a, ++b) {
        if (*a != *b)
            return *a < *b ? -1 : 1;
        if (*a == 0)
            return 0;
    }
}

uint32_t PTzReadString(_tagPTzIOSTREAM* stream, PTzChar* buffer, uint32_t chars)
{
    if (!stream || !buffer)
        return PTzFailWithZero();
    return uint32_t(readUtf16(stream, buffer, chars) / 2);
}

uint32_t PTzWriteString(_tagPTzIOSTREAM* stream, const PTzChar* text, uint32_t chars)
{
    if (!stream || !text)
        return PTzFailWithZero();
    return uint32_t(writeUtf16(stream, text, chars) / 2);
}

int PTzWriteReturn(_tagPTzIOSTREAM* stream)
{
    if (!stream)
        return PTzFailWithZero();
    return PTzStringUtility::WriteNewLine(stream) == 4;
}

int PTzWriteStringLine(_tagPTzIOSTREAM* stream, const PTzChar* text, uint32_t* chars)
{
    if (!stream || !text || !chars)
        return PTzFailWithZero();
    const uint64_t written = writeUtf16(stream, text, *chars);
    if (written != 2 * uint64_t(*chars)) {
        *chars = uint32_t(written / 2);
        return 0;
    }
    return PTzWriteReturn(stream);
}

int PTzReadStringLine(_tagPTzIOSTREAM* stream, PTzChar* buffer, uint32_t* chars)
{
    if (!stream || !buffer || !chars || *chars == 0)
        return PTzFailWithZero();
    const uint32_t size = *chars;
    uint32_t stored = 0;
    PTzChar c;
    while (readChar(stream, c)) {
        if (c == u'\r') {
            PTzChar next;
            if (readChar(stream, next)) {
                if (next == u'\n') {
                    buffer[stored] = 0;
                    *chars = stored;
                    return 1;
                }
                unreadChar(stream);
            }
        }
        if (stored + 1 == size) {
            unreadChar(stream);
            buffer[stored] = 0;
            *chars = stored;
            return 0;
        }
        buffer[stored++] = c;
    }
    buffer[stored] = 0;
    *chars = stored;
    return stored != 0;
}

uint32_t PTzStringUtility::WriteNewLine(_tagPTzIOSTREAM* stream)
{
    if (!stream)
        return PTzFailWithZero();
    return uint32_t(writeUtf16(stream, u"\r\n", 2));
}

uint32_t PTzStringUtility::WriteTap(_tagPTzIOSTREAM* stream)
{
    if (!stream)
        return PTzFailWithZero();
    return uint32_t(writeUtf16(stream, u"\t", 1));
}

uint32_t PTzStringUtility::WriteString(_tagPTzIOSTREAM* stream, const PTzChar* text)
{
    if (!stream || !text)
        return PTzFailWithZero();
    return clampToU32(writeUtf16(stream, text, PTzStringLength(text)));
}

uint32_t PTzStringUtility::WriteBuffer(_tagPTzIOSTREAM* stream, const void* bytes, uint32_t n)
{
    if (!stream || (!bytes && n != 0))
        return PTzFailWithZero();
    return PTzIOStreamWrite(stream, bytes, n);
}
