// The load session's steps: each finds the reader's entry at the moment of the call and
// passes the plug-in's result through unchanged.
#include "formats/manager/load_session.h"

#include <new>

#include "base/error_codes.h"
#include "base/memory.h"
#include "formats/manager/load_session_record.h"
#include "formats/manager/plugin_access.h"

using namespace formick;

namespace {

// Wraps the plug-in's session; without memory for the wrapper the plug-in's session is
// ended again.
void* wrapSession(void* plugin, void* pluginSession, int* error)
{
    if (!pluginSession)
        return nullptr;
    void* block = PTzPointNew(sizeof(LoadSession));
    if (!block) {
        if (const auto end = findEntry(plugin, FTzPlugInReadEnd_1Entry))
            end(pluginSession);
        return failSessionStart(PTzERR_OUT_OF_MEMORY, error);
    }
    auto* session = new (block) LoadSession{};
    session->plugin = plugin;
    session->pluginSession = pluginSession;
    return session;
}

// The reader's entry for a session's step, or null with the code stored: -2001 for a
// null session or an unknown plug-in, -2301 for a missing entry.
template <typename Proc>
Proc stepEntry(const LoadSession* session, FTzPlugInEntry<Proc> entry)
{
    if (!session) {
        PTzSetLastError(FTzERR_BAD_HANDLE);
        return nullptr;
    }
    return requireEntry(session->plugin, entry, FTzERR_BAD_HANDLE, FTzERR_NO_READ_ENTRY);
}

}  // namespace

void* FTzLoadStart_1(void* plugin, _tagPTzIOSTREAM* stream, _tagFTzEXTINFOCALLBACK_1* extInfo, int* error)
{
    if (!isLivePlugIn(plugin))
        return failSessionStart(FTzERR_BAD_HANDLE, error);
    const auto start = findEntry(plugin, FTzPlugInReadStart_1Entry);
    if (!start)
        return failSessionStart(FTzERR_NO_READ_ENTRY, error);
    int ignored = 0;
    return wrapSession(plugin, start(stream, extInfo, error ? error : &ignored), error);
}

void* FTzLoadStart_1V1(void* plugin, _tagPTzIOSTREAM* stream, _tagFTzEXTINFOCALLBACK_1* extInfo, void* setting,
                       int* error)
{
    if (const auto start = findEntry(plugin, FTzPlugInReadStart_1V1Entry)) {
        int ignored = 0;
        if (void* pluginSession = start(stream, extInfo, setting, error ? error : &ignored))
            return wrapSession(plugin, pluginSession, error);
    }
    return FTzLoadStart_1(plugin, stream, extInfo, error);
}

int FTzLoadGetInfo_1(void* handle, _tagFTzIMAGEINFO_1* info)
{
    auto* session = static_cast<LoadSession*>(handle);
    if (!info)
        return PTzFail(FTzERR_BAD_HANDLE);
    const auto getInfo = stepEntry(session, FTzPlugInReadGetInfo_1Entry);
    if (!getInfo)
        return PTzGetLastError();
    const int result = getInfo(session->pluginSession, info);
    if (result == 0) {
        session->info = *info;
        session->infoKnown = true;
    }
    return result;
}

int FTzLoadSetDataCallBack_1(void* handle, _tagFTzGETDATACALLBACK_1* callback)
{
    auto* session = static_cast<LoadSession*>(handle);
    const auto setCallBack = stepEntry(session, FTzPlugInReadSetCallBack_1Entry);
    if (!setCallBack)
        return PTzGetLastError();
    if (!session->convert)
        return setCallBack(session->pluginSession, callback);
    if (!callback || !callback->proc)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    session->caller = *callback;
    session->adapter = {convertRows, session};
    return setCallBack(session->pluginSession, &session->adapter);
}

int FTzLoading_1(void* handle, uint8_t* percent)
{
    auto* session = static_cast<LoadSession*>(handle);
    const auto read = stepEntry(session, FTzPlugInRead_1Entry);
    if (!read)
        return PTzGetLastError();
    uint8_t ignored = 0;
    return read(session->pluginSession, percent ? percent : &ignored);
}

int FTzLoadEnd_1(void* handle)
{
    auto* session = static_cast<LoadSession*>(handle);
    if (!session)
        return 0;
    const auto end = stepEntry(session, FTzPlugInReadEnd_1Entry);
    if (!end)
        return PTzGetLastError();
    const int result = end(session->pluginSession);
    if (result == 0) {
        releaseConversion(session);
        PTzPointFree(session);
    }
    return result;
}
