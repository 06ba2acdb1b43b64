// The save session's steps: each finds the writer's entry at the moment of the call and
// passes the plug-in's result through unchanged.
#include "formats/manager/save_session.h"

#include <new>

#include "base/error_codes.h"
#include "base/memory.h"
#include "formats/manager/plugin_access.h"

using namespace formick;

namespace {

struct SaveSession {
    void* plugin;
    void* pluginSession;
};

// The writer's entry for a session's step, or null with the code stored: -2001 for a
// null session, -1 for an unknown plug-in, -2206 for a missing entry.
template <typename Proc>
Proc stepEntry(const SaveSession* session, FTzPlugInEntry<Proc> entry)
{
    if (!session) {
        PTzSetLastError(FTzERR_BAD_HANDLE);
        return nullptr;
    }
    return requireEntry(session->plugin, entry, PTzERR_BAD_ARGUMENT, FTzERR_NO_SAVE_ENTRY);
}

}  // namespace

void* FTzSaveStart_1(void* plugin, _tagPTzIOSTREAM* stream, _tagFTzSAVEEXTINFOCALLBACK_1* extInfo, int* error)
{
    if (!isLivePlugIn(plugin))
        return failSessionStart(PTzERR_BAD_ARGUMENT, error);
    const auto start = findEntry(plugin, FTzPlugInSaveStart_1Entry);
    if (!start)
        return failSessionStart(FTzERR_NO_SAVE_ENTRY, error);
    int ignored = 0;
    void* pluginSession = start(stream, extInfo, error ? error : &ignored);
    if (!pluginSession)
        return nullptr;
    void* block = PTzPointNew(sizeof(SaveSession));
    if (!block) {
        if (const auto end = findEntry(plugin, FTzPlugInSaveEnd_1Entry))
            end(pluginSession);
        return failSessionStart(PTzERR_OUT_OF_MEMORY, error);
    }
    return new (block) SaveSession{plugin, pluginSession};
}

int FTzSaveSetFormatSetting_1(void* handle, void* setting)
{
    auto* session = static_cast<SaveSession*>(handle);
    const auto setSetting = stepEntry(session, FTzPlugInSaveSetFormatSetting_1Entry);
    return setSetting ? setSetting(session->pluginSession, setting) : PTzGetLastError();
}

int FTzSaveSetInfo_1(void* handle, const _tagFTzIMAGEINFO_1* info)
{
    auto* session = static_cast<SaveSession*>(handle);
    const auto setInfo = stepEntry(session, FTzPlugInSaveSetInfo_1Entry);
    return setInfo ? setInfo(session->pluginSession, info) : PTzGetLastError();
}

int FTzSaveSetCallBack_1(void* handle, _tagFTzSAVEGETDATACALLBACK_1* callback)
{
    auto* session = static_cast<SaveSession*>(handle);
    const auto setCallBack = stepEntry(session, FTzPlugInSaveSetCallBack_1Entry);
    return setCallBack ? setCallBack(session->pluginSession, callback) : PTzGetLastError();
}

int FTzSave_1(void* handle, uint8_t* percent)
{
    auto* session = static_cast<SaveSession*>(handle);
    const auto save = stepEntry(session, FTzPlugInSave_1Entry);
    if (!save)
        return PTzGetLastError();
    uint8_t ignored = 0;
    return save(session->pluginSession, percent ? percent : &ignored);
}

int FTzSaveEnd_1(void* handle)
{
    auto* session = static_cast<SaveSession*>(handle);
    const auto end = stepEntry(session, FTzPlugInSaveEnd_1Entry);
    if (!end)
        return PTzGetLastError();
    const int result = end(session->pluginSession);
    if (result == 0)
        PTzPointFree(session);
    return result;
}
