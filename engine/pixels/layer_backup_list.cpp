// The layer backup list's order: ascending picture index.
#include "engine/pixels/layer_backup_list.h"

#include <cstring>

namespace {

constexpr uint8_t kGrowthShift = 3;  // grows by 8 items

}  // namespace

ITzLayerBackupList::ITzLayerBackupList() : PTzOrderList(sizeof(_tagITzLAYERBACKUPINFO), kGrowthShift) {}

signed char ITzLayerBackupList::CompareTwoItems(const void* first, const void* second)
{
    uint16_t a;
    uint16_t b;
    std::memcpy(&a, first, sizeof a);
    std::memcpy(&b, second, sizeof b);
    return a < b ? -1 : a > b ? 1 : 0;
}

_tagITzLAYERBACKUPINFO ITzLayerBackupList::ItemAt(uint32_t at)
{
    _tagITzLAYERBACKUPINFO item = {};
    GetItemByIndex(at, &item, 0);
    return item;
}
