// Test-only choice of the retouching kernels' build. The engine runs the best build the
// processor has; tests run every build it has, so that the AVX2 and baseline loops are
// checked on an AVX-512 machine too.
#pragma once

#include "engine/lumatra_export.h"

// The name of build `index` (0 the best), or null past the last.
LUMATRA_C const char* ITzTestRetouchBuildName(int index);
// Makes every retouching dab run build `index`: 1, or 0 (nothing changed) when the
// processor cannot run it or there is no such build. A negative index returns to the
// build the engine picks.
LUMATRA_C int ITzTestSetRetouchBuild(int index);
