// The temporary is created with O_EXCL through Corvane; a name taken between the search
// and the create (another writer in the same folder) sends the search round again.
#include "app/shell/safe_replace.h"

#include <cerrno>

#include "base/error_codes.h"
#include "base/file.h"
#include "base/file_copy.h"

namespace {

constexpr PTzChar kTemporaryBase[] = u"R#&%";
constexpr int kCreateAttempts = 8;

}  // namespace

CSafeReplace::~CSafeReplace()
{
    Discard();
}

bool CSafeReplace::Begin(const _tagPTzFILE& target)
{
    Discard();
    _tagPTzFILE folder;
    if (!PTzGetSuperFolder(&target, &folder))
        return false;
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        _tagPTzFILE candidate;
        if (!PTzFileFindAvailalbeNameInPath(&folder, kTemporaryBase, &candidate))
            return false;
        if (PTzFILEHANDLE file = PTzFileCreate(&candidate, 3)) {
            if (!PTzFileClose(file)) {
                const int code = PTzGetLastError();
                PTzFileDelete(&candidate);
                PTzSetLastError(code);
                return false;
            }
            m_target = target;
            m_temporary = candidate;
            m_pending = true;
            return true;
        }
        if (PTzGetLastError() != EEXIST)
            return false;
    }
    return false;
}

bool CSafeReplace::Commit()
{
    if (!m_pending) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return false;
    }
    if (!PTzFileReplace(&m_target, &m_temporary)) {
        const int code = PTzGetLastError();
        Discard();
        PTzSetLastError(code);
        return false;
    }
    m_pending = false;
    return true;
}

void CSafeReplace::Discard()
{
    if (!m_pending)
        return;
    const int code = PTzGetLastError();
    PTzFileDelete(&m_temporary);
    PTzSetLastError(code);
    m_pending = false;
}
