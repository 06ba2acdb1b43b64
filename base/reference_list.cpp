// Reference counting and the cache of shared items: CreateItem builds a candidate
// and keeps it only when no equal item is listed yet.
#include "reference_list.h"

#include <memory>

#include "error_codes.h"

PTzReferenceBase::~PTzReferenceBase() = default;

int PTzReferenceBase::SetBuildData(const void*)
{
    return 1;
}

int PTzReferenceBase::ReferenceIncrease()
{
    ++m_references;
    return 1;
}

int PTzReferenceBase::ReferenceDecrease()
{
    if (m_references == 0) {
        delete this;
        return 1;
    }
    --m_references;
    return 0;
}

PTzReferenceListBase::PTzReferenceListBase() : PTzOrderList(sizeof(PTzReferenceBase*), 8) {}

// Last to first, each item leaves the list before it is deleted.
PTzReferenceListBase::~PTzReferenceListBase()
{
    while (GetItemCount() > 0) {
        PTzReferenceBase* item = nullptr;
        if (PTzBufferList::RemoveItemByIndex(GetItemCount() - 1, &item, 0) != 0)
            return;
        delete item;
    }
}

signed char PTzReferenceListBase::CompareTwoItems(const void* first, const void* second)
{
    const auto* a = *static_cast<const PTzReferenceBase* const*>(first);
    const auto* b = *static_cast<const PTzReferenceBase* const*>(second);
    return a && b ? a->CompareTo(b) : 0;
}

PTzReferenceBase* PTzReferenceListBase::CreateItem(const void* buildData)
{
    std::unique_ptr<PTzReferenceBase> candidate(NewItem());
    if (!candidate) {
        PTzLastErrorOr(PTzERR_OUT_OF_MEMORY);
        return nullptr;
    }
    if (!candidate->SetBuildData(buildData)) {
        PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    const PTzReferenceBase* key = candidate.get();
    uint32_t index = 0;
    if (FindItemIndex(&key, &index)) {
        PTzReferenceBase* shared = nullptr;
        if (GetItemByIndex(index, &shared, 0) != 0 || !shared)
            return nullptr;
        shared->ReferenceIncrease();
        return shared;
    }
    // Not found: index is where the key belongs (0 for an empty list).
    PTzReferenceBase* item = candidate.get();
    if (PTzBufferList::InsertItemByIndex(index, &item, 0) != 0)
        return nullptr;
    return candidate.release();
}

PTzReferenceBase* PTzReferenceListBase::CreateItemByIndex(uint32_t index)
{
    PTzReferenceBase* item = nullptr;
    if (GetItemByIndex(index, &item, 0) != 0 || !item)
        return nullptr;
    item->ReferenceIncrease();
    return item;
}

int PTzReferenceListBase::ReleaseItem(PTzReferenceBase* item)
{
    if (!item) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    const PTzReferenceBase* key = item;
    uint32_t index = 0;
    PTzReferenceBase* listed = nullptr;
    if (!FindItemIndex(&key, &index) || GetItemByIndex(index, &listed, 0) != 0 || listed != item)
        return 0;
    if (item->ReferenceDecrease())
        PTzBufferList::RemoveItemByIndex(index, nullptr, 0);
    return 1;
}
