// PTzBroadcaster and PTzListener: the system's one notification mechanism. Each side
// keeps raw pointers to its partners, and destroying either side unregisters it.
#pragma once

#include <cstdint>
#include <memory>

#include "buffer_list.h"
#include "corvane_export.h"

class PTzListener;

// Frees a partner list made in a block of the base allocator.
struct PTzPartnerListDeleter {
    void operator()(PTzBufferList* list) const;
};
using PTzPartnerList = std::unique_ptr<PTzBufferList, PTzPartnerListDeleter>;

// Sends numbered messages with one untyped parameter to every registered listener,
// newest registration first. The list of listeners is made with the first registration.
class CORVANE_API PTzBroadcaster {
public:
    PTzBroadcaster();
    virtual ~PTzBroadcaster();
    PTzBroadcaster(const PTzBroadcaster&) = delete;
    PTzBroadcaster& operator=(const PTzBroadcaster&) = delete;

protected:
    // Calls Listen(message, param, sender or this) on each listener registered when the
    // broadcast starts and still registered when its turn comes; always 1. Listeners may
    // unregister others, or destroy this broadcaster, from inside Listen.
    virtual int Broadcast(uint32_t message, void* param, PTzBroadcaster* sender);

    // 1 when appended; 0 for a null listener or a list that cannot be made or grown.
    int AddListener(PTzListener* listener);
    // Removes the latest registration of listener: 1, or 0 when not found or null.
    int RemoveLister(PTzListener* listener);

private:
    friend class PTzListener;
    struct BroadcastFrame;

    int RemoveAllListener();

    PTzPartnerList m_listeners;
    BroadcastFrame* m_broadcasting = nullptr;  // innermost running broadcast
};

// Receives the messages of every broadcaster it is registered with; one pair may be
// registered more than once, and each registration is removed separately.
class CORVANE_API PTzListener {
public:
    PTzListener();
    virtual ~PTzListener();
    PTzListener(const PTzListener&) = delete;
    PTzListener& operator=(const PTzListener&) = delete;

    // Registers the pair on both sides, or on neither: 1, else 0.
    virtual int AddToBroadcaster(PTzBroadcaster* broadcaster);
    // Removes one registration of the pair from both sides: 1, else 0.
    virtual int RemoveFromBroadcaster(PTzBroadcaster* broadcaster);

protected:
    // The broadcaster ignores the result; the base does nothing and returns 1.
    virtual int Listen(uint32_t message, void* param, PTzBroadcaster* sender);
    // Removes every registration from both sides, the latest first: 1, or 0 when one
    // could not be removed.
    int RemoveFromAllBroadcaster();

private:
    friend class PTzBroadcaster;

    PTzPartnerList m_broadcasters;
};
