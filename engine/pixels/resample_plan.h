// The weights of a bilinear job turned round once per job: a table lists, per source
// index, the destinations it feeds; a plan lists, per destination index, the `taps`
// consecutive sources it gathers and their weights, which is what row loops need.
// Library-private.
#pragma once

#include <cstdint>
#include <deque>

#include "engine/pixels/resample.h"

namespace lumatra {

// One axis of a job: destinations [0, count) and sources [0, sources), both counted from
// the job's first. Destination j gathers sources start[j] to start[j] + taps - 1 with
// weights weights[t x count + j] (0 where a source gives nothing) of total totals[j]
// (and its PlainReciprocal in reciprocals[j]). A destination gathering nothing starts
// where its neighbour does.
struct BLAxisPlan {
    int32_t count = 0;
    int32_t sources = 0;
    int32_t taps = 0;
    uint32_t largestTotal = 0;
    bool rising = false;   // no start is below the one before it
    bool reached = false;  // every destination gathers some weight
    bool uniform = false;  // every destination's total is the same
    int32_t* start = nullptr;
    uint32_t* totals = nullptr;
    float* reciprocals = nullptr;
    uint32_t* weights = nullptr;  // taps rows of count
    // With two taps, each destination's two weights as one word, the first in the low
    // half, for gathering rows of byte pairs (see resample_rows.h); null otherwise.
    uint32_t* pairs = nullptr;
};

// Makes the plan of `table` for destinations [destFirst, destEnd) and the sources
// [sourceFirst, sourceEnd) alone (within the table's); the plan holds its arrays until
// released. False, with nothing held, for empty ranges or when memory is short.
bool MakeAxisPlan(const _tagITzBLRESIZETABLE& table, int32_t sourceFirst, int32_t sourceEnd, int32_t destFirst,
                  int32_t destEnd, BLAxisPlan& plan);
void ReleaseAxisPlan(BLAxisPlan& plan);

// Plans kept for the reads that share tables, each made once: a resize reads every
// block of a column of destination blocks with one plan across, and every block of a
// row with one plan down.
class BLPlanCache {
public:
    BLPlanCache() = default;
    ~BLPlanCache();
    BLPlanCache(const BLPlanCache&) = delete;
    BLPlanCache& operator=(const BLPlanCache&) = delete;

    // The plan MakeAxisPlan makes of these arguments, made on the first request and kept;
    // null where MakeAxisPlan fails or memory is short.
    const BLAxisPlan* Find(const _tagITzBLRESIZETABLE& table, int32_t sourceFirst, int32_t sourceEnd,
                           int32_t destFirst, int32_t destEnd);

private:
    struct Entry {
        const _tagITzBLRESIZETABLE* table;
        int32_t sourceFirst, sourceEnd, destFirst, destEnd;
        BLAxisPlan plan;
    };
    std::deque<Entry> m_entries;  // a deque: the plans handed out stay where they are
};

// The sources [first, end) that destinations [destFirst, destEnd) of the plan gather.
void PlanSourceSpan(const BLAxisPlan& plan, int32_t destFirst, int32_t destEnd, int32_t& first, int32_t& end);

}  // namespace lumatra
