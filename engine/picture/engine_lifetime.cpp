// Nesting of ITzInit/ITzUninit over the process-wide objects' base reference.
#include "engine/picture/engine_lifetime.h"

#include "base/error_codes.h"

bool ITzEngineLifetime::Exists(uint32_t index) const
{
    return m_services[index].exists && m_services[index].exists();
}

bool ITzEngineLifetime::Make(uint32_t index) const
{
    return m_services[index].make && m_services[index].make();
}

void ITzEngineLifetime::Free(uint32_t index) const
{
    if (m_services[index].free)
        m_services[index].free();
}

int ITzEngineLifetime::Init()
{
    const bool hadList = Exists(ITzSERVICE_TOOL_LIST);
    const bool hadPool = Exists(ITzSERVICE_SCRATCH_POOL);
    const bool madeList = Make(ITzSERVICE_TOOL_LIST);
    const bool madePool = madeList && Make(ITzSERVICE_SCRATCH_POOL);
    if (!madeList || !madePool) {
        // Live pictures may use what existed before; only this call's own objects go.
        if (!hadList)
            Free(ITzSERVICE_TOOL_LIST);
        if (!hadPool)
            Free(ITzSERVICE_SCRATCH_POOL);
        return PTzFail(ITzERR_INIT_FAILED);
    }
    // The anti-aliasing table is made when it can be; the engine works without it.
    Make(ITzSERVICE_ANTI_LINE_MATH);
    ++m_openPairs;
    return 0;
}

int ITzEngineLifetime::Uninit()
{
    if (m_openPairs > 0) {
        --m_openPairs;
        return 0;
    }
    for (uint32_t i = 0; i < ITzSERVICE_COUNT; ++i) {
        if (Exists(i))
            Free(i);
    }
    return 0;
}
