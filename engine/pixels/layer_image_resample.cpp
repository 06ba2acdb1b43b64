// The image layer's resampled reads into a channel bitmap: the start by resample type
// (nearest pixel or bilinear), the steps and end of whichever job runs, and the
// accumulation buffer of a bilinear read.
#include "engine/pixels/layer_image_resample.h"

#include <algorithm>
#include <climits>

#include "engine/pixels/layer_image.h"
#include "engine/pixels/resample.h"
#include "engine/pixels/zoom_arithmetic.h"

namespace lumatra {

PTzRECT ResampleArea(const PTzRECT& rect, const _tagITzCHANNELBITMAP& bitmap)
{
    return {rect.left, rect.top, int32_t(std::min<int64_t>(rect.right, int64_t{rect.left} + bitmap.width)),
            int32_t(std::min<int64_t>(rect.bottom, int64_t{rect.top} + bitmap.height))};
}

bool ResampleSourceRect(ITzLayerImage& layer, uint32_t type, const PTzRECT& area, const _tagITzZOOMLEVEL& zoomX,
                        const _tagITzZOOMLEVEL& zoomY, const _tagITzRESAMPLESETTING* setting, PTzRECT& source)
{
    if (area.left >= area.right || area.top >= area.bottom)
        return false;
    const bool mapped = type == ITzRESAMPLE_NEAREST
                            ? ITzZoomNNSourceRect(&zoomY, &zoomX, &area, &source, nullptr, nullptr)
                            : ITzZoomBLSourceRect(&zoomY, &zoomX, &area, &source, nullptr, nullptr);
    PTzRECT bounds;
    if (!mapped || layer.GetBounds(&bounds) != 0)
        return false;
    // A weight raised to its least value of 1 reaches one source further back than the
    // zoom arithmetic maps to.
    if (type == ITzRESAMPLE_BILINEAR) {
        source.left = int32_t(std::max<int64_t>(int64_t{source.left} - 1, INT32_MIN));
        source.top = int32_t(std::max<int64_t>(int64_t{source.top} - 1, INT32_MIN));
    }
    // A bilinear read weighs the transparent surroundings of the layer too, as far as
    // its tables reach; without tables it reads the layer alone.
    PTzRECT limit = bounds;
    if (type == ITzRESAMPLE_BILINEAR && setting && setting->tableX && setting->tableY)
        limit = {setting->tableX->firstSource, setting->tableY->firstSource, setting->tableX->endSource,
                 setting->tableY->endSource};
    const PTzRECT mappedRect = source;
    PTzRECT touched;
    return PTzRectIntersect(&mappedRect, &limit, &source) == 1 && PTzRectIntersect(&source, &bounds, &touched) == 1;
}

_tagITzCHANNELBITMAP LayerPlanesOf(ITzLayerImage& layer, const _tagITzCHANNELBITMAP& bitmap)
{
    _tagITzCHANNELBITMAP view = bitmap;
    const uint32_t channels = layer.GetChannelCount();
    for (uint32_t p = channels; p < 5; ++p)
        view.planes[p] = nullptr;
    return view;
}

ITzLayerImage* NewTransferTarget(ITzLayerImage& layer, const PTzRECT& bounds)
{
    ITzLayerBase* made = layer.CreateTransferLayer();
    auto* target = dynamic_cast<ITzLayerImage*>(made);
    if (!target || (!PTzRectEmpty(&bounds) && target->SetSize(&bounds, 1) != 0)) {
        ITzLayerBase::DestroyLayer(made);
        return nullptr;
    }
    return target;
}

ITzLayerImage* HandOverTarget(ITzLayerImage* target, bool complete)
{
    if (complete)
        return target;
    ITzLayerBase::DestroyLayer(target);
    return nullptr;
}

}  // namespace lumatra

int ITzLayerImage::AllocBLZoomBuffer(const _tagITzCHANNELBITMAP* bitmap, _tagITzZOOMBLBUFFERDATA* buffer)
{
    if (!bitmap)
        return 0;
    const _tagPTzSIZE size = {bitmap->width, bitmap->height};
    return ITzResize::AllocBLZoomBuffer(&size, bitmap, buffer);
}

int ITzLayerImage::FreeBLZoomBuffer(const _tagITzCHANNELBITMAP* bitmap, _tagITzZOOMBLBUFFERDATA* buffer)
{
    const _tagPTzSIZE size = {bitmap ? bitmap->width : 0, bitmap ? bitmap->height : 0};
    return ITzResize::ReleaseBLZoomBuffer(&size, buffer);
}

void* ITzLayerImage::ResampleFillChannelBitmapStart(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect,
                                                    const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                                    uint32_t type, void* setting)
{
    switch (type) {
    case ITzRESAMPLE_NEAREST: return ResampleFillChannelBitmapNNStart(bitmap, rect, zoomX, zoomY, setting);
    case ITzRESAMPLE_BILINEAR: return ResampleFillChannelBitmapBLStart(bitmap, rect, zoomX, zoomY, setting);
    default: return nullptr;
    }
}

int ITzLayerImage::ResampleFillChannelBitmap(void* job, uint32_t* progress)
{
    if (!job)
        return 0;
    switch (static_cast<lumatra::ResampleJobHeader*>(job)->type) {
    case ITzRESAMPLE_NEAREST: return ResampleFillChannelBitmapNN(job, progress);
    case ITzRESAMPLE_BILINEAR: return ResampleFillChannelBitmapBL(job, progress);
    default: return 0;
    }
}

int ITzLayerImage::ResampleFillChannelBitmapEnd(void* job)
{
    if (!job)
        return 0;
    switch (static_cast<lumatra::ResampleJobHeader*>(job)->type) {
    case ITzRESAMPLE_NEAREST: return ResampleFillChannelBitmapNNEnd(job);
    case ITzRESAMPLE_BILINEAR: return ResampleFillChannelBitmapBLEnd(job);
    default: return 0;
    }
}
