// The engine's names for the base library's memory calls, so engine code reads alike
// everywhere; each forwards and adds nothing.
#pragma once

#include <cstdint>

#include "base/memory.h"
#include "engine/lumatra_export.h"

LUMATRA_C void* ITzMemset(uint32_t count, void* pointer, int32_t value);
LUMATRA_C void* ITzPointNew(uint32_t bytes);
LUMATRA_C void* ITzPointFree(void* block);
LUMATRA_C PTzHANDLE ITzHandleNew(uint32_t bytes);
LUMATRA_C void* ITzHandleFree(PTzHANDLE handle);
LUMATRA_C void* ITzHandleLock(PTzHANDLE handle);
LUMATRA_C int ITzHandleUnlock(PTzHANDLE handle);
