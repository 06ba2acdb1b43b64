// What the builds of a set of row loops share: one build per instruction set, best first
// and the baseline last, each a table of entry points with a check whether this
// processor runs it. The build in use is chosen on first use, so that nothing is chosen
// while the library loads, and tests switch between builds. Library-private.
#pragma once

#include <atomic>
#include <cstddef>

namespace lumatra::kernel_builds {

inline bool Always()
{
    return true;
}

// clang (the fuzz targets' compiler) knows no x86-64-v4 level in its processor checks;
// its sets hold the baseline build alone.
#ifndef ITZ_MERGE_BASELINE_ONLY

inline bool RunsAvx512()
{
    return __builtin_cpu_supports("x86-64-v4");
}

inline bool RunsAvx2()
{
    return __builtin_cpu_supports("avx2");
}

#endif

// The build in `active`, chosen now if none is: the first of `sets` the processor runs.
template <class Set>
const Set& Active(std::atomic<const Set*>& active, const Set* sets, size_t count)
{
    const Set* chosen = active.load(std::memory_order_relaxed);
    if (!chosen) {
        chosen = &sets[count - 1];
        for (size_t i = 0; i < count && chosen == &sets[count - 1]; ++i)
            if (sets[i].runs())
                chosen = &sets[i];
        active.store(chosen, std::memory_order_relaxed);
    }
    return *chosen;
}

// The name of build `index`, or null past the last.
template <class Set>
const char* Name(const Set* sets, size_t count, int index)
{
    return index >= 0 && size_t(index) < count ? sets[index].name : nullptr;
}

// Makes build `index` the one in `active`: 1, or 0 (nothing changed) when the processor
// cannot run it or there is no such build. A negative index leaves the choice to the
// next use.
template <class Set>
int Switch(std::atomic<const Set*>& active, const Set* sets, size_t count, int index)
{
    if (index < 0) {
        active.store(nullptr, std::memory_order_relaxed);
        return 1;
    }
    if (size_t(index) >= count || !sets[index].runs())
        return 0;
    active.store(&sets[index], std::memory_order_relaxed);
    return 1;
}

}  // namespace lumatra::kernel_builds
