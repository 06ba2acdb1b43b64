// Every entry Dravine exports, undecorated, as Formick looks them up by name. Dravine
// only names and recognises native files; the engine reads and writes them itself.
#pragma once

#include <cstdint>

#include "formats/manager/plugin_interface.h"

// The magic at the head of a native file, stored little-endian as the bytes "kwdy".
constexpr uint32_t DRAVINE_MAGIC = PTzFourCC("ydwk");

FTZ_PLUGIN_ENTRY int FTzPlugInIsPlugIn();
FTZ_PLUGIN_ENTRY uint32_t FTzPlugInRequestVersion();
FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetID();
FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetSupportFormat();
FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetSupportFlag();
FTZ_PLUGIN_ENTRY int FTzPlugInGetSupportDesc(PTzChar* buffer);
FTZ_PLUGIN_ENTRY int FTzPlugInReadSupportByFile(const _tagPTzFILE* file);
FTZ_PLUGIN_ENTRY int FTzPlugInReadSupportByStream(_tagPTzIOSTREAM* stream);
FTZ_PLUGIN_ENTRY void* FTzPlugInFindFirstLoadMode(uint32_t* mode);
FTZ_PLUGIN_ENTRY int FTzPlugInFindNextLoadMode(void* find, uint32_t* mode);
FTZ_PLUGIN_ENTRY int FTzPlugInCloseFindLoadMode(void* find);
FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetSaveMode(void* module);
