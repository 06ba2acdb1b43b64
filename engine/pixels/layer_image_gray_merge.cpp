// The gray layer's merges: a gray floating mask merged into blocks (whole, or over an
// in-block rectangle, by the gray merge types), a gray floating mask merged into the
// block memory of another kind, and the drawing of a floating mask over its layer.
#include <algorithm>
#include <cstring>

#include "base/error_codes.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/layer_image_gray.h"
#include "engine/pixels/merge_kernels.h"
#include "engine/pixels/merge_stored_channel.h"
#include "engine/pixels/merge_tile.h"
#include "engine/pixels/scratch_pages.h"

using lumatra::ScratchPages;
using lumatra::merge::GrayOp;

namespace {

constexpr int32_t kSide = 256;
constexpr PTzRECT kWholeBlock = {0, 0, kSide, kSide};

_tagITzMERGEDATA MergeOf(const ITzLayerBase& layer)
{
    _tagITzMERGEDATA merge;
    layer.GetMergeData(&merge);
    return merge;
}

// The merge types a gray floating mask applies by value: 3 union, 5 intersect, 6 reverse
// subtract, 7 subtract.
bool ValueMerge(int32_t type, GrayOp& op)
{
    switch (type) {
    case ITzMERGE_NORMAL:
        op = GrayOp::Union;
        return true;
    case ITzMERGE_INTERSECT:
        op = GrayOp::Multiply;
        return true;
    case ITzMERGE_INVERT:
        op = GrayOp::ReverseSubtract;
        return true;
    case ITzMERGE_SUBTRACT:
        op = GrayOp::Subtract;
        return true;
    default:
        return false;
    }
}

// Merges the source into the part of the record; only the part changes. The source is
// the page (rows of 256, the source over `part`), uniform at `value` when `uniform`; for
// the whole block the page is then not read. False when memory is short.
bool MergePart(ITzLayerImageGray& layer, const _tagITzMERGEDATA& merge, GrayOp op, _tagITzBLOCKINFOGRAY& record,
               const uint8_t* page, bool uniform, uint8_t value, const PTzRECT& part)
{
    if (PTzRectEqual(&part, &kWholeBlock)) {
        _tagITzCHANNELDATA channel = {record.data, record.constant};
        if (!ITzMergeStoredChannelBuffer(&merge, &channel, page, uniform, value))
            return false;
        record.data = channel.data;
        record.constant = channel.constant;
        return true;
    }
    if (uniform && !record.data && ITzMergeGrayValue(&merge, value, record.constant) == record.constant)
        return true;
    const bool expanding = !record.data;
    if (layer.UncompressBlock(&record) != 0)
        return false;
    {
        const PTzHandleLockGuard data(record.data);
        if (!data) {
            if (expanding) {
                PTzHandleFree(record.data);
                record.data = nullptr;
            }
            return false;
        }
        lumatra::merge::Job job;
        const ptrdiff_t at = ptrdiff_t(part.top) * kSide + part.left;
        job.source[0] = page + at;
        job.dest[0] = data.bytes() + at;
        job.sourceStride = job.destStride = kSide;
        job.width = part.right - part.left;
        job.height = part.bottom - part.top;
        job.opacity = merge.opacity;
        lumatra::merge::GrayPlane(op, job);
    }
    layer.CompressBlock(&record);
    return true;
}

// Replaces the part of the record by the source, given as for MergePart. False when
// memory is short.
bool ReplacePart(ITzLayerImageGray& layer, _tagITzBLOCKINFOGRAY& record, const uint8_t* page, bool uniform,
                 uint8_t value, const PTzRECT& part)
{
    const bool whole = PTzRectEqual(&part, &kWholeBlock);
    if (uniform && (whole || (!record.data && record.constant == value))) {
        if (record.data)
            PTzHandleFree(record.data);
        record.data = nullptr;
        record.constant = value;
        return true;
    }
    const bool expanding = !record.data;
    if (layer.UncompressBlock(&record) != 0)
        return false;
    {
        const PTzHandleLockGuard data(record.data);
        if (!data) {
            if (expanding) {
                PTzHandleFree(record.data);
                record.data = nullptr;
            }
            return false;
        }
        for (int32_t y = part.top; y < part.bottom; ++y)
            std::memcpy(data.bytes() + y * kSide + part.left, page + y * kSide + part.left,
                        size_t(part.right - part.left));
    }
    layer.CompressBlock(&record);
    return true;
}

}  // namespace

int ITzLayerImageGray::FloatMergeBlock(ITzLayerImage* floating, uint32_t sourceBlock, uint32_t targetBlock,
                                       _tagITzBLOCKMEMORYGRAY*)
{
    auto* source = dynamic_cast<ITzLayerImageGray*>(floating);
    _tagITzBLOCKINFOGRAY floated, target;
    if (!source || source->GetBlockInfo(sourceBlock, &floated, 0) != 0 ||
        ITzLayerImageGray::GetBlockInfo(targetBlock, &target, 0) != 0)
        return 0;
    const _tagITzMERGEDATA merge = MergeOf(*floating);
    if (merge.mergeType == ITzMERGE_REPLACE) {
        // The target takes a copy: the floating layer keeps its pixels for an undo that
        // gives it back.
        _tagITzBLOCKINFOGRAY copy;
        if (!source->CopyBlockData(sourceBlock, &copy))
            return 0;
        if (StoreChanged(targetBlock, copy) != 0) {
            DestroyBlockData(&copy);
            return 0;
        }
        DestroyBlockData(&target);
        return 1;
    }
    GrayOp op;
    if (!ValueMerge(merge.mergeType, op))
        return 1;
    // The union with a uniform 0 keeps every value: the target stays as compact as it is.
    if (op == GrayOp::Union && !floated.data && floated.constant == 0)
        return 1;
    _tagITzCHANNELDATA channel = {target.data, target.constant};
    const _tagITzCHANNELDATA from = {floated.data, floated.constant};
    if (!ITzMergeStoredChannel(&merge, &channel, &from))
        return 0;
    target.data = channel.data;
    target.constant = channel.constant;
    return StoreChanged(targetBlock, target) == 0;
}

int ITzLayerImageGray::FloatMergeRect(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                      ITzLayerImage* floating, const PTzRECT* floatingRect,
                                      _tagITzBLOCKMEMORYGRAY* mask)
{
    if (!floating || floating->GetColorMode() != m_colorMode || floating->GetBitDepth() != m_bitDepth)
        return 0;
    return FloatMergeRectForSameType(position, rect, floating, floatingRect, mask);
}

int ITzLayerImageGray::FloatMergeRectForSameType(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                                 ITzLayerImage* floating, const PTzRECT* floatingRect,
                                                 _tagITzBLOCKMEMORYGRAY*)
{
    auto* source = dynamic_cast<ITzLayerImageGray*>(floating);
    const uint32_t index = BlockPosToIndex(position);
    PTzRECT sourceRect;
    _tagITzBLOCKINFOGRAY target;
    if (!source || !floatingRect || index == ITzBLOCK_INDEX_NONE ||
        source->PRECTtoLRECT(floatingRect, &sourceRect) != 0 ||
        ITzLayerImageGray::GetBlockInfo(index, &target, 0) != 0)
        return 0;
    PTzRECT part = kWholeBlock;
    if (rect && !PTzRectIntersect(rect, &kWholeBlock, &part))
        return 0;
    // The floating data lands at the part's place in the block; the rest stays 0.
    sourceRect.right = std::min(sourceRect.right, sourceRect.left + (part.right - part.left));
    sourceRect.bottom = std::min(sourceRect.bottom, sourceRect.top + (part.bottom - part.top));
    const PTzRECT landed = {part.left, part.top, part.left + (sourceRect.right - sourceRect.left),
                            part.top + (sourceRect.bottom - sourceRect.top)};
    const ScratchPages page(1);
    if (PTzRectEmpty(&landed) || !page.ok())
        return 0;
    std::memset(page.page(0), 0, ITzBLOCK_PAGE_BYTES);
    _tagITzGRAYMEMDATA data = {page.page(0) + part.top * kSide + part.left, 0, 0, kSide, kSide - part.top};
    if (!source->GetRectChannelData(&sourceRect, &data))
        return 0;
    // A uniform answer stands for the whole part only where the read covers it; the
    // page holds it wherever a merge of a part reads it.
    const bool uniform = data.uniform && PTzRectEqual(&landed, &part);
    if (data.uniform && !(uniform && PTzRectEqual(&part, &kWholeBlock)))
        FillBlockChannel(page.page(0), &landed, data.value);
    const _tagITzMERGEDATA merge = MergeOf(*floating);
    GrayOp op;
    bool merged = true;
    if (merge.mergeType == ITzMERGE_REPLACE)
        merged = ReplacePart(*this, target, page.page(0), uniform, data.value, part);
    else if (ValueMerge(merge.mergeType, op))
        merged = MergePart(*this, merge, op, target, page.page(0), uniform, data.value, part);
    if (!merged)
        return 0;
    return StoreChanged(index, target) == 0;
}

int ITzLayerImageGray::FloatMergeBlockDataToBlockMemory(uint32_t block, _tagITzBLOCKMEMORY* target,
                                                        _tagITzBLOCKMEMORYGRAY* mask)
{
    _tagITzBLOCKINFOGRAY record;
    if (!target || GetBlockInfo(block, &record, 0) != 0)
        return 0;
    const ScratchPages page(1);
    const CMathMerge* tables = GetMathMerge();
    if (!page.ok() || !tables || FillBlockBufferChannel(record.data, record.constant, page.page(0)) != 0)
        return 0;
    const _tagITzBLOCKMEMORY source = {6, {page.page(0)}};
    const _tagITzMERGEDATA merge = MergeOf(*this);
    if (mask && mask->plane)
        ITzMergeTaggedBlockMask(&merge, target, &source, tables, mask->plane);
    else
        ITzMergeTaggedBlock(&merge, target, &source, tables);
    return 1;
}

int ITzLayerImageGray::FloatMergeRectDataToBlockMemory(const PTzRECT* rect, _tagITzBLOCKMEMORY* target,
                                                       _tagITzBLOCKMEMORYGRAY* mask)
{
    if (!rect || !target)
        return 0;
    const ScratchPages page(1);
    const CMathMerge* tables = GetMathMerge();
    if (!page.ok() || !tables)
        return 0;
    _tagITzGRAYMEMDATA data = {page.page(0), 0, 0, kSide, kSide};
    if (!GetRectChannelData(rect, &data))
        return 0;
    if (data.uniform)
        std::memset(page.page(0), data.value, ITzBLOCK_PAGE_BYTES);
    const _tagITzBLOCKMEMORY source = {6, {page.page(0)}};
    const _tagITzMERGEDATA merge = MergeOf(*this);
    if (mask && mask->plane)
        ITzMergeTaggedBlockMask(&merge, target, &source, tables, mask->plane);
    else
        ITzMergeTaggedBlock(&merge, target, &source, tables);
    return 1;
}

int ITzLayerImageGray::FloatMergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                          const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                          ITzLayerImage* selection)
{
    return FloatMergeThroughTiles(bitmap, rect, level, zoomX, zoomY, selection, 8);
}
