// Idle work of the shell: objects that want time while the event queue is empty register
// with the application's one idle manager, which calls every one of them on each idle
// turn and tells whether any wants to be called again at once.
#pragma once

#include <cstdint>
#include <memory>

#include "base/buffer_list.h"

class CRIdleManager;

// The mix-in of an object with idle work.
class CRIdlehandler {
public:
    CRIdlehandler() = default;
    // Unregisters first.
    virtual ~CRIdlehandler();
    CRIdlehandler(const CRIdlehandler&) = delete;
    CRIdlehandler& operator=(const CRIdlehandler&) = delete;

    // Nonzero when the object wants more idle time.
    virtual int OnIdle() = 0;
    // With the application's idle manager: the registered flag after the attempt.
    virtual int Register();
    // Leaves the application's idle manager when registered: always 1.
    virtual int Unregister();

    int IsRegistered() const { return m_registered; }

private:
    uint32_t m_registered = 0;
};

class CRIdleManager {
public:
    CRIdleManager();
    virtual ~CRIdleManager();
    CRIdleManager(const CRIdleManager&) = delete;
    CRIdleManager& operator=(const CRIdleManager&) = delete;

    // 1 when the handler is in the list (also when it was already); 0 for null or when
    // the list cannot grow.
    int AddHandler(CRIdlehandler* handler);
    // 1 when it was found and removed; 0 otherwise.
    int RemoveHandler(CRIdlehandler* handler);
    // Calls every handler in registration order: 1 when any asked for more time.
    int RunAll();

private:
    int IndexOf(CRIdlehandler* handler, uint32_t* index);

    std::unique_ptr<PTzBufferList> m_handlers;
};
