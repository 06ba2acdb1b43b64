// Loading through the I/O manager: choosing a reader, the stepwise load of rows a
// plug-in delivers into a new one-layer picture, and the one-call load built on it.
#include <memory>
#include <new>

#include "base/error_codes.h"
#include "base/file_stream.h"
#include "engine/picture/ftz_manage.h"
#include "engine/picture/image_io_jobs.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_base.h"
#include "formats/manager/load_modes.h"
#include "formats/manager/load_session.h"
#include "formats/manager/reader_lookup.h"
#include "formats/manager/save_format.h"

namespace {

constexpr int kFinished = 2001;

bool ModeFits(uint32_t mode)
{
    return mode == FTzMODE_ROWS || mode == FTzMODE_NATIVE;
}

// The first of the plug-in's load modes that the manager can run, or 0.
uint32_t FittingLoadMode(void* plugin)
{
    uint32_t mode = 0;
    void* find = FTzLoadFindFirstSupportMode(plugin, &mode);
    bool fits = ModeFits(mode);
    while (find && !fits && FTzLoadFindNextSupportMode(plugin, find, &mode))
        fits = ModeFits(mode);
    if (find)
        FTzLoadFindSupportModeClose(plugin, find);
    return fits ? mode : 0;
}

int LoadGetData_1(uint32_t row, uint32_t rows, _tagPTzCOLORCONVERTBUFFER* buffer, void* user)
{
    auto* job = static_cast<ITzLoadJob*>(user);
    if (!job || !job->manager)
        return -1;
    return job->manager->ReceiveRows(job->picture, row, rows, buffer);
}

// A picture of the image's size with one opaque white ARGB layer named "Layer".
ITzPicture* MakeLoadPicture(const _tagFTzIMAGEINFO_1& info)
{
    if (info.width <= 0 || info.height <= 0)
        return nullptr;
    std::unique_ptr<ITzPicture> picture(new (std::nothrow) ITzPicture());
    if (!picture || picture->Create_1(static_cast<uint32_t>(info.width), static_cast<uint32_t>(info.height), nullptr))
        return nullptr;
    picture->SetXPelsPerMeter(static_cast<uint32_t>(info.xPelsPerMeter));
    picture->SetYPelsPerMeter(static_cast<uint32_t>(info.yPelsPerMeter));
    picture->GetLayerbyIndex(0)->SetName(u"Layer");
    return picture.release();
}

// Starts the plug-in's session and prepares the picture: 0, or the failure's code with
// the session ended and the picture destroyed.
int StartRowsLoad(ITzLoadJob& job)
{
    int error = 0;
    job.session = FTzLoadStart_1V1(job.plugin, job.stream, nullptr, job.setting, &error);
    if (!job.session)
        return error ? error : PTzLastErrorOr(-1);
    _tagFTzIMAGEINFO_1 info = {};
    int result = FTzLoadGetInfo_1(job.session, &info);
    if (result == 0) {
        job.picture = MakeLoadPicture(info);
        result = job.picture ? 0 : PTzLastErrorOr(PTzERR_OUT_OF_MEMORY);
    }
    if (result == 0) {
        job.manager->SetBandDirection(info.rowOrder == 1 ? 1 : 0);
        _tagPTzCOLORMODE mode = info.mode;
        uint16_t bits = info.bits;
        if (job.picture->LoadNeedConvertColor_1(&mode, &bits))
            result = FTzLoadSetColorMode_1(job.session, mode, bits);
    }
    if (result == 0) {
        job.receiver = {LoadGetData_1, &job};
        result = FTzLoadSetDataCallBack_1(job.session, &job.receiver);
    }
    if (result != 0) {
        FTzLoadEnd_1(job.session);
        job.session = nullptr;
        delete job.picture;
        job.picture = nullptr;
    }
    return result;
}

int StartNativeLoad(ITzLoadJob& job)
{
    job.native.reset(new (std::nothrow) lumatra::native::PictureReader(job.stream));
    if (!job.native)
        return PTzFail(PTzERR_OUT_OF_MEMORY);
    if (job.native->Failed()) {
        const int error = job.native->Error();
        job.native.reset();
        return error;
    }
    return 0;
}

void FreeLoadJob(ITzLoadJob* job, bool releaseSetting)
{
    job->native.reset();
    if (job->session)
        FTzLoadEnd_1(job->session);
    if (job->stream)
        PTzFileStreamDestory(job->stream);
    if (releaseSetting && job->setting)
        FTzReleaseFormatSetting(job->plugin, job->setting);
    delete job->picture;
    delete job;
}

}  // namespace

namespace lumatra {

bool ChooseReader(const _tagPTzFILE* file, void** plugin, uint32_t* mode)
{
    CFTzManage* manage = CFTzManage::Get();
    if (!manage || !manage->GetList())
        return false;
    void* candidate = nullptr;
    void* search = FTzLoadFindFirstPlugIn(manage->GetList(), file, &candidate, 1);
    if (!search)
        return false;
    bool found = false;
    do {
        if (const uint32_t fitting = FittingLoadMode(candidate)) {
            *plugin = candidate;
            *mode = fitting;
            found = true;
        }
    } while (!found && FTzLoadFindNextPlugIn(search, &candidate));
    FTzLoadFindPlugInClose(search);
    return found;
}

}  // namespace lumatra

ITzLoadJob* ITzImageIOManager::DoLoadStart(const _tagPTzFILE* file)
{
    if (!file)
        return PTzSetLastError(-1), nullptr;
    auto* job = new (std::nothrow) ITzLoadJob();
    if (!job)
        return PTzSetLastError(PTzERR_OUT_OF_MEMORY), nullptr;
    job->manager = this;
    if (!lumatra::ChooseReader(file, &job->plugin, &job->mode)) {
        delete job;
        return nullptr;
    }
    job->setting = FTzCreateFormatSetting(job->plugin);
    job->stream = PTzFileStreamCreate_1(file, 2, PTzFILESTREAM_WINDOW);
    const int result = !job->stream               ? PTzLastErrorOr(-1)
                       : job->mode == FTzMODE_ROWS ? StartRowsLoad(*job)
                                                   : StartNativeLoad(*job);
    if (result != 0) {
        PTzSetLastError(result);
        FreeLoadJob(job, true);
        return nullptr;
    }
    return job;
}

int ITzImageIOManager::DoLoading(ITzLoadJob* job, uint8_t* percent)
{
    if (!job || job->outcome != 0)
        return 0;
    if (job->native) {
        const int more = job->native->Step();
        if (percent)
            *percent = static_cast<uint8_t>(job->native->Progress());
        if (more)
            return 1;
        job->outcome = job->native->Finished() ? kFinished : job->native->Error();
        return 0;
    }
    uint8_t progress = 0;
    const int result = FTzLoading_1(job->session, percent ? percent : &progress);
    if (result == 0)
        return 1;
    job->outcome = result;
    if (result == kFinished) {
        if (const int written = FlushBand(job->picture))
            job->outcome = written;
    }
    return 0;
}

ITzPicture* ITzImageIOManager::DoLoadEnd(ITzLoadJob* job)
{
    if (!job)
        return nullptr;
    ITzPicture* picture = nullptr;
    if (job->outcome == kFinished) {
        picture = job->native ? job->native->TakePicture() : job->picture;
        job->picture = nullptr;
    }
    if (picture) {
        const _tagITzPICTFORMETSETTING format = {job->plugin, job->setting};
        picture->SetFormat(&format);
    } else {
        PTzSetLastError(job->outcome && job->outcome != kFinished ? job->outcome : ITzERR_INVALID);
    }
    FreeLoadJob(job, !picture);
    return picture;
}

void ITzImageIOManager::DoLoadCancel(ITzLoadJob* job)
{
    if (job)
        FreeLoadJob(job, true);
}

ITzPicture* ITzImageIOManager::LoadImageFile(const _tagPTzFILE* file)
{
    ITzLoadJob* job = DoLoadStart(file);
    while (DoLoading(job, nullptr)) {
    }
    return DoLoadEnd(job);
}
