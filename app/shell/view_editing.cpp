// The editing keys' engine calls.
#include "app/shell/view_editing.h"

#include "app/shell/picture_view.h"
#include "engine/picture/engine_functions.h"
#include "engine/tools/tool_fill.h"

void CViewEditing::FillSelection(CTamsleyView* view, const _tagPTzCOLOR& colour)
{
    ITzPicture* picture = view ? view->GetPicture() : nullptr;
    if (!picture)
        return;
    _tagPTzCOLOR fill = colour;
    ITzToolFill tool;
    tool.FillData(picture, &fill, 255);
}

void CViewEditing::ClearSelection(CTamsleyView* view)
{
    ITzPicture* picture = view ? view->GetPicture() : nullptr;
    // The pixels come back as a layer of their own, which nothing here keeps.
    if (picture)
        ITzLayerDestroy(picture->DoDelete());
}
