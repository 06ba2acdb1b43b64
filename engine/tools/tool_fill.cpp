// The colour fill: the floating layer filled over the picture and merged with undo.
#include "engine/tools/tool_fill.h"

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"

ITzToolFill::ITzToolFill()
{
    m_toolID = ITzTOOLID_FILL;
}

int ITzToolFill::FillData(ITzPicture* picture, _tagPTzCOLOR* colour, uint8_t opacity)
{
    if (!picture || !colour || !StartEditing(picture))
        return 0;
    int result = 0;
    if (ITzLayerImage* floating = CreateFloatingLayer(picture)) {
        _tagPTzSIZE size = {};
        picture->GetSize(&size);
        const PTzRECT all = {0, 0, size.cx, size.cy};
        PTzRECT local;
        floating->PRECTtoLRECT(&all, &local);
        if (floating->FillRect(&local, colour) == 0) {
            floating->SetOpacity(opacity);
            result = MergeFloatingLayer(picture);
        }
        if (!result)
            DiscardFloatingLayer(picture);
    }
    StopEditing(picture);
    return result;
}
