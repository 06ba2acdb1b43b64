// The undo factory: one short-lived tool per replay or release of an undo record.
#include "engine/tools/tool_factory.h"

#include <memory>

#include "engine/tools/tool_factory_test_hooks.h"

namespace {

ITzTestToolMaker g_testToolMaker = nullptr;

struct ToolDestroyer {
    void operator()(ITzToolBase* tool) const { DestroyTool(tool); }
};

// Gives `use(tool)` for a fresh tool of the record's kind, or 0 when there is no record
// or no tool for its ID.
template <typename Use>
int WithToolFor(_tagUNDODATABASE* record, Use use)
{
    if (!record)
        return 0;
    const std::unique_ptr<ITzToolBase, ToolDestroyer> tool(CreateToolByID(record->toolID));
    if (!tool)
        return 0;
    return use(*tool);
}

}  // namespace

ITzToolBase* CreateToolByID(uint32_t id)
{
    if (g_testToolMaker)
        return g_testToolMaker(id);
    // Each engine tool adds its ID here as it is built; until then the records of an ID
    // are left alone by every dispatcher.
    (void)id;
    return nullptr;
}

int DestroyTool(ITzToolBase* tool)
{
    delete tool;
    return 1;
}

int DoUndoByToolID(_tagUNDODATABASE* record, ITzPicture* picture)
{
    return WithToolFor(record, [&](ITzToolBase& tool) { return tool.DoUndo(picture, record); });
}

int DoRedoByToolID(_tagUNDODATABASE* record, ITzPicture* picture)
{
    return WithToolFor(record, [&](ITzToolBase& tool) { return tool.DoRedo(picture, record); });
}

int ReleaseUndoDataByToolID(_tagUNDODATABASE* record)
{
    return WithToolFor(record, [&](ITzToolBase& tool) {
        tool.ReleaseUndoData(record);
        return 1;
    });
}

void ITzTestSetToolMaker(ITzTestToolMaker maker)
{
    g_testToolMaker = maker;
}
