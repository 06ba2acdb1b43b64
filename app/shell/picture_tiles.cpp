// The tiles are cut from the area itself (PTzRectEnumFill), so a thin band of a window
// composes thin tiles; the scratch bitmap is allocated once per call.
#include "app/shell/picture_tiles.h"

#include <QPainter>
#include <cstring>

#include "app/shell/bitmap_draw.h"
#include "app/shell/drawing_functions.h"
#include "base/color.h"
#include "engine/picture/picture.h"

namespace {

constexpr int32_t kTile = 256;
constexpr int32_t kCheckerCell = 8;

// The scratch bitmap of a paint, freed with the scope.
class ScratchTile {
public:
    ScratchTile() : m_bitmap{}
    {
        const _tagPTzSIZE size = {kTile, kTile};
        ITzPrepareITzBitmap(&m_bitmap, &size, PTzCOLORMODE_RGB);
    }
    ~ScratchTile() { ITzReleaseITzBitmap(&m_bitmap); }
    ScratchTile(const ScratchTile&) = delete;
    ScratchTile& operator=(const ScratchTile&) = delete;

    bool Valid() const { return m_bitmap.pixels != nullptr; }
    // The scratch described as a bitmap of the tile's size.
    _tagITzBITMAP Sized(const PTzRECT& tile) const
    {
        _tagITzBITMAP sized = m_bitmap;
        sized.width = tile.right - tile.left;
        sized.height = tile.bottom - tile.top;
        return sized;
    }

private:
    _tagITzBITMAP m_bitmap;
};

bool TileVisible(QPainter* painter, const PTzRECT& tile)
{
    return !painter->hasClipping() ||
           painter->clipRegion().intersects(QRect(tile.left, tile.top, tile.right - tile.left, tile.bottom - tile.top));
}

}  // namespace

void DrawTileBackground(_tagITzBITMAP* bitmap, const PTzRECT& zoomed, TileBackground background)
{
    const PTzRECT whole = {0, 0, zoomed.right - zoomed.left, zoomed.bottom - zoomed.top};
    if (background == TileBackground::Checkerboard) {
        DrawCheckerboard(bitmap, &whole, kCheckerCell, {zoomed.left, zoomed.top});
    } else {
        for (int32_t y = 0; y < whole.bottom; ++y)
            std::memset(bitmap->pixels + int64_t(y) * bitmap->stride, 0xFF, size_t(whole.right) * 3);
    }
}

void ComposePictureTile(ITzPicture* picture, _tagITzBITMAP* bitmap, const PTzRECT& zoomed, _tagITzZOOMLEVEL zoom,
                        TileBackground background)
{
    DrawTileBackground(bitmap, zoomed, background);
    picture->GetPreviewData3(&zoomed, bitmap, &zoom);
}

int DrawPictureTiles(QPainter* painter, ITzPicture* picture, const PTzRECT& area, const PTzPOINT& origin,
                     _tagITzZOOMLEVEL zoom, TileBackground background)
{
    _tagPTzSIZE size = {};
    if (!painter || !picture || picture->GetPreviewSize(&size, &zoom) != 0)
        return 0;
    // The area cut to the zoomed picture, in painter coordinates (formed in 64 bits: the
    // picture may reach past the coordinate range).
    const PTzRECT shown = {PTzSaturate32(origin.x), PTzSaturate32(origin.y),
                           PTzSaturate32(int64_t(origin.x) + size.cx), PTzSaturate32(int64_t(origin.y) + size.cy)};
    PTzRECT cut;
    if (!PTzRectIntersect(&area, &shown, &cut))
        return 0;
    ScratchTile scratch;
    if (!scratch.Valid())
        return 0;
    _tagPTzRECTENUM walk;
    PTzRectEnumFill(&cut, &walk, nullptr);
    PTzRECT tile;
    int drawn = 0;
    while (PTzRectEnumGetCurrent(&walk, &tile)) {
        if (!TileVisible(painter, tile))
            continue;
        const PTzRECT zoomed = {tile.left - origin.x, tile.top - origin.y, tile.right - origin.x,
                                tile.bottom - origin.y};
        _tagITzBITMAP bitmap = scratch.Sized(tile);
        ComposePictureTile(picture, &bitmap, zoomed, zoom, background);
        ITzITzBitmapDraw(painter, &bitmap, &tile);
        ++drawn;
    }
    return drawn;
}

void DrawPicturePreview(QPainter* painter, ITzPicture* picture, const PTzRECT* area, const PTzPOINT* origin,
                        _tagITzZOOMLEVEL* zoom)
{
    if (area && origin && zoom)
        DrawPictureTiles(painter, picture, *area, *origin, *zoom, TileBackground::White);
}
