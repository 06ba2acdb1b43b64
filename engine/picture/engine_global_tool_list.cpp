// The global tool list's making and freeing.
#include "engine/picture/engine_global_tool_list.h"

#include <new>

#include "engine/tools/tool_factory.h"
#include "engine/tools/tool_layer_manager.h"

namespace {

ITzGlobalToolList* g_toolList = nullptr;

}  // namespace

ITzGlobalToolList* GetGlobalToolList()
{
    if (g_toolList)
        return g_toolList;
    g_toolList = new (std::nothrow) ITzGlobalToolList{};
    if (!g_toolList)
        return nullptr;
    if (ITzToolBase* layerManager = new (std::nothrow) ITzToolLayerManager())
        g_toolList->tools[g_toolList->count++] = layerManager;
    return g_toolList;
}

ITzGlobalToolList* FindGlobalToolList()
{
    return g_toolList;
}

void FreeGlobalToolList()
{
    if (!g_toolList)
        return;
    while (g_toolList->count > 0)
        DestroyTool(g_toolList->tools[--g_toolList->count]);
    delete g_toolList;
    g_toolList = nullptr;
}
