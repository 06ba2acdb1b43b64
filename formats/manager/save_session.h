// Stepwise saves: a session wraps a writer plug-in's session. Order of calls: start,
// set format setting, set info, set callback, save while it gives 0, end. Save gives
// 2001 when the file is complete; any other nonzero value is an error.
#pragma once

#include <cstdint>

#include "base/io_stream.h"
#include "formats/manager/formick_export.h"
#include "formats/manager/plugin_interface.h"

// A save session writing to stream, or null with the code stored and written to *error
// (when error is not null): -1 for a null or unknown plug-in, -2206 when it cannot
// save, -51 when memory failed, else the plug-in's own.
FORMICK_C void* FTzSaveStart_1(void* plugin, _tagPTzIOSTREAM* stream, _tagFTzSAVEEXTINFOCALLBACK_1* extInfo,
                               int* error);
// Each forwards to the writer's entry of the same name: 0 or a code; -2001 for a null
// session, -1 for an unknown plug-in, -2206 without the entry.
FORMICK_C int FTzSaveSetFormatSetting_1(void* session, void* setting);
FORMICK_C int FTzSaveSetInfo_1(void* session, const _tagFTzIMAGEINFO_1* info);
FORMICK_C int FTzSaveSetCallBack_1(void* session, _tagFTzSAVEGETDATACALLBACK_1* callback);
// One step: 0 more to do, 2001 finished, else an error. The plug-in writes its
// progress, 0 to 100, into *percent.
FORMICK_C int FTzSave_1(void* session, uint8_t* percent);
// The plug-in's result of ending its session; only when it is 0 is the session freed.
// -2001 for a null session.
FORMICK_C int FTzSaveEnd_1(void* session);
