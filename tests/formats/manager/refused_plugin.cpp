// A module that says it is a plug-in but must be refused: built with REFUSED_VERSION it
// asks for a newer interface than Formick's, built without it lacks the version entry.
#include "base/corvane_types.h"
#include "formats/manager/plugin_interface.h"

FTZ_PLUGIN_ENTRY int FTzPlugInIsPlugIn()
{
    return 1;
}
FTZ_CHECK_ENTRY(FTzPlugInIsPlugIn);

#ifdef REFUSED_VERSION
FTZ_PLUGIN_ENTRY uint32_t FTzPlugInRequestVersion()
{
    return REFUSED_VERSION;
}
FTZ_CHECK_ENTRY(FTzPlugInRequestVersion);
#endif

// Would rank first and qualify for every filter list, were it kept.
FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetSupportFormat()
{
    return PTzFourCC("aaaa");
}
FTZ_CHECK_ENTRY(FTzPlugInGetSupportFormat);

FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetSupportFlag()
{
    return FTzSUPPORT_LOAD | FTzSUPPORT_SAVE;
}
FTZ_CHECK_ENTRY(FTzPlugInGetSupportFlag);
