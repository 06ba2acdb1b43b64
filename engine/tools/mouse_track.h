// ITzMouseTrack: turns the pointer samples of one brush stroke into stroke points spaced
// evenly along their polyline, and repeats the last point while the pointer rests (holding
// support). The brush tool that owns the track pulls the points from its idle work.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/queue.h"
#include "engine/lumatra_export.h"

class ITzPicture;

// A pointer sample or stroke point. It is handed from the program to the brush tools as
// these exact 12 bytes.
struct _tagPTzMOUSEPOINT {
    int32_t x;            // picture coordinates, sixteenths of a pixel
    int32_t y;
    uint8_t pressure;     // 0-255; a mouse gives 255
    uint8_t reserved[3];  // not read
};
static_assert(sizeof(_tagPTzMOUSEPOINT) == 12, "a mouse point is 12 bytes");
static_assert(offsetof(_tagPTzMOUSEPOINT, y) == 4 && offsetof(_tagPTzMOUSEPOINT, pressure) == 8,
              "mouse point fields at 0, 4 and 8");

// What the track drives: the brush tool. DoPoint works on one stroke point, possibly over
// several calls; it answers 0 while it still works on the point and nonzero when done.
class LUMATRA_API ITzMouseTrackOwner {
public:
    virtual ~ITzMouseTrackOwner() = default;
    virtual int DoPoint(_tagPTzMOUSEPOINT* point, void* picture) = 0;
};

// Monotonic milliseconds, compared with unsigned wrapping subtraction.
using ITzMouseTrackClock = uint32_t (*)(void* context);

class LUMATRA_API ITzMouseTrack {
public:
    // Step one pixel, no holding support, size follows pressure, no owner, the system's
    // tick count as clock.
    ITzMouseTrack();
    virtual ~ITzMouseTrack();
    ITzMouseTrack(const ITzMouseTrack&) = delete;
    ITzMouseTrack& operator=(const ITzMouseTrack&) = delete;

    // Point spacing in whole pixels (0 is taken as 1), and whether it follows pressure.
    void SetStep(uint32_t stepPixels, int sizeFollowsPressure);
    // Repeats the last point after 500 ms of rest, then every 100 ms, while the button is down.
    void SetHoldingSupport();
    // The button-down flag: repeats come only while it is set.
    void SetOwnerFlag(uint32_t buttonDown);
    // The tool that receives the points from DoNextPoint (not owned; null detaches).
    void SetOwner(ITzMouseTrackOwner* owner);
    // Replaces the clock (null restores the system's tick count), so that tests drive the
    // holding repeats without waiting.
    void SetClock(ITzMouseTrackClock clock, void* context);

    // Queues a sample; samples at the position of the newest one only raise its pressure.
    // Null, or a sample that cannot be queued (out of memory), leaves the track as it was.
    void AddPoint(const _tagPTzMOUSEPOINT* sample);
    // The oldest sample not yet taken: 1, or 0 when there is none.
    int GetNextSample(_tagPTzMOUSEPOINT* out);
    // The next stroke point: 1, or 0 when there is none now (or out is null).
    int GetNextPoint(_tagPTzMOUSEPOINT* out);
    // One step of point work: gives the owner a new point when it asked for one, else the
    // same point again. 1 when the owner was called; 0 without an owner or a point.
    int DoNextPoint(ITzPicture* picture);
    // 1 when DoNextPoint has work now: the owner is still on its point, or the samples
    // queued so far lead on to another (a sample not yet walked counts). The repeats of
    // a resting pointer come with time and do not count.
    int HasWork() const;

private:
    bool loadSegment();
    // The next point's position on the loaded segment: false when it lies beyond it.
    bool nextFixed(int64_t* position) const;
    bool nextByPressure(int64_t* position) const;
    bool nextOnSegment(int64_t* position) const;
    void leaveSegment();
    void emitAt(int64_t position, _tagPTzMOUSEPOINT* out);
    int repeatLastSample(_tagPTzMOUSEPOINT* out);
    void restartRepeatTimer();
    uint32_t now() const;

    uint32_t m_step = 16;            // sixteenths of a pixel
    uint32_t m_repeatInterval = 5;   // ms
    uint32_t m_firstRepeatDelay = 1000;
    uint32_t m_lastPointTime = 0;
    int m_repeating = 0;             // the first repeat has been given
    int m_holdingSupport = 0;
    ITzMouseTrackOwner* m_owner = nullptr;
    PTzQueue m_queue{sizeof(_tagPTzMOUSEPOINT)};
    int m_sizeFollowsPressure = 1;
    _tagPTzMOUSEPOINT m_start{};     // segment start; once started, the last sample reached
    int m_started = 0;
    _tagPTzMOUSEPOINT m_end{};
    int m_segmentLoaded = 0;
    _tagPTzMOUSEPOINT m_lastPoint{}; // the last point given out
    int m_ownerWantsPoint = 1;
    _tagPTzMOUSEPOINT m_pending{};   // the newest sample, not yet queued
    int m_hasPending = 0;
    // Distances in sixteenths of a pixel. 64 bits: products of a long segment's deltas
    // and positions leave 32 bits at about 2,900 pixels.
    int64_t m_covered = 0;           // last point's position on the segment
    int64_t m_carried = 0;           // distance from the last point to the segment start
    int64_t m_length = 0;
    int64_t m_dx = 0;
    int64_t m_dy = 0;
    int64_t m_dp = 0;                // end pressure minus start pressure
    uint32_t m_buttonDown = 0;
    ITzMouseTrackClock m_clock;
    void* m_clockContext = nullptr;
};
