// PTzOrderObjectList: a sorted list of owned objects that compare themselves through
// PTzOrderObjectItemBase::CompareTo. The list deletes whatever it still holds.
#pragma once

#include <cstdint>

#include "corvane_export.h"
#include "order_list.h"

class CORVANE_API PTzOrderObjectItemBase {
public:
    PTzOrderObjectItemBase() = default;
    virtual ~PTzOrderObjectItemBase();
    PTzOrderObjectItemBase(const PTzOrderObjectItemBase&) = delete;
    PTzOrderObjectItemBase& operator=(const PTzOrderObjectItemBase&) = delete;

    // Negative, 0 or positive as this object is below, equal to or above other.
    virtual signed char CompareTo(const PTzOrderObjectItemBase* other) const;
};

// Items are pointers; removing one hands it back to the caller, who then owns it.
class CORVANE_API PTzOrderObjectList : public PTzOrderList {
public:
    PTzOrderObjectList();
    ~PTzOrderObjectList() override;

    using PTzOrderList::CompareTwoItems;
    // Compares the two objects the items point at; 0 when either is null.
    signed char CompareTwoItems(const void* first, const void* second) override;

    // Takes ownership of item on success; a null item gives -1.
    virtual int InsertObject(PTzOrderObjectItemBase* item);
    virtual int FindObjectIndex(const PTzOrderObjectItemBase* item, uint32_t* index);
    // The object at index (the last one past the count), or null for an empty list.
    virtual PTzOrderObjectItemBase* GetObjectByIndex(uint32_t index);
};
