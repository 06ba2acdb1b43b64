// Types every deliverable shares: UTF-16 text units, four-character codes and
// little-endian byte access for layouts that leave the process.
#pragma once

#include <cstddef>
#include <cstdint>

// UTF-16 code unit of all text in the system (wchar_t is 4 bytes here).
using PTzChar = char16_t;

// A four-character code: the first letter is the most significant byte, so
// PTzFourCC("bmp ") == 0x626D7020.
constexpr uint32_t PTzFourCC(const char (&code)[5])
{
    return uint32_t(uint8_t(code[0])) << 24 | uint32_t(uint8_t(code[1])) << 16 |
           uint32_t(uint8_t(code[2])) << 8 | uint32_t(uint8_t(code[3]));
}

// The blank code "    " means "none".
constexpr uint32_t PTzFourCCNone = 0x20202020;

constexpr uint16_t PTzReadLE16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

constexpr uint32_t PTzReadLE32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

constexpr uint64_t PTzReadLE64(const uint8_t* p)
{
    return uint64_t(PTzReadLE32(p)) | uint64_t(PTzReadLE32(p + 4)) << 32;
}

constexpr void PTzWriteLE16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

constexpr void PTzWriteLE32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

constexpr void PTzWriteLE64(uint8_t* p, uint64_t v)
{
    PTzWriteLE32(p, uint32_t(v));
    PTzWriteLE32(p + 4, uint32_t(v >> 32));
}
