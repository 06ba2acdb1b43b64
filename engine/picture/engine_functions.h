// The engine's plain function interface: the program creates, loads, saves, draws from
// and destroys pictures through these without knowing ITzPicture's layout, and sets up
// and tears down the engine's process-wide objects. A picture handle is its address.
#pragma once

#include <cstdint>

#include "base/color.h"
#include "base/file_path.h"
#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/bitmap.h"
#include "engine/pixels/layer_base.h"
#include "engine/pixels/zoom_level.h"

class ITzPicture;
class ITzPictDataChangeHandler;

// Lifetime of the process-wide objects. Nothing needs ITzInit before use: each object is
// made by its getter on first use. ITzInit makes the global tool list and the scratch
// pool: 0, or -1000 when either cannot be made (the count of open pairs unchanged). It
// also connects the image layers' DIB exchange, as every new picture does.
// ITzUninit closes the last ITzInit; without an open one (the program's exit) it frees
// every process-wide object that exists: 0.
LUMATRA_C int ITzInit();
LUMATRA_C int ITzUninit();
// The plug-in list handle, from which the program builds its file filters; null when the
// plug-in manager cannot be made.
LUMATRA_C void* ITzGetFTzIOHANDLE();

// Pictures. A size beyond 32 bits signed is refused: null, last error -1001.
// A picture of that size without layers; null when out of memory.
LUMATRA_C void* ITzPictCreate(uint32_t width, uint32_t height);
// A picture with one ARGB layer filled with the colour (null: opaque white); null when
// it cannot be made, last error set.
LUMATRA_C void* ITzPictCreate_1(uint32_t width, uint32_t height, const _tagPTzCOLOR* colour);
// Loads the file with the first plug-in that reads it: the handle, or null. The error
// pointer (may be null) gets 0 on success, else the failure's code.
LUMATRA_C void* ITzPictLoad_1(const _tagPTzFILE* file, int* error);
LUMATRA_C void* ITzPictLoad(const _tagPTzFILE* file);
// Handle and class pointer are the same address.
LUMATRA_C ITzPicture* ITzPictGetPictureClass(void* handle);
LUMATRA_C void* ITzPictSetPictureClass(ITzPicture* picture);
// 0 after deleting the picture; -1001 for null.
LUMATRA_C int ITzPictDestroy(void* handle);
// Nonzero when the plug-in can save the picture; 0 for a null picture or plug-in.
LUMATRA_C int ITzPictSaveCheckPlugIn(void* handle, void* plugin);
// The picture's answers; -1001 for a null picture.
LUMATRA_C int ITzPictGetSize(void* handle, _tagPTzSIZE* size);
LUMATRA_C int ITzPictGetPreviewData(void* handle, const PTzRECT* rect, _tagITzBITMAP* bitmap,
                                    _tagITzZOOMLEVEL* zoom);
LUMATRA_C int ITzPictGetPreviewSize(void* handle, _tagPTzSIZE* size, _tagITzZOOMLEVEL* zoom);
// The loading plug-in's format code; four blanks (0x20202020) for null or none.
LUMATRA_C uint32_t ITzPictGetFormat(void* handle);
// Saves with the picture's own plug-in and setting, or (As) with the plug-in after its
// options dialog over the owner window: 0 or the failure's code; -1001 for a null picture.
LUMATRA_C int ITzPictSave(void* handle, const _tagPTzFILE* file);
LUMATRA_C int ITzPictSaveAs(void* handle, const _tagPTzFILE* file, void* plugin, void* owner);
// The installed selection layer (never makes one); null for a null picture or none.
LUMATRA_C void* ITzPictGetSelectionLayer(void* handle);
// Nonzero when a step was undone or redone; 0 for a null picture.
LUMATRA_C int ITzPictDoUndo(void* handle);
LUMATRA_C int ITzPictDoRedo(void* handle);
// 1 when the handler was added or removed; 0 for a null picture.
LUMATRA_C int ITzPictInsertDataChangeHandler(void* handle, ITzPictDataChangeHandler* handler);
LUMATRA_C int ITzPictRemoveDataChangeHandler(void* handle, ITzPictDataChangeHandler* handler);

// Zoom conversions of points, each axis apart, with a numerator or denominator of 0 first
// set to 1 in the caller's record. 0; -1001 for a null argument or a result beyond 32
// bits signed (then nothing is written).
// Zoomed point to picture point in sixteenths of a pixel: in x 16 x den / num.
LUMATRA_C int ITzPictZPToPPMT(_tagITzZOOMLEVEL* zoom, const PTzPOINT* in, PTzPOINT* out);
// Zoomed point to picture point: in x den / num.
LUMATRA_C int ITzPictZPToPP(_tagITzZOOMLEVEL* zoom, const PTzPOINT* in, PTzPOINT* out);
// Picture point to zoomed point: in x num / den.
LUMATRA_C int ITzPictPPToZP(_tagITzZOOMLEVEL* zoom, const PTzPOINT* in, PTzPOINT* out);

// Layers outside pictures. A new layer of the type (2 ARGB, 6 selection), or null.
LUMATRA_C void* ITzLayerCreate(_tagITzLAYERTYPE type);
// 1 after deleting the layer; 0 for null and for a layer a picture still holds.
LUMATRA_C int ITzLayerDestroy(void* layer);
// Does nothing: always -1001.
LUMATRA_C int ITzOPLayerFill(void* layer, const PTzRECT* rect, const _tagPTzCOLOR* colour);
