// The brush file's disk side. The new library is complete and flushed in its temporary
// file before anything at the path is touched: then an existing file that is to be kept
// moves aside, and one rename puts the new file in place.
#include "app/ui/brush_file_io.h"

#include <cerrno>
#include <string_view>

#include "app/shell/safe_replace.h"
#include "base/error_codes.h"
#include "base/file.h"
#include "base/file_copy.h"
#include "base/file_stream.h"
#include "base/folder.h"

namespace {

// The file's name: what follows the last "/".
std::u16string_view NameOf(const _tagPTzFILE& path)
{
    const std::u16string_view text(path.path);
    return text.substr(text.rfind(u'/') + 1);
}

// Moves the file at path to the first free "<name>_<n>" beside it: true with its new
// path, or false with the code stored.
bool MoveAside(const _tagPTzFILE& path, const _tagPTzFILE& folder, _tagPTzFILE* aside)
{
    const std::u16string name(NameOf(path));
    return PTzFileFindAvailalbeNameInPath(&folder, name.c_str(), aside) && PTzFileMove(aside, &path);
}

// Writes the library into the replace's temporary file: true when all of it reached the file.
bool WriteTemporary(const CSafeReplace& replace, const BrushRecords& records, uint32_t defaultCount)
{
    _tagPTzIOSTREAM* stream = PTzFileStreamCreate(&replace.Temporary(), 3);
    if (!stream)
        return false;
    const bool written = WriteBrushLibrary(stream, records, defaultCount);
    const int code = PTzGetLastError();
    if (!PTzFileStreamDestory(stream))
        return false;
    if (!written)
        PTzSetLastError(code ? code : EIO);
    return written;
}

// The replace refuses a target that is not a regular file.
bool TargetRefused(int code)
{
    return code == EISDIR || code == EINVAL;
}

}  // namespace

BrushFileRead ReadBrushFile(const _tagPTzFILE& path, BrushRecords* records, uint32_t* defaultCount)
{
    _tagPTzIOSTREAM* stream = PTzFileStreamCreate(&path, 2);
    if (!stream)
        return BrushFileRead::NoFile;
    const BrushFileRead read = ReadBrushLibrary(stream, records, defaultCount);
    PTzFileStreamDestory(stream);
    return read;
}

BrushFileWrite WriteBrushFile(const _tagPTzFILE& path, const BrushRecords& records, uint32_t defaultCount,
                              bool keepExisting)
{
    _tagPTzFILE folder;
    CSafeReplace replace;
    if (!PTzGetSuperFolder(&path, &folder) || (!PTzFolderExist(&folder) && !PTzFolderCreateEx(&folder)) ||
        !replace.Begin(path))
        return BrushFileWrite::NoPlace;
    if (!WriteTemporary(replace, records, defaultCount))
        return BrushFileWrite::Failed;
    _tagPTzFILE aside;
    const bool keep = keepExisting && PTzFileExist(&path);
    if (keep && !MoveAside(path, folder, &aside))
        return BrushFileWrite::NoPlace;
    if (replace.Commit())
        return BrushFileWrite::Written;
    const int code = PTzGetLastError();
    if (keep)
        PTzFileMove(&path, &aside);
    PTzSetLastError(code);
    return TargetRefused(code) ? BrushFileWrite::NoPlace : BrushFileWrite::Failed;
}
