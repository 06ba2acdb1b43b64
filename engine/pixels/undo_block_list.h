// Undo block lists: the blocks a tool replaced or backed up, each a block index and
// a copy of the layer's block record. The list owns the channel handles it holds.
#pragma once

#include <cstdint>

#include "base/two_level_handle.h"
#include "block_records.h"
#include "engine/lumatra_export.h"

class LUMATRA_API ITzUndoBlockListBase {
public:
    explicit ITzUndoBlockListBase(_tagITzBLOCKTYPE type);
    virtual ~ITzUndoBlockListBase();
    ITzUndoBlockListBase(const ITzUndoBlockListBase&) = delete;
    ITzUndoBlockListBase& operator=(const ITzUndoBlockListBase&) = delete;

    virtual uint32_t GetCount() = 0;
    // Each gives 1 on success, 0 (changing nothing) otherwise. A size of 0 means the
    // item size; any other size must match it (GetItem: at least it).
    virtual int AddItem(const void* item, int size) = 0;
    // The removed item's handles are not freed: they belong to whoever read it.
    virtual int RemoveItem(uint32_t index) = 0;
    virtual int GetItem(uint32_t index, void* out, uint32_t size) = 0;
    virtual int SetItem(uint32_t index, const void* item, int size) = 0;

    _tagITzBLOCKTYPE GetBlockType() const { return m_type; }
    uint32_t GetItemSize() const;
    static int SetItemBlockIndex(void* item, uint32_t blockIndex);
    static uint32_t GetItemBlockIndex(const void* item);
    uint32_t GetBlockIndexOfItem(uint32_t index);

protected:
    bool sizeFits(int size) const { return size == 0 || uint32_t(size) == GetItemSize(); }

private:
    _tagITzBLOCKTYPE m_type;
};

class LUMATRA_API ITzUndoTwoLevelBlockList : public ITzUndoBlockListBase {
public:
    explicit ITzUndoTwoLevelBlockList(_tagITzBLOCKTYPE type);
    ~ITzUndoTwoLevelBlockList() override;

    uint32_t GetCount() override;
    int AddItem(const void* item, int size) override;
    int RemoveItem(uint32_t index) override;
    int GetItem(uint32_t index, void* out, uint32_t size) override;
    int SetItem(uint32_t index, const void* item, int size) override;

private:
    PTzTWOLEVELHANDLE m_store;
};
