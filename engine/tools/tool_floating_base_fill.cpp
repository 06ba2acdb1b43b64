// Filling a block of a floating layer from a block of another ARGB layer: a whole block is
// copied channel by channel, a part of one merged alpha-over.
#include "base/memory.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/merge_channel_bitmap.h"
#include "engine/pixels/scratch_pages.h"
#include "engine/tools/tool_floating_base.h"

namespace {

bool IsWholeBlock(const PTzRECT& rect)
{
    return rect.left == 0 && rect.top == 0 && rect.right == ITzBLOCK_SIDE && rect.bottom == ITzBLOCK_SIDE;
}

// Gives every channel that will receive a handle's bytes a handle of its own first, so
// that the copy cannot run out of memory half way: true, or false with `record` as it was.
bool MakeTargetHandles(const _tagITzBLOCKINFOARGB& source, _tagITzBLOCKINFOARGB& record)
{
    PTzHANDLE made[4] = {};
    for (int c = 0; c < 4; ++c) {
        if (!source.channels[c] || record.channels[c])
            continue;
        made[c] = PTzHandleNew(ITzBLOCK_PAGE_BYTES);
        if (!made[c]) {
            for (PTzHANDLE handle : made)
                if (handle)
                    PTzHandleFree(handle);
            return false;
        }
    }
    for (int c = 0; c < 4; ++c)
        if (made[c])
            record.channels[c] = made[c];
    return true;
}

// A 256 x 256 channel bitmap of kind 3 over four pages.
_tagITzCHANNELBITMAP BlockBitmap(uint8_t* const planes[4])
{
    return {ITzBLOCK_SIDE, ITzBLOCK_SIDE, ITzBLOCK_SIDE, int32_t(PTzCOLORMODE_ARGB),
            {planes[0], planes[1], planes[2], planes[3], nullptr}};
}

}  // namespace

int ITzToolFloatingBase::CopyChannel(void* sourceHandle, uint8_t value, void** destHandle, uint8_t* destValue)
{
    if (!destHandle || !destValue)
        return 0;
    if (!sourceHandle) {
        *destValue = value;
        if (*destHandle)
            PTzHandleFree(*destHandle);
        *destHandle = nullptr;
        return 1;
    }
    if (!*destHandle && !(*destHandle = PTzHandleNew(ITzBLOCK_PAGE_BYTES)))
        return 0;
    if (PTzBlockSize(*destHandle) < ITzBLOCK_PAGE_BYTES)
        return 0;
    const PTzHandleLockGuard dest(*destHandle);
    return dest && ITzChannelToPage(sourceHandle, 0, dest.bytes()) == 0 ? 1 : 0;
}

int ITzToolFloatingBase::FillFloatBlockWithData(ITzLayerImage* source, _tagITzBLOCKPOSITION* sourcePosition,
                                                PTzRECT* rect, ITzLayerImage* dest,
                                                _tagITzBLOCKPOSITION* destPosition)
{
    auto* argbSource = dynamic_cast<ITzLayerImageARGB*>(source);
    auto* argbDest = dynamic_cast<ITzLayerImageARGB*>(dest);
    if (!argbSource || !sourcePosition || !rect || !argbDest || !destPosition)
        return 0;
    return FillFloatBlockWithDataARGB(argbSource, sourcePosition, rect, argbDest, destPosition);
}

int ITzToolFloatingBase::FillFloatBlockWithDataARGB(ITzLayerImageARGB* source, _tagITzBLOCKPOSITION* sourcePosition,
                                                    PTzRECT* rect, ITzLayerImageARGB* dest,
                                                    _tagITzBLOCKPOSITION* destPosition)
{
    if (!source || !sourcePosition || !rect || !dest || !destPosition)
        return 0;
    const uint32_t sourceIndex = source->BlockPosToIndex(sourcePosition);
    const uint32_t destIndex = dest->BlockPosToIndex(destPosition);
    _tagITzBLOCKINFOARGB from, to;
    if (source->GetBlockInfo(sourceIndex, &from, 0) != 0 || dest->GetBlockInfo(destIndex, &to, 0) != 0)
        return 0;
    _tagITzBLOCKINFOARGB written = to;
    if (IsWholeBlock(*rect)) {
        if (!MakeTargetHandles(from, written))
            return 0;
        // With every handle in place only an unreadable handle can fail a channel; the
        // record is stored anyway, since uniform channels already dropped their handles.
        bool copied = true;
        for (int c = 0; c < 4; ++c)
            copied &= CopyChannel(from.channels[c], from.constants[c], &written.channels[c],
                                  &written.constants[c]) != 0;
        return dest->SetBlockInfo(destIndex, &written) == 0 && copied ? 1 : 0;
    }
    const lumatra::ScratchPages pages(4);
    _tagITzBlockBUFFER expanded = {{pages.page(0), pages.page(1), pages.page(2), pages.page(3)}};
    if (!pages.ok() || source->FillBlockBuffer(&from, &expanded) != 0 || dest->UncompressBlock(&written) != 0)
        return 0;
    bool merged = false;
    {
        const PTzHandleLockGuard a(written.channels[0]), r(written.channels[1]), g(written.channels[2]),
            b(written.channels[3]);
        merged = a && r && g && b;
        if (merged) {
            uint8_t* const targetPlanes[4] = {a.bytes(), r.bytes(), g.bytes(), b.bytes()};
            _tagITzCHANNELBITMAP target = BlockBitmap(targetPlanes);
            const _tagITzCHANNELBITMAP over = BlockBitmap(expanded.planes);
            const _tagITzMERGEDATA merge = {ITzMERGE_NORMAL, 255};
            ITzMergeChannelBitmap(&merge, 255, nullptr, &target, GetMathMerge(), rect, &over, rect, nullptr);
        }
    }
    // Stored even when unmerged: the expanded channels' handles are the record's now.
    dest->CompressBlock(&written);
    return dest->SetBlockInfo(destIndex, &written) == 0 && merged ? 1 : 0;
}
