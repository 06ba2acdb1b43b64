// Memory blocks of the base library: fixed zero-filled "points" and lockable
// zero-filled "handles". Both carry a tag, never move, and are freed by one call.
#pragma once

#include <cstdint>

#include "corvane_export.h"

using PTzHANDLE = void*;

CORVANE_C void* PTzPointNew(uint32_t bytes);
CORVANE_C void* PTzPointNewAdjustable(uint32_t* bytes);
CORVANE_C void* PTzPointFree(void* block);
CORVANE_C PTzHANDLE PTzHandleNew(uint32_t bytes);
CORVANE_C void* PTzHandleLock(PTzHANDLE handle);
CORVANE_C int PTzHandleUnlock(PTzHANDLE handle);
CORVANE_C void* PTzHandleFree(PTzHANDLE handle);
CORVANE_C void* PTzMemcpy(void* dst, const void* src, uint32_t n);
CORVANE_C void* PTzMemmove(void* dst, const void* src, uint32_t n);
CORVANE_C void* PTzMemset(void* p, int32_t value, uint32_t n);
CORVANE_C uint32_t PTzGetTickCount();

// A handle like PTzHandleNew's whose bytes are left as the allocator gave them, for a
// caller that overwrites every byte before reading any: a fresh block is not cleared
// twice. Locked, sized, capped by the test hooks and freed as any other handle.
CORVANE_API PTzHANDLE PTzHandleNewUnfilled(uint32_t bytes);

// Zero-fills a whole handle: 1, or 0 with -1 stored for a null or bad handle.
CORVANE_API int PTzHandleZeroFill(PTzHANDLE handle);

// The byte size of a live point or handle (0 for anything else).
CORVANE_API uint32_t PTzBlockSize(const void* block);

// Locks a handle for the lifetime of the guard.
class PTzHandleLockGuard {
public:
    explicit PTzHandleLockGuard(PTzHANDLE handle) : m_handle(handle), m_bytes(PTzHandleLock(handle)) {}
    ~PTzHandleLockGuard()
    {
        if (m_bytes)
            PTzHandleUnlock(m_handle);
    }
    PTzHandleLockGuard(const PTzHandleLockGuard&) = delete;
    PTzHandleLockGuard& operator=(const PTzHandleLockGuard&) = delete;

    uint8_t* bytes() const { return static_cast<uint8_t*>(m_bytes); }
    explicit operator bool() const { return m_bytes != nullptr; }

private:
    PTzHANDLE m_handle;
    void* m_bytes;
};
