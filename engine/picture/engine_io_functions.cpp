// The plain functions that load and save pictures, each with a fresh I/O manager.
#include "base/error_codes.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/ftz_manage.h"
#include "engine/picture/image_io_manager.h"
#include "engine/picture/picture.h"

void* ITzGetFTzIOHANDLE()
{
    CFTzManage* manage = CFTzManage::Get();
    return manage ? manage->GetList() : nullptr;
}

void* ITzPictLoad_1(const _tagPTzFILE* file, int* error)
{
    ITzImageIOManager manager;
    ITzPicture* picture = manager.LoadImageFile(file);
    // A load that worked reports 0 whatever an earlier call left as the last error.
    if (error)
        *error = picture ? 0 : PTzLastErrorOr(ITzERR_INVALID);
    return picture;
}

void* ITzPictLoad(const _tagPTzFILE* file)
{
    return ITzPictLoad_1(file, nullptr);
}

int ITzPictSave(void* handle, const _tagPTzFILE* file)
{
    if (!handle)
        return PTzFail(ITzERR_INVALID);
    ITzImageIOManager manager;
    return manager.SaveImageFile(ITzPicture::Lock(handle), file);
}

int ITzPictSaveAs(void* handle, const _tagPTzFILE* file, void* plugin, void* owner)
{
    if (!handle)
        return PTzFail(ITzERR_INVALID);
    ITzImageIOManager manager;
    return manager.SaveAsImageFile(ITzPicture::Lock(handle), file, plugin, owner);
}
