// The thread's last error: one variable inside Corvane, so every library sees the same one.
#include "error_codes.h"

namespace {
thread_local int lastError = 0;
}

void PTzSetLastError(int code)
{
    lastError = code;
}

int PTzGetLastError()
{
    return lastError;
}
