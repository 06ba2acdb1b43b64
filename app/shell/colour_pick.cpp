// One pixel is composed at 1/1 into a 32-bit ARGB bitmap of its own.
#include "app/shell/colour_pick.h"

#include "engine/picture/picture.h"

int PickPictureColor(ITzPicture* picture, const PTzPOINT* point, _tagPTzCOLOR* colour)
{
    _tagPTzSIZE size = {};
    if (!picture || !point || !colour || picture->GetSize(&size) != 0)
        return 0;
    // Only inside: layers may hold pixels beyond the picture's edges.
    if (point->x < 0 || point->y < 0 || point->x >= size.cx || point->y >= size.cy)
        return 0;
    uint8_t pixel[4] = {};
    _tagITzBITMAP bitmap = {1, 1, 4, 32, PTzCOLORMODE_ARGB, pixel};
    const PTzRECT rect = {point->x, point->y, point->x + 1, point->y + 1};
    _tagITzZOOMLEVEL zoom = {1, 1};
    if (picture->GetPreviewData(&rect, &bitmap, &zoom, 0) != 0 || pixel[0] == 0)
        return 0;
    *colour = {PTzCOLORMODE_ARGB, 255, {pixel[1], pixel[2], pixel[3], 0, 0, 0, 0}};
    return 1;
}
