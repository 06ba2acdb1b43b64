// The object list stores object pointers in a pointer-sized order list and lets
// each object decide its own order.
#include "order_object_list.h"

#include "error_codes.h"

PTzOrderObjectItemBase::~PTzOrderObjectItemBase() = default;

signed char PTzOrderObjectItemBase::CompareTo(const PTzOrderObjectItemBase*) const
{
    return 0;
}

PTzOrderObjectList::PTzOrderObjectList() : PTzOrderList(sizeof(PTzOrderObjectItemBase*), 8) {}

PTzOrderObjectList::~PTzOrderObjectList()
{
    auto* items = static_cast<PTzOrderObjectItemBase**>(LockBuffer());
    if (!items)
        return;
    for (uint32_t i = 0; i < GetItemCount(); ++i)
        delete items[i];
    UnlockBuffer();
}

signed char PTzOrderObjectList::CompareTwoItems(const void* first, const void* second)
{
    const auto* a = *static_cast<const PTzOrderObjectItemBase* const*>(first);
    const auto* b = *static_cast<const PTzOrderObjectItemBase* const*>(second);
    return a && b ? a->CompareTo(b) : 0;
}

int PTzOrderObjectList::InsertObject(PTzOrderObjectItemBase* item)
{
    if (!item)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    return InsertItem(&item, 0);
}

int PTzOrderObjectList::FindObjectIndex(const PTzOrderObjectItemBase* item, uint32_t* index)
{
    if (!item) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    return FindItemIndex(&item, index);
}

PTzOrderObjectItemBase* PTzOrderObjectList::GetObjectByIndex(uint32_t index)
{
    PTzOrderObjectItemBase* item = nullptr;
    return GetItemByIndex(index, &item, 0) == 0 ? item : nullptr;
}
