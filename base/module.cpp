// Modules through dlopen, dlsym and dlclose. These report failures through dlerror,
// not errno, so each failure stores a system code of its own choosing.
#include "module.h"

#include <cerrno>
#include <dlfcn.h>
#include <sys/stat.h>

#include "error_codes.h"
#include "native_path.h"

using namespace corvane;

PTzMODULE PTzLoadModule(const _tagPTzFILE* path)
{
    if (!path) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    NativePath native;
    if (!toNativePath(path, &native))
        return nullptr;
    // dlopen would wait forever on a FIFO; names that are not on disk are left to
    // dlopen's own search.
    struct stat info {};
    if (stat(native.text, &info) == 0 && !S_ISREG(info.st_mode)) {
        PTzSetLastError(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        return nullptr;
    }
    errno = 0;
    PTzMODULE module = dlopen(native.text, RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        PTzSetLastError(errno != 0 ? errno : ELIBBAD);
        dlerror();
    }
    return module;
}

int PTzFreeModule(PTzMODULE module)
{
    if (!module)
        return 1;
    if (dlclose(module) == 0)
        return 1;
    PTzSetLastError(EINVAL);
    dlerror();
    return 0;
}

void* PTzGetProcAddress(PTzMODULE module, const char* name)
{
    if (!module || !name) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    dlerror();
    void* entry = dlsym(module, name);
    if (!entry) {
        PTzSetLastError(ENOENT);
        dlerror();
    }
    return entry;
}
