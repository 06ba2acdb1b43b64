// The brush functions: the brush context behind the handle, its lifetime nested in the
// engine's, its tip and callbacks, and the stroke it runs one step at a time.
#include "engine/tools/brush_functions.h"

#include <memory>
#include <new>

#include "base/memory.h"
#include "engine/picture/engine_functions.h"
#include "engine/tools/brush_functions_cache.h"
#include "engine/tools/mouse_track.h"

namespace {

// The context a handle names.
struct _tagITzBRUSHCONTEXT {
    std::unique_ptr<ITzMouseTrack> track;
    std::unique_ptr<ITzBrushBase> brush;
    uint8_t buttonDown = 0;
    uint32_t options = 0;  // of the last tip set
    void* dabJob = nullptr;
    _tagITzBRUSHDOPOINTCALLBACKINFO dabCallbacks = {};
    int builtInInstalled = 0;  // the built-in dab callbacks are in place
    void* finishJob = nullptr;
    _tagITzBRUSHDOPOINTFINISHCALLBACKINFO finishCallbacks = {};
    // The built-in callbacks' context, made with the first data callback and kept until
    // the context goes: the built-in finish callbacks may use it after the dab ones left.
    lumatra::BrushCache* cache = nullptr;
    bool strokeOpen = false;  // from ITzBrushMouseDown until ITzBrushRun gives 0
    bool trackUsed = false;   // the track has given points: the next stroke needs a new one
};

_tagITzBRUSHCONTEXT* Context(void* handle)
{
    return static_cast<_tagITzBRUSHCONTEXT*>(handle);
}

void EndDabJob(_tagITzBRUSHCONTEXT& context)
{
    if (context.dabJob && context.dabCallbacks.end)
        context.dabCallbacks.end(context.dabJob, context.dabCallbacks.context);
    context.dabJob = nullptr;
}

void EndFinishJob(_tagITzBRUSHCONTEXT& context)
{
    if (context.finishJob && context.finishCallbacks.end)
        context.finishCallbacks.end(context.finishJob, context.finishCallbacks.context);
    context.finishJob = nullptr;
}

// The context record is a Corvane point, as every record whose handle leaves the library.
_tagITzBRUSHCONTEXT* NewContext()
{
    void* memory = PTzPointNew(sizeof(_tagITzBRUSHCONTEXT));
    if (!memory)
        return nullptr;
    auto* context = new (memory) _tagITzBRUSHCONTEXT();
    context->track.reset(new (std::nothrow) ITzMouseTrack());
    context->brush.reset(new (std::nothrow) ITzBrushBase());
    return context;
}

void DeleteContext(_tagITzBRUSHCONTEXT* context)
{
    lumatra::FreeBrushCache(context->cache);
    context->~_tagITzBRUSHCONTEXT();
    PTzPointFree(context);
}

// One step of the stroke's points: the next point's dab handed to the dab start.
bool NextDab(_tagITzBRUSHCONTEXT& context)
{
    _tagPTzMOUSEPOINT point{};
    if (!context.track->GetNextPoint(&point))
        return false;
    context.trackUsed = true;
    PTzRECT rect;
    _tagITzBITMAP tip;
    const bool made = (context.options & ITzBRUSHINFO_PRESS_SIZE) ? context.brush->GetPressAntiBrushInfo(&point, &rect, &tip)
                                                                  : context.brush->GetAntiBrushInfo(&point, &rect, &tip);
    if (made && context.dabCallbacks.start)
        context.dabJob = context.dabCallbacks.start(&rect, &tip, point.pressure, context.dabCallbacks.context);
    return true;
}

}  // namespace

void* ITzBrushInit()
{
    if (ITzInit() != 0)
        return nullptr;
    _tagITzBRUSHCONTEXT* context = NewContext();
    if (!context || !context->track || !context->brush) {
        if (context)
            DeleteContext(context);
        ITzUninit();  // the pair this call opened
        return nullptr;
    }
    return context;
}

int ITzBrushUninit(void* handle)
{
    _tagITzBRUSHCONTEXT* context = Context(handle);
    if (!context)
        return 0;
    EndDabJob(*context);
    EndFinishJob(*context);
    DeleteContext(context);
    ITzUninit();
    return 1;
}

int ITzBrushSetBrush(void* handle, const _tagITzBRUSHBRUSHINFO* info)
{
    _tagITzBRUSHCONTEXT* context = Context(handle);
    if (!context || !info || !context->brush->SetITzBrush(info))
        return 0;
    context->options = info->options;
    if (context->cache)
        context->cache->opacityFollowsPressure = (info->options & ITzBRUSHINFO_PRESS_OPACITY) ? 1 : 0;
    return 1;
}

int ITzBrushSetDataCallback(void* handle, const _tagITzBRUSHDATACALLBACKINFO* callback)
{
    _tagITzBRUSHCONTEXT* context = Context(handle);
    if (!context || !callback)
        return 0;
    if (!context->cache && !(context->cache = lumatra::NewBrushCache()))
        return 0;
    if (!context->builtInInstalled) {
        EndDabJob(*context);
        EndFinishJob(*context);
        context->dabCallbacks = lumatra::BrushCacheDabCallbacks(context->cache);
        context->finishCallbacks = lumatra::BrushCacheFinishCallbacks(context->cache);
        context->builtInInstalled = 1;
    }
    context->cache->data = *callback;
    context->cache->opacityFollowsPressure = (context->options & ITzBRUSHINFO_PRESS_OPACITY) ? 1 : 0;
    return 1;
}

int ITzBrushSetDoPointCallback(void* handle, const _tagITzBRUSHDOPOINTCALLBACKINFO* callbacks)
{
    _tagITzBRUSHCONTEXT* context = Context(handle);
    if (!context || !callbacks)
        return 0;
    EndDabJob(*context);
    // Coverage the built-in dabs gathered is not lost with them.
    if (context->builtInInstalled)
        lumatra::HandOverBrushCache(*context->cache);
    context->dabCallbacks = *callbacks;
    context->builtInInstalled = 0;
    return 1;
}

int ITzBrushSetDoPointFinishCallback(void* handle, const _tagITzBRUSHDOPOINTFINISHCALLBACKINFO* callbacks)
{
    _tagITzBRUSHCONTEXT* context = Context(handle);
    if (!context || !callbacks)
        return 0;
    EndFinishJob(*context);
    context->finishCallbacks = *callbacks;
    return 1;
}

int ITzBrushMouseDown(void* handle)
{
    _tagITzBRUSHCONTEXT* context = Context(handle);
    if (!context || context->strokeOpen)
        return 0;
    // A track that has served a stroke would join the new one to its last point.
    if (context->trackUsed) {
        ITzMouseTrack* fresh = new (std::nothrow) ITzMouseTrack();
        if (!fresh)
            return 0;
        context->track.reset(fresh);
        context->trackUsed = false;
    }
    context->track->SetStep(context->brush->GetStep(), (context->options & ITzBRUSHINFO_PRESS_SIZE) ? 1 : 0);
    context->track->SetOwnerFlag(1);
    context->buttonDown = 1;
    context->strokeOpen = true;
    return 1;
}

int ITzBrushSetPoint(void* handle, const _tagITzBRUSHPOINTINFO* point)
{
    _tagITzBRUSHCONTEXT* context = Context(handle);
    if (!context || !point)
        return 0;
    const int64_t x = int64_t(point->x) * 16, y = int64_t(point->y) * 16;
    if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX)
        return 0;
    const _tagPTzMOUSEPOINT sample = {int32_t(x), int32_t(y), point->pressure, {}};
    context->track->AddPoint(&sample);
    return 1;
}

int ITzBrushMouseUp(void* handle)
{
    _tagITzBRUSHCONTEXT* context = Context(handle);
    if (!context)
        return 0;
    context->buttonDown = 0;
    context->track->SetOwnerFlag(0);
    return 1;
}

uint8_t ITzBrushRun(void* handle)
{
    _tagITzBRUSHCONTEXT* context = Context(handle);
    if (!context)
        return 0;
    if (context->dabJob) {
        const _tagITzBRUSHDOPOINTCALLBACKINFO& callbacks = context->dabCallbacks;
        if (!callbacks.run || !callbacks.run(context->dabJob, callbacks.context))
            EndDabJob(*context);
        return 1;
    }
    if (context->finishJob) {
        const _tagITzBRUSHDOPOINTFINISHCALLBACKINFO& callbacks = context->finishCallbacks;
        if (!callbacks.run || callbacks.run(context->finishJob, callbacks.context))
            context->finishJob = nullptr;
        else
            EndFinishJob(*context);
        return 1;
    }
    if (NextDab(*context))
        return 1;
    if (context->finishCallbacks.start)
        context->finishJob = context->finishCallbacks.start(context->finishCallbacks.context);
    if (!context->finishJob && !context->buttonDown) {
        context->strokeOpen = false;
        return 0;
    }
    return 1;
}
