// Every entry Bitmora exports, undecorated, as Formick and the engine look them up by
// name; each definition is checked against the plug-in interface's type for it.
#pragma once

#include <cstdint>

#include "formats/manager/plugin_interface.h"

// Identity and reading (bmp_read_entries.cpp).
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
FTZ_PLUGIN_ENTRY void* FTzPlugInReadStart_1(_tagPTzIOSTREAM* stream, _tagFTzEXTINFOCALLBACK_1* extInfo, int* error);
FTZ_PLUGIN_ENTRY int FTzPlugInReadGetInfo_1(void* session, _tagFTzIMAGEINFO_1* info);
FTZ_PLUGIN_ENTRY int FTzPlugInReadSetCallBack_1(void* session, _tagFTzGETDATACALLBACK_1* callback);
FTZ_PLUGIN_ENTRY int FTzPlugInRead_1(void* session, uint8_t* percent);
FTZ_PLUGIN_ENTRY int FTzPlugInReadEnd_1(void* session);

// Saving (bmp_save_entries.cpp).
FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetSaveMode(void* module);
FTZ_PLUGIN_ENTRY int FTzPlugInSaveSupportByFileInfo_1(const _tagFTzIMAGEINFO_1* info);
FTZ_PLUGIN_ENTRY int FTzPlugInSaveFileInfoConvert_1(const _tagFTzIMAGEINFO_1* source, _tagFTzIMAGEINFO_1* target);
FTZ_PLUGIN_ENTRY void* FTzPlugInSaveStart_1(_tagPTzIOSTREAM* stream, _tagFTzSAVEEXTINFOCALLBACK_1* extInfo,
                                            int* error);
FTZ_PLUGIN_ENTRY int FTzPlugInSaveSetFormatSetting_1(void* session, void* block);
FTZ_PLUGIN_ENTRY int FTzPlugInSaveSetInfo_1(void* session, const _tagFTzIMAGEINFO_1* info);
FTZ_PLUGIN_ENTRY int FTzPlugInSaveSetCallBack_1(void* session, _tagFTzSAVEGETDATACALLBACK_1* callback);
FTZ_PLUGIN_ENTRY int FTzPlugInSave_1(void* session, uint8_t* percent);
FTZ_PLUGIN_ENTRY int FTzPlugInSaveEnd_1(void* session);

// Format settings and the options dialog (bmp_setting_entries.cpp).
FTZ_PLUGIN_ENTRY void* FTzPlugInCreateFormatSetting(void* module);
FTZ_PLUGIN_ENTRY int FTzPlugInReleaseFormatSetting(void* block);
FTZ_PLUGIN_ENTRY int FTzPlugInGetFormatSettingByDefaultDlg_1(void* block, const _tagFTzIMAGEINFO_1* info,
                                                             void* owner);

// Header-less bitmaps (bmp_dib_entries.cpp).
FTZ_PLUGIN_ENTRY void* FTzBMPLoadDIBStart(_tagPTzIOSTREAM* stream, int* error);
FTZ_PLUGIN_ENTRY int FTzBMPLoadDIBGetInfo(void* session, _tagFTzIMAGEINFO_1* info);
FTZ_PLUGIN_ENTRY int FTzBMPLoadDIBSetCallBack(void* session, _tagFTzGETDATACALLBACK_1* callback);
FTZ_PLUGIN_ENTRY int FTzBMPLoadDIBLoading(void* session, uint8_t* percent);
FTZ_PLUGIN_ENTRY int FTzBMPLoadDIBEnd(void* session);
FTZ_PLUGIN_ENTRY int FTzBMPSaveDIBSupportByFileInfo(const _tagFTzIMAGEINFO_1* info);
FTZ_PLUGIN_ENTRY int FTzBMPSaveDIBFileInfoConvert(const _tagFTzIMAGEINFO_1* source, _tagFTzIMAGEINFO_1* target);
FTZ_PLUGIN_ENTRY void* FTzBMPSaveDIBStart(_tagPTzIOSTREAM* stream, int* error);
FTZ_PLUGIN_ENTRY int FTzBMPSaveDIBSetInfo(void* session, const _tagFTzIMAGEINFO_1* info);
FTZ_PLUGIN_ENTRY int FTzBMPSaveDIBSetCallBack(void* session, _tagFTzSAVEGETDATACALLBACK_1* callback);
FTZ_PLUGIN_ENTRY int FTzBMPSaveDIB(void* session, uint8_t* percent);
FTZ_PLUGIN_ENTRY int FTzBMPSaveDIBEnd(void* session);
