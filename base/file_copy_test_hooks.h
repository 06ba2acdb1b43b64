// Test-only control over the synced replace: a sync or a rename that the file system
// refuses is hard to bring about on purpose, so tests make the next one fail.
#pragma once

#include "corvane_export.h"

enum PTzTestReplaceStep : int {
    PTzTEST_REPLACE_NONE = 0,
    PTzTEST_REPLACE_SYNC = 1,    // syncing the replacement's data
    PTzTEST_REPLACE_RENAME = 2,  // the rename over the target
};

// The next PTzFileReplace fails with EIO at that step (PTzTEST_REPLACE_NONE clears it);
// the failure is used up by that one call.
CORVANE_C void PTzTestFailNextReplaceStep(int step);
