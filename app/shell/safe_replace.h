// A file written beside its target under a free temporary name and moved over the target
// only once complete, through Corvane's synced replace: until then the target keeps its
// old contents, and a temporary that is never committed is removed. The document's save,
// the settings store and the brush file all write this way.
#pragma once

#include "base/file_path.h"

class CSafeReplace {
public:
    CSafeReplace() = default;
    // Removes a temporary that was not committed.
    ~CSafeReplace();
    CSafeReplace(const CSafeReplace&) = delete;
    CSafeReplace& operator=(const CSafeReplace&) = delete;

    // Creates the temporary, empty and exclusively, under the first free name "R#&%_n"
    // in the target's folder: true, or false with the code stored (-401 when no name is
    // free). The engine's write stream does not truncate, so it must never be handed an
    // existing file.
    bool Begin(const _tagPTzFILE& target);
    const _tagPTzFILE& Temporary() const { return m_temporary; }
    // Moves the temporary over the target: true, or false with the code stored and the
    // temporary removed, the target as it was.
    bool Commit();
    // Removes the temporary (nothing when there is none).
    void Discard();

private:
    _tagPTzFILE m_target = {};
    _tagPTzFILE m_temporary = {};
    bool m_pending = false;
};
