// The undo factory: one short-lived tool per replay or release of an undo record.
#include "engine/tools/tool_factory.h"

#include <memory>
#include <new>

#include "engine/tools/tool_auto_merge.h"
#include "engine/tools/tool_convert.h"
#include "engine/tools/tool_crop.h"
#include "engine/tools/tool_cut.h"
#include "engine/tools/tool_effect_base.h"
#include "engine/tools/tool_factory_test_hooks.h"
#include "engine/tools/tool_fill.h"
#include "engine/tools/tool_floating_base.h"
#include "engine/tools/tool_layer_manager.h"
#include "engine/tools/tool_layer_merge.h"
#include "engine/tools/tool_mask.h"
#include "engine/tools/tool_move.h"
#include "engine/tools/tool_paste.h"
#include "engine/tools/tool_resize.h"
#include "engine/tools/tool_rotate_special.h"
#include "engine/tools/tool_text.h"

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
    switch (id) {
    case ITzTOOLID_AUTO_CONVERT:
        return new (std::nothrow) ITzToolAutoConvert();
    case ITzTOOLID_AUTO_MERGE:
        return new (std::nothrow) ITzToolAutoMerge();
    case ITzTOOLID_CROP:
        return new (std::nothrow) ITzToolCrop();
    case ITzTOOLID_CUT:
        return new (std::nothrow) ITzToolCut();
    // Every effect shares the base's record and replay.
    case ITzTOOLID_EFFECT:
        return new (std::nothrow) ITzToolEffectBase();
    case ITzTOOLID_FILL:
        return new (std::nothrow) ITzToolFill();
    // Every tool that paints through a floating layer and keeps this ID shares the
    // base's record and replay.
    case ITzTOOLID_FLOATING:
        return new (std::nothrow) ITzToolFloatingBase();
    case ITzTOOLID_LAYER_MANAGER:
        return new (std::nothrow) ITzToolLayerManager();
    case ITzTOOLID_LAYER_MERGE:
        return new (std::nothrow) ITzToolLayerMerge();
    case ITzTOOLID_MASK:
        return new (std::nothrow) ITzToolMask();
    case ITzTOOLID_MOVE:
        return new (std::nothrow) ITzToolMove();
    case ITzTOOLID_PASTE:
        return new (std::nothrow) ITzToolPaste();
    case ITzTOOLID_RESIZE:
        return new (std::nothrow) ITzToolResize();
    case ITzTOOLID_ROTATE_SPECIAL:
        return new (std::nothrow) ITzToolRotateSpecial();
    case ITzTOOLID_CONVERT:
        return new (std::nothrow) ITzToolConvert();
    case ITzTOOLID_TEXT:
        return new (std::nothrow) ITzToolText();
    default:
        return nullptr;
    }
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
