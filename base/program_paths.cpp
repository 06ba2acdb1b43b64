// The program's path from /proc/self/exe and the XDG per-user data folder.
#include "program_paths.h"

#include <cerrno>
#include <cstdlib>
#include <climits>
#include <string_view>
#include <unistd.h>

#include "error_codes.h"
#include "native_path.h"

using namespace corvane;

namespace {

// An environment variable usable as a base folder: set, and an absolute path.
const char* absoluteVariable(const char* name)
{
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? value : nullptr;
}

}  // namespace

int PTzGetAppPath(_tagPTzFILE* out)
{
    if (!out)
        return PTzFailWithZero();
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path));
    if (length < 0) {
        PTzSetLastError(errno);
        return 0;
    }
    if (size_t(length) == sizeof(path)) {
        PTzSetLastError(PTzERR_PATH_TOO_LONG);
        return 0;
    }
    return fromNativeText({path, size_t(length)}, out) ? 1 : 0;
}

int PTzGetAppFolder(_tagPTzFILE* out)
{
    if (!out)
        return PTzFailWithZero();
    _tagPTzFILE program;
    if (!PTzGetAppPath(&program))
        return 0;
    return PTzGetSuperFolder(&program, out);
}

int PTzGetApplicationData(_tagPTzFILE* out)
{
    if (!out)
        return PTzFailWithZero();
    if (const char* data = absoluteVariable("XDG_DATA_HOME"))
        return fromNativeText(data, out) ? 1 : 0;
    const char* home = absoluteVariable("HOME");
    if (!home) {
        PTzSetLastError(ENOENT);
        return 0;
    }
    _tagPTzFILE homeFolder;
    if (!fromNativeText(home, &homeFolder))
        return 0;
    return PTzGetItemPathInFolder(&homeFolder, out, u".local/share");
}
