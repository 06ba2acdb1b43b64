// Saving through the I/O manager: the stepwise save of a picture's rows to a writer
// plug-in and the one-call saves built on it. A save changes the picture's format
// only when it completed, and its end reports every failure on the way.
#include <new>

#include "base/error_codes.h"
#include "base/file_stream.h"
#include "engine/picture/image_io_jobs.h"
#include "engine/picture/picture.h"
#include "formats/manager/save_format.h"
#include "formats/manager/save_session.h"

namespace {

constexpr int kFinished = 2001;

int SaveGetData_1(uint32_t row, uint32_t rows, _tagPTzCOLORCONVERTBUFFER* buffer, void* user)
{
    auto* job = static_cast<ITzSaveJob*>(user);
    if (!job || !job->manager)
        return ITzERR_INVALID;
    return job->manager->SupplyRows(job->picture, row, rows, buffer);
}

// What the writer is told of the picture, with alpha only when the plug-in keeps it.
_tagFTzIMAGEINFO_1 PictureInfo(const ITzPicture& picture, void* plugin)
{
    _tagFTzIMAGEINFO_1 info = {};
    picture.GetIMAGEINFO_1FromPict(&info, FTzSaveSupportAlpha_1(plugin));
    return info;
}

// Opens the file and the writer's session: 0, or the failure's code.
int StartRowsSave(ITzSaveJob& job, const _tagPTzFILE* file, const _tagFTzIMAGEINFO_1& info)
{
    job.stream = PTzFileStreamCreateEx_1(file, 3, PTzFILESTREAM_WINDOW);
    if (!job.stream)
        return PTzLastErrorOr(-1);
    int error = 0;
    job.session = FTzSaveStart_1(job.plugin, job.stream, nullptr, &error);
    if (!job.session)
        return error ? error : PTzLastErrorOr(-1);
    int result = job.setting ? FTzSaveSetFormatSetting_1(job.session, job.setting) : 0;
    if (result == 0)
        result = FTzSaveSetInfo_1(job.session, &info);
    if (result == 0) {
        job.supplier = {SaveGetData_1, &job};
        result = FTzSaveSetCallBack_1(job.session, &job.supplier);
    }
    return result;
}

// Plans the native file of the picture, then opens the file: 0, or the failure's code.
// A picture whose file cannot be written is refused before its file is touched.
int StartNativeSave(ITzSaveJob& job, const _tagPTzFILE* file)
{
    job.native.reset(new (std::nothrow) lumatra::native::PictureWriter(job.picture));
    if (!job.native)
        return PTzFail(PTzERR_OUT_OF_MEMORY);
    if (job.native->Failed())
        return PTzLastErrorOr(ITzERR_INVALID);
    job.stream = PTzFileStreamCreateEx_1(file, 3, PTzFILESTREAM_WINDOW);
    if (!job.stream)
        return PTzLastErrorOr(-1);
    job.native->SetStream(job.stream);
    return 0;
}

// Ends the session and closes the file: 0 when both went well, else the first failure.
int CloseSave(ITzSaveJob& job)
{
    int result = 0;
    job.native.reset();
    if (job.session && FTzSaveEnd_1(job.session) != 0)
        result = PTzLastErrorOr(-1);
    job.session = nullptr;
    if (job.stream && !PTzFileStreamDestory(job.stream) && result == 0)
        result = PTzLastErrorOr(-1);
    job.stream = nullptr;
    return result;
}

void DiscardSave(ITzSaveJob* job)
{
    CloseSave(*job);
    if (job->ownSetting && job->setting)
        FTzReleaseFormatSetting(job->plugin, job->setting);
    delete job;
}

}  // namespace

ITzSaveJob* ITzImageIOManager::DoSaveStart(ITzPicture* picture, const _tagPTzFILE* file)
{
    if (!picture || !file)
        return PTzSetLastError(-1), nullptr;
    _tagITzPICTFORMETSETTING format = {};
    picture->GetFormat(&format);
    if (!format.plugin)
        return PTzSetLastError(ITzERR_NO_SAVE_PLUGIN), nullptr;
    auto* job = new (std::nothrow) ITzSaveJob();
    if (!job)
        return PTzSetLastError(PTzERR_OUT_OF_MEMORY), nullptr;
    job->manager = this;
    job->picture = picture;
    job->plugin = format.plugin;
    job->setting = format.setting;
    job->mode = FTzSaveGetMode(job->plugin);
    int result = ITzERR_INVALID;
    if (job->mode == FTzMODE_NATIVE)
        result = StartNativeSave(*job, file);
    else if (job->mode == FTzMODE_ROWS && picture->SupportSaveMode_1(job->plugin))
        result = StartRowsSave(*job, file, PictureInfo(*picture, job->plugin));
    if (result != 0) {
        PTzSetLastError(result);
        DiscardSave(job);
        return nullptr;
    }
    return job;
}

ITzSaveJob* ITzImageIOManager::DoSaveAsStart(ITzPicture* picture, const _tagPTzFILE* file, void* plugin,
                                             void* owner)
{
    if (!picture || !file || !plugin)
        return PTzSetLastError(-1), nullptr;
    _tagITzPICTFORMETSETTING format = {};
    picture->GetFormat(&format);
    auto* job = new (std::nothrow) ITzSaveJob();
    if (!job)
        return PTzSetLastError(PTzERR_OUT_OF_MEMORY), nullptr;
    job->manager = this;
    job->picture = picture;
    job->plugin = plugin;
    if (plugin == format.plugin && format.setting) {
        job->setting = format.setting;
    } else {
        job->setting = FTzCreateFormatSetting(plugin);
        job->ownSetting = true;
    }
    job->mode = FTzSaveGetMode(plugin);
    int result = ITzERR_INVALID;
    if (job->mode == FTzMODE_NATIVE) {
        result = StartNativeSave(*job, file);
    } else if (job->mode == FTzMODE_ROWS && picture->SupportSaveMode_1(plugin)) {
        const _tagFTzIMAGEINFO_1 info = PictureInfo(*picture, plugin);
        // A cancelled options dialog is no failure of its own: no job, last error as it stands.
        if (job->setting && !FTzGetFormatSettingByDefaultDlg_1(plugin, job->setting, &info, owner))
            result = PTzLastErrorOr(-1);
        else
            result = StartRowsSave(*job, file, info);
    }
    if (result != 0) {
        PTzSetLastError(result);
        DiscardSave(job);
        return nullptr;
    }
    return job;
}

int ITzImageIOManager::DoSaving(ITzSaveJob* job, uint8_t* percent)
{
    if (!job || job->outcome != 0)
        return 0;
    if (job->native) {
        const int more = job->native->Step();
        if (percent)
            *percent = static_cast<uint8_t>(job->native->Progress());
        if (more)
            return 1;
        job->outcome = job->native->Finished() ? kFinished : PTzLastErrorOr(-1);
        return 0;
    }
    uint8_t progress = 0;
    const int result = FTzSave_1(job->session, percent ? percent : &progress);
    if (result == 0)
        return 1;
    job->outcome = result;
    return 0;
}

int ITzImageIOManager::DoSaveEnd(ITzSaveJob* job)
{
    if (!job)
        return PTzFail(-1);
    int result = job->outcome == kFinished ? 0 : job->outcome != 0 ? job->outcome : ITzERR_INVALID;
    if (const int closed = CloseSave(*job); result == 0)
        result = closed;
    if (result != 0) {
        PTzSetLastError(result);
        DiscardSave(job);
        return result;
    }
    _tagITzPICTFORMETSETTING format = {};
    job->picture->GetFormat(&format);
    if (format.plugin != job->plugin || format.setting != job->setting) {
        if (format.plugin && format.setting)
            FTzReleaseFormatSetting(format.plugin, format.setting);
        const _tagITzPICTFORMETSETTING saved = {job->plugin, job->setting};
        job->picture->SetFormat(&saved);
    }
    delete job;
    return 0;
}

void ITzImageIOManager::DoSaveCancel(ITzSaveJob* job)
{
    if (job)
        DiscardSave(job);
}

int ITzImageIOManager::SaveImageFile(ITzPicture* picture, const _tagPTzFILE* file)
{
    ITzSaveJob* job = DoSaveStart(picture, file);
    if (!job)
        return PTzLastErrorOr(-1);
    while (DoSaving(job, nullptr)) {
    }
    return DoSaveEnd(job);
}

int ITzImageIOManager::SaveAsImageFile(ITzPicture* picture, const _tagPTzFILE* file, void* plugin, void* owner)
{
    ITzSaveJob* job = DoSaveAsStart(picture, file, plugin, owner);
    if (!job)
        return PTzLastErrorOr(-1);
    while (DoSaving(job, nullptr)) {
    }
    return DoSaveEnd(job);
}
