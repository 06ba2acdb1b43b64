// The gray layer's block list and records: construction and copies, reading and storing
// records with exact handle ownership, the one-handle expand and fold, inserting and
// removing blocks.
#include "engine/pixels/layer_image_gray.h"

#include <memory>
#include <new>

#include "base/error_codes.h"
#include "engine/pixels/block_list.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/preview_cache_level.h"

namespace {

using GrayLayerPointer = std::unique_ptr<ITzLayerImageGray, ITzLayerDestroyer>;

}  // namespace

ITzLayerImageGray::ITzLayerImageGray()
{
    m_colorMode = PTzCOLORMODE_GRAY;
    m_bitDepth = 8;
    InitBlockList();
}

ITzLayerImageGray::ITzLayerImageGray(const ITzLayerImageGray* source) : ITzLayerImage(source)
{
    m_colorMode = PTzCOLORMODE_GRAY;
    m_bitDepth = 8;
    InitBlockList();
}

ITzLayerImageGray::~ITzLayerImageGray()
{
    DestoryBlockList();
}

int ITzLayerImageGray::GetBlockInfo(uint32_t index, _tagITzBLOCKINFOGRAY* out, int)
{
    if (!out || !m_blockList)
        return PTzFail(ITzERR_INVALID);
    return lumatra::BlockListGet(m_blockList, index, out);
}

int ITzLayerImageGray::SetBlockInfo(uint32_t index, const _tagITzBLOCKINFOGRAY* record)
{
    if (!record || !m_blockList)
        return PTzFail(ITzERR_INVALID);
    return PTzTwoLevelHandleSetItemData(m_blockList, index, record);
}

int ITzLayerImageGray::InitBlockList()
{
    return lumatra::BlockListInit<_tagITzBLOCKINFOGRAY>(m_blockList);
}

int ITzLayerImageGray::DestoryBlockList()
{
    return lumatra::BlockListDestroy<_tagITzBLOCKINFOGRAY>(m_blockList, DestroyBlockData);
}

int ITzLayerImageGray::UncompressBlock(_tagITzBLOCKINFOGRAY* record)
{
    if (!record)
        return ITzERR_INVALID;
    if (record->data)
        return 0;
    PTzHANDLE data = ITzChannelExpand(record->constant);
    if (!data)
        return PTzLastErrorOr(ITzERR_CHANNEL_EXPAND);
    record->data = data;
    return 0;
}

int ITzLayerImageGray::CompressBlock(_tagITzBLOCKINFOGRAY* record)
{
    if (!record)
        return ITzERR_INVALID;
    uint8_t value = 0;
    if (record->data && ITzChannelUniform(record->data, &value)) {
        PTzHandleFree(record->data);
        record->data = nullptr;
        record->constant = value;
    }
    return 0;
}

int ITzLayerImageGray::CopyBlockData(uint32_t index, _tagITzBLOCKINFOGRAY* out)
{
    _tagITzBLOCKINFOGRAY record;
    if (!out || ITzLayerImageGray::GetBlockInfo(index, &record, 0) != 0)
        return 0;
    _tagITzBLOCKINFOGRAY copy = record;
    if (record.data && !(copy.data = ITzChannelDuplicate(record.data)))
        return PTzFailWithZero(ITzERR_CHANNEL_EXPAND);
    *out = copy;
    return 1;
}

int ITzLayerImageGray::DestroyBlockData(_tagITzBLOCKINFOGRAY* record)
{
    if (!record)
        return 0;
    if (record->data)
        PTzHandleFree(record->data);
    *record = {};
    return 1;
}

int ITzLayerImageGray::IsBlockEmpty(const _tagITzBLOCKINFOGRAY* record)
{
    return record && (record->flags & ITzBLOCK_PRESENT) && !record->data && record->constant == 0;
}

int ITzLayerImageGray::CopyBlocksFrom(ITzLayerImageGray& source)
{
    if (!m_blockList || !source.m_blockList)
        return 0;
    const uint32_t count = PTzTwoLevelHandleGetCount(source.m_blockList);
    for (uint32_t index = 0; index < count; ++index) {
        _tagITzBLOCKINFOGRAY copy = {};
        const int read = source.ITzLayerImageGray::GetBlockInfo(index, &copy, 0);
        if (read != 0 && read != ITzERR_BLOCK_ABSENT)
            return 0;
        if (read != 0)
            copy = {};
        else if (!source.CopyBlockData(index, &copy))
            return 0;
        if (PTzTwoLevelHandleInsertItem(m_blockList, index, &copy) != 0) {
            DestroyBlockData(&copy);
            return 0;
        }
    }
    m_blockCountX = source.m_blockCountX;
    m_blockCountY = source.m_blockCountY;
    return 1;
}

ITzLayerBase* ITzLayerImageGray::CreateCopyLayer()
{
    GrayLayerPointer copy(new (std::nothrow) ITzLayerImageGray(this));
    if (!copy || !copy->m_blockList || !copy->CopyBlocksFrom(*this))
        return nullptr;
    return copy.release();
}

ITzLayerImage* ITzLayerImageGray::CreateSameTypeLayer()
{
    GrayLayerPointer layer(new (std::nothrow) ITzLayerImageGray());
    return layer && layer->m_blockList ? layer.release() : nullptr;
}

// Every mask floats a plain gray mask, whatever kind derives from it.
ITzLayerImage* ITzLayerImageGray::CreateFloatingLayerCore()
{
    return ITzLayerImageGray::CreateSameTypeLayer();
}

ITzLayerImage* ITzLayerImageGray::CreateCacheLayer(uint32_t level, ITzPreviewCacheLink* manager)
{
    return ITzPreviewCacheGray::Create(level, manager);
}

uint32_t ITzLayerImageGray::GetChannelCount()
{
    return 1;
}

_tagITzBLOCKTYPE ITzLayerImageGray::GetBlockType()
{
    return ITzBLOCKTYPE_GRAY;
}

int ITzLayerImageGray::LoadNeedConvertColor(_tagPTzCOLORMODE* mode, uint16_t* bitDepth)
{
    if (!mode || !bitDepth)
        return 0;
    if (*mode == PTzCOLORMODE_GRAY && *bitDepth == 8)
        return 0;
    *mode = PTzCOLORMODE_GRAY;
    *bitDepth = 8;
    return 1;
}

int ITzLayerImageGray::GetBlockInfo(uint32_t index, _tagITzBLOCKDATAINFO* info, int fill)
{
    if (!info)
        return PTzFail(ITzERR_INVALID);
    _tagITzBLOCKINFOGRAY record;
    const int read = GetBlockInfo(index, &record, fill);
    if (read != 0 && read != ITzERR_BLOCK_ABSENT)
        return read;
    // A handle an invalidated block still keeps is not for callers to take.
    *info = {0, {}};
    if (read == 0)
        info->channels[0] = {record.data, record.constant};
    return read;
}

int ITzLayerImageGray::SetBlockInfo(uint32_t index, const _tagITzBLOCKDATAINFO* info)
{
    if (!info)
        return PTzFail(ITzERR_INVALID);
    _tagITzBLOCKINFOGRAY old;
    const int read = ITzLayerImageGray::GetBlockInfo(index, &old, 0);
    if (read != 0 && read != ITzERR_BLOCK_ABSENT)
        return read;
    const bool gray = info->lastChannel == 0;
    const _tagITzBLOCKINFOGRAY stored =
        gray ? _tagITzBLOCKINFOGRAY{info->channels[0].data, info->channels[0].constant, ITzBLOCK_PRESENT}
             : _tagITzBLOCKINFOGRAY{};
    const int written = SetBlockInfo(index, &stored);
    if (written != 0)
        return written;
    if (old.data && old.data != stored.data)
        PTzHandleFree(old.data);
    // Another kind stores a missing block: the layer took its handles over and drops
    // them, all but the old one freed just now.
    for (uint32_t c = 0; !gray && c <= info->lastChannel && c < 4; ++c)
        if (info->channels[c].data && info->channels[c].data != old.data)
            PTzHandleFree(info->channels[c].data);
    return 0;
}

int ITzLayerImageGray::InsertBlock(uint32_t index, int present)
{
    if (!m_blockList)
        return ITzERR_INVALID;
    const _tagITzBLOCKINFOGRAY record = {nullptr, 0, uint8_t(present ? ITzBLOCK_PRESENT : 0u)};
    return PTzTwoLevelHandleInsertItem(m_blockList, index, &record);
}

int ITzLayerImageGray::RemoveBlock(uint32_t index)
{
    if (!m_blockList)
        return ITzERR_INVALID;
    _tagITzBLOCKINFOGRAY record;
    const int read = PTzTwoLevelHandleGetItemData(m_blockList, index, &record);
    if (read != 0)
        return read;
    const int removed = PTzTwoLevelHandleRemoveItems(m_blockList, index, 1);
    if (removed == 0)
        DestroyBlockData(&record);  // a missing record may still hold a handle
    return removed;
}

int ITzLayerImageGray::BlockDataAvailable(uint32_t index)
{
    _tagITzBLOCKINFOGRAY record;
    return GetBlockInfo(index, &record, 0) == 0;
}

int ITzLayerImageGray::BlockDataInvalid(uint32_t index)
{
    _tagITzBLOCKINFOGRAY record;
    if (ITzLayerImageGray::GetBlockInfo(index, &record, 0) != 0)
        return 0;
    record.flags = uint8_t(record.flags & ~ITzBLOCK_PRESENT);
    return SetBlockInfo(index, &record) == 0;
}

int ITzLayerImageGray::SetBlockColor(uint32_t index, const _tagPTzCOLOR* colour)
{
    _tagITzBLOCKINFOGRAY record;
    if (!colour)
        return 0;
    const int read = ITzLayerImageGray::GetBlockInfo(index, &record, 0);
    if (read != 0 && read != ITzERR_BLOCK_ABSENT)
        return 0;
    const _tagITzBLOCKINFOGRAY coloured = {nullptr, colour->components[0], ITzBLOCK_PRESENT};
    if (SetBlockInfo(index, &coloured) != 0)
        return 0;
    DestroyBlockData(&record);
    return 1;
}

int ITzLayerImageGray::StoreChanged(uint32_t index, const _tagITzBLOCKINFOGRAY& record)
{
    const int stored = SetBlockInfo(index, &record);
    if (stored == 0)
        BlockDataUpdated(index);
    return stored;
}

bool ITzLayerImageGray::ReadGrayBlock(ITzLayerImage* layer, uint32_t index, _tagITzBLOCKINFOGRAY& record)
{
    auto* gray = dynamic_cast<ITzLayerImageGray*>(layer);
    return gray && gray->GetBlockInfo(index, &record, 0) == 0;
}
