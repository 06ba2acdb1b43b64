// Path records as text: filling, copying, splitting at "/" and ".", joining, and the
// extension match of the format filters.
#include "file_path.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "error_codes.h"

namespace corvane {

uint32_t pathLength(const _tagPTzFILE* file)
{
    const PTzChar* end = std::find(file->path, file->path + PTzPATH_UNITS, u'\0');
    return uint32_t(end - file->path);
}

namespace {

std::u16string_view textOf(const _tagPTzFILE* file)
{
    return {file->path, pathLength(file)};
}

// Sets out to the concatenation of parts: false when it would not fit (out unchanged).
bool assign(_tagPTzFILE* out, std::initializer_list<std::u16string_view> parts)
{
    _tagPTzFILE result{};
    size_t used = 0;
    for (std::u16string_view part : parts) {
        if (part.size() >= PTzPATH_UNITS - used)
            return false;
        std::copy(part.begin(), part.end(), result.path + used);
        used += part.size();
    }
    *out = result;
    return true;
}

// Where the name of the last path component starts.
size_t nameStart(std::u16string_view path)
{
    const size_t slash = path.rfind(u'/');
    return slash == std::u16string_view::npos ? 0 : slash + 1;
}

// Where the extension (its "." included) of the last component starts; the path's
// length when it has none.
size_t extensionStart(std::u16string_view path)
{
    const size_t dot = path.rfind(u'.');
    return dot == std::u16string_view::npos || dot < nameStart(path) ? path.size() : dot;
}

bool equalIgnoringAsciiCase(std::u16string_view a, std::u16string_view b)
{
    auto fold = [](PTzChar c) { return c >= u'a' && c <= u'z' ? PTzChar(c - u'a' + u'A') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](PTzChar x, PTzChar y) { return fold(x) == fold(y); });
}

int tooLong()
{
    PTzSetLastError(PTzERR_PATH_TOO_LONG);
    return 0;
}

}  // namespace

bool joinPath(const _tagPTzFILE* folder, std::u16string_view name, _tagPTzFILE* out)
{
    const std::u16string_view base = textOf(folder);
    const bool endsWithSlash = !base.empty() && base.back() == u'/';
    return assign(out, {base, endsWithSlash ? u"" : u"/", name});
}

}  // namespace corvane

using namespace corvane;

int PTzFileFill(_tagPTzFILE* out, const PTzChar* text)
{
    if (!out || !text)
        return PTzFailWithZero();
    const PTzChar* end = std::find(text, text + PTzPATH_UNITS, u'\0');
    if (end == text + PTzPATH_UNITS)
        return tooLong();
    return assign(out, {std::u16string_view(text, size_t(end - text))}) ? 1 : tooLong();
}

int PTzFilePathCopy(const _tagPTzFILE* src, _tagPTzFILE* dst)
{
    if (!src || !dst)
        return PTzFailWithZero();
    *dst = *src;
    return 1;
}

int PTzFileGetPath(const _tagPTzFILE* src, PTzChar* buffer, uint32_t chars)
{
    if (!src || !buffer)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    const uint32_t length = pathLength(src);
    if (length >= chars || length == PTzPATH_UNITS)
        return PTzFail(PTzERR_PATH_BUFFER);
    std::copy(src->path, src->path + length, buffer);
    buffer[length] = 0;
    return 0;
}

int PTzFileChangeExt(_tagPTzFILE* out, const _tagPTzFILE* src, const PTzChar* ext)
{
    if (!out || !src || !ext)
        return PTzFailWithZero();
    const std::u16string_view path = textOf(src);
    const std::u16string_view newExt(ext);
    const bool needsPoint = !newExt.empty() && newExt.front() != u'.';
    return assign(out, {path.substr(0, extensionStart(path)), needsPoint ? u"." : u"", newExt}) ? 1 : tooLong();
}

int PTzSplitpath(const _tagPTzFILE* path, _tagPTzFILE* drive, _tagPTzFILE* folder, _tagPTzFILE* name,
                 _tagPTzFILE* ext)
{
    if (!path)
        return PTzFailWithZero();
    const _tagPTzFILE copy = *path;  // an output may be the input itself
    const std::u16string_view text = textOf(&copy);
    const size_t nameAt = nameStart(text);
    const size_t extAt = extensionStart(text);
    // Every part is shorter than the whole, so none can fail to fit.
    if (drive)
        assign(drive, {});
    if (folder)
        assign(folder, {text.substr(0, nameAt)});
    if (name)
        assign(name, {text.substr(nameAt, extAt - nameAt)});
    if (ext)
        assign(ext, {text.substr(extAt)});
    return 1;
}

int PTzGetSuperFolder(const _tagPTzFILE* src, _tagPTzFILE* dst)
{
    if (!src || !dst)
        return PTzFailWithZero();
    const std::u16string_view text = textOf(src);
    const size_t slash = text.rfind(u'/');
    if (slash == std::u16string_view::npos || text == u"/")
        return PTzFailWithZero();
    // The root keeps its "/": the parent of "/a" is "/".
    assign(dst, {text.substr(0, slash == 0 ? 1 : slash)});
    return 1;
}

int PTzGetItemPathInFolder(const _tagPTzFILE* folder, _tagPTzFILE* out, const PTzChar* name)
{
    if (!folder || !out || !name)
        return PTzFailWithZero();
    return joinPath(folder, name, out) ? 1 : tooLong();
}

int PTzGetSubFolder(const _tagPTzFILE* folder, _tagPTzFILE* out, const PTzChar* name)
{
    return PTzGetItemPathInFolder(folder, out, name);
}

int PTzMatchExt(const _tagPTzFILE* file, const PTzChar* patterns)
{
    if (!file || !patterns)
        return PTzFailWithZero();
    const std::u16string_view path = textOf(file);
    const size_t extAt = extensionStart(path);
    if (extAt == path.size())
        return 0;
    const std::u16string_view ext = path.substr(extAt);
    const std::u16string_view list(patterns);
    // Each item's candidate runs from the first "." at or after the item's start to the
    // next ";"; the text before that "." (the "*") is not looked at.
    for (size_t itemStart = 0;;) {
        const size_t dot = list.find(u'.', itemStart);
        if (dot == std::u16string_view::npos)
            return 0;
        const size_t semicolon = list.find(u';', dot);
        if (equalIgnoringAsciiCase(list.substr(dot, semicolon - dot), ext))
            return 1;
        if (semicolon == std::u16string_view::npos)
            return 0;
        itemStart = semicolon + 1;
    }
}
