// ITzInit and ITzUninit over the engine's process-wide objects; ITzInit also connects
// the image layers' DIB exchange.
#include "engine/picture/engine_functions.h"
#include "engine/picture/engine_global_tool_list.h"
#include "engine/picture/engine_lifetime.h"
#include "engine/picture/ftz_manage.h"
#include "engine/picture/image_io_manager.h"
#include "engine/pixels/anti_line_math.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/block_memory_pool.h"

namespace {

// In the order ITzUninit frees them.
const ITzEngineService g_services[ITzSERVICE_COUNT] = {
    {[] { return FindMathMerge() != nullptr; }, [] { return GetMathMerge() != nullptr; },
     [] { FreeMathMerge(); }},
    {[] { return CFTzManage::Find() != nullptr; }, [] { return CFTzManage::Get() != nullptr; },
     [] { CFTzManage::Delete(); }},
    {[] { return FindGlobalToolList() != nullptr; }, [] { return GetGlobalToolList() != nullptr; },
     [] { FreeGlobalToolList(); }},
    {[] { return FindBlockMemoryPool() != nullptr; }, [] { return GetBlockMemoryPool() != nullptr; },
     [] { FreeBlockMemoryPool(); }},
    {[] { return FindAntiLineMath() != nullptr; }, [] { return GetAntiLineMath() != nullptr; },
     [] { FreeAntiLineMath(); }},
};

ITzEngineLifetime& Lifetime()
{
    static ITzEngineLifetime lifetime(g_services);
    return lifetime;
}

}  // namespace

int ITzInit()
{
    ITzImageIOManager::ConnectLayerDIBExchange();
    return Lifetime().Init();
}

int ITzUninit()
{
    return Lifetime().Uninit();
}
