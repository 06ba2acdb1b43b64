// Test-only control over the undo factory, so that tests can replay records through tools
// of their own before the engine tools exist or without touching real pictures.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"

class ITzToolBase;

using ITzTestToolMaker = ITzToolBase* (*)(uint32_t id);

// While set, CreateToolByID (and so every dispatcher) makes its tools with `maker`, whose
// tools DestroyTool deletes; null restores the engine's own tools.
LUMATRA_C void ITzTestSetToolMaker(ITzTestToolMaker maker);
