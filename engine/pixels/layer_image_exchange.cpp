// Pixels leaving or entering an image layer whole: copies of a rectangle between two
// layers and the packed-DIB exchange, which the connected exchange carries out.
#include <algorithm>

#include "base/error_codes.h"
#include "engine/pixels/layer_dib_exchange.h"
#include "engine/pixels/layer_image.h"

namespace {

const ITzLayerDIBExchange* g_dibExchange = nullptr;

}  // namespace

void ITzSetLayerDIBExchange(const ITzLayerDIBExchange* exchange)
{
    g_dibExchange = exchange;
}

const ITzLayerDIBExchange* ITzGetLayerDIBExchange()
{
    return g_dibExchange;
}

int ITzLayerImage::RebuildWithDib(const BITMAPINFOHEADER* dib, uint32_t size)
{
    if (!g_dibExchange)
        return PTzFailWithZero(ITzERR_INVALID);
    return g_dibExchange->load(dib, size, this);
}

void* ITzLayerImage::SavetoDIB(_tagITzMEMHANDLECBS* memory)
{
    if (!g_dibExchange)
        return PTzSetLastError(ITzERR_INVALID), nullptr;
    return g_dibExchange->save(this, memory);
}

int ITzCopyLayerRect(const PTzRECT* destRect, const PTzRECT* sourceRect, ITzLayerImage* source,
                     ITzLayerImage* dest)
{
    if (!destRect || !sourceRect || !source || !dest)
        return ITzERR_INVALID;
    if (source->GetColorMode() != dest->GetColorMode())
        return 0;
    // The copy is as large as the smaller rectangle, at the destination's corner; a
    // destination pixel (x, y) shows source pixel (x + dx, y + dy). Only the part on the
    // destination's grid can land, and only pixels whose source lies in the coordinate
    // range have one, so the walk is cut to both; in 64 bits, as the rectangles may span
    // the whole range.
    const int64_t dx = int64_t(sourceRect->left) - destRect->left;
    const int64_t dy = int64_t(sourceRect->top) - destRect->top;
    PTzRECT grid;
    dest->GetBlockBounds(&grid);
    dest->PRECTtoLRECT(&grid, &grid);
    const int64_t left = std::max<int64_t>({destRect->left, grid.left, INT32_MIN - dx});
    const int64_t top = std::max<int64_t>({destRect->top, grid.top, INT32_MIN - dy});
    const int64_t right = std::min<int64_t>(
        {destRect->left + std::min(PTzRectWidth(*destRect), PTzRectWidth(*sourceRect)), grid.right, INT32_MAX - dx});
    const int64_t bottom = std::min<int64_t>(
        {destRect->top + std::min(PTzRectHeight(*destRect), PTzRectHeight(*sourceRect)), grid.bottom, INT32_MAX - dy});
    if (left >= right || top >= bottom)
        return 0;
    const PTzRECT copied = {int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
    _tagPTzRECTENUM walk;
    if (PTzRectEnumFill(&copied, &walk, nullptr) != 0)
        return 0;
    PTzRECT tile;
    while (PTzRectEnumGetCurrent(&walk, &tile)) {
        const PTzRECT from = {int32_t(tile.left + dx), int32_t(tile.top + dy), int32_t(tile.right + dx),
                              int32_t(tile.bottom + dy)};
        _tagITzCHANNELBITMAP pixels = {tile.right - tile.left, tile.bottom - tile.top, 0, 0, {}};
        if (!source->LockChannelBitmap(&pixels))
            continue;
        if (source->GetRectChannelDataWithFloating(&pixels, &from))
            dest->SetRectChannelData(&pixels, &tile);
        source->UnlockChannelBitmap(&pixels);
    }
    return 0;
}
