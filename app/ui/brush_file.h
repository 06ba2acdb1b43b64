// The brush file's layout, read from and written to a Corvane stream. Little-endian, no
// padding:
//   head   u32 magic "ffbr" (0x72626666), u32 version 1, u32 count, u32 default count
//   entry  u32 type code, u32 record size, then the record ('rond': 10 bytes)
// Plain C++ without Qt, so the reader can be fuzzed on its own.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/ui/brush_data.h"
#include "base/io_stream.h"

constexpr uint32_t BRUSH_FILE_MAGIC = 0x72626666;  // the bytes "ffbr"
constexpr uint32_t BRUSH_FILE_VERSION = 1;
constexpr uint32_t BRUSH_FILE_HEAD_SIZE = 4 + 4 + 4 + 4;
constexpr uint32_t BRUSH_ENTRY_HEAD_SIZE = 4 + 4;

using BrushRecords = std::vector<std::unique_ptr<CBrushDataBase>>;

// A new record of the type with default values ('rond': diameter 1, hardness 0), or null
// for a type this program does not know.
std::unique_ptr<CBrushDataBase> CreateBrushByType(uint32_t type);

enum class BrushFileRead {
    Whole,        // every entry was there
    Cut,          // the head was good but the entries end early (records before the cut kept)
    NotALibrary,  // short head, other magic or version: nothing read
    NoFile,       // no file could be opened at the path (brush_file_io.h)
};

// Reads the library from the stream's start. Each entry takes exactly its 8 + size bytes:
// a record reads what it knows and the rest is skipped; an entry of an unknown type or
// one its record cannot load from is dropped whole. An entry reaching past the end cuts
// the read. The records read are appended; *defaultCount is the head's, at most the count.
BrushFileRead ReadBrushLibrary(_tagPTzIOSTREAM* stream, BrushRecords* records, uint32_t* defaultCount);

// Writes the library at the stream's position, the default count capped at the record
// count: true when every byte went out.
bool WriteBrushLibrary(_tagPTzIOSTREAM* stream, const BrushRecords& records, uint32_t defaultCount);
