// The preview-cache levels: blocks built on first read from the nearest finer level with
// data, and rebuilt in part when the source layer changes. The outline is shared; the
// ARGB and gray kinds differ in how they lock a block and which channels they rebuild.
#include "engine/pixels/preview_cache_level.h"

#include <memory>
#include <new>

#include "base/error_codes.h"
#include "engine/pixels/block_info_argb.h"
#include "engine/pixels/block_view_argb.h"
#include "engine/pixels/layer_image_walk.h"
#include "engine/pixels/preview_cache_fill.h"
#include "engine/pixels/preview_cache_levels.h"
#include "engine/pixels/preview_cache_manager.h"

using lumatra::ARGBBlockWriter;
using lumatra::BlockPart;

namespace {

// What the kinds do differently, one specialisation per record:
// - ReduceIntoChannel reduces a rectangle of a finer level (or of the source layer) by
//   2^shift into `part` of one channel page: 0, or nonzero when it could not;
// - BuildBlock fills the expanded block `built` under `inBlock` from the finer levels:
//   0 or the failure;
// - RebuildBlockPart rebuilds the channels the flags ask for under `inBlock`;
// - UpdateFromSource rebuilds a block's part straight from the source layer: the
//   source's result, 0 when the block could not be written;
// - FreeAdded frees the handles `changed` carries that `old` does not.
template <class Record>
struct PreviewCacheKind;

template <>
struct PreviewCacheKind<_tagITzBLOCKINFOARGB> {
    using Level = ITzPreviewCacheARGB;
    using Record = _tagITzBLOCKINFOARGB;

    // The four locked pages of an expanded block.
    static _tagITzBLOCKMEMORYARGB Pages(const ARGBBlockWriter& writer)
    {
        return {{writer.page(0), writer.page(1), writer.page(2), writer.page(3)}, {}};
    }

    static int ReduceIntoChannel(ITzLayerImage& layer, const PTzRECT& rect, uint8_t* page, const PTzRECT& part,
                                 uint32_t shift)
    {
        return static_cast<ITzLayerImageARGB&>(layer).FillPreviewCacheChannelData(&rect, page, &part, shift, 0);
    }

    static int BuildBlock(Level& level, const Record& built, const PTzRECT& inBlock, const PTzPOINT& corner)
    {
        const ARGBBlockWriter writer(built);
        if (!writer.complete())
            return ITzERR_INVALID;
        _tagITzBLOCKMEMORYARGB memory = Pages(writer);
        auto reduce = [&memory](ITzLayerImage& layer, const PTzRECT& rect, const PTzRECT& part, uint32_t shift,
                                bool fromSource) {
            return static_cast<ITzLayerImageARGB&>(layer).FillPreviewCacheData(&rect, &memory, &part, shift,
                                                                              fromSource ? 1 : 0);
        };
        return lumatra::FillBlockPart(*level.GetManager(), level.GetLevel(), inBlock, corner, reduce);
    }

    // Flags bit 0: the alpha channel; bit 4: the block expanded, and its channels locked
    // and unlocked once, for the writes that follow.
    static void RebuildBlockPart(Level& level, Record& record, const PTzRECT& inBlock, const PTzPOINT& corner,
                                 uint8_t flags)
    {
        if (flags & 0x01) {
            _tagITzCHANNELDATA alpha = {record.channels[0], record.constants[0]};
            level.PreviewUpdateRectChannel(&alpha, &inBlock, &corner, flags);
            record.channels[0] = alpha.data;
            record.constants[0] = alpha.constant;
        }
        if ((flags & 0x10) && ITzBlockInfoARGBExpand(&record) == 0) {
            const ARGBBlockWriter locked(record);
        }
    }

    // Type 1: the alpha channel; type 16: all four.
    static int UpdateFromSource(Level& level, ITzLayerImage& source, Record& record, const PTzRECT& part,
                                const PTzRECT& sourceRect, uint8_t type)
    {
        if (type == 1) {
            _tagITzCHANNELDATA alpha = {record.channels[0], record.constants[0]};
            if (!alpha.data && !ITzLayerImage::UncompressChannel(&alpha))
                return 0;
            record.channels[0] = alpha.data;
            return source.FillCacheBlockAlpha(&alpha, &part, &sourceRect, level.GetLevel());
        }
        if (ITzBlockInfoARGBExpand(&record) != 0)
            return 0;
        const ARGBBlockWriter writer(record);
        _tagITzBLOCKMEMORYARGB memory = Pages(writer);
        return writer.complete() ? source.FillCacheBlock(&memory, &part, &sourceRect, level.GetLevel()) : 0;
    }

    static void FreeAdded(const Record& changed, const Record& old) { ITzBlockInfoARGBFreeReplaced(&changed, &old); }
};

// A mask's one channel is rebuilt whatever the flags or the type ask for.
template <>
struct PreviewCacheKind<_tagITzBLOCKINFOGRAY> {
    using Level = ITzPreviewCacheGray;
    using Record = _tagITzBLOCKINFOGRAY;

    static int ReduceIntoChannel(ITzLayerImage& layer, const PTzRECT& rect, uint8_t* page, const PTzRECT& part,
                                 uint32_t shift)
    {
        _tagITzBLOCKMEMORYGRAY target = {page};
        return static_cast<ITzLayerImageGray&>(layer).FillPreviewCacheData(&rect, &target, &part, shift);
    }

    static int BuildBlock(Level& level, const Record& built, const PTzRECT& inBlock, const PTzPOINT& corner)
    {
        const PTzHandleLockGuard page(built.data);
        if (!page)
            return ITzERR_INVALID;
        auto reduce = [&page](ITzLayerImage& layer, const PTzRECT& rect, const PTzRECT& part, uint32_t shift, bool) {
            return ReduceIntoChannel(layer, rect, page.bytes(), part, shift);
        };
        return lumatra::FillBlockPart(*level.GetManager(), level.GetLevel(), inBlock, corner, reduce);
    }

    static void RebuildBlockPart(Level& level, Record& record, const PTzRECT& inBlock, const PTzPOINT& corner,
                                 uint8_t flags)
    {
        _tagITzCHANNELDATA channel = {record.data, record.constant};
        level.PreviewUpdateRectChannel(&channel, &inBlock, &corner, flags);
        record.data = channel.data;
        record.constant = channel.constant;
    }

    static int UpdateFromSource(Level& level, ITzLayerImage& source, Record& record, const PTzRECT& part,
                                const PTzRECT& sourceRect, uint8_t /*type*/)
    {
        _tagITzCHANNELDATA channel = {record.data, record.constant};
        if (!channel.data && !ITzLayerImage::UncompressChannel(&channel))
            return 0;
        record.data = channel.data;
        return source.FillCacheBlockAlpha(&channel, &part, &sourceRect, level.GetLevel());
    }

    static void FreeAdded(const Record& changed, const Record& old)
    {
        if (changed.data != old.data)
            PTzHandleFree(changed.data);
    }
};

}  // namespace

template <class Record>
ITzPreviewCacheLevel<Record>::ITzPreviewCacheLevel(ITzPreviewCacheManager* manager, uint8_t level)
    : ITzPreviewCacheCommon(manager, level)
{
}

template <class Record>
ITzPreviewCacheLevel<Record>::~ITzPreviewCacheLevel() = default;

template <class Record>
ITzLayerImage* ITzPreviewCacheLevel<Record>::Create(uint32_t level, ITzPreviewCacheLink* link)
{
    auto* manager = dynamic_cast<ITzPreviewCacheManager*>(link);
    if (!manager || level < 1 || level > lumatra::kPreviewLevels || !dynamic_cast<Layer*>(manager->GetSourceLayer()))
        return nullptr;
    std::unique_ptr<ITzPreviewCacheLevel, ITzLayerDestroyer> layer(new (std::nothrow)
                                                                       ITzPreviewCacheLevel(manager, uint8_t(level)));
    return layer && layer->m_blockList ? layer.release() : nullptr;
}

template <class Record>
int ITzPreviewCacheLevel<Record>::GetBlockInfo(uint32_t index, Record* out, int fill)
{
    const int read = Layer::GetBlockInfo(index, out, fill);
    if (read != ITzERR_BLOCK_ABSENT || !fill || !PrepareBlockData(index))
        return read;
    return Layer::GetBlockInfo(index, out, fill);
}

template <class Record>
int ITzPreviewCacheLevel<Record>::PrepareBlockData(uint32_t index)
{
    Record record;
    const int read = Layer::GetBlockInfo(index, &record, 0);
    PTzRECT block, bounds, inside;
    if ((read != 0 && read != ITzERR_BLOCK_ABSENT) || !m_manager || this->GetBlockPictRect(index, &block) != 0 ||
        this->GetBounds(&bounds) != 0 || !PTzRectIntersect(&block, &bounds, &inside))
        return 0;
    // A block dropped by an edit still holds its handles: they are written over.
    Record built = record;
    if (this->UncompressBlock(&built) != 0)
        return 0;
    const PTzRECT inBlock = {inside.left - block.left, inside.top - block.top, inside.right - block.left,
                             inside.bottom - block.top};
    const int result = PreviewCacheKind<Record>::BuildBlock(*this, built, inBlock, {inside.left, inside.top});
    // A failed build stays missing (with its handles), so the next read tries again.
    built.flags = result == 0 ? ITzBLOCK_PRESENT : 0;
    if (Layer::SetBlockInfo(index, &built) != 0) {
        PreviewCacheKind<Record>::FreeAdded(built, record);
        return 0;
    }
    if (result != 0)
        return 0;
    this->CompressBlock(index);
    return 1;
}

template <class Record>
int ITzPreviewCacheLevel<Record>::PreviewUpdateRectChannel(_tagITzCHANNELDATA* channel, const PTzRECT* inBlock,
                                                           const PTzPOINT* corner, uint8_t /*flags*/)
{
    if (!channel || !inBlock || !corner || !m_manager)
        return 0;
    const PTzRECT whole = {0, 0, ITzBLOCK_SIDE, ITzBLOCK_SIDE};
    PTzRECT part;
    if (!PTzRectIntersect(inBlock, &whole, &part))
        return 1;
    if (!channel->data && !this->UncompressChannel(channel))
        return 0;
    const PTzHandleLockGuard page(channel->data);
    if (!page)
        return 0;
    auto reduce = [&page](ITzLayerImage& layer, const PTzRECT& rect, const PTzRECT& target, uint32_t shift, bool) {
        return PreviewCacheKind<Record>::ReduceIntoChannel(layer, rect, page.bytes(), target, shift);
    };
    const PTzPOINT first = {corner->x + (part.left - inBlock->left), corner->y + (part.top - inBlock->top)};
    return lumatra::FillBlockPart(*m_manager, m_level, part, first, reduce) == 0 ? 1 : 0;
}

template <class Record>
int ITzPreviewCacheLevel<Record>::PreviewUpdateRectBlock(uint32_t index, const PTzRECT* inBlock,
                                                         const PTzRECT* pictureRect, uint8_t flags)
{
    Record record;
    if (!inBlock || !pictureRect || Layer::GetBlockInfo(index, &record, 0) != 0)
        return 0;
    Record updated = record;
    PreviewCacheKind<Record>::RebuildBlockPart(*this, updated, *inBlock, {pictureRect->left, pictureRect->top},
                                               flags);
    StoreOrDrop(index, updated, record);
    return 0;
}

template <class Record>
int ITzPreviewCacheLevel<Record>::PreviewUpdateRectDataFromDatalayer(const PTzRECT* rect, const PTzPOINT* source,
                                                                     uint8_t type)
{
    PTzRECT local, grid;
    if (!rect || !source || !m_manager || (type != 1 && type != 16) || this->PRECTtoLRECT(rect, &local) != 0 ||
        !this->ClipToGrid(local, true, grid))
        return 0;
    ITzLayerImage* from = m_manager->GetSourceLayer();
    int result = 0;
    lumatra::WalkGridRect(grid, this->m_blockCountX, [&](const BlockPart& block) {
        Record record;
        PTzRECT blockRect, sourceRect;
        // A missing block is built whole when read.
        if (Layer::GetBlockInfo(block.index, &record, 0) != 0 || this->GetBlockPictRect(block.index, &blockRect) != 0)
            return true;
        const _tagPTzOFFSET corner = {blockRect.left, blockRect.top};
        PTzRECT part;
        PTzRectOffset(&block.part, &corner, &part);
        if (!lumatra::PartSourceRect(*rect, *source, part, m_level, sourceRect))
            return true;
        Record updated = record;
        result = PreviewCacheKind<Record>::UpdateFromSource(*this, *from, updated, block.part, sourceRect, type);
        StoreOrDrop(block.index, updated, record);
        return true;
    });
    return result;
}

template <class Record>
int ITzPreviewCacheLevel<Record>::InitGrowedBlock(uint32_t index, _tagITzIMAGELAYERBLOCKINITCBSTR* init)
{
    if (!init || !init->callback)
        return 0;
    return init->callback(this, m_level, index, init->user);
}

template <class Record>
void ITzPreviewCacheLevel<Record>::StoreOrDrop(uint32_t index, const Record& changed, const Record& old)
{
    if (Layer::SetBlockInfo(index, &changed) != 0)
        PreviewCacheKind<Record>::FreeAdded(changed, old);
}

template class ITzPreviewCacheLevel<_tagITzBLOCKINFOARGB>;
template class ITzPreviewCacheLevel<_tagITzBLOCKINFOGRAY>;
