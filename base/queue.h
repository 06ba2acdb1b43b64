// PTzQueue: a first-in first-out ring of fixed-size items, either fixed in capacity or
// growing by 256 items whenever it fills up.
#pragma once

#include <cstdint>

#include "corvane_export.h"

class CORVANE_API PTzQueue {
public:
    explicit PTzQueue(uint32_t itemSize);
    virtual ~PTzQueue();
    PTzQueue(const PTzQueue&) = delete;
    PTzQueue& operator=(const PTzQueue&) = delete;

    // Makes the storage: 1, or 0 when it already exists, the size is unusable or memory
    // failed. A capacity of 0 makes a growable queue of 256 items.
    virtual int Create(uint32_t capacity);
    // Appends a copy of one item: 1, or 0 when a fixed queue is full or memory failed.
    // The first push of a queue without storage makes it growable.
    virtual int Push(const void* item);
    // Takes the oldest item into out: 1, or 0 when the queue is empty.
    virtual int Pop(void* out);
    // Empties the queue and keeps its storage.
    virtual void Clear();

    uint32_t GetCount() const { return m_count; }

private:
    bool extendSize();
    uint8_t* itemAt(uint32_t index) const { return m_storage + uint64_t(index) * m_itemSize; }

    uint8_t* m_storage = nullptr;
    uint32_t m_itemSize;
    uint32_t m_requestedCapacity = 0;  // 0: grows when full
    uint32_t m_capacity = 0;
    uint32_t m_count = 0;
    uint32_t m_writeIndex = 0;
    uint32_t m_readIndex = 0;
};
