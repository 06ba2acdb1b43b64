// Room inside a container chunk for the one child chunk it reads at a time: a load makes
// each child in place instead of allocating it, and the room's unused bytes stay
// unaddressable to the address sanitizer, as a freed or overrun heap block would be.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#ifndef ASAN_POISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#endif

class ITzDWKBase;

// Ends a child made in a room: destroys it and makes the room's bytes unaddressable again.
// It holds the bytes rather than the room, since a container's last child may end in the
// base class's destructor, after the room's owner has gone.
struct ITzDWKChildEnd {
    std::byte* room = nullptr;
    size_t size = 0;
    void operator()(ITzDWKBase* child) const;
};
using ITzDWKChild = std::unique_ptr<ITzDWKBase, ITzDWKChildEnd>;

// Room for any one of the container's child kinds. The walk makes a child only once the
// one before it has ended, so one room serves every child of the container.
template <typename... Chunks>
class ITzDWKChildRoom {
public:
    ITzDWKChildRoom() { ASAN_POISON_MEMORY_REGION(m_storage, sizeof m_storage); }
    ITzDWKChildRoom(const ITzDWKChildRoom&) = delete;
    ITzDWKChildRoom& operator=(const ITzDWKChildRoom&) = delete;

    template <typename Chunk, typename... Args>
    ITzDWKChild Make(Args&&... args)
    {
        static_assert((std::is_same_v<Chunk, Chunks> || ...), "the room has no place for this chunk");
        ASAN_UNPOISON_MEMORY_REGION(m_storage, sizeof(Chunk));
        Chunk* child = ::new (static_cast<void*>(m_storage)) Chunk(std::forward<Args>(args)...);
        return ITzDWKChild(child, ITzDWKChildEnd{m_storage, sizeof m_storage});
    }

private:
    alignas(Chunks...) std::byte m_storage[std::max({sizeof(Chunks)...})];
};
