// The bilinear tables turned round into per-destination plans: two walks over the
// table's entries, the first to find how many consecutive sources a destination
// gathers, the second to lay the weights out by tap.
#include "engine/pixels/resample_plan.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "base/memory.h"
#include "engine/pixels/resample_math.h"

namespace lumatra {

namespace {

// Calls visit(destination, source, weight) for every nonzero weight of the table's
// sources [first, end) on destinations [destFirst, destEnd), both as table indices.
template <class Visit>
void ForEachWeight(const _tagITzBLRESIZETABLE& table, int64_t first, int64_t end, int64_t destFirst,
                   int64_t destEnd, Visit&& visit)
{
    for (int64_t s = first; s < end; ++s) {
        const int64_t k = s - table.firstSource;
        const int64_t r0 = table.ranges[2 * k], r1 = table.ranges[2 * k + 1];
        const uint8_t* row = table.weights + k * table.width;
        for (int64_t d = std::max(r0, destFirst), last = std::min(r1, destEnd - 1); d <= last; ++d)
            if (const uint8_t w = row[d - r0])
                visit(d, s, w);
    }
}

void* Allocate(uint64_t bytes)
{
    return bytes <= UINT32_MAX ? PTzPointNew(uint32_t(std::max<uint64_t>(bytes, 1))) : nullptr;
}

}  // namespace

bool MakeAxisPlan(const _tagITzBLRESIZETABLE& table, int32_t sourceFirst, int32_t sourceEnd, int32_t destFirst,
                  int32_t destEnd, BLAxisPlan& plan)
{
    plan = {};
    const int64_t first = std::max(sourceFirst, table.firstSource), end = std::min(sourceEnd, table.endSource);
    const int64_t count = int64_t{destEnd} - destFirst, sources = int64_t{sourceEnd} - sourceFirst;
    if (count <= 0 || end <= first || count > INT32_MAX || sources > INT32_MAX)
        return false;
    // The start, total and reciprocal of each destination; the totals first hold the
    // last source.
    plan.start = static_cast<int32_t*>(Allocate(uint64_t(count) * 12));
    if (!plan.start)
        return false;
    plan.totals = reinterpret_cast<uint32_t*>(plan.start + count);
    plan.reciprocals = reinterpret_cast<float*>(plan.totals + count);
    int32_t* last = reinterpret_cast<int32_t*>(plan.totals);
    std::fill(plan.start, plan.start + count, INT32_MAX);
    std::fill(last, last + count, -1);
    ForEachWeight(table, first, end, destFirst, destEnd, [&](int64_t d, int64_t s, uint8_t) {
        const int64_t j = d - destFirst;
        plan.start[j] = std::min(plan.start[j], int32_t(s - sourceFirst));
        last[j] = std::max(last[j], int32_t(s - sourceFirst));
    });
    int32_t taps = 1;
    for (int64_t j = 0; j < count; ++j)
        if (last[j] >= 0)
            taps = std::max(taps, last[j] - plan.start[j] + 1);
    // The weights by tap, and after them the pairs of a two-tap plan.
    plan.weights = static_cast<uint32_t*>(Allocate(uint64_t(taps + (taps == 2 ? 1 : 0)) * uint64_t(count) * 4));
    if (!plan.weights) {
        ReleaseAxisPlan(plan);
        return false;
    }
    std::fill_n(plan.weights, size_t(taps) * size_t(count), 0u);
    // A start is moved back where its taps would pass the last source; a destination
    // gathering none starts where the one before it does (the first such where the first
    // that gathers any), with weights of 0.
    int32_t carried = -1;
    for (int64_t j = 0; j < count; ++j) {
        if (last[j] < 0) {
            plan.start[j] = carried;
            continue;
        }
        plan.start[j] = std::min(plan.start[j], int32_t(sources - taps));
        if (carried < 0)
            std::fill(plan.start, plan.start + j, plan.start[j]);
        carried = plan.start[j];
    }
    if (carried < 0)
        std::fill(plan.start, plan.start + count, 0);
    std::fill(plan.totals, plan.totals + count, 0u);
    ForEachWeight(table, first, end, destFirst, destEnd, [&](int64_t d, int64_t s, uint8_t w) {
        const int64_t j = d - destFirst;
        plan.weights[(s - sourceFirst - plan.start[j]) * count + j] = w;
        plan.totals[j] += w;
    });
    plan.count = int32_t(count);
    plan.sources = int32_t(sources);
    plan.taps = taps;
    for (int64_t j = 0; j < count; ++j)
        plan.reciprocals[j] = PlainReciprocal(plan.totals[j]);
    if (taps == 2) {
        plan.pairs = plan.weights + 2 * count;
        for (int64_t j = 0; j < count; ++j)
            plan.pairs[j] = plan.weights[j] | plan.weights[count + j] << 16;
    }
    const auto [least, largest] = std::minmax_element(plan.totals, plan.totals + count);
    plan.largestTotal = *largest;
    plan.reached = *least != 0;
    plan.uniform = *least == *largest;
    plan.rising = std::is_sorted(plan.start, plan.start + count);
    return true;
}

void ReleaseAxisPlan(BLAxisPlan& plan)
{
    PTzPointFree(plan.start);
    PTzPointFree(plan.weights);
    plan = {};
}

BLPlanCache::~BLPlanCache()
{
    for (Entry& entry : m_entries)
        ReleaseAxisPlan(entry.plan);
}

const BLAxisPlan* BLPlanCache::Find(const _tagITzBLRESIZETABLE& table, int32_t sourceFirst, int32_t sourceEnd,
                                    int32_t destFirst, int32_t destEnd)
{
    for (const Entry& entry : m_entries)
        if (entry.table == &table && entry.sourceFirst == sourceFirst && entry.sourceEnd == sourceEnd &&
            entry.destFirst == destFirst && entry.destEnd == destEnd)
            return &entry.plan;
    Entry made = {&table, sourceFirst, sourceEnd, destFirst, destEnd, {}};
    if (!MakeAxisPlan(table, sourceFirst, sourceEnd, destFirst, destEnd, made.plan))
        return nullptr;
    try {
        m_entries.push_back(made);
    } catch (const std::bad_alloc&) {
        ReleaseAxisPlan(made.plan);
        return nullptr;
    }
    return &m_entries.back().plan;
}

void PlanSourceSpan(const BLAxisPlan& plan, int32_t destFirst, int32_t destEnd, int32_t& first, int32_t& end)
{
    first = INT32_MAX;
    end = INT32_MIN;
    for (int32_t j = destFirst; j < destEnd; ++j)
        if (plan.totals[j] != 0) {
            first = std::min(first, plan.start[j]);
            end = std::max(end, plan.start[j] + plan.taps);
        }
    if (first >= end)
        first = end = 0;
}

}  // namespace lumatra
