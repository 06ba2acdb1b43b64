// PTzOrderList: a buffer list that, while its sort flag is on, keeps its items in the
// order of a compare operation its subclass supplies. Equal items keep insertion order.
#pragma once

#include <cstdint>

#include "buffer_list.h"
#include "corvane_export.h"

class CORVANE_API PTzOrderList : public PTzBufferList {
public:
    explicit PTzOrderList(uint32_t itemSize = 0, uint8_t shift = 8);

    // While sorted, inserts ignore the index and put the items in their sorted place,
    // MoveItem refuses with -1 and SetItemByIndex moves the new value to its place.
    int InsertItemByIndex(uint32_t index, const void* data, uint32_t len) override;
    int InsertItemByIndex1(const void* data, uint32_t index, uint32_t len) override;
    int MoveItem(uint32_t from, uint32_t to) override;
    int InsertItemsByIndex(uint32_t index, uint32_t n, const void* data, uint32_t len) override;
    int SetItemByIndex(uint32_t index, const void* data, uint32_t len) override;

    // Appends, then, while sorted, moves the new item to its place.
    virtual int InsertItem(const void* data, uint32_t len);
    // Turning sorting on re-sorts the list; turning it off keeps the order. 0 or code.
    virtual int SetSort(int sort);
    // 1 and the index of an equal item, or 0 and the index the data would be inserted
    // at. Nothing is written for an empty list or null data; index may be null.
    virtual int FindItemIndex(const void* data, uint32_t* index);
    // Stable insertion sort of the whole list.
    virtual int DoReSort();
    // Negative, 0 or positive as the first item is below, equal to or above the
    // second. The base treats all items as equal.
    virtual signed char CompareTwoItems(const void* first, const void* second);
    // The by-index forms read the items in place (an index past the count means the
    // last item); a missing item compares below.
    virtual signed char CompareTwoItems(const void* data, uint32_t index);
    virtual signed char CompareTwoItems(uint32_t first, uint32_t second);

private:
    uint32_t GetItemNewIndex(uint32_t item, uint32_t lo, uint32_t hi);
    int placeItem(uint32_t item, uint32_t lo, uint32_t hi);
    int appendSorted(uint32_t n, const void* data, uint32_t len);

    int m_sort = 1;
};
