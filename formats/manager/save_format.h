// What a plug-in can save, and the format settings (a plug-in's own block of save
// options) that it makes, frees and edits in its options dialog.
#pragma once

#include <cstdint>

#include "formats/manager/formick_export.h"
#include "formats/manager/plugin_interface.h"

// The plug-in's save mode (1 rows, 8 native); "    " when it does not say, and with
// -2001 for a null or unknown plug-in.
FORMICK_C uint32_t FTzSaveGetMode(void* plugin);
// Nonzero when the plug-in keeps alpha; 0 when it does not say, or with -1 for a null
// or unknown plug-in.
FORMICK_C int FTzSaveSupportAlpha_1(void* plugin);
// Nonzero when the plug-in can save such an image; 0 with -2206 when it has no check,
// -1 for a null or unknown plug-in or a null description.
FORMICK_C int FTzSaveSupportByFileInfo_1(void* plugin, const _tagFTzIMAGEINFO_1* info);

// A new setting block of the plug-in, or null: -2206 without the entry, -1 for a null
// or unknown plug-in.
FORMICK_C void* FTzCreateFormatSetting(void* plugin);
// The plug-in's result of freeing block; 1 for a null block. 0 with -2206 without the
// entry, -1 for a null or unknown plug-in.
FORMICK_C int FTzReleaseFormatSetting(void* plugin, void* block);
// Nonzero when the user confirmed the plug-in's options dialog, shown over owner for
// an image described by info; 0 with -2206 without the entry, -1 for a null or unknown
// plug-in or a null block or description.
FORMICK_C int FTzGetFormatSettingByDefaultDlg_1(void* plugin, void* block, const _tagFTzIMAGEINFO_1* info,
                                                void* owner);
