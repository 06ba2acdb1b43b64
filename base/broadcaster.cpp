// Registration on both sides of a broadcaster-listener pair, and a broadcast that
// stays safe while its listeners unregister partners or destroy the broadcaster.
#include "broadcaster.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory_resource>
#include <new>
#include <optional>
#include <span>
#include <vector>

#include "memory.h"

namespace {

// The list, made with the first registration in a block of the base allocator: many
// objects never have a partner (the brushes of a library) and then take no memory for
// one, and an allocation failure leaves no list. Those that do mostly have a partner or
// two (a layer its picture), so the list grows eight partners at a time rather than
// taking room for hundreds with its first.
PTzBufferList* partnerList(PTzPartnerList& list)
{
    if (!list) {
        if (void* block = PTzPointNew(sizeof(PTzBufferList)))
            list.reset(new (block) PTzBufferList(sizeof(void*), 3));
    }
    return list.get();
}

// A partner list's pointers, locked for the life of the view. The lock must not be
// held across calls into partners, since they may change the list.
class LockedPartners {
public:
    explicit LockedPartners(PTzBufferList& list)
        : m_list(list), m_items(static_cast<void* const*>(list.LockBuffer()))
    {
    }
    ~LockedPartners()
    {
        if (m_items)
            m_list.UnlockBuffer();
    }
    LockedPartners(const LockedPartners&) = delete;
    LockedPartners& operator=(const LockedPartners&) = delete;

    std::span<void* const> items() const
    {
        if (!m_items)
            return {};
        return {m_items, m_list.GetItemCount()};
    }

private:
    PTzBufferList& m_list;
    void* const* m_items;
};

std::optional<uint32_t> firstIndexOf(PTzBufferList& list, const void* partner)
{
    const LockedPartners locked(list);
    const auto items = locked.items();
    const auto found = std::find(items.begin(), items.end(), partner);
    if (found == items.end())
        return std::nullopt;
    return uint32_t(found - items.begin());
}

std::optional<uint32_t> lastIndexOf(PTzBufferList& list, const void* partner)
{
    const LockedPartners locked(list);
    const auto items = locked.items();
    const auto found = std::find(items.rbegin(), items.rend(), partner);
    if (found == items.rend())
        return std::nullopt;
    return uint32_t(items.rend() - found - 1);
}

size_t registrationsOf(PTzBufferList& list, const void* partner)
{
    const LockedPartners locked(list);
    const auto items = locked.items();
    return size_t(std::count(items.begin(), items.end(), partner));
}

// The partner at index, or null when the index is past the end or the read fails.
void* partnerAt(PTzBufferList& list, uint32_t index)
{
    void* partner = nullptr;
    if (index >= list.GetItemCount() || list.GetItemByIndex(index, &partner, sizeof partner) != 0)
        return nullptr;
    return partner;
}

int append(PTzBufferList& list, void* partner)
{
    return list.InsertItemByIndex(list.GetItemCount(), &partner, sizeof partner) == 0;
}

int removeAt(PTzBufferList& list, uint32_t index)
{
    return list.RemoveItemByIndex(index, nullptr, 0) == 0;
}

}  // namespace

void PTzPartnerListDeleter::operator()(PTzBufferList* list) const
{
    list->~PTzBufferList();
    PTzPointFree(list);
}

// One running broadcast. The broadcaster's destructor marks every running frame dead,
// so a broadcast whose listener destroyed the broadcaster stops without touching it.
struct PTzBroadcaster::BroadcastFrame {
    explicit BroadcastFrame(PTzBroadcaster& owner) : broadcaster(owner), outer(owner.m_broadcasting)
    {
        owner.m_broadcasting = this;
    }
    ~BroadcastFrame()
    {
        if (alive)
            broadcaster.m_broadcasting = outer;
    }
    BroadcastFrame(const BroadcastFrame&) = delete;
    BroadcastFrame& operator=(const BroadcastFrame&) = delete;

    PTzBroadcaster& broadcaster;
    BroadcastFrame* outer;
    bool alive = true;
};

PTzBroadcaster::PTzBroadcaster() = default;

PTzBroadcaster::~PTzBroadcaster()
{
    for (BroadcastFrame* frame = m_broadcasting; frame; frame = frame->outer)
        frame->alive = false;
    RemoveAllListener();
}

int PTzBroadcaster::Broadcast(uint32_t message, void* param, PTzBroadcaster* sender)
{
    // Most objects tell nobody most of the time (a layer being made has no listener yet).
    if (!m_listeners || m_listeners->GetItemCount() == 0)
        return 1;
    // Listeners may unregister partners while they are called, so the loop walks a
    // copy, newest first, and calls an entry only while it is still registered: a
    // listener registered twice is called at most as often as it still is.
    // A few listeners are copied onto the stack: a broadcast need not allocate.
    std::array<std::byte, 16 * sizeof(void*)> room;
    std::pmr::monotonic_buffer_resource arena(room.data(), room.size());
    std::pmr::vector<void*> snapshot(&arena);
    {
        const LockedPartners locked(*m_listeners);
        snapshot.assign(locked.items().rbegin(), locked.items().rend());
    }
    if (snapshot.empty())
        return 1;
    PTzBroadcaster* const from = sender ? sender : this;
    BroadcastFrame frame(*this);
    for (auto entry = snapshot.begin(); entry != snapshot.end(); ++entry) {
        const auto calledBefore = size_t(std::count(snapshot.begin(), entry, *entry));
        if (calledBefore >= registrationsOf(*m_listeners, *entry)) {
            *entry = nullptr;  // not called, so not counted against later entries
            continue;
        }
        static_cast<PTzListener*>(*entry)->Listen(message, param, from);
        if (!frame.alive)
            return 1;
    }
    return 1;
}

int PTzBroadcaster::AddListener(PTzListener* listener)
{
    PTzBufferList* list = listener ? partnerList(m_listeners) : nullptr;
    return list && append(*list, listener);
}

int PTzBroadcaster::RemoveLister(PTzListener* listener)
{
    if (!listener || !m_listeners)
        return 0;
    const std::optional<uint32_t> index = lastIndexOf(*m_listeners, listener);
    return index && removeAt(*m_listeners, *index);
}

int PTzBroadcaster::RemoveAllListener()
{
    if (!m_listeners)
        return 1;
    // Each listener removes the pair from both sides, the latest registration first.
    for (uint32_t i = m_listeners->GetItemCount(); i > 0; --i) {
        if (auto* listener = static_cast<PTzListener*>(partnerAt(*m_listeners, i - 1)))
            listener->RemoveFromBroadcaster(this);
    }
    return 1;
}

PTzListener::PTzListener() = default;

PTzListener::~PTzListener()
{
    RemoveFromAllBroadcaster();
}

int PTzListener::AddToBroadcaster(PTzBroadcaster* broadcaster)
{
    PTzBufferList* list = broadcaster ? partnerList(m_broadcasters) : nullptr;
    if (!list || !broadcaster->AddListener(this))
        return 0;
    if (append(*list, broadcaster))
        return 1;
    broadcaster->RemoveLister(this);
    return 0;
}

int PTzListener::RemoveFromBroadcaster(PTzBroadcaster* broadcaster)
{
    if (!broadcaster || !m_broadcasters)
        return 0;
    const std::optional<uint32_t> index = firstIndexOf(*m_broadcasters, broadcaster);
    if (!index || !broadcaster->RemoveLister(this))
        return 0;
    return removeAt(*m_broadcasters, *index);
}

int PTzListener::Listen(uint32_t, void*, PTzBroadcaster*)
{
    return 1;
}

int PTzListener::RemoveFromAllBroadcaster()
{
    if (!m_broadcasters)
        return 1;
    int result = 1;
    for (uint32_t i = m_broadcasters->GetItemCount(); i > 0; --i) {
        auto* broadcaster = static_cast<PTzBroadcaster*>(partnerAt(*m_broadcasters, i - 1));
        if (!broadcaster || !broadcaster->RemoveLister(this) || !removeAt(*m_broadcasters, i - 1))
            result = 0;
    }
    return result;
}
