// The time the views pace their selection outline and text cursor by: milliseconds that
// wrap at 2^32 (compare by unsigned subtraction). Tests put a clock of their own in.
#pragma once

#include <cstdint>

using ViewClock = uint32_t (*)();

uint32_t ViewTime();
// Replaces the views' clock (null restores PTzGetTickCount); gives the one replaced.
ViewClock SetViewClock(ViewClock clock);
