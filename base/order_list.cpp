// Sorted placement is a binary search that puts an item after every equal one, so
// inserts, re-placing sets and the insertion-sort re-sort are all stable.
#include "order_list.h"

#include <algorithm>
#include <cstddef>

#include "error_codes.h"

namespace {

// Keeps a list's storage locked while its items are compared in place.
class LockedItems {
public:
    explicit LockedItems(PTzBufferList& list)
        : m_list(list), m_base(static_cast<const uint8_t*>(list.LockBuffer()))
    {
    }
    ~LockedItems()
    {
        if (m_base)
            m_list.UnlockBuffer();
    }
    LockedItems(const LockedItems&) = delete;
    LockedItems& operator=(const LockedItems&) = delete;

    // The item at index, the last one past the count; null when there is none.
    const void* at(uint32_t index) const
    {
        const uint32_t count = m_list.GetItemCount();
        if (!m_base || count == 0)
            return nullptr;
        return m_base + size_t(std::min(index, count - 1)) * m_list.GetItemSize();
    }

private:
    PTzBufferList& m_list;
    const uint8_t* m_base;
};

}  // namespace

PTzOrderList::PTzOrderList(uint32_t itemSize, uint8_t shift) : PTzBufferList(itemSize, shift) {}

signed char PTzOrderList::CompareTwoItems(const void*, const void*)
{
    return 0;
}

signed char PTzOrderList::CompareTwoItems(const void* data, uint32_t index)
{
    if (!data) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return -1;
    }
    const LockedItems items(*this);
    const void* item = items.at(index);
    return item ? CompareTwoItems(data, item) : -1;
}

signed char PTzOrderList::CompareTwoItems(uint32_t first, uint32_t second)
{
    const LockedItems items(*this);
    const void* a = items.at(first);
    const void* b = items.at(second);
    return a && b ? CompareTwoItems(a, b) : -1;
}

// Where item goes among positions lo..hi: after every item it does not compare below.
uint32_t PTzOrderList::GetItemNewIndex(uint32_t item, uint32_t lo, uint32_t hi)
{
    hi = std::max(hi, lo);
    while (lo != hi && hi - lo != 1) {
        const uint32_t mid = lo + (hi - lo) / 2;
        if (CompareTwoItems(item, mid) < 0)
            hi = mid;
        else
            lo = mid;
    }
    if (CompareTwoItems(item, lo) < 0)
        return lo;
    return CompareTwoItems(item, hi) < 0 ? hi : hi + 1;
}

int PTzOrderList::placeItem(uint32_t item, uint32_t lo, uint32_t hi)
{
    return PTzBufferList::MoveItem(item, GetItemNewIndex(item, lo, hi));
}

// Appends n items and, while sorted, places each in turn among those before it.
int PTzOrderList::appendSorted(uint32_t n, const void* data, uint32_t len)
{
    const uint32_t first = GetItemCount();
    if (const int error = PTzBufferList::InsertItemsByIndex(first, n, data, len))
        return error;
    if (!m_sort)
        return 0;
    for (uint32_t item = std::max(first, 1u); item < GetItemCount(); ++item) {
        if (const int error = placeItem(item, 0, item - 1))
            return error;
    }
    return 0;
}

int PTzOrderList::InsertItem(const void* data, uint32_t len)
{
    return appendSorted(1, data, len);
}

int PTzOrderList::InsertItemByIndex(uint32_t index, const void* data, uint32_t len)
{
    return m_sort ? InsertItem(data, len) : PTzBufferList::InsertItemByIndex(index, data, len);
}

int PTzOrderList::InsertItemByIndex1(const void* data, uint32_t index, uint32_t len)
{
    return m_sort ? InsertItem(data, len) : PTzBufferList::InsertItemByIndex1(data, index, len);
}

int PTzOrderList::InsertItemsByIndex(uint32_t index, uint32_t n, const void* data, uint32_t len)
{
    return m_sort ? appendSorted(n, data, len) : PTzBufferList::InsertItemsByIndex(index, n, data, len);
}

int PTzOrderList::MoveItem(uint32_t from, uint32_t to)
{
    return m_sort ? PTzFail(PTzERR_BAD_ARGUMENT) : PTzBufferList::MoveItem(from, to);
}

int PTzOrderList::SetItemByIndex(uint32_t index, const void* data, uint32_t len)
{
    if (const int error = PTzBufferList::SetItemByIndex(index, data, len); error || !m_sort)
        return error;
    const uint32_t last = GetItemCount() - 1;
    if (PTzBufferList::MoveItem(std::min(index, last), last) != 0)
        return DoReSort();
    return last == 0 ? 0 : placeItem(last, 0, last - 1);
}

int PTzOrderList::SetSort(int sort)
{
    m_sort = sort != 0;
    return m_sort ? DoReSort() : 0;
}

int PTzOrderList::DoReSort()
{
    for (uint32_t item = 1; item < GetItemCount(); ++item) {
        if (const int error = placeItem(item, 0, item - 1))
            return error;
    }
    return 0;
}

int PTzOrderList::FindItemIndex(const void* data, uint32_t* index)
{
    if (!data) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    if (GetItemCount() == 0)
        return 0;
    const auto answer = [index](int found, uint32_t position) {
        if (index)
            *index = position;
        return found;
    };
    uint32_t lo = 0;
    uint32_t hi = GetItemCount() - 1;
    while (hi != lo && hi - lo != 1) {
        const uint32_t mid = lo + (hi - lo) / 2;
        const signed char order = CompareTwoItems(data, mid);
        if (order == 0)
            return answer(1, mid);
        if (order < 0)
            hi = mid;
        else
            lo = mid;
    }
    const signed char atLo = CompareTwoItems(data, lo);
    if (atLo <= 0)
        return answer(atLo == 0, lo);
    const signed char atHi = CompareTwoItems(data, hi);
    if (atHi <= 0)
        return answer(atHi == 0, hi);
    return answer(0, hi + 1);
}
