// Path records in the file system's own form: UTF-8, converted only at the system call
// and refused when the text is not valid UTF-16.
#pragma once

#include <string_view>

#include "file_path.h"

namespace corvane {

// The UTF-8 form of a record's text: at most three bytes per unit, plus the NUL.
struct NativePath {
    char text[3 * (PTzPATH_UNITS - 1) + 1];
};

// false with -302 for a record without a NUL, or EILSEQ for invalid text.
bool toNativePath(const _tagPTzFILE* file, NativePath* out);

// Fills out from UTF-8 text: false with EILSEQ for invalid text, or -302 when it does
// not fit the record (out unchanged).
bool fromNativeText(std::string_view text, _tagPTzFILE* out);

}  // namespace corvane
