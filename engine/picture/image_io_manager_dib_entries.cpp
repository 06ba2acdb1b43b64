// Binds the BMP plug-in's header-less bitmap entries by name.
#include "engine/picture/image_io_manager_dib_entries.h"

#include "base/error_codes.h"
#include "base/module.h"
#include "engine/picture/ftz_manage.h"
#include "formats/manager/plugin_manager.h"

namespace lumatra {
namespace {

template <typename Proc>
bool bindEntry(void* plugin, FTzPlugInEntry<Proc> entry, Proc* out)
{
    *out = reinterpret_cast<Proc>(PTzGetProcAddress(plugin, entry.name));
    return *out != nullptr;
}

}  // namespace

bool BmpDibEntries::Bind()
{
    CFTzManage* manage = CFTzManage::Get();
    void* plugin = manage && manage->GetList() ? FTzGetPlugInByID(manage->GetList(), PTzFourCC("rbmp")) : nullptr;
    if (!plugin) {
        PTzSetLastError(ITzERR_NO_SAVE_PLUGIN);
        return false;
    }
    const bool bound = bindEntry(plugin, FTzBMPLoadDIBStartEntry, &loadStart) &&
                       bindEntry(plugin, FTzBMPLoadDIBGetInfoEntry, &loadGetInfo) &&
                       bindEntry(plugin, FTzBMPLoadDIBSetCallBackEntry, &loadSetCallBack) &&
                       bindEntry(plugin, FTzBMPLoadDIBLoadingEntry, &loading) &&
                       bindEntry(plugin, FTzBMPLoadDIBEndEntry, &loadEnd) &&
                       bindEntry(plugin, FTzBMPSaveDIBSupportByFileInfoEntry, &saveSupportByFileInfo) &&
                       bindEntry(plugin, FTzBMPSaveDIBFileInfoConvertEntry, &saveFileInfoConvert) &&
                       bindEntry(plugin, FTzBMPSaveDIBStartEntry, &saveStart) &&
                       bindEntry(plugin, FTzBMPSaveDIBSetInfoEntry, &saveSetInfo) &&
                       bindEntry(plugin, FTzBMPSaveDIBSetCallBackEntry, &saveSetCallBack) &&
                       bindEntry(plugin, FTzBMPSaveDIBEntry, &save) &&
                       bindEntry(plugin, FTzBMPSaveDIBEndEntry, &saveEnd);
    if (!bound)
        PTzSetLastError(FTzERR_NO_READ_ENTRY);
    return bound;
}

}  // namespace lumatra
