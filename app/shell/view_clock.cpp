#include "app/shell/view_clock.h"

#include "base/memory.h"

namespace {

ViewClock currentClock = PTzGetTickCount;

}  // namespace

uint32_t ViewTime()
{
    return currentClock();
}

ViewClock SetViewClock(ViewClock clock)
{
    const ViewClock replaced = currentClock;
    currentClock = clock ? clock : PTzGetTickCount;
    return replaced;
}
