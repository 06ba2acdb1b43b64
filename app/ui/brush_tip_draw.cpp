// Drawing a brush record's tip through the engine's preview bitmap.
#include "app/ui/brush_tip_draw.h"

#include "app/shell/bitmap_draw.h"
#include "app/ui/brush_data.h"
#include "base/color.h"
#include "engine/pixels/bitmap.h"

bool DrawBrushTip(QPainter* painter, CBrushDataBase* record, const PTzRECT& area)
{
    if (!painter || !record)
        return false;
    const _tagPTzSIZE size = {area.right - area.left, area.bottom - area.top};
    _tagITzBITMAP bitmap = {};
    if (!ITzPrepareITzBitmap(&bitmap, &size, PTzCOLORMODE_GRAY))
        return false;
    // A record that cannot build its tip leaves the bitmap black: the area shows blank.
    record->DrawPreview(&bitmap);
    InverseITzBitmap(&bitmap);
    ITzITzBitmapDraw(painter, &bitmap, &area);
    ITzReleaseITzBitmap(&bitmap);
    return true;
}
