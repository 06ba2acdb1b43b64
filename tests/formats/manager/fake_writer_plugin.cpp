// A small writer plug-in for the plug-in manager's tests. It writes the extra data it is
// given, its setting's u32, width and height, then 24-bit rows fetched bottom-up, one
// per step. Built once without a priority and once with FAKE_WRITER_PRIORITY.
#include <algorithm>
#include <cstring>

#include "base/error_codes.h"
#include "base/memory.h"
#include "formats/manager/plugin_interface.h"

namespace {

constexpr int32_t MaxWidth = 256;

struct SaveSession {
    _tagPTzIOSTREAM* stream;
    _tagFTzSAVEEXTINFOCALLBACK_1 extInfo;
    bool hasExtInfo;
    uint32_t setting;
    _tagFTzIMAGEINFO_1 info;
    _tagFTzSAVEGETDATACALLBACK_1 callback;
    bool started;
    int32_t written;
    uint8_t row[MaxWidth * 3];
};

uint32_t writeU32(_tagPTzIOSTREAM* stream, uint32_t value)
{
    uint8_t bytes[4];
    PTzWriteLE32(bytes, value);
    return PTzIOStreamWrite(stream, bytes, 4);
}

int writeHead(SaveSession* session)
{
    if (session->hasExtInfo) {
        void* data = nullptr;
        uint32_t size = 0;
        if (const int result = session->extInfo.proc(FTzEXTINFO_BMP_GAP, &data, &size, session->extInfo.user))
            return result;
        PTzIOStreamWrite(session->stream, data, size);
    }
    writeU32(session->stream, session->setting);
    writeU32(session->stream, uint32_t(session->info.width));
    writeU32(session->stream, uint32_t(session->info.height));
    session->started = true;
    return 0;
}

}  // namespace

FTZ_PLUGIN_ENTRY int FTzPlugInIsPlugIn()
{
    return 1;
}
FTZ_CHECK_ENTRY(FTzPlugInIsPlugIn);

FTZ_PLUGIN_ENTRY uint32_t FTzPlugInRequestVersion()
{
    return FTzINTERFACE_VERSION;
}
FTZ_CHECK_ENTRY(FTzPlugInRequestVersion);

FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetSupportFormat()
{
    return PTzFourCC("fakw");
}
FTZ_CHECK_ENTRY(FTzPlugInGetSupportFormat);

#ifdef FAKE_WRITER_PRIORITY
FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetSupportPriorty()
{
    return FAKE_WRITER_PRIORITY;
}
FTZ_CHECK_ENTRY(FTzPlugInGetSupportPriorty);
#endif

FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetSupportFlag()
{
    return FTzSUPPORT_SAVE;
}
FTZ_CHECK_ENTRY(FTzPlugInGetSupportFlag);

// Fills both halves to their last unit without terminators.
FTZ_PLUGIN_ENTRY int FTzPlugInGetSupportDesc(PTzChar* buffer)
{
    std::fill(buffer, buffer + FTzDESC_HALF, u'W');
    std::fill(buffer + FTzDESC_HALF, buffer + FTzDESC_UNITS, u'w');
    return 0;
}
FTZ_CHECK_ENTRY(FTzPlugInGetSupportDesc);

FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetID()
{
    return PTzFourCC("wfak");
}
FTZ_CHECK_ENTRY(FTzPlugInGetID);

FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetSaveMode(void*)
{
    return FTzMODE_ROWS;
}
FTZ_CHECK_ENTRY(FTzPlugInGetSaveMode);

FTZ_PLUGIN_ENTRY int FTzPlugInSaveSupportByFileInfo_1(const _tagFTzIMAGEINFO_1* info)
{
    return info->bits == 24 && info->width <= MaxWidth;
}
FTZ_CHECK_ENTRY(FTzPlugInSaveSupportByFileInfo_1);

FTZ_PLUGIN_ENTRY int FTzPlugInSaveSupportAlpha_1(void*)
{
    return 1;
}
FTZ_CHECK_ENTRY(FTzPlugInSaveSupportAlpha_1);

// A setting is one u32, 42 when new.
FTZ_PLUGIN_ENTRY void* FTzPlugInCreateFormatSetting(void*)
{
    auto* setting = static_cast<uint32_t*>(PTzPointNew(sizeof(uint32_t)));
    if (setting)
        *setting = 42;
    return setting;
}
FTZ_CHECK_ENTRY(FTzPlugInCreateFormatSetting);

FTZ_PLUGIN_ENTRY int FTzPlugInReleaseFormatSetting(void* setting)
{
    return PTzPointFree(setting) == nullptr ? 1 : 0;
}
FTZ_CHECK_ENTRY(FTzPlugInReleaseFormatSetting);

// Stands for a dialog the user confirms: the setting becomes the image's width.
FTZ_PLUGIN_ENTRY int FTzPlugInGetFormatSettingByDefaultDlg_1(void* setting, const _tagFTzIMAGEINFO_1* info, void*)
{
    *static_cast<uint32_t*>(setting) = uint32_t(info->width);
    return 1;
}
FTZ_CHECK_ENTRY(FTzPlugInGetFormatSettingByDefaultDlg_1);

FTZ_PLUGIN_ENTRY void* FTzPlugInSaveStart_1(_tagPTzIOSTREAM* stream, _tagFTzSAVEEXTINFOCALLBACK_1* extInfo, int*)
{
    auto* session = static_cast<SaveSession*>(PTzPointNew(sizeof(SaveSession)));
    if (!session)
        return nullptr;
    session->stream = stream;
    if (extInfo) {
        session->extInfo = *extInfo;
        session->hasExtInfo = true;
    }
    return session;
}
FTZ_CHECK_ENTRY(FTzPlugInSaveStart_1);

FTZ_PLUGIN_ENTRY int FTzPlugInSaveSetFormatSetting_1(void* session, void* setting)
{
    if (!session || !setting)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    static_cast<SaveSession*>(session)->setting = *static_cast<uint32_t*>(setting);
    return 0;
}
FTZ_CHECK_ENTRY(FTzPlugInSaveSetFormatSetting_1);

FTZ_PLUGIN_ENTRY int FTzPlugInSaveSetInfo_1(void* session, const _tagFTzIMAGEINFO_1* info)
{
    if (!session || !info)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    static_cast<SaveSession*>(session)->info = *info;
    return 0;
}
FTZ_CHECK_ENTRY(FTzPlugInSaveSetInfo_1);

FTZ_PLUGIN_ENTRY int FTzPlugInSaveSetCallBack_1(void* session, _tagFTzSAVEGETDATACALLBACK_1* callback)
{
    static_cast<SaveSession*>(session)->callback = *callback;
    return 0;
}
FTZ_CHECK_ENTRY(FTzPlugInSaveSetCallBack_1);

FTZ_PLUGIN_ENTRY int FTzPlugInSave_1(void* handle, uint8_t* percent)
{
    auto* session = static_cast<SaveSession*>(handle);
    if (!session->started)
        return writeHead(session);
    const _tagFTzIMAGEINFO_1& info = session->info;
    if (session->written == info.height)
        return FTzSTEP_FINISHED;
    _tagPTzCOLORCONVERTBUFFER buffer{info.width, 1, MaxWidth * 3, PTzCOLORMODE_RGB, 24, session->row, nullptr};
    const uint32_t row = uint32_t(info.height - 1 - session->written);
    if (const int result = session->callback.proc(row, 1, &buffer, session->callback.user))
        return result;
    PTzIOStreamWrite(session->stream, session->row, uint32_t(info.width) * 3);
    ++session->written;
    *percent = uint8_t(session->written * 100 / info.height);
    return 0;
}
FTZ_CHECK_ENTRY(FTzPlugInSave_1);

FTZ_PLUGIN_ENTRY int FTzPlugInSaveEnd_1(void* session)
{
    PTzPointFree(session);
    return 0;
}
FTZ_CHECK_ENTRY(FTzPlugInSaveEnd_1);
