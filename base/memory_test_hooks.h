// Test-only control over the block allocator. Linux overcommit almost never fails
// an allocation, so tests make failures happen on purpose to reach those paths.
#pragma once

#include <cstdint>

#include "corvane_export.h"

// Every request above bytes fails; 0 removes the ceiling.
CORVANE_C void PTzTestSetAllocationCeiling(uint64_t bytes);

// After n more successful allocations every allocation fails; a negative n turns
// the countdown off.
CORVANE_C void PTzTestSetAllocationCountdown(int64_t n);
