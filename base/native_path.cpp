// Conversion of path records to and from the file system's names, escaping the bytes
// that are not UTF-8.
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
    if (utf16ToUtf8({file->path, length}, out->text, sizeof(out->text), nullptr, UtfBytes::Escape) != UtfResult::Ok) {
        PTzSetLastError(EILSEQ);
        return false;
    }
    return true;
}

bool fromNativeText(std::string_view text, _tagPTzFILE* out)
{
    _tagPTzFILE result{};
    switch (utf8ToUtf16(text, result.path, PTzPATH_UNITS, nullptr, UtfBytes::Escape)) {
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

namespace {

// The exported conversions' result: 1, or 0 with the code stored.
int exportedResult(corvane::UtfResult result, size_t units, uint32_t* written)
{
    if (written)
        *written = result == corvane::UtfResult::Ok ? uint32_t(units) : 0;
    switch (result) {
    case corvane::UtfResult::Ok:
        return 1;
    case corvane::UtfResult::Invalid:
        return PTzFailWithZero(EILSEQ);
    case corvane::UtfResult::NoRoom:
        break;
    }
    return PTzFailWithZero(PTzERR_PATH_BUFFER);
}

}  // namespace

int PTzPathTextToSystem(const PTzChar* text, uint32_t units, char* out, uint32_t outSize, uint32_t* written)
{
    if ((!text && units != 0) || !out)
        return PTzFailWithZero();
    size_t made = 0;
    const auto result = corvane::utf16ToUtf8({text, units}, out, outSize, &made, corvane::UtfBytes::Escape);
    return exportedResult(result, made, written);
}

int PTzPathTextFromSystem(const char* bytes, uint32_t size, PTzChar* out, uint32_t outUnits, uint32_t* written)
{
    if ((!bytes && size != 0) || !out)
        return PTzFailWithZero();
    size_t made = 0;
    const auto result = corvane::utf8ToUtf16({bytes, size}, out, outUnits, &made, corvane::UtfBytes::Escape);
    return exportedResult(result, made, written);
}
