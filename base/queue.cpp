// The queue's ring: items are written at the write index and read at the read index,
// each wrapping to the start after the last slot; growth unrolls the ring.
#include "queue.h"

#include <cstring>

#include "checked_size.h"
#include "error_codes.h"
#include "memory.h"

namespace {

constexpr uint32_t kGrowthItems = 256;

// Storage of capacity items as one fixed block, or null when the size overflows or
// memory fails (the cause is stored as the last error).
uint8_t* newStorage(uint32_t capacity, uint32_t itemSize)
{
    uint64_t bytes = 0;
    if (capacity == 0 || itemSize == 0 || !PTzCheckedMul(capacity, itemSize, &bytes, UINT32_MAX)) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    return static_cast<uint8_t*>(PTzPointNew(uint32_t(bytes)));
}

}  // namespace

PTzQueue::PTzQueue(uint32_t itemSize) : m_itemSize(itemSize) {}

PTzQueue::~PTzQueue()
{
    if (m_storage)
        PTzPointFree(m_storage);
}

int PTzQueue::Create(uint32_t capacity)
{
    if (m_storage) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    const uint32_t slots = capacity != 0 ? capacity : kGrowthItems;
    m_storage = newStorage(slots, m_itemSize);
    if (!m_storage)
        return 0;
    m_requestedCapacity = capacity;
    m_capacity = slots;
    Clear();
    return 1;
}

int PTzQueue::Push(const void* item)
{
    if (!item) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    if (!m_storage && !Create(0))
        return 0;
    if (m_count == m_capacity) {
        if (m_requestedCapacity != 0) {
            PTzSetLastError(PTzERR_CONTAINER_FULL);
            return 0;
        }
        if (!extendSize())
            return 0;
    }
    std::memcpy(itemAt(m_writeIndex), item, m_itemSize);
    m_writeIndex = m_writeIndex + 1 == m_capacity ? 0 : m_writeIndex + 1;
    ++m_count;
    return 1;
}

int PTzQueue::Pop(void* out)
{
    if (!out) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    if (m_count == 0)
        return 0;
    std::memcpy(out, itemAt(m_readIndex), m_itemSize);
    m_readIndex = m_readIndex + 1 == m_capacity ? 0 : m_readIndex + 1;
    --m_count;
    return 1;
}

void PTzQueue::Clear()
{
    m_count = 0;
    m_writeIndex = 0;
    m_readIndex = 0;
}

// Only called on a full ring, so the items run from the read index to the end of the
// storage and then from its start up to the read index.
bool PTzQueue::extendSize()
{
    if (m_capacity > UINT32_MAX - kGrowthItems) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return false;
    }
    uint8_t* storage = newStorage(m_capacity + kGrowthItems, m_itemSize);
    if (!storage)
        return false;
    const size_t tailBytes = size_t(m_capacity - m_readIndex) * m_itemSize;
    std::memcpy(storage, itemAt(m_readIndex), tailBytes);
    std::memcpy(storage + tailBytes, m_storage, size_t(m_readIndex) * m_itemSize);
    PTzPointFree(m_storage);
    m_storage = storage;
    m_readIndex = 0;
    m_writeIndex = m_count;
    m_capacity += kGrowthItems;
    return true;
}
