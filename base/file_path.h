// The path record every path in the system travels in, and the functions that fill,
// split, join and compare paths as text. Nothing here touches the file system.
#pragma once

#include <cstdint>
#include <string_view>

#include "corvane_export.h"
#include "corvane_types.h"

// Units of the path record; a path fits when it has at most 259 units before its NUL.
constexpr uint32_t PTzPATH_UNITS = 260;

struct _tagPTzFILE {
    PTzChar path[PTzPATH_UNITS];
};
static_assert(sizeof(_tagPTzFILE) == 520, "the path record is 260 UTF-16 units");

// Copies text into out: 1, or 0 with -302 for 260 units or more (out unchanged).
CORVANE_C int PTzFileFill(_tagPTzFILE* out, const PTzChar* text);
// Copies the whole record: 1.
CORVANE_C int PTzFilePathCopy(const _tagPTzFILE* src, _tagPTzFILE* dst);
// Copies the path into a buffer of chars units: 0 when it fits with its NUL, else -301.
CORVANE_C int PTzFileGetPath(const _tagPTzFILE* src, PTzChar* buffer, uint32_t chars);
// out = src with its extension replaced by ext ("bmp" and ".bmp" both give ".bmp"; an
// empty ext removes it): 1, or 0 with -302 when the result would not fit.
CORVANE_C int PTzFileChangeExt(_tagPTzFILE* out, const _tagPTzFILE* src, const PTzChar* ext);
// Splits "/a/b/name.ext" into drive "" (paths have none here), folder "/a/b/", name
// "name" and extension ".ext"; any output may be null. 1.
CORVANE_C int PTzSplitpath(const _tagPTzFILE* path, _tagPTzFILE* drive, _tagPTzFILE* folder,
                           _tagPTzFILE* name, _tagPTzFILE* ext);
// dst = src cut at its last "/" ("/a" gives "/"): 1, or 0 with -1 when there is no
// parent (no "/", or src is "/").
CORVANE_C int PTzGetSuperFolder(const _tagPTzFILE* src, _tagPTzFILE* dst);
// out = folder + "/" + name: 1, or 0 with -302 when it would not fit (out unchanged).
CORVANE_C int PTzGetItemPathInFolder(const _tagPTzFILE* folder, _tagPTzFILE* out, const PTzChar* name);
CORVANE_C int PTzGetSubFolder(const _tagPTzFILE* folder, _tagPTzFILE* out, const PTzChar* name);
// 1 when the extension of the file's name equals, ignoring ASCII case, the extension
// of one item of a ";"-separated list such as "*.BMP;*.RLE;*.DIB"; else 0.
CORVANE_C int PTzMatchExt(const _tagPTzFILE* file, const PTzChar* patterns);

// Used inside Corvane.
namespace corvane {

// Units before the NUL; PTzPATH_UNITS for a record without one.
uint32_t pathLength(const _tagPTzFILE* file);

// out = folder + "/" + name, without doubling a "/" that ends the folder; false when
// the result would not fit (nothing stored, out unchanged).
bool joinPath(const _tagPTzFILE* folder, std::u16string_view name, _tagPTzFILE* out);

}  // namespace corvane
