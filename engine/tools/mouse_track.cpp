// ITzMouseTrack: the sample queue, the even spacing of stroke points along the samples'
// polyline (fixed or following pressure) and the holding repeats.
#include "engine/tools/mouse_track.h"

#include "base/geometry.h"
#include "base/memory.h"

namespace {

uint32_t systemTicks(void*)
{
    return PTzGetTickCount();
}

bool samePosition(const _tagPTzMOUSEPOINT& a, const _tagPTzMOUSEPOINT& b)
{
    return a.x == b.x && a.y == b.y;
}

// start + delta * position / length; the division truncates toward zero, so halves round
// up on rising values and toward the start on falling ones. 128 bits: delta and position
// each reach the length, whose square leaves 64 bits for coordinates near the i32 limits.
int64_t interpolate(int64_t start, int64_t delta, int64_t position, int64_t length)
{
    return start + int64_t((__int128(delta) * position + length / 2) / length);
}

// Twice full pressure: the spacing scales with the mean pressure of two neighbouring points.
constexpr int64_t kPressurePairFull = 510;
// The pressure spacing never places two points closer than one pixel.
constexpr int64_t kMinimumPressureStep = 16;

} // namespace

ITzMouseTrack::ITzMouseTrack() : m_clock(systemTicks) {}

ITzMouseTrack::~ITzMouseTrack() = default;

void ITzMouseTrack::SetStep(uint32_t stepPixels, int sizeFollowsPressure)
{
    // Steps beyond what sixteenths can hold are clamped instead of wrapping to tiny ones.
    const uint64_t step = uint64_t(stepPixels) * 16u;
    m_step = step == 0 ? 16u : step > UINT32_MAX ? UINT32_MAX : uint32_t(step);
    m_sizeFollowsPressure = sizeFollowsPressure;
}

void ITzMouseTrack::SetHoldingSupport()
{
    m_holdingSupport = 1;
    m_repeatInterval = 100;
    m_firstRepeatDelay = 500;
}

void ITzMouseTrack::SetOwnerFlag(uint32_t buttonDown)
{
    m_buttonDown = buttonDown;
}

void ITzMouseTrack::SetOwner(ITzMouseTrackOwner* owner)
{
    m_owner = owner;
}

void ITzMouseTrack::SetClock(ITzMouseTrackClock clock, void* context)
{
    m_clock = clock ? clock : systemTicks;
    m_clockContext = clock ? context : nullptr;
}

uint32_t ITzMouseTrack::now() const
{
    return m_clock(m_clockContext);
}

void ITzMouseTrack::AddPoint(const _tagPTzMOUSEPOINT* sample)
{
    if (!sample)
        return;
    if (!m_hasPending) {
        m_pending = *sample;
        m_hasPending = 1;
        return;
    }
    if (samePosition(*sample, m_pending)) {
        if (sample->pressure > m_pending.pressure)
            m_pending = *sample;
        return;
    }
    if (!m_queue.Push(&m_pending))
        return;
    m_pending = *sample;
}

int ITzMouseTrack::GetNextSample(_tagPTzMOUSEPOINT* out)
{
    if (!out)
        return 0;
    if (m_queue.Pop(out))
        return 1;
    if (!m_hasPending)
        return 0;
    *out = m_pending;
    m_hasPending = 0;
    return 1;
}

int ITzMouseTrack::GetNextPoint(_tagPTzMOUSEPOINT* out)
{
    if (!out)
        return 0;
    if (!m_started) {
        if (!GetNextSample(&m_start))
            return 0;
        m_started = 1;
        m_covered = 0;
        m_carried = 0;
        emitAt(0, out);
        return 1;
    }
    for (;;) {
        if (!m_segmentLoaded && !loadSegment())
            return repeatLastSample(out);
        int64_t position = 0;
        if (nextOnSegment(&position)) {
            m_covered = position;
            m_carried = 0;
            emitAt(position, out);
            return 1;
        }
        leaveSegment();
    }
}

bool ITzMouseTrack::loadSegment()
{
    if (!GetNextSample(&m_end))
        return false;
    m_segmentLoaded = 1;
    const PTzPOINT start{m_start.x, m_start.y};
    const PTzPOINT end{m_end.x, m_end.y};
    m_length = PTzGetLineLength(&start, &end);
    m_dx = int64_t(m_end.x) - m_start.x;
    m_dy = int64_t(m_end.y) - m_start.y;
    m_dp = int64_t(m_end.pressure) - m_start.pressure;
    return true;
}

// The next point lies one step after the last one, whichever segment that was on.
bool ITzMouseTrack::nextFixed(int64_t* position) const
{
    const int64_t next = m_covered + int64_t(m_step) - m_carried;
    if (next > m_length)
        return false;
    *position = next;
    return true;
}

// The next point s lies at step * (pLast + p(s)) / 510 from the last point, p(s) being the
// pressure interpolated at s: solved for s, with the last point at covered - carried.
bool ITzMouseTrack::nextByPressure(int64_t* position) const
{
    if (m_length <= 0)
        return false;
    const int64_t step = m_step;
    const int64_t lastPosition = m_covered - m_carried;
    const int64_t numerator =
        (int64_t(m_start.pressure) + m_lastPoint.pressure) * step + lastPosition * kPressurePairFull;
    const int64_t slope = (m_dp * step + m_length / 2) / m_length;
    int64_t s = 0;
    if (numerator > 0) {
        const int64_t denominator = kPressurePairFull - slope;
        s = denominator > 0 ? (numerator + denominator / 2) / denominator : m_length + 1;
    }
    if (s - lastPosition < kMinimumPressureStep)
        s = lastPosition + kMinimumPressureStep;
    if (s > m_length)
        return false;
    *position = s;
    return true;
}

bool ITzMouseTrack::nextOnSegment(int64_t* position) const
{
    return m_sizeFollowsPressure ? nextByPressure(position) : nextFixed(position);
}

// The rest of the segment counts toward the next point's distance; its end starts the next.
void ITzMouseTrack::leaveSegment()
{
    m_carried += m_length - m_covered;
    m_start = m_end;
    m_covered = 0;
    m_segmentLoaded = 0;
}

void ITzMouseTrack::emitAt(int64_t position, _tagPTzMOUSEPOINT* out)
{
    _tagPTzMOUSEPOINT point = m_start;
    if (position != 0) {
        point.x = int32_t(interpolate(m_start.x, m_dx, position, m_length));
        point.y = int32_t(interpolate(m_start.y, m_dy, position, m_length));
        point.pressure = uint8_t(interpolate(m_start.pressure, m_dp, position, m_length));
    }
    m_lastPoint = point;
    *out = point;
    restartRepeatTimer();
}

void ITzMouseTrack::restartRepeatTimer()
{
    if (!m_holdingSupport)
        return;
    m_repeating = 0;
    m_lastPointTime = now();
}

// Paint builds up where the pointer rests, but only while the button is held: after the
// release the drain must run dry however long each dab takes.
int ITzMouseTrack::repeatLastSample(_tagPTzMOUSEPOINT* out)
{
    if (!m_holdingSupport || !m_buttonDown)
        return 0;
    const uint32_t time = now();
    const uint32_t wait = m_repeating ? m_repeatInterval : m_firstRepeatDelay;
    if (uint32_t(time - m_lastPointTime) <= wait)
        return 0;
    m_lastPointTime = time;
    m_repeating = 1;
    m_lastPoint = m_start;
    *out = m_start;
    return 1;
}

int ITzMouseTrack::HasWork() const
{
    if (!m_owner)
        return 0;
    if (!m_ownerWantsPoint)
        return 1;
    int64_t position = 0;
    if (m_started && m_segmentLoaded && nextOnSegment(&position))
        return 1;
    // A sample not yet walked: its segment may hold points (or lead on to one that does).
    return m_queue.GetCount() > 0 || m_hasPending ? 1 : 0;
}

int ITzMouseTrack::DoNextPoint(ITzPicture* picture)
{
    if (!m_owner)
        return 0;
    if (m_ownerWantsPoint && !GetNextPoint(&m_lastPoint))
        return 0;
    m_ownerWantsPoint = m_owner->DoPoint(&m_lastPoint, picture) ? 1 : 0;
    return 1;
}
