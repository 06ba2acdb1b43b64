// The buffer list grows and shrinks in blocks of 2^shift items; a failed growth keeps
// the old storage and items, so every failing call leaves the list as it was.
#include "buffer_list.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "error_codes.h"

namespace {

struct BufferListEnum {
    int done;
    PTzBufferListIndicator* indicator;
};

}  // namespace

PTzBufferListIndicator::PTzBufferListIndicator(PTzBufferList* list, uint8_t* base, uint32_t index)
    : m_list(list), m_base(base), m_current(base), m_index(0)
{
    GotoIndex(index);
}

PTzBufferListIndicator::~PTzBufferListIndicator() = default;

uint8_t* PTzBufferListIndicator::itemAt(uint32_t index) const
{
    return m_base + size_t(index) * m_list->GetItemSize();
}

int PTzBufferListIndicator::GoNext()
{
    if (m_index + 1 >= m_list->GetItemCount())
        return 0;
    m_current = itemAt(++m_index);
    return 1;
}

int PTzBufferListIndicator::GoPrev()
{
    if (m_index == 0)
        return 0;
    m_current = itemAt(--m_index);
    return 1;
}

int PTzBufferListIndicator::GotoIndex(uint32_t index)
{
    if (index >= m_list->GetItemCount())
        return 0;
    m_index = index;
    m_current = itemAt(index);
    return 1;
}

PTzBufferList::PTzBufferList(uint32_t itemSize, uint8_t shift)
    : m_itemSize(itemSize ? itemSize : uint32_t(sizeof(void*))), m_shift(std::min<uint8_t>(shift, 31))
{
}

PTzBufferList::~PTzBufferList()
{
    if (m_storage)
        PTzHandleFree(m_storage);
}

uint32_t PTzBufferList::copyLength(uint32_t len, uint32_t items) const
{
    const uint64_t whole = uint64_t(items) * m_itemSize;
    return len == 0 ? uint32_t(whole) : uint32_t(std::min<uint64_t>(len, whole));
}

// Get, set and remove on a list with nothing in it: a failure, never 0.
int PTzBufferList::noItemError() const
{
    return PTzFail(PTzERR_BAD_ARGUMENT);
}

uint32_t PTzBufferList::GetRequestBufferCount(uint32_t n)
{
    const uint64_t perBlock = uint64_t(1) << m_shift;
    return uint32_t((n + perBlock - 1) / perBlock);
}

int PTzBufferList::CopyBuffer(PTzHANDLE src, PTzHANDLE dst)
{
    if (!src || !dst)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    PTzHandleLockGuard from(src);
    PTzHandleLockGuard to(dst);
    if (!from || !to)
        return PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
    std::memcpy(to.bytes(), from.bytes(), size_t(m_count) * m_itemSize);
    return 0;
}

int PTzBufferList::AdjustMemory(uint32_t n)
{
    const uint32_t blocks = GetRequestBufferCount(n);
    if (m_storage && blocks == m_blocks)
        return 0;
    const uint64_t items = uint64_t(blocks) << m_shift;
    if (items > UINT32_MAX / m_itemSize)
        return PTzFail(PTzERR_OUT_OF_MEMORY);
    PTzHANDLE storage = PTzHandleNew(uint32_t(items * m_itemSize));
    if (!storage)
        return PTzLastErrorOr(PTzERR_OUT_OF_MEMORY);
    if (m_storage) {
        if (const int error = CopyBuffer(m_storage, storage)) {
            PTzHandleFree(storage);
            return error;
        }
        PTzHandleFree(m_storage);
    }
    m_storage = storage;
    m_blocks = blocks;
    return 0;
}

int PTzBufferList::InsertItemByIndex(uint32_t index, const void* data, uint32_t len)
{
    return InsertItemsByIndex(index, 1, data, len);
}

int PTzBufferList::InsertItemByIndex1(const void* data, uint32_t index, uint32_t len)
{
    return InsertItemByIndex(index, data, len);
}

int PTzBufferList::InsertItemsByIndex(uint32_t index, uint32_t n, const void* data, uint32_t len)
{
    if (!data)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    if (n == 0)
        return 0;
    if (uint64_t(m_count) + n > UINT32_MAX)
        return PTzFail(PTzERR_OUT_OF_MEMORY);
    if (const int error = AdjustMemory(m_count + n))
        return error;
    PTzHandleLockGuard lock(m_storage);
    if (!lock)
        return PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
    index = std::min(index, m_count);
    uint8_t* at = lock.bytes() + size_t(index) * m_itemSize;
    const size_t gap = size_t(n) * m_itemSize;
    std::memmove(at + gap, at, size_t(m_count - index) * m_itemSize);
    std::memset(at, 0, gap);
    std::memcpy(at, data, copyLength(len, n));
    m_count += n;
    return 0;
}

int PTzBufferList::RemoveItemByIndex(uint32_t index, void* out, uint32_t len)
{
    return RemoveItemsByIndex(index, 1, out, len);
}

int PTzBufferList::RemoveItemsByIndex(uint32_t index, uint32_t n, void* out, uint32_t len)
{
    if (!m_storage || m_count == 0)
        return noItemError();
    if (n == 0)
        return 0;
    {
        PTzHandleLockGuard lock(m_storage);
        if (!lock)
            return PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
        index = std::min(index, m_count - 1);
        n = std::min(n, m_count - index);
        uint8_t* at = lock.bytes() + size_t(index) * m_itemSize;
        if (out)
            std::memcpy(out, at, copyLength(len, n));
        const size_t removed = size_t(n) * m_itemSize;
        const size_t tail = size_t(m_count - index - n) * m_itemSize;
        std::memmove(at, at + removed, tail);
        std::memset(at + tail, 0, removed);
        m_count -= n;
    }
    // Shrinking is an optimisation: a failed reallocation keeps the larger storage.
    if (m_saveMode)
        AdjustMemory(m_count);
    return 0;
}

int PTzBufferList::MoveItem(uint32_t from, uint32_t to)
{
    if (!m_storage || m_count == 0)
        return noItemError();
    from = std::min(from, m_count - 1);
    to = std::min(to, m_count - 1);
    if (from == to)
        return 0;
    PTzHandleLockGuard lock(m_storage);
    if (!lock)
        return PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
    uint8_t* items = lock.bytes();
    const size_t size = m_itemSize;
    std::vector<uint8_t> moving(items + from * size, items + (from + 1) * size);
    if (from < to)
        std::memmove(items + from * size, items + (from + 1) * size, (to - from) * size);
    else
        std::memmove(items + (to + 1) * size, items + to * size, (from - to) * size);
    std::memcpy(items + to * size, moving.data(), size);
    return 0;
}

int PTzBufferList::GetItemByIndex(uint32_t index, void* out, uint32_t len)
{
    if (!out)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    if (!m_storage || m_count == 0)
        return noItemError();
    PTzHandleLockGuard lock(m_storage);
    if (!lock)
        return PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
    index = std::min(index, m_count - 1);
    std::memcpy(out, lock.bytes() + size_t(index) * m_itemSize, copyLength(len, 1));
    return 0;
}

int PTzBufferList::SetItemByIndex(uint32_t index, const void* data, uint32_t len)
{
    if (!data)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    if (!m_storage || m_count == 0)
        return noItemError();
    PTzHandleLockGuard lock(m_storage);
    if (!lock)
        return PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
    index = std::min(index, m_count - 1);
    std::memcpy(lock.bytes() + size_t(index) * m_itemSize, data, copyLength(len, 1));
    return 0;
}

void PTzBufferList::SetSaveMode(int saveMode)
{
    m_saveMode = saveMode;
}

void* PTzBufferList::EnumItemStart(uint32_t index)
{
    PTzBufferListIndicator* indicator = LockIndicator(index);
    if (!indicator)
        return nullptr;
    auto* enumeration = new BufferListEnum{m_count == 0, indicator};
    return enumeration;
}

int PTzBufferList::EnumItemNext(void* enumeration, void* out, uint32_t len)
{
    auto* state = static_cast<BufferListEnum*>(enumeration);
    if (!state || state->done)
        return 0;
    if (GetItemByIndicator(state->indicator, out, len) != 0)
        return 0;
    if (!state->indicator->GoNext())
        state->done = 1;
    return 1;
}

void PTzBufferList::EnumItemEnd(void* enumeration)
{
    auto* state = static_cast<BufferListEnum*>(enumeration);
    if (!state)
        return;
    UnlockIndicator(state->indicator);
    delete state;
}

void* PTzBufferList::LockBuffer()
{
    return m_storage ? PTzHandleLock(m_storage) : nullptr;
}

int PTzBufferList::UnlockBuffer()
{
    if (m_storage)
        PTzHandleUnlock(m_storage);
    return 1;
}

PTzBufferListIndicator* PTzBufferList::LockIndicator(uint32_t index)
{
    // An empty list without storage still gets an indicator; it never reaches an item.
    auto* base = static_cast<uint8_t*>(LockBuffer());
    if (m_storage && !base)
        return nullptr;
    return new PTzBufferListIndicator(this, base, index);
}

void PTzBufferList::UnlockIndicator(PTzBufferListIndicator* indicator)
{
    if (!indicator)
        return;
    if (indicator->m_base)
        UnlockBuffer();
    delete indicator;
}

int PTzBufferList::GetItemByIndicator(const PTzBufferListIndicator* indicator, void* out, uint32_t len) const
{
    if (!indicator || !out || !indicator->m_base || indicator->m_index >= m_count)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    std::memcpy(out, indicator->m_current, copyLength(len, 1));
    return 0;
}

int PTzBufferList::SetItemByIndicator(PTzBufferListIndicator* indicator, const void* data, uint32_t len)
{
    if (!indicator || !data || !indicator->m_base || indicator->m_index >= m_count)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    std::memcpy(indicator->m_current, data, copyLength(len, 1));
    return 0;
}
