// Strict UTF-16 <-> UTF-8 conversion for the edges where text meets the system
// (file names, fonts): invalid text is refused, never repaired or replaced.
#pragma once

#include <cstddef>
#include <string_view>

namespace corvane {

enum class UtfResult {
    Ok,
    Invalid,  // a lone surrogate, a malformed, overlong or out-of-range sequence, or a NUL
    NoRoom,   // the output (with its terminator) does not fit
};

// Converts in and terminates out; written receives the units stored before the
// terminator. On failure out holds no partial text that could be mistaken for a result:
// it is set to the empty text when outSize is at least 1.
UtfResult utf16ToUtf8(std::u16string_view in, char* out, size_t outSize, size_t* written);
UtfResult utf8ToUtf16(std::string_view in, char16_t* out, size_t outSize, size_t* written);

}  // namespace corvane
