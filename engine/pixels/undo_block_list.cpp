// Undo block lists over a two-level handle list with 16 KB pages.
#include "undo_block_list.h"

#include <cstring>
#include <vector>

namespace {

constexpr uint16_t kUndoPageBytes = 0x4000;

void freeHandle(PTzHANDLE handle)
{
    if (handle)
        PTzHandleFree(handle);
}

}  // namespace

ITzUndoBlockListBase::ITzUndoBlockListBase(_tagITzBLOCKTYPE type) : m_type(type) {}

ITzUndoBlockListBase::~ITzUndoBlockListBase() = default;

uint32_t ITzUndoBlockListBase::GetItemSize() const
{
    return m_type == ITzBLOCKTYPE_GRAY ? sizeof(_tagITzUNDOBLOCKITEMGRAY) : sizeof(_tagITzUNDOBLOCKITEMARGB);
}

int ITzUndoBlockListBase::SetItemBlockIndex(void* item, uint32_t blockIndex)
{
    if (!item)
        return 0;
    std::memcpy(item, &blockIndex, sizeof blockIndex);
    return 1;
}

uint32_t ITzUndoBlockListBase::GetItemBlockIndex(const void* item)
{
    uint32_t blockIndex = 0;
    if (item)
        std::memcpy(&blockIndex, item, sizeof blockIndex);
    return blockIndex;
}

uint32_t ITzUndoBlockListBase::GetBlockIndexOfItem(uint32_t index)
{
    std::vector<uint8_t> item(GetItemSize());
    return GetItem(index, item.data(), uint32_t(item.size())) ? GetItemBlockIndex(item.data()) : 0;
}

ITzUndoTwoLevelBlockList::ITzUndoTwoLevelBlockList(_tagITzBLOCKTYPE type)
    : ITzUndoBlockListBase(type), m_store(PTzCreatTwoLevelHandle_1(uint16_t(GetItemSize()), kUndoPageBytes))
{
}

ITzUndoTwoLevelBlockList::~ITzUndoTwoLevelBlockList()
{
    if (!m_store)
        return;
    const uint32_t count = GetCount();
    for (uint32_t i = 0; i < count; ++i) {
        if (GetBlockType() == ITzBLOCKTYPE_GRAY) {
            _tagITzUNDOBLOCKITEMGRAY item{};
            if (GetItem(i, &item, sizeof item))
                freeHandle(item.info.data);
        } else {
            _tagITzUNDOBLOCKITEMARGB item{};
            if (GetItem(i, &item, sizeof item))
                for (PTzHANDLE channel : item.info.channels)
                    freeHandle(channel);
        }
    }
    PTzDestroyTwoLevelHandle(m_store);
}

uint32_t ITzUndoTwoLevelBlockList::GetCount()
{
    return m_store ? PTzTwoLevelHandleGetCount(m_store) : 0;
}

int ITzUndoTwoLevelBlockList::AddItem(const void* item, int size)
{
    if (!m_store || !item || !sizeFits(size))
        return 0;
    return PTzTwoLevelHandleInsertItem(m_store, UINT32_MAX, item) == 0;
}

int ITzUndoTwoLevelBlockList::RemoveItem(uint32_t index)
{
    if (!m_store || index >= GetCount())
        return 0;
    return PTzTwoLevelHandleRemoveItems(m_store, index, 1) == 0;
}

int ITzUndoTwoLevelBlockList::GetItem(uint32_t index, void* out, uint32_t size)
{
    if (!m_store || !out || size < GetItemSize())
        return 0;
    return PTzTwoLevelHandleGetItemData(m_store, index, out) == 0;
}

int ITzUndoTwoLevelBlockList::SetItem(uint32_t index, const void* item, int size)
{
    if (!m_store || !item || size < 0 || uint32_t(size) != GetItemSize() || index >= GetCount())
        return 0;
    return PTzTwoLevelHandleSetItemData(m_store, index, item) == 0;
}
