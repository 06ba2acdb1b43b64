// Tile merges: each tile is handed to the merge kernels as 256 rows of 256 bytes.
#include "engine/pixels/merge_tile.h"

#include <cstring>

#include "engine/pixels/merge_kernels.h"

using lumatra::merge::GrayOp;
using lumatra::merge::Job;

namespace {

constexpr int32_t kTileSide = 256;

bool AllPlanes(const uint8_t* const planes[4])
{
    return planes && planes[0] && planes[1] && planes[2] && planes[3];
}

// A job over whole tiles; the mask may be null.
Job TileJob(const uint8_t* const source[4], uint8_t* const dest[4], int planes,
            const uint8_t* mask, uint8_t opacity)
{
    Job job;
    for (int c = 0; c < planes; ++c) {
        job.source[c] = source[c];
        job.dest[c] = dest[c];
    }
    job.sourceStride = job.destStride = job.maskStride = kTileSide;
    job.mask = mask;
    job.width = job.height = kTileSide;
    job.opacity = opacity;
    return job;
}

void MergeARGB(const uint8_t* const source[4], uint8_t* const dest[4],
               const _tagITzMERGEDATA* merge, const uint8_t* mask)
{
    if (!merge || !AllPlanes(source) || !AllPlanes(dest))
        return;
    const Job job = TileJob(source, dest, 4, mask, merge->opacity);
    if (merge->mergeType == ITzMERGE_NORMAL)
        lumatra::merge::AlphaOverPlanar(job);
    else if (merge->mergeType == ITzMERGE_SMUDGE)
        mask ? lumatra::merge::SmudgePlanar(job) : lumatra::merge::CopyPlanes(job, 4);
}

void MergeGray(GrayOp op, const uint8_t* source, uint8_t* dest, const _tagITzMERGEDATA* merge,
               const uint8_t* mask)
{
    if (!merge || !source || !dest)
        return;
    lumatra::merge::GrayPlane(op, TileJob(&source, &dest, 1, mask, merge->opacity));
}

void MergeTagged(const _tagITzMERGEDATA* merge, _tagITzBLOCKMEMORY* dest,
                 const _tagITzBLOCKMEMORY* source, const uint8_t* mask)
{
    if (!dest || !source)
        return;
    if (source->kind == 3 && dest->kind == 3)
        MergeARGB(source->planes, dest->planes, merge, mask);
    else if (source->kind == 6 && dest->kind == 6)
        MergeGray(GrayOp::Union, source->planes[0], dest->planes[0], merge, mask);
    else if (source->kind == 6 && dest->kind == 3)
        MergeGray(GrayOp::Erase, source->planes[0], dest->planes[0], merge, mask);
}

bool GrayOpOf(const _tagITzMERGEDATA* merge, GrayOp& op)
{
    if (!merge)
        return false;
    switch (merge->mergeType) {
    case ITzMERGE_NORMAL:
        op = GrayOp::Union;
        return true;
    case ITzMERGE_INTERSECT:
    case ITzMERGE_MULTIPLY_ALPHA:
        op = GrayOp::Multiply;
        return true;
    case ITzMERGE_INVERT:
        op = GrayOp::ReverseSubtract;
        return true;
    case ITzMERGE_SUBTRACT:
        op = GrayOp::Subtract;
        return true;
    case ITzMERGE_ERASE:
        op = GrayOp::Erase;
        return true;
    default:
        return false;
    }
}

}  // namespace

void ITzMergeBlockARGB(const uint8_t* const source[4], uint8_t* const dest[4],
                       const _tagITzMERGEDATA* merge, const CMathMerge*)
{
    MergeARGB(source, dest, merge, nullptr);
}

void ITzMergeBlockARGBMask(const uint8_t* const source[4], uint8_t* const dest[4],
                           const _tagITzMERGEDATA* merge, const CMathMerge*, const uint8_t* mask)
{
    if (mask)
        MergeARGB(source, dest, merge, mask);
}

void ITzMergeBlockGray(const uint8_t* source, uint8_t* dest, const _tagITzMERGEDATA* merge,
                       const CMathMerge*)
{
    MergeGray(GrayOp::Union, source, dest, merge, nullptr);
}

void ITzMergeBlockGrayMask(const uint8_t* source, uint8_t* dest, const _tagITzMERGEDATA* merge,
                           const CMathMerge*, const uint8_t* mask)
{
    if (mask)
        MergeGray(GrayOp::Union, source, dest, merge, mask);
}

void ITzEraseBlockGray(const uint8_t* source, uint8_t* dest, const _tagITzMERGEDATA* merge,
                       const CMathMerge*)
{
    MergeGray(GrayOp::Erase, source, dest, merge, nullptr);
}

void ITzEraseBlockGrayMask(const uint8_t* source, uint8_t* dest, const _tagITzMERGEDATA* merge,
                           const CMathMerge*, const uint8_t* mask)
{
    if (mask)
        MergeGray(GrayOp::Erase, source, dest, merge, mask);
}

void ITzMergeTaggedBlock(const _tagITzMERGEDATA* merge, _tagITzBLOCKMEMORY* dest,
                         const _tagITzBLOCKMEMORY* source, const CMathMerge*)
{
    MergeTagged(merge, dest, source, nullptr);
}

void ITzMergeTaggedBlockMask(const _tagITzMERGEDATA* merge, _tagITzBLOCKMEMORY* dest,
                             const _tagITzBLOCKMEMORY* source, const CMathMerge*,
                             const uint8_t* mask)
{
    if (mask)
        MergeTagged(merge, dest, source, mask);
}

uint8_t ITzMergeGrayValue(const _tagITzMERGEDATA* merge, uint8_t source, uint8_t dest)
{
    GrayOp op;
    if (!GrayOpOf(merge, op))
        return dest;
    Job job;
    job.source[0] = &source;
    job.dest[0] = &dest;
    job.width = job.height = 1;
    job.opacity = merge->opacity;
    lumatra::merge::GrayPlane(op, job);
    return dest;
}

void ITzMergeGrayTileData(const _tagITzMERGEDATA* merge, const uint8_t* source,
                          uint8_t uniformSource, uint8_t* dest)
{
    GrayOp op;
    if (!dest || !GrayOpOf(merge, op))
        return;
    // A uniform source is one row of its value, read again for every row.
    uint8_t uniformRow[kTileSide];
    Job job = TileJob(&source, &dest, 1, nullptr, merge->opacity);
    if (!source) {
        std::memset(uniformRow, uniformSource, sizeof uniformRow);
        job.source[0] = uniformRow;
        job.sourceStride = 0;
    }
    lumatra::merge::GrayPlane(op, job);
}
