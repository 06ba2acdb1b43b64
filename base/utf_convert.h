// UTF-16 <-> UTF-8 conversion for the edges where text meets the system (file names,
// fonts): invalid text is refused, never repaired or replaced. File names are bytes,
// not text: for them each byte that is not part of valid UTF-8 is carried through the
// UTF-16 side as one lone low surrogate U+DC80-U+DCFF and given back as the same byte.
#pragma once

#include <cstddef>
#include <string_view>

namespace corvane {

enum class UtfResult {
    Ok,
    Invalid,  // a lone surrogate, a malformed, overlong or out-of-range sequence, or a NUL
    NoRoom,   // the output (with its terminator) does not fit
};

enum class UtfBytes {
    Refuse,  // text: anything that is not valid UTF-8 or UTF-16 is Invalid
    Escape,  // file names: undecodable bytes <-> U+DC80-U+DCFF; a NUL stays Invalid, and
             // so does UTF-16 whose escapes would come back as other text
};

// Converts in and terminates out; written receives the units stored before the
// terminator. On failure out holds no partial text that could be mistaken for a result:
// it is set to the empty text when outSize is at least 1.
UtfResult utf16ToUtf8(std::u16string_view in, char* out, size_t outSize, size_t* written,
                      UtfBytes bytes = UtfBytes::Refuse);
UtfResult utf8ToUtf16(std::string_view in, char16_t* out, size_t outSize, size_t* written,
                      UtfBytes bytes = UtfBytes::Refuse);

}  // namespace corvane
