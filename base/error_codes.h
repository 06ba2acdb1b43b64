// The one table of the system's error codes, shared by every deliverable, and the
// thread's last error through which failures cross library borders.
#pragma once

#include "corvane_export.h"

enum _tagPTzERRORCODE : int {
    // Base services.
    PTzERR_BAD_ARGUMENT = -1,          // null pointer, zero size, unknown mode or kind
    PTzERR_OUT_OF_MEMORY = -51,
    PTzERR_CONTAINER_FULL = -101,      // two-level handle list full
    PTzERR_COLOR_UNSUPPORTED = -151,   // no conversion between these colour modes
    PTzERR_PATH_BUFFER = -301,         // path does not fit the caller's buffer
    PTzERR_PATH_TOO_LONG = -302,       // path of 260 units or more
    PTzERR_NO_FREE_NAME = -401,        // no free numbered file name
    // Engine.
    ITzERR_INIT_FAILED = -1000,
    ITzERR_INVALID = -1001,            // invalid argument, or scratch memory exhausted
    ITzERR_CHANNEL_EXPAND = -1051,     // a block channel cannot be expanded
    ITzERR_HAS_LAYERS = -1101,
    ITzERR_LAYER_ARRAY_FULL = -1102,
    ITzERR_ONLY_LAYER = -1202,
    ITzERR_TOO_MANY_LAYERS = -1203,
    ITzERR_BLOCK_ABSENT = -1301,
    ITzERR_PREVIEW_REDUCE = -1504,
    ITzERR_NO_SAVE_PLUGIN = -1601,
    // Plug-in manager and plug-ins.
    FTzERR_EMPTY_SLOT = -2000,
    FTzERR_BAD_HANDLE = -2001,
    FTzERR_BAD_DATA = -2201,
    FTzERR_NO_DESCRIPTION = -2204,
    FTzERR_NO_ID = -2205,
    FTzERR_NO_SAVE_ENTRY = -2206,
    FTzERR_SHORT_READ = -2207,
    FTzERR_NO_READ_ENTRY = -2301,
};

// Results of the plug-in layer's load and save steps; never stored as errors.
enum : int {
    FTzSTEP_CONTINUE = 0,
    FTzSTEP_FINISHED = 2001,
};

CORVANE_C void PTzSetLastError(int code);
CORVANE_C int PTzGetLastError();

// Stores code as the last error and returns it, for the common "fail with" path.
inline int PTzFail(int code)
{
    PTzSetLastError(code);
    return code;
}

// Stores code as the last error and returns 0, for operations whose failure result is 0.
inline int PTzFailWithZero(int code = PTzERR_BAD_ARGUMENT)
{
    PTzSetLastError(code);
    return 0;
}

// The last error as a failure result: never 0, so a failure cannot read as success.
inline int PTzLastErrorOr(int fallback)
{
    const int code = PTzGetLastError();
    return code != 0 ? code : PTzFail(fallback);
}
