// The brush functions: a small stroke engine exported as plain functions. A brush context
// owns a mouse track and a brush tip, takes points in whole pixels and makes an
// anti-aliased dab of each stroke point; callbacks receive the dabs. The built-in
// callbacks gather dabs in a 256 x 256 coverage cache and hand its contents to the
// caller's data callback whenever the cache is full or the points run dry.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/bitmap.h"
#include "engine/tools/brush_base.h"

// A stroke point in whole picture pixels.
struct _tagITzBRUSHPOINTINFO {
    int32_t x;
    int32_t y;
    uint8_t pressure;  // 0-255; a mouse gives 255
};

// Dab callbacks. The start is called for each dab with its rectangle (picture pixels),
// the tip's 8-bit coverage (valid for the call only), the point's pressure and the
// callbacks' context; what it gives is the dab's job (null: the dab is done). The run
// steps the job, nonzero while it has more to do; the end frees it.
using ITzBRUSHDOPOINTSTARTPROC = void* (*)(const PTzRECT* rect, const _tagITzBITMAP* tip, uint8_t pressure,
                                           void* context);
using ITzBRUSHJOBPROC = int (*)(void* job, void* context);
struct _tagITzBRUSHDOPOINTCALLBACKINFO {
    ITzBRUSHDOPOINTSTARTPROC start;
    ITzBRUSHJOBPROC run;
    ITzBRUSHJOBPROC end;
    void* context;
};

// Finish callbacks, called when the stroke's points have run dry. The start gives the
// finish job (null: nothing to finish). A run answering 0 ends the job through the end
// callback; a missing run or one answering nonzero drops the job.
using ITzBRUSHFINISHSTARTPROC = void* (*)(void* context);
struct _tagITzBRUSHDOPOINTFINISHCALLBACKINFO {
    ITzBRUSHFINISHSTARTPROC start;
    ITzBRUSHJOBPROC run;
    ITzBRUSHJOBPROC end;
    void* context;
};

// The data callback of the built-in callbacks: 8-bit coverage (mode 6) placed at a
// picture rectangle of the bitmap's size, valid for the call only. Its result is not read.
using ITzBRUSHDATAPROC = int (*)(_tagITzBITMAP* bitmap, PTzRECT* rect, void* user);
struct _tagITzBRUSHDATACALLBACKINFO {
    ITzBRUSHDATAPROC callback;
    void* user;
};

// In every function a null handle or pointer is refused (0 or nothing done), and a null
// callback entry counts as missing.

// Sets the engine up (ITzInit) and makes a context: the handle, or null when the engine
// or the context cannot be had (the ITzInit is then given back).
LUMATRA_C void* ITzBrushInit();
// Ends the running jobs through their end callbacks, frees the context and ends with
// ITzUninit, which frees nothing that pictures or other tools use: 1, 0 for null.
LUMATRA_C int ITzBrushUninit(void* handle);
// Copies the tip (its width, height, stride and pixels must be sound: sides from 1, a
// stride of at least the width) and keeps its option flags (ITzBRUSHINFO_*): 1, or 0
// with the context unchanged.
LUMATRA_C int ITzBrushSetBrush(void* handle, const _tagITzBRUSHBRUSHINFO* info);
// Installs the built-in callbacks when they are not in place, with their one context
// and cache, and makes `callback` their data callback: 1, or 0 when memory is short.
LUMATRA_C int ITzBrushSetDataCallback(void* handle, const _tagITzBRUSHDATACALLBACKINFO* callback);
// Replace the dab callbacks (the built-in cache's contents handed over first) and the
// finish callbacks; a job of the old callbacks is ended through them: 1.
LUMATRA_C int ITzBrushSetDoPointCallback(void* handle, const _tagITzBRUSHDOPOINTCALLBACKINFO* callbacks);
LUMATRA_C int ITzBrushSetDoPointFinishCallback(void* handle,
                                               const _tagITzBRUSHDOPOINTFINISHCALLBACKINFO* callbacks);
// Starts a stroke: a fresh track whose step is the tip's (size follows pressure with
// option bit 0), the button down. 1; 0 while a stroke runs (until ITzBrushRun gave 0)
// or when memory is short.
LUMATRA_C int ITzBrushMouseDown(void* handle);
// Adds a point: 1; 0 for a point whose coordinates in sixteenths leave 32 bits.
LUMATRA_C int ITzBrushSetPoint(void* handle, const _tagITzBRUSHPOINTINFO* point);
// The button is up: the stroke ends once its points and jobs are done. 1.
LUMATRA_C int ITzBrushMouseUp(void* handle);
// One step: a step of the running dab job, else of the finish job, else the next point's
// dab (its start callback), else the finish start. 0 when the stroke is over (nothing
// pending and the button up), else 1.
LUMATRA_C uint8_t ITzBrushRun(void* handle);
