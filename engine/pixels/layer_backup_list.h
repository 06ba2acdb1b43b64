// ITzLayerBackupList: the layers a layer-merge tool took out of a picture, kept for its
// undo and ordered by the index each had in the picture.
#pragma once

#include <cstdint>

#include "base/order_list.h"
#include "engine/lumatra_export.h"

class ITzLayerBase;

struct _tagITzLAYERBACKUPINFO {
    uint16_t index;  // in the picture
    ITzLayerBase* layer;
};

class LUMATRA_API ITzLayerBackupList : public PTzOrderList {
public:
    ITzLayerBackupList();

    using PTzOrderList::CompareTwoItems;
    // By the layer index, ascending.
    signed char CompareTwoItems(const void* first, const void* second) override;

    // Item `at` (the last one for an index past the count); all zero when there is none.
    _tagITzLAYERBACKUPINFO ItemAt(uint32_t at);
};
