// The header-less bitmap entries of the BMP plug-in ('rbmp'), looked up by name in the
// process's plug-in list at each clipboard exchange.
#pragma once

#include "formats/manager/plugin_interface.h"

namespace lumatra {

struct BmpDibEntries {
    FTzBMPLoadDIBStartProc loadStart = nullptr;
    FTzBMPLoadDIBGetInfoProc loadGetInfo = nullptr;
    FTzBMPLoadDIBSetCallBackProc loadSetCallBack = nullptr;
    FTzBMPLoadDIBLoadingProc loading = nullptr;
    FTzBMPLoadDIBEndProc loadEnd = nullptr;
    FTzBMPSaveDIBSupportByFileInfoProc saveSupportByFileInfo = nullptr;
    FTzBMPSaveDIBFileInfoConvertProc saveFileInfoConvert = nullptr;
    FTzBMPSaveDIBStartProc saveStart = nullptr;
    FTzBMPSaveDIBSetInfoProc saveSetInfo = nullptr;
    FTzBMPSaveDIBSetCallBackProc saveSetCallBack = nullptr;
    FTzBMPSaveDIBProc save = nullptr;
    FTzBMPSaveDIBEndProc saveEnd = nullptr;

    // Finds the plug-in and every entry: true, else false with a code stored (-1601
    // without the plug-in, -2301 when it lacks an entry).
    bool Bind();
};

}  // namespace lumatra
