// The brush file's path through the program's settings store.
#include "app/ui/brush_file_path.h"

#include <algorithm>
#include <string>

#include "app/shell/settings_codec.h"
#include "app/shell/settings_store.h"
#include "base/program_paths.h"

namespace {

constexpr PTzChar kSettingName[] = u"Brush_File";
constexpr PTzChar kSubFolder[] = u"Brush";
constexpr PTzChar kFileName[] = u"Brush.dat";

// A stored path is taken only whole: its NUL within the stored units, some text before
// it, and rooted, since a relative path would follow the working folder.
bool UsableStoredPath(const _tagPTzFILE& stored, uint32_t bytes)
{
    const PTzChar* end = stored.path + bytes / 2;
    return std::find(stored.path, end, u'\0') != end && stored.path[0] == u'/';
}

}  // namespace

int MakeDefaultBrushFilePath(_tagPTzFILE* path)
{
    _tagPTzFILE folder;
    _tagPTzFILE brushes;
    if (!GetAppDataFolder(&folder) && !PTzGetAppFolder(&folder))
        return 0;
    return PTzGetSubFolder(&folder, &brushes, kSubFolder) && PTzGetItemPathInFolder(&brushes, path, kFileName);
}

int SetBrushFileSetting(const _tagPTzFILE& path)
{
    const uint32_t units = uint32_t(std::char_traits<PTzChar>::length(path.path)) + 1;
    return WriteAppSetting(kSettingName, quorvel::REG_EXPAND_SZ, path.path, units * sizeof(PTzChar));
}

int GetBrushFilePath(_tagPTzFILE* path)
{
    _tagPTzFILE stored = {};
    uint32_t type = quorvel::REG_EXPAND_SZ;
    uint32_t bytes = sizeof stored.path;
    if (ReadAppSetting(kSettingName, &type, stored.path, &bytes) && UsableStoredPath(stored, bytes)) {
        *path = stored;
        return 1;
    }
    _tagPTzFILE made;
    if (!MakeDefaultBrushFilePath(&made))
        return 0;
    SetBrushFileSetting(made);
    *path = made;
    return 1;
}
