// Path records in the file system's own form: bytes, UTF-8 where they are text,
// converted only at the system call. A byte that is not part of valid UTF-8 travels in
// the record as one lone low surrogate U+DC80-U+DCFF, so every name the file system
// holds has a record and comes back to the same bytes.
#pragma once

#include <cstdint>
#include <string_view>

#include "corvane_export.h"
#include "file_path.h"

// The file system's bytes of units of path text and their NUL in out (outSize bytes;
// 3 per unit always suffice): 1 with *written the bytes before the NUL, or 0 with
// EILSEQ for text no name spells (a NUL, a lone surrogate other than an escaped byte),
// or -301 when out is too small.
CORVANE_C int PTzPathTextToSystem(const PTzChar* text, uint32_t units, char* out, uint32_t outSize,
                                  uint32_t* written);
// The path text of size bytes of a name and its NUL in out (outUnits units; one per
// byte always suffices): 1 with *written the units before the NUL, or 0 with EILSEQ for
// a NUL byte, or -301 when out is too small.
CORVANE_C int PTzPathTextFromSystem(const char* bytes, uint32_t size, PTzChar* out, uint32_t outUnits,
                                    uint32_t* written);

namespace corvane {

// The UTF-8 form of a record's text: at most three bytes per unit, plus the NUL.
struct NativePath {
    char text[3 * (PTzPATH_UNITS - 1) + 1];
};

// false with -302 for a record without a NUL, or EILSEQ for text no name spells.
bool toNativePath(const _tagPTzFILE* file, NativePath* out);

// Fills out from a name's bytes: false with EILSEQ for a NUL, or -302 when it does not
// fit the record (out unchanged).
bool fromNativeText(std::string_view text, _tagPTzFILE* out);

}  // namespace corvane
