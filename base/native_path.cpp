// Conversion of path records to and from the file system's UTF-8 names.
#include "native_path.h"

#include <cerrno>

#include "error_codes.h"
#include "utf_convert.h"

namespace corvane {

bool toNativePath(const _tagPTzFILE* file, NativePath* out)
{
    const uint32_t length = pathLength(file);
    if (length == PTzPATH_UNITS) {
        PTzSetLastError(PTzERR_PATH_TOO_LONG);
        return false;
    }
    if (utf16ToUtf8({file->path, length}, out->text, sizeof(out->text), nullptr) != UtfResult::Ok) {
        PTzSetLastError(EILSEQ);
        return false;
    }
    return true;
}

bool fromNativeText(std::string_view text, _tagPTzFILE* out)
{
    _tagPTzFILE result{};
    switch (utf8ToUtf16(text, result.path, PTzPATH_UNITS, nullptr)) {
    case UtfResult::Ok:
        *out = result;
        return true;
    case UtfResult::Invalid:
        PTzSetLastError(EILSEQ);
        return false;
    case UtfResult::NoRoom:
        break;
    }
    PTzSetLastError(PTzERR_PATH_TOO_LONG);
    return false;
}

}  // namespace corvane
