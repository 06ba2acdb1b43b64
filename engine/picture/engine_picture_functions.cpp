// The plain functions that create, query, undo and destroy pictures by handle.
#include <cstdint>
#include <memory>

#include "base/error_codes.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"

namespace {

struct PictureDeleter {
    void operator()(ITzPicture* picture) const { ITzPicture::DestoryPicture(picture); }
};
using PicturePtr = std::unique_ptr<ITzPicture, PictureDeleter>;

// A new picture when the size fits the picture's signed coordinates, else null with -1001.
PicturePtr NewPicture(uint32_t width, uint32_t height)
{
    if (width > INT32_MAX || height > INT32_MAX)
        return PTzSetLastError(ITzERR_INVALID), nullptr;
    PicturePtr picture(ITzPicture::Lock(ITzPicture::CreatePicture()));
    if (!picture)
        PTzSetLastError(PTzERR_OUT_OF_MEMORY);
    return picture;
}

}  // namespace

void* ITzPictCreate(uint32_t width, uint32_t height)
{
    PicturePtr picture = NewPicture(width, height);
    if (!picture)
        return nullptr;
    picture->Create(width, height);
    return picture.release();
}

void* ITzPictCreate_1(uint32_t width, uint32_t height, const _tagPTzCOLOR* colour)
{
    PicturePtr picture = NewPicture(width, height);
    if (!picture)
        return nullptr;
    if (const int result = picture->Create_1(width, height, colour); result != 0)
        return PTzSetLastError(result), nullptr;
    return picture.release();
}

ITzPicture* ITzPictGetPictureClass(void* handle)
{
    return ITzPicture::Lock(handle);
}

void* ITzPictSetPictureClass(ITzPicture* picture)
{
    return picture;
}

int ITzPictDestroy(void* handle)
{
    return ITzPicture::DestoryPicture(handle) ? 0 : PTzFail(ITzERR_INVALID);
}

int ITzPictSaveCheckPlugIn(void* handle, void* plugin)
{
    return handle ? ITzPicture::Lock(handle)->SavePlugInSupport(plugin) : 0;
}

int ITzPictGetSize(void* handle, _tagPTzSIZE* size)
{
    return handle ? ITzPicture::Lock(handle)->GetSize(size) : PTzFail(ITzERR_INVALID);
}

int ITzPictGetPreviewData(void* handle, const PTzRECT* rect, _tagITzBITMAP* bitmap, _tagITzZOOMLEVEL* zoom)
{
    return handle ? ITzPicture::Lock(handle)->GetPreviewData(rect, bitmap, zoom, 0) : PTzFail(ITzERR_INVALID);
}

int ITzPictGetPreviewSize(void* handle, _tagPTzSIZE* size, _tagITzZOOMLEVEL* zoom)
{
    return handle ? ITzPicture::Lock(handle)->GetPreviewSize(size, zoom) : PTzFail(ITzERR_INVALID);
}

uint32_t ITzPictGetFormat(void* handle)
{
    return handle ? ITzPicture::Lock(handle)->GetFormat() : PTzFourCCNone;
}

void* ITzPictGetSelectionLayer(void* handle)
{
    // Every layer handle is the layer's ITzLayerBase address.
    ITzLayerBase* layer = handle ? ITzPicture::Lock(handle)->GetSelectionLayer(0) : nullptr;
    return layer;
}

int ITzPictDoUndo(void* handle)
{
    return handle ? ITzPicture::Lock(handle)->DoUndo() : 0;
}

int ITzPictDoRedo(void* handle)
{
    return handle ? ITzPicture::Lock(handle)->DoRedo() : 0;
}

int ITzPictInsertDataChangeHandler(void* handle, ITzPictDataChangeHandler* handler)
{
    return handle ? ITzPicture::Lock(handle)->InsertDataChangeHandler(handler) : 0;
}

int ITzPictRemoveDataChangeHandler(void* handle, ITzPictDataChangeHandler* handler)
{
    return handle ? ITzPicture::Lock(handle)->RemoveDataChangeHandler(handler) : 0;
}
