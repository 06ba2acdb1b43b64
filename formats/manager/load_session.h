// Stepwise loads: a session wraps a reader plug-in's session, and when the caller asks
// for another colour mode or depth than the file's, converts every row on the way.
// Order of calls: start, get info, (set colour mode), set data callback, loading while
// it gives 0, end. Loading gives 2001 when the image is complete; any other nonzero
// value is an error, after which the session must still be ended.
#pragma once

#include <cstdint>

#include "base/color.h"
#include "base/io_stream.h"
#include "formats/manager/formick_export.h"
#include "formats/manager/plugin_interface.h"

// A load session over stream, or null with the code stored and written to *error (when
// error is not null): -2001 for a null or unknown plug-in, -2301 when it cannot read,
// -51 when memory failed, else the plug-in's own.
FORMICK_C void* FTzLoadStart_1(void* plugin, _tagPTzIOSTREAM* stream, _tagFTzEXTINFOCALLBACK_1* extInfo,
                               int* error);
// Starts through the plug-in's setting-aware entry when it has one and it gives a
// session; otherwise as FTzLoadStart_1.
FORMICK_C void* FTzLoadStart_1V1(void* plugin, _tagPTzIOSTREAM* stream, _tagFTzEXTINFOCALLBACK_1* extInfo,
                                 void* setting, int* error);
// Lets the plug-in fill info and keeps a copy: 0 or a code (-2001 for a null session or
// record or an unknown plug-in, -2301 without the entry).
FORMICK_C int FTzLoadGetInfo_1(void* session, _tagFTzIMAGEINFO_1* info);
// Asks for rows in mode at bits: 0, or -2001 before the image information was read,
// the conversion's error (-151 for a pair it cannot convert). The file's own mode and
// bits turn conversion off. On failure the earlier request stands.
FORMICK_C int FTzLoadSetColorMode_1(void* session, _tagPTzCOLORMODE mode, uint16_t bits);
// Registers the callback that receives the rows: 0 or a code (-2001 for a null session
// or an unknown plug-in, -2301 without the entry, -1 for a null callback while
// converting). While converting, rows arrive one per call.
FORMICK_C int FTzLoadSetDataCallBack_1(void* session, _tagFTzGETDATACALLBACK_1* callback);
// One step: 0 more to do, 2001 finished, else an error (-2001 for a null session or an
// unknown plug-in, -2301 without the entry). The plug-in writes its progress, 0 to
// 100, into *percent.
FORMICK_C int FTzLoading_1(void* session, uint8_t* percent);
// The plug-in's result of ending its session; only when it is 0 is the session freed.
// 0 for a null session; -2001 for an unknown plug-in, -2301 without the entry.
FORMICK_C int FTzLoadEnd_1(void* session);
