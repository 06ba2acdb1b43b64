// The ARGB layer's block list and records: construction and copies, reading and
// storing records with exact handle ownership, inserting and removing blocks.
#include "engine/pixels/layer_image_argb.h"

#include <memory>
#include <new>

#include "base/error_codes.h"
#include "engine/pixels/block_info_argb.h"
#include "engine/pixels/block_list.h"

namespace {

using ARGBLayerPointer = std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer>;

}  // namespace

ITzLayerImageARGB::ITzLayerImageARGB()
{
    m_type = ITzLAYERTYPE_ARGB;
    m_colorMode = PTzCOLORMODE_ARGB;
    m_bitDepth = 32;
    InitBlockList();
}

ITzLayerImageARGB::ITzLayerImageARGB(const ITzLayerImageARGB* source) : ITzLayerImage(source)
{
    InitBlockList();
}

ITzLayerImageARGB::~ITzLayerImageARGB()
{
    DestoryBlockList();
}

int ITzLayerImageARGB::RebuildWithDib(const BITMAPINFOHEADER*)
{
    return ITzERR_INVALID;
}

int ITzLayerImageARGB::GetBlockInfo(uint32_t index, _tagITzBLOCKINFOARGB* out, int)
{
    if (!out || !m_blockList)
        return ITzERR_INVALID;
    return lumatra::BlockListGet(m_blockList, index, out);
}

int ITzLayerImageARGB::SetBlockInfo(uint32_t index, const _tagITzBLOCKINFOARGB* record)
{
    if (!record || !m_blockList)
        return ITzERR_INVALID;
    return PTzTwoLevelHandleSetItemData(m_blockList, index, record);
}

int ITzLayerImageARGB::InitBlockList()
{
    return lumatra::BlockListInit<_tagITzBLOCKINFOARGB>(m_blockList);
}

int ITzLayerImageARGB::DestoryBlockList()
{
    return lumatra::BlockListDestroy<_tagITzBLOCKINFOARGB>(m_blockList, DestroyBlockData);
}

int ITzLayerImageARGB::UncompressBlock(_tagITzBLOCKINFOARGB* record)
{
    return ITzBlockInfoARGBExpand(record);
}

int ITzLayerImageARGB::CompressBlock(_tagITzBLOCKINFOARGB* record)
{
    return ITzBlockInfoARGBCompress(record);
}

int ITzLayerImageARGB::CopyBlockData(uint32_t index, _tagITzBLOCKINFOARGB* out)
{
    _tagITzBLOCKINFOARGB record;
    if (!out || ITzLayerImageARGB::GetBlockInfo(index, &record, 0) != 0)
        return 0;
    if (!ITzBlockInfoARGBDuplicate(&record, out)) {
        PTzSetLastError(ITzERR_CHANNEL_EXPAND);
        return 0;
    }
    return 1;
}

int ITzLayerImageARGB::DestroyBlockData(_tagITzBLOCKINFOARGB* record)
{
    return ITzBlockInfoARGBDestroy(record);
}

int ITzLayerImageARGB::IsBlockEmpty(const _tagITzBLOCKINFOARGB* record)
{
    return record && (record->flags & ITzBLOCK_PRESENT) && !record->channels[0] && record->constants[0] == 0;
}

ITzLayerImage* ITzLayerImageARGB::CopyLayer()
{
    ARGBLayerPointer copy(new (std::nothrow) ITzLayerImageARGB(this));
    if (!copy || !copy->m_blockList || !copy->CopyBlocksFrom<_tagITzBLOCKINFOARGB>(*this))
        return nullptr;
    return copy.release();
}

ITzLayerBase* ITzLayerImageARGB::CreateCopyLayer()
{
    return CopyLayer();
}

ITzLayerImage* ITzLayerImageARGB::CreateSameTypeLayer()
{
    ARGBLayerPointer layer(new (std::nothrow) ITzLayerImageARGB());
    return layer && layer->m_blockList ? layer.release() : nullptr;
}

ITzLayerImage* ITzLayerImageARGB::CreateFloatingLayerCore()
{
    return CreateSameTypeLayer();
}

uint32_t ITzLayerImageARGB::GetChannelCount()
{
    return 4;
}

_tagITzBLOCKTYPE ITzLayerImageARGB::GetBlockType()
{
    return ITzBLOCKTYPE_ARGB;
}

int ITzLayerImageARGB::GetBlockInfo(uint32_t index, _tagITzBLOCKDATAINFO* info, int fill)
{
    if (!info)
        return ITzERR_INVALID;
    _tagITzBLOCKINFOARGB record;
    const int read = GetBlockInfo(index, &record, fill);
    if (read != 0 && read != ITzERR_BLOCK_ABSENT)
        return read;
    // Handles an invalidated block still keeps are not for callers to take.
    *info = ToDataInfo(read == 0 ? record : _tagITzBLOCKINFOARGB{});
    return read;
}

_tagITzBLOCKDATAINFO ITzLayerImageARGB::ToDataInfo(const _tagITzBLOCKINFOARGB& record)
{
    _tagITzBLOCKDATAINFO info = {3, {}};
    for (int c = 0; c < 4; ++c)
        info.channels[c] = {record.channels[c], record.constants[c]};
    return info;
}

bool ITzLayerImageARGB::ReadARGBBlock(ITzLayerImage* layer, uint32_t index, _tagITzBLOCKINFOARGB& record)
{
    _tagITzBLOCKDATAINFO info;
    if (!layer || layer->GetBlockInfo(index, &info, 0) != 0 || info.lastChannel != 3)
        return false;
    record = {ITzBLOCK_PRESENT, {}, {}};
    for (int c = 0; c < 4; ++c) {
        record.channels[c] = info.channels[c].data;
        record.constants[c] = info.channels[c].constant;
    }
    return true;
}

int ITzLayerImageARGB::SetBlockInfo(uint32_t index, const _tagITzBLOCKDATAINFO* info)
{
    if (!info)
        return ITzERR_INVALID;
    _tagITzBLOCKINFOARGB old;
    const int read = ITzLayerImageARGB::GetBlockInfo(index, &old, 0);
    if (read != 0 && read != ITzERR_BLOCK_ABSENT)
        return read;
    _tagITzBLOCKINFOARGB incoming = {};
    for (uint32_t c = 0; c <= info->lastChannel && c < 4; ++c)
        incoming.channels[c] = info->channels[c].data;
    _tagITzBLOCKINFOARGB stored = {};
    if (info->lastChannel == 3) {
        stored = incoming;
        stored.flags = ITzBLOCK_PRESENT;
        for (int c = 0; c < 4; ++c)
            stored.constants[c] = info->channels[c].constant;
    }
    const int written = SetBlockInfo(index, &stored);
    if (written != 0)
        return written;
    ITzBlockInfoARGBFreeReplaced(&old, &stored);
    // Another kind stores a missing block: the layer took its handles over and drops
    // them, except those just freed as the old record's.
    if (info->lastChannel != 3)
        ITzBlockInfoARGBFreeReplaced(&incoming, &old);
    return 0;
}

int ITzLayerImageARGB::InsertBlock(uint32_t index, int present)
{
    if (!m_blockList)
        return ITzERR_INVALID;
    const _tagITzBLOCKINFOARGB record = {present ? ITzBLOCK_PRESENT : 0u, {}, {}};
    return PTzTwoLevelHandleInsertItem(m_blockList, index, &record);
}

int ITzLayerImageARGB::RemoveBlock(uint32_t index)
{
    if (!m_blockList)
        return ITzERR_INVALID;
    _tagITzBLOCKINFOARGB record;
    const int read = PTzTwoLevelHandleGetItemData(m_blockList, index, &record);
    if (read != 0)
        return read;
    const int removed = PTzTwoLevelHandleRemoveItems(m_blockList, index, 1);
    if (removed == 0)
        DestroyBlockData(&record);  // missing records may still hold handles
    return removed;
}

int ITzLayerImageARGB::BlockDataAvailable(uint32_t index)
{
    _tagITzBLOCKINFOARGB record;
    return GetBlockInfo(index, &record, 0) == 0;
}

int ITzLayerImageARGB::BlockDataInvalid(uint32_t index)
{
    _tagITzBLOCKINFOARGB record;
    if (ITzLayerImageARGB::GetBlockInfo(index, &record, 0) != 0)
        return 0;
    record.flags &= ~ITzBLOCK_PRESENT;
    return SetBlockInfo(index, &record) == 0;
}

int ITzLayerImageARGB::SetBlockColor(uint32_t index, const _tagPTzCOLOR* colour)
{
    _tagITzBLOCKINFOARGB record;
    if (!colour)
        return 0;
    const int read = ITzLayerImageARGB::GetBlockInfo(index, &record, 0);
    if (read != 0 && read != ITzERR_BLOCK_ABSENT)
        return 0;
    const _tagITzBLOCKINFOARGB coloured = {
        ITzBLOCK_PRESENT, {}, {colour->alpha, colour->components[0], colour->components[1], colour->components[2]}};
    if (SetBlockInfo(index, &coloured) != 0)
        return 0;
    DestroyBlockData(&record);
    return 1;
}

int ITzLayerImageARGB::StoreChanged(uint32_t index, const _tagITzBLOCKINFOARGB& record)
{
    const int stored = SetBlockInfo(index, &record);
    if (stored == 0)
        BlockDataUpdated(index);
    return stored;
}

int ITzLayerImageARGB::LoadNeedConvertColor(_tagPTzCOLORMODE* mode, uint16_t* bitDepth)
{
    if (!mode || !bitDepth)
        return 0;
    switch (*mode) {
    case PTzCOLORMODE_RGB:
    case PTzCOLORMODE_BGR:
        if (*bitDepth == 24)
            return 0;
        *bitDepth = 24;
        return 1;
    case PTzCOLORMODE_ARGB:
        if (*bitDepth == 32)
            return 0;
        *bitDepth = 32;
        return 1;
    case PTzCOLORMODE_ACMYK:
        *mode = PTzCOLORMODE_ARGB;
        *bitDepth = 32;
        return 1;
    default:
        *mode = PTzCOLORMODE_RGB;
        *bitDepth = 24;
        return 1;
    }
}
