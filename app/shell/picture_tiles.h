// Drawing a zoomed picture tile by tile from its preview pixels: the view paints its
// window and its back buffer this way, the print preview and the panels their previews.
// Each tile of at most 256 x 256 is composed by ITzPicture::GetPreviewData3, which picks
// the preview-cache level for the zoom, over a background.
#pragma once

#include "base/geometry.h"
#include "engine/pixels/bitmap.h"
#include "engine/pixels/zoom_level.h"

class ITzPicture;
class QPainter;

// What lies under the picture's transparent pixels.
enum class TileBackground {
    White,
    Checkerboard,  // cells of 8, anchored to zoomed-picture coordinates
};

// Composes the zoomed picture's rectangle into a 24-bit mode-1 bitmap whose pixel (0, 0)
// is the rectangle's corner and which is at least the rectangle's size: the background
// first, then the visible layers.
void ComposePictureTile(ITzPicture* picture, _tagITzBITMAP* bitmap, const PTzRECT& zoomed,
                        _tagITzZOOMLEVEL zoom, TileBackground background);
// The background alone, in the same place.
void DrawTileBackground(_tagITzBITMAP* bitmap, const PTzRECT& zoomed, TileBackground background);

// Draws the zoomed picture's part under the area (painter coordinates, the picture's
// corner at origin), tile by tile through one scratch bitmap, skipping tiles outside the
// painter's clip. The number of tiles composed; 0 without a picture, without memory or
// when the area misses the picture.
int DrawPictureTiles(QPainter* painter, ITzPicture* picture, const PTzRECT& area, const PTzPOINT& origin,
                     _tagITzZOOMLEVEL zoom, TileBackground background);

// The zoomed picture under the area over white: DrawPictureTiles for callers that show a
// picture on paper or in a preview. Null arguments draw nothing.
void DrawPicturePreview(QPainter* painter, ITzPicture* picture, const PTzRECT* area, const PTzPOINT* origin,
                        _tagITzZOOMLEVEL* zoom);
