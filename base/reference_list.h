// Shared, reference-counted objects made from build data, and PTzReferenceListBase,
// the sorted cache that hands out one such object per distinct key.
#pragma once

#include <cstdint>

#include "corvane_export.h"
#include "order_list.h"

// Made with new. The count starts at 0, which means one holder.
class CORVANE_API PTzReferenceBase {
public:
    PTzReferenceBase() = default;
    virtual ~PTzReferenceBase();
    PTzReferenceBase(const PTzReferenceBase&) = delete;
    PTzReferenceBase& operator=(const PTzReferenceBase&) = delete;

    // Nonzero when the object could be built from data.
    virtual int SetBuildData(const void* data);
    // Always 1.
    virtual int ReferenceIncrease();
    // 1 when this was the last holder and the object deleted itself, else 0.
    virtual int ReferenceDecrease();
    // Negative, 0 or positive as this object's key is below, equal to or above other's.
    virtual signed char CompareTo(const PTzReferenceBase* other) const = 0;

private:
    int32_t m_references = 0;
};

// Owns its items: whatever is still listed at destruction is deleted, counts aside.
class CORVANE_API PTzReferenceListBase : public PTzOrderList {
public:
    PTzReferenceListBase();
    ~PTzReferenceListBase() override;

    using PTzOrderList::CompareTwoItems;
    // Compares the two objects the items point at; 0 when either is null.
    signed char CompareTwoItems(const void* first, const void* second) override;

    // A new, empty item of the subclass's type (made with new), or null.
    virtual PTzReferenceBase* NewItem() = 0;

    // The shared item for buildData: an equal listed item gains a holder, otherwise a
    // new one is listed. Null when the data builds no item or memory runs out.
    PTzReferenceBase* CreateItem(const void* buildData);
    // The item at index (the last one past the count) with one more holder, or null.
    PTzReferenceBase* CreateItemByIndex(uint32_t index);
    // Drops one holder of a listed item and unlists it once it deleted itself:
    // 1 when item was listed, else 0.
    int ReleaseItem(PTzReferenceBase* item);
};
