// The image layers' two-level list of block records, shared by the kinds over their
// record type: making the list, reading a record, copying a list (and with it a layer's
// blocks), and freeing the list together with the handles its records own.
#pragma once

#include <cstdint>

#include "base/error_codes.h"
#include "base/two_level_handle.h"
#include "engine/pixels/block_records.h"
#include "engine/pixels/layer_image.h"

namespace lumatra {

constexpr uint16_t kBlockListPageBytes = 0x4000;

// Makes the list when there is none: 0, or the allocation's error.
template <typename Record>
int BlockListInit(PTzTWOLEVELHANDLE& list)
{
    if (!list)
        list = PTzCreatTwoLevelHandle_1(uint16_t(sizeof(Record)), kBlockListPageBytes);
    return list ? 0 : PTzLastErrorOr(PTzERR_OUT_OF_MEMORY);
}

// Frees each record's handles through `destroy`, then the list itself.
template <typename Record, typename Free>
int BlockListDestroy(PTzTWOLEVELHANDLE& list, Free destroy)
{
    if (!list)
        return 0;
    const uint32_t count = PTzTwoLevelHandleGetCount(list);
    for (uint32_t index = 0; index < count; ++index) {
        Record record;
        if (PTzTwoLevelHandleGetItemData(list, index, &record) == 0)
            destroy(&record);
    }
    PTzDestroyTwoLevelHandle(list);
    list = nullptr;
    return 0;
}

// The caller has checked `list` and `out`. The record is copied out even when missing:
// an invalidated block keeps handles the layer frees.
template <typename Record>
int BlockListGet(PTzTWOLEVELHANDLE list, uint32_t index, Record* out)
{
    Record record;
    const int read = PTzTwoLevelHandleGetItemData(list, index, &record);
    if (read != 0)
        return read;
    *out = record;
    return (record.flags & ITzBLOCK_PRESENT) ? 0 : ITzERR_BLOCK_ABSENT;
}

// Appends to `target` a deep copy of every record of `source`: a missing block stays
// missing, a present one gets handles of its own from duplicate(index, Record*) (1 on
// success). Any failure (a record that cannot be read, a handle that cannot be copied,
// a list that cannot grow) fails the copy whole: 0, and what was appended stays in
// `target` for its owner to free.
template <typename Record, typename Duplicate, typename Free>
int BlockListCopy(PTzTWOLEVELHANDLE target, PTzTWOLEVELHANDLE source, Duplicate duplicate, Free destroy)
{
    const uint32_t count = PTzTwoLevelHandleGetCount(source);
    for (uint32_t index = 0; index < count; ++index) {
        Record copy = {};
        const int read = BlockListGet(source, index, &copy);
        if (read == ITzERR_BLOCK_ABSENT)
            copy = {};
        else if (read != 0 || !duplicate(index, &copy))
            return 0;
        if (PTzTwoLevelHandleInsertItem(target, index, &copy) != 0) {
            destroy(&copy);
            return 0;
        }
    }
    return 1;
}

}  // namespace lumatra

template <typename Record, typename Kind>
int ITzLayerImage::CopyBlocksFrom(Kind& source)
{
    const auto duplicate = [&source](uint32_t index, Record* copy) { return source.CopyBlockData(index, copy); };
    if (!m_blockList || !source.m_blockList ||
        !lumatra::BlockListCopy<Record>(m_blockList, source.m_blockList, duplicate, Kind::DestroyBlockData))
        return 0;
    m_blockCountX = source.m_blockCountX;
    m_blockCountY = source.m_blockCountY;
    return 1;
}
