// Bilinear resampling a strip of source rows at a time: each destination row is made
// whole from the strip that holds all its sources and divided into bytes at once, so no
// sums are kept for a whole destination. Sums are 32-bit where the job's weight totals
// allow (vectorised row loops, resample_kernels.h), else 64-bit. Library-private.
#pragma once

#include <cstdint>

#include "engine/pixels/resample_accumulate.h"
#include "engine/pixels/resample_plan.h"

namespace lumatra {

// A job's two plans, what it sums and how; its scratch is the caller's.
struct BLStripResampler {
    const BLAxisPlan* x = nullptr;
    const BLAxisPlan* y = nullptr;
    bool alpha = false;  // plane 0 is alpha (or gray averaged as alpha)
    int colours = 0;     // planes 1 to colours
    bool wide = false;   // 64-bit sums
    // Source rows gathered across first (enlarging), or weighed down the columns first
    // (reducing), whichever the plans make cheaper.
    bool columnsFirst = false;
    uint8_t* scratch = nullptr;
    int32_t* heldRows = nullptr;  // columns first: the source row each ring slot holds, -1 for none
    bool heldOpaque = false;      // the held rows are sums of opaque sources, the colours alone
};

// How far a job has come: the next destination row and, rows first, how many of its
// taps are summed (their column sums wait in the scratch for the next strip).
struct BLStripProgress {
    int32_t row = 0;
    int32_t taps = 0;
    bool summing = false;  // some tap of `row` is summed
};

// Sets up a resampler over the plans for strips of `stripRows` source rows: whether
// 32-bit sums hold the job and which pass comes first.
BLStripResampler MakeStripResampler(const BLAxisPlan& x, const BLAxisPlan& y, bool alpha, int colours,
                                    int32_t stripRows);
// The scratch it needs.
uint64_t StripScratchBytes(const BLStripResampler& resampler);
// Gives it its scratch (64-byte aligned) and empties its ring of source rows.
void AttachStripScratch(BLStripResampler& resampler, void* scratch);

// The source row the next strip starts at.
int32_t NextStripFirst(const BLStripResampler& resampler, const BLStripProgress& progress);
// Makes destination rows from `progress` on, up to destEnd (plan indices), as far as the
// strip of source rows [stripFirst, stripEnd) allows, into `out` (row 0 is destination
// 0, one byte per pixel per plane). A destination row is written once all its sources
// are summed; a pixel whose divisor is 0 gets 255 or keeps its byte. A strip that starts
// at NextStripFirst always takes the job further.
void ResampleStrip(BLStripResampler& resampler, const PlaneView& strip, int32_t stripFirst, int32_t stripEnd,
                   BLStripProgress& progress, int32_t destEnd, const PlaneView& out, ZeroDivisor rule);

}  // namespace lumatra
