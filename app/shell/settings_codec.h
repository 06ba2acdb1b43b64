// The bytes of a settings file: named values, each with its type and its bytes kept
// exactly. Plain C++ with no file access, so that the reader can be fuzzed on its own.
//
// Layout, little-endian: "QVST", u32 layout 1, u32 value count, then per value u16
// name units, the name in UTF-16, u32 type, u32 byte count and the bytes. Names are
// unique and hold no NUL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorvel {

// Value types, numbered as the registry numbers them.
constexpr uint32_t REG_SZ = 1;
constexpr uint32_t REG_EXPAND_SZ = 2;
constexpr uint32_t REG_BINARY = 3;
constexpr uint32_t REG_DWORD = 4;

// Bounds that a file read from disk must keep; writes that would break them are refused.
constexpr size_t kSettingsMaxValues = 4096;
constexpr size_t kSettingsMaxNameUnits = 1024;
constexpr size_t kSettingsMaxValueBytes = 1u << 20;
constexpr size_t kSettingsMaxFileBytes = 16u << 20;

struct SettingValue {
    std::u16string name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
};
using SettingValues = std::vector<SettingValue>;

// The values of a settings file: true, or false with no values when the bytes are not a
// whole, well-formed settings file (a garbled file reads as one without values).
bool DecodeSettings(const uint8_t* bytes, size_t size, SettingValues* values);
std::vector<uint8_t> EncodeSettings(const SettingValues& values);

// Whether a value may be stored: a name of 1 to 1024 units without NUL and at most
// 1 MiB of bytes.
bool SettingFits(std::u16string_view name, size_t bytes);

}  // namespace quorvel
