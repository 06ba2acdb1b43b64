// The handler list is a buffer list of pointers (its calls give 0 on success), read item
// by item so that a handler may register or unregister others from inside its OnIdle.
#include "app/shell/idle_manager.h"

#include <new>

#include "app/shell/application.h"

namespace {

CRIdleManager* TheIdleManager()
{
    CTamsleyApp* app = CTamsleyApp::Get();
    return app ? app->GetIdleManager() : nullptr;
}

}  // namespace

CRIdlehandler::~CRIdlehandler()
{
    CRIdlehandler::Unregister();
}

int CRIdlehandler::Register()
{
    CRIdleManager* manager = TheIdleManager();
    if (manager && manager->AddHandler(this))
        m_registered = 1;
    return int(m_registered);
}

int CRIdlehandler::Unregister()
{
    CRIdleManager* manager = TheIdleManager();
    if (m_registered && manager && manager->RemoveHandler(this))
        m_registered = 0;
    return 1;
}

CRIdleManager::CRIdleManager() : m_handlers(new (std::nothrow) PTzBufferList(sizeof(CRIdlehandler*), 8)) {}

CRIdleManager::~CRIdleManager() = default;

int CRIdleManager::IndexOf(CRIdlehandler* handler, uint32_t* index)
{
    const uint32_t count = m_handlers->GetItemCount();
    for (uint32_t i = 0; i < count; ++i) {
        CRIdlehandler* item = nullptr;
        if (m_handlers->GetItemByIndex(i, &item, sizeof(item)) == 0 && item == handler) {
            *index = i;
            return 1;
        }
    }
    return 0;
}

int CRIdleManager::AddHandler(CRIdlehandler* handler)
{
    uint32_t index = 0;
    if (!handler || !m_handlers)
        return 0;
    if (IndexOf(handler, &index))
        return 1;
    return m_handlers->InsertItemByIndex(m_handlers->GetItemCount(), &handler, sizeof(handler)) == 0 ? 1 : 0;
}

int CRIdleManager::RemoveHandler(CRIdlehandler* handler)
{
    uint32_t index = 0;
    if (!handler || !m_handlers || !IndexOf(handler, &index))
        return 0;
    return m_handlers->RemoveItemByIndex(index, nullptr, 0) == 0 ? 1 : 0;
}

int CRIdleManager::RunAll()
{
    if (!m_handlers)
        return 0;
    int more = 0;
    const uint32_t count = m_handlers->GetItemCount();
    for (uint32_t i = 0; i < count && i < m_handlers->GetItemCount(); ++i) {
        CRIdlehandler* handler = nullptr;
        if (m_handlers->GetItemByIndex(i, &handler, sizeof(handler)) == 0 && handler && handler->OnIdle())
            more = 1;
    }
    return more;
}
