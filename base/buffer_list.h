// PTzBufferList: the growable array of fixed-size items that most containers of the
// system build on. All items live in one handle, locked only for the length of a call.
#pragma once

#include <cstdint>

#include "corvane_export.h"
#include "memory.h"

class PTzBufferList;

// A cursor over a locked buffer list; made only by PTzBufferList::LockIndicator.
// While it exists the storage stays locked and the list must not change size.
class CORVANE_API PTzBufferListIndicator {
public:
    virtual ~PTzBufferListIndicator();

    int GoNext();
    int GoPrev();
    uint32_t GetIndex() const { return m_index; }
    int GotoIndex(uint32_t index);

private:
    friend class PTzBufferList;
    PTzBufferListIndicator(PTzBufferList* list, uint8_t* base, uint32_t index);
    uint8_t* itemAt(uint32_t index) const;

    PTzBufferList* m_list;
    uint8_t* m_base;     // item 0 inside the locked storage
    uint8_t* m_current;  // the current item
    uint32_t m_index;
};

class CORVANE_API PTzBufferList {
public:
    // itemSize 0 means pointer-sized items; storage grows in blocks of 2^shift items.
    explicit PTzBufferList(uint32_t itemSize = 0, uint8_t shift = 8);
    virtual ~PTzBufferList();
    PTzBufferList(const PTzBufferList&) = delete;
    PTzBufferList& operator=(const PTzBufferList&) = delete;

    // "len" is the byte count of the caller's buffer: 0 means the item size, and at
    // most min(len, item size) bytes (min(len, n x item size) for several) are copied.
    // For get, set and remove an index at or past the count means the last item.
    virtual int InsertItemByIndex(uint32_t index, const void* data, uint32_t len);
    virtual int InsertItemByIndex1(const void* data, uint32_t index, uint32_t len);
    virtual int RemoveItemByIndex(uint32_t index, void* out, uint32_t len);
    virtual int MoveItem(uint32_t from, uint32_t to);
    virtual int InsertItemsByIndex(uint32_t index, uint32_t n, const void* data, uint32_t len);
    virtual int RemoveItemsByIndex(uint32_t index, uint32_t n, void* out, uint32_t len);
    virtual int GetItemByIndex(uint32_t index, void* out, uint32_t len);
    virtual int SetItemByIndex(uint32_t index, const void* data, uint32_t len);
    virtual void SetSaveMode(int saveMode);
    // Enumeration: Next gives 1 and the current item, then advances; 0 once done.
    virtual void* EnumItemStart(uint32_t index);
    virtual int EnumItemNext(void* enumeration, void* out, uint32_t len);
    virtual void EnumItemEnd(void* enumeration);

    uint32_t GetItemCount() const { return m_count; }
    uint32_t GetItemSize() const { return m_itemSize; }
    // Item 0 of the locked storage (null without storage); pair with UnlockBuffer.
    void* LockBuffer();
    int UnlockBuffer();
    PTzBufferListIndicator* LockIndicator(uint32_t index);
    void UnlockIndicator(PTzBufferListIndicator* indicator);
    int GetItemByIndicator(const PTzBufferListIndicator* indicator, void* out, uint32_t len) const;
    int SetItemByIndicator(PTzBufferListIndicator* indicator, const void* data, uint32_t len);

private:
    virtual int AdjustMemory(uint32_t n);
    virtual uint32_t GetRequestBufferCount(uint32_t n);
    virtual int CopyBuffer(PTzHANDLE src, PTzHANDLE dst);

    uint32_t copyLength(uint32_t len, uint32_t items) const;
    int noItemError() const;

    uint32_t m_count = 0;
    uint32_t m_itemSize;
    uint8_t m_shift;
    uint32_t m_blocks = 0;
    PTzHANDLE m_storage = nullptr;
    int m_saveMode = 0;
};
