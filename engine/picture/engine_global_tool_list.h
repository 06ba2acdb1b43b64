// The process-wide list of shared tool objects: made on first request, it holds the
// engine's one ITzToolLayerManager at index 0, and the engine's shut-down frees it.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"

class ITzToolBase;

inline constexpr uint32_t ITzGLOBAL_TOOL_LIST_ROOM = 1000;

struct ITzGlobalToolList {
    uint32_t count;                               // tools in use, from index 0
    ITzToolBase* tools[ITzGLOBAL_TOOL_LIST_ROOM];  // owned
};

// The one list, made on first request with the layer manager at index 0 (the count stays
// 0 when that tool cannot be made); null only when the list itself cannot be made.
LUMATRA_C ITzGlobalToolList* GetGlobalToolList();
// The list when it exists, without making it.
LUMATRA_C ITzGlobalToolList* FindGlobalToolList();
// Frees the tools from the last to the first, then the list; nothing when there is none.
LUMATRA_C void FreeGlobalToolList();
