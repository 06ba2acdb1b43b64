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
    const int32_t width = std::min(destRect->right - destRect->left, sourceRect->right - sourceRect->left);
    const int32_t height = std::min(destRect->bottom - destRect->top, sourceRect->bottom - sourceRect->top);
    const PTzRECT copied = {destRect->left, destRect->top, destRect->left + width, destRect->top + height};
    const _tagPTzOFFSET toSource = {sourceRect->left - destRect->left, sourceRect->top - destRect->top};
    _tagPTzRECTENUM walk;
    if (width <= 0 || height <= 0 || PTzRectEnumFill(&copied, &walk, nullptr) != 0)
        return 0;
    PTzRECT tile;
    while (PTzRectEnumGetCurrent(&walk, &tile)) {
        PTzRECT from;
        PTzRectOffset(&tile, &toSource, &from);
        _tagITzCHANNELBITMAP pixels = {tile.right - tile.left, tile.bottom - tile.top, 0, 0, {}};
        if (!source->LockChannelBitmap(&pixels))
            continue;
        if (source->GetRectChannelDataWithFloating(&pixels, &from))
            dest->SetRectChannelData(&pixels, &tile);
        source->UnlockChannelBitmap(&pixels);
    }
    return 0;
}
