// The contract between Formick and every format plug-in: the records that cross the
// border, the exact type of each plug-in entry and the name it is found by. Plug-ins
// include this header without linking Formick.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "base/color.h"
#include "base/color_convert.h"
#include "base/corvane_types.h"
#include "base/file_path.h"
#include "base/io_stream.h"

// The interface version Formick speaks; a plug-in that asks for more is refused.
constexpr uint32_t FTzINTERFACE_VERSION = 0x01000000;

// Bits of FTzPlugInGetSupportFlag.
constexpr uint32_t FTzSUPPORT_LOAD = 1;
constexpr uint32_t FTzSUPPORT_SAVE = 2;

// The priority of a plug-in without FTzPlugInGetSupportPriorty; lower goes first.
constexpr uint32_t FTzDEFAULT_PRIORITY = 0x1000;

// Load and save modes: rows through the session entries, or the native layered
// format that the engine reads and writes itself.
constexpr uint32_t FTzMODE_ROWS = 1;
constexpr uint32_t FTzMODE_NATIVE = 8;

// FTzPlugInGetSupportDesc fills 256 units: the description in 0-127 and the
// ";"-separated pattern list (as "*.BMP;*.RLE") in 128-255.
constexpr uint32_t FTzDESC_UNITS = 256;
constexpr uint32_t FTzDESC_HALF = 128;

// What a reader tells of an image and a writer is told: the same 800 bytes in every
// plug-in, whatever compiled it.
struct _tagFTzIMAGEINFO_1 {
    int32_t width;
    int32_t height;            // always positive
    uint16_t bits;             // 1, 4, 8 or 24
    uint16_t unused0;
    _tagPTzCOLORMODE mode;
    int32_t rowOrder;          // 1 bottom-up in the file, 0 top-down
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint16_t paletteCount;
    uint8_t palette[256][3];   // red, green, blue
    uint16_t unused1;
};
static_assert(sizeof(_tagFTzIMAGEINFO_1) == 800);
static_assert(offsetof(_tagFTzIMAGEINFO_1, bits) == 8 && offsetof(_tagFTzIMAGEINFO_1, mode) == 12);
static_assert(offsetof(_tagFTzIMAGEINFO_1, rowOrder) == 16 && offsetof(_tagFTzIMAGEINFO_1, xPelsPerMeter) == 20);
static_assert(offsetof(_tagFTzIMAGEINFO_1, yPelsPerMeter) == 24 && offsetof(_tagFTzIMAGEINFO_1, paletteCount) == 28);
static_assert(offsetof(_tagFTzIMAGEINFO_1, palette) == 30 && offsetof(_tagFTzIMAGEINFO_1, unused1) == 798);
static_assert(std::is_standard_layout_v<_tagFTzIMAGEINFO_1> && std::is_trivially_copyable_v<_tagFTzIMAGEINFO_1>);

// Kind 1 of the extra-data callbacks: the bytes between a BMP file's headers and pixels.
constexpr uint32_t FTzEXTINFO_BMP_GAP = 1;

// A reader hands over extra data found in the file.
struct _tagFTzEXTINFOCALLBACK_1 {
    int (*proc)(uint32_t kind, const void* data, uint32_t size, void* user);
    void* user;
};

// A writer asks for extra data to store.
struct _tagFTzSAVEEXTINFOCALLBACK_1 {
    int (*proc)(uint32_t kind, void** data, uint32_t* size, void* user);
    void* user;
};

// A reader delivers rows, counted from the top of the image; 0 lets it go on.
struct _tagFTzGETDATACALLBACK_1 {
    int (*proc)(uint32_t row, uint32_t rows, _tagPTzCOLORCONVERTBUFFER* data, void* user);
    void* user;
};

// A writer fetches the rows it needs; the callee fills the writer's buffer.
struct _tagFTzSAVEGETDATACALLBACK_1 {
    int (*proc)(uint32_t row, uint32_t rows, _tagPTzCOLORCONVERTBUFFER* data, void* user);
    void* user;
};

// One line of an open or save dialog's file-type list.
struct _tagFTzFILTERINFO {
    void* plugin;
    PTzChar description[FTzDESC_HALF];
    PTzChar patterns[FTzDESC_HALF];
};

// Lets the caller of a filter list leave plug-ins out: nonzero includes.
struct _tagFTzPLUGINSUPPORTCALLBACKSTR {
    int (*proc)(void* plugin, void* user);
    void* user;
};

// The exact type of every plug-in entry. Where entries pass the plug-in's own module
// handle, it is the handle Formick loaded the plug-in as; an owner window is an opaque
// pointer that carries the program's parent widget.
extern "C" {
typedef int (*FTzPlugInIsPlugInProc)();
typedef uint32_t (*FTzPlugInRequestVersionProc)();
typedef uint32_t (*FTzPlugInGetSupportFormatProc)();
typedef uint32_t (*FTzPlugInGetSupportPriortyProc)();
typedef uint32_t (*FTzPlugInGetSupportFlagProc)();
typedef int (*FTzPlugInGetSupportDescProc)(PTzChar* buffer);
typedef uint32_t (*FTzPlugInGetIDProc)();
typedef int (*FTzPlugInReadSupportByFileProc)(const _tagPTzFILE* file);
typedef int (*FTzPlugInReadSupportByStreamProc)(_tagPTzIOSTREAM* stream);
typedef void* (*FTzPlugInFindFirstLoadModeProc)(uint32_t* mode);
typedef int (*FTzPlugInFindNextLoadModeProc)(void* find, uint32_t* mode);
typedef int (*FTzPlugInCloseFindLoadModeProc)(void* find);
typedef void* (*FTzPlugInReadStart_1Proc)(_tagPTzIOSTREAM* stream, _tagFTzEXTINFOCALLBACK_1* extInfo, int* error);
typedef void* (*FTzPlugInReadStart_1V1Proc)(_tagPTzIOSTREAM* stream, _tagFTzEXTINFOCALLBACK_1* extInfo,
                                            void* setting, int* error);
typedef int (*FTzPlugInReadGetInfo_1Proc)(void* session, _tagFTzIMAGEINFO_1* info);
typedef int (*FTzPlugInReadSetCallBack_1Proc)(void* session, _tagFTzGETDATACALLBACK_1* callback);
typedef int (*FTzPlugInRead_1Proc)(void* session, uint8_t* percent);
typedef int (*FTzPlugInReadEnd_1Proc)(void* session);
typedef uint32_t (*FTzPlugInGetSaveModeProc)(void* module);
typedef int (*FTzPlugInSaveSupportByFileInfo_1Proc)(const _tagFTzIMAGEINFO_1* info);
typedef int (*FTzPlugInSaveFileInfoConvert_1Proc)(const _tagFTzIMAGEINFO_1* source, _tagFTzIMAGEINFO_1* target);
typedef int (*FTzPlugInSaveSupportAlpha_1Proc)(void* module);
typedef void* (*FTzPlugInCreateFormatSettingProc)(void* module);
typedef int (*FTzPlugInReleaseFormatSettingProc)(void* setting);
typedef int (*FTzPlugInGetFormatSettingByDefaultDlg_1Proc)(void* setting, const _tagFTzIMAGEINFO_1* info,
                                                           void* owner);
typedef void* (*FTzPlugInSaveStart_1Proc)(_tagPTzIOSTREAM* stream, _tagFTzSAVEEXTINFOCALLBACK_1* extInfo,
                                          int* error);
typedef int (*FTzPlugInSaveSetFormatSetting_1Proc)(void* session, void* setting);
typedef int (*FTzPlugInSaveSetInfo_1Proc)(void* session, const _tagFTzIMAGEINFO_1* info);
typedef int (*FTzPlugInSaveSetCallBack_1Proc)(void* session, _tagFTzSAVEGETDATACALLBACK_1* callback);
typedef int (*FTzPlugInSave_1Proc)(void* session, uint8_t* percent);
typedef int (*FTzPlugInSaveEnd_1Proc)(void* session);

// The BMP plug-in's header-less bitmap entries, which the engine binds by name.
typedef void* (*FTzBMPLoadDIBStartProc)(_tagPTzIOSTREAM* stream, int* error);
typedef FTzPlugInReadGetInfo_1Proc FTzBMPLoadDIBGetInfoProc;
typedef FTzPlugInReadSetCallBack_1Proc FTzBMPLoadDIBSetCallBackProc;
typedef FTzPlugInRead_1Proc FTzBMPLoadDIBLoadingProc;
typedef FTzPlugInReadEnd_1Proc FTzBMPLoadDIBEndProc;
typedef FTzPlugInSaveSupportByFileInfo_1Proc FTzBMPSaveDIBSupportByFileInfoProc;
typedef FTzPlugInSaveFileInfoConvert_1Proc FTzBMPSaveDIBFileInfoConvertProc;
typedef void* (*FTzBMPSaveDIBStartProc)(_tagPTzIOSTREAM* stream, int* error);
typedef FTzPlugInSaveSetInfo_1Proc FTzBMPSaveDIBSetInfoProc;
typedef FTzPlugInSaveSetCallBack_1Proc FTzBMPSaveDIBSetCallBackProc;
typedef FTzPlugInSave_1Proc FTzBMPSaveDIBProc;
typedef FTzPlugInSaveEnd_1Proc FTzBMPSaveDIBEndProc;
}

// An entry's name tied to its type, so that a lookup cannot pair the two wrongly.
template <typename Proc>
struct FTzPlugInEntry {
    const char* name;
};

// FTZ_ENTRY(FTzPlugInGetID) defines FTzPlugInGetIDEntry, named by the token itself.
#define FTZ_ENTRY(entry) inline constexpr FTzPlugInEntry<entry##Proc> entry##Entry{#entry}

FTZ_ENTRY(FTzPlugInIsPlugIn);
FTZ_ENTRY(FTzPlugInRequestVersion);
FTZ_ENTRY(FTzPlugInGetSupportFormat);
FTZ_ENTRY(FTzPlugInGetSupportPriorty);
FTZ_ENTRY(FTzPlugInGetSupportFlag);
FTZ_ENTRY(FTzPlugInGetSupportDesc);
FTZ_ENTRY(FTzPlugInGetID);
FTZ_ENTRY(FTzPlugInReadSupportByFile);
FTZ_ENTRY(FTzPlugInReadSupportByStream);
FTZ_ENTRY(FTzPlugInFindFirstLoadMode);
FTZ_ENTRY(FTzPlugInFindNextLoadMode);
FTZ_ENTRY(FTzPlugInCloseFindLoadMode);
FTZ_ENTRY(FTzPlugInReadStart_1);
FTZ_ENTRY(FTzPlugInReadStart_1V1);
FTZ_ENTRY(FTzPlugInReadGetInfo_1);
FTZ_ENTRY(FTzPlugInReadSetCallBack_1);
FTZ_ENTRY(FTzPlugInRead_1);
FTZ_ENTRY(FTzPlugInReadEnd_1);
FTZ_ENTRY(FTzPlugInGetSaveMode);
FTZ_ENTRY(FTzPlugInSaveSupportByFileInfo_1);
FTZ_ENTRY(FTzPlugInSaveFileInfoConvert_1);
FTZ_ENTRY(FTzPlugInSaveSupportAlpha_1);
FTZ_ENTRY(FTzPlugInCreateFormatSetting);
FTZ_ENTRY(FTzPlugInReleaseFormatSetting);
FTZ_ENTRY(FTzPlugInGetFormatSettingByDefaultDlg_1);
FTZ_ENTRY(FTzPlugInSaveStart_1);
FTZ_ENTRY(FTzPlugInSaveSetFormatSetting_1);
FTZ_ENTRY(FTzPlugInSaveSetInfo_1);
FTZ_ENTRY(FTzPlugInSaveSetCallBack_1);
FTZ_ENTRY(FTzPlugInSave_1);
FTZ_ENTRY(FTzPlugInSaveEnd_1);
FTZ_ENTRY(FTzBMPLoadDIBStart);
FTZ_ENTRY(FTzBMPLoadDIBGetInfo);
FTZ_ENTRY(FTzBMPLoadDIBSetCallBack);
FTZ_ENTRY(FTzBMPLoadDIBLoading);
FTZ_ENTRY(FTzBMPLoadDIBEnd);
FTZ_ENTRY(FTzBMPSaveDIBSupportByFileInfo);
FTZ_ENTRY(FTzBMPSaveDIBFileInfoConvert);
FTZ_ENTRY(FTzBMPSaveDIBStart);
FTZ_ENTRY(FTzBMPSaveDIBSetInfo);
FTZ_ENTRY(FTzBMPSaveDIBSetCallBack);
FTZ_ENTRY(FTzBMPSaveDIB);
FTZ_ENTRY(FTzBMPSaveDIBEnd);

#undef FTZ_ENTRY

// How a plug-in exports an entry: undecorated, C calling convention, visible.
#define FTZ_PLUGIN_ENTRY extern "C" __attribute__((visibility("default")))

// Placed after a plug-in's definition of an entry, fails the build when the entry's
// type strays from the interface.
#define FTZ_CHECK_ENTRY(entry) \
    static_assert(std::is_same_v<decltype(&entry), entry##Proc>, #entry " does not match the plug-in interface")
