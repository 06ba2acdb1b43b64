// The mouse track: sample queueing, even spacing of stroke points across samples (fixed
// and following pressure), long segments, holding repeats on a fake clock and the drain.
#include "engine/tools/mouse_track.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

_tagPTzMOUSEPOINT Sample(int32_t xPixels, int32_t yPixels, uint8_t pressure = 255)
{
    return {xPixels * 16, yPixels * 16, pressure, {}};
}

struct FakeClock {
    uint32_t ms = 1000;
    static uint32_t Tick(void* context) { return static_cast<FakeClock*>(context)->ms; }
};

std::vector<_tagPTzMOUSEPOINT> Drain(ITzMouseTrack& track)
{
    std::vector<_tagPTzMOUSEPOINT> points;
    _tagPTzMOUSEPOINT point{};
    while (track.GetNextPoint(&point))
        points.push_back(point);
    return points;
}

void AddAll(ITzMouseTrack& track, const std::vector<_tagPTzMOUSEPOINT>& samples)
{
    for (const _tagPTzMOUSEPOINT& sample : samples)
        track.AddPoint(&sample);
}

// The owner side of a brush tool: records every call, answers "done" after a given number
// of calls per point and lets each call take time on the fake clock.
class RecordingOwner : public ITzMouseTrackOwner {
public:
    int DoPoint(_tagPTzMOUSEPOINT* point, void* picture) override
    {
        calls.push_back(*point);
        lastPicture = picture;
        if (clock)
            clock->ms += msPerCall;
        return int(calls.size() % callsPerPoint == 0);
    }

    std::vector<_tagPTzMOUSEPOINT> calls;
    void* lastPicture = nullptr;
    FakeClock* clock = nullptr;
    uint32_t msPerCall = 0;
    size_t callsPerPoint = 1;
};

TEST(MouseTrackSamples, FirstSampleIsAPointAtOnce)
{
    ITzMouseTrack track;
    const _tagPTzMOUSEPOINT down = Sample(7, 9, 40);
    track.AddPoint(&down);
    _tagPTzMOUSEPOINT point{};
    ASSERT_EQ(track.GetNextPoint(&point), 1);
    EXPECT_EQ(point.x, down.x);
    EXPECT_EQ(point.y, down.y);
    EXPECT_EQ(point.pressure, 40);
    EXPECT_EQ(track.GetNextPoint(&point), 0);
}

TEST(MouseTrackSamples, NothingComesFromAnEmptyTrackOrIntoANullOut)
{
    ITzMouseTrack track;
    _tagPTzMOUSEPOINT point{};
    EXPECT_EQ(track.GetNextPoint(&point), 0);
    EXPECT_EQ(track.GetNextSample(&point), 0);
    track.AddPoint(nullptr);
    EXPECT_EQ(track.GetNextPoint(&point), 0);
    const _tagPTzMOUSEPOINT down = Sample(1, 1);
    track.AddPoint(&down);
    EXPECT_EQ(track.GetNextPoint(nullptr), 0);
    EXPECT_EQ(track.GetNextPoint(&point), 1);  // the null out took nothing away
}

TEST(MouseTrackSamples, RepeatsAtOnePlaceKeepOnlyTheStrongestPressure)
{
    ITzMouseTrack track;
    AddAll(track, {Sample(3, 3, 100), Sample(3, 3, 90), Sample(3, 3, 180), Sample(3, 3, 120)});
    _tagPTzMOUSEPOINT sample{};
    ASSERT_EQ(track.GetNextSample(&sample), 1);
    EXPECT_EQ(sample.pressure, 180);
    EXPECT_EQ(track.GetNextSample(&sample), 0);
}

TEST(MouseTrackSpacing, OnePixelStepFillsTenPixelSegmentsEvenly)
{
    ITzMouseTrack track;
    track.SetStep(1, 0);
    AddAll(track, {Sample(0, 5), Sample(10, 5), Sample(20, 5)});
    const std::vector<_tagPTzMOUSEPOINT> points = Drain(track);
    ASSERT_EQ(points.size(), 21u);  // the start, nine between, the sample, and so on
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].x, int32_t(i) * 16) << i;
        EXPECT_EQ(points[i].y, 5 * 16);
    }
}

TEST(MouseTrackSpacing, RemainderCarriesAcrossSampleBoundaries)
{
    ITzMouseTrack track;
    track.SetStep(3, 0);
    // A bent line of 10-pixel legs: every point stays 3 pixels of path from the last.
    AddAll(track, {Sample(0, 0), Sample(10, 0), Sample(10, 10), Sample(20, 10), Sample(20, 20)});
    const std::vector<_tagPTzMOUSEPOINT> points = Drain(track);
    ASSERT_EQ(points.size(), 14u);  // path positions 0, 3, ..., 39
    for (size_t i = 0; i < points.size(); ++i) {
        const int32_t along = int32_t(i) * 3 * 16;
        const int32_t leg = along / 160;
        const int32_t into = along % 160;
        const int32_t x = (leg + 1) / 2 * 160 + (leg % 2 == 0 ? into : 0);
        const int32_t y = leg / 2 * 160 + (leg % 2 == 1 ? into : 0);
        EXPECT_EQ(points[i].x, x) << i;
        EXPECT_EQ(points[i].y, y) << i;
    }
}

TEST(MouseTrackSpacing, ZeroStepIsOnePixel)
{
    ITzMouseTrack track;
    track.SetStep(0, 0);
    AddAll(track, {Sample(0, 0), Sample(0, 4)});
    const std::vector<_tagPTzMOUSEPOINT> points = Drain(track);
    ASSERT_EQ(points.size(), 5u);
    EXPECT_EQ(points[1].y, 16);
}

TEST(MouseTrackSpacing, RepeatedSamplesAddNoPoints)
{
    ITzMouseTrack track;
    track.SetStep(1, 0);
    AddAll(track, {Sample(0, 0), Sample(4, 0), Sample(4, 0, 10), Sample(4, 0), Sample(8, 0)});
    EXPECT_EQ(Drain(track).size(), 9u);
}

TEST(MouseTrackSpacing, PressureIsInterpolatedAlongTheSegment)
{
    ITzMouseTrack track;
    track.SetStep(2, 0);
    AddAll(track, {Sample(0, 0, 0), Sample(20, 0, 200)});
    const std::vector<_tagPTzMOUSEPOINT> points = Drain(track);
    ASSERT_EQ(points.size(), 11u);
    for (size_t i = 0; i < points.size(); ++i)
        EXPECT_EQ(points[i].pressure, 20 * i) << i;
}

TEST(MouseTrackSpacing, FullPressureSpacesAtTheStep)
{
    ITzMouseTrack track;
    track.SetStep(4, 1);
    AddAll(track, {Sample(0, 0, 255), Sample(40, 0, 255)});
    const std::vector<_tagPTzMOUSEPOINT> points = Drain(track);
    ASSERT_EQ(points.size(), 11u);
    for (size_t i = 0; i < points.size(); ++i)
        EXPECT_EQ(points[i].x, int32_t(i) * 4 * 16) << i;
}

TEST(MouseTrackSpacing, HalfPressureSpacesAtAboutHalfTheStep)
{
    ITzMouseTrack track;
    track.SetStep(8, 1);
    AddAll(track, {Sample(0, 0, 128), Sample(80, 0, 128)});
    const std::vector<_tagPTzMOUSEPOINT> points = Drain(track);
    ASSERT_GT(points.size(), 2u);
    for (size_t i = 1; i < points.size(); ++i) {
        const int32_t gap = points[i].x - points[i - 1].x;
        EXPECT_NEAR(gap, 64, 1) << i;  // 128 sixteenths x 256 / 510
    }
}

TEST(MouseTrackSpacing, LowPressureNeverSpacesBelowOnePixel)
{
    for (uint8_t pressure : {uint8_t(0), uint8_t(20)}) {
        ITzMouseTrack track;
        track.SetStep(1, 1);
        AddAll(track, {Sample(0, 0, pressure), Sample(10, 0, pressure)});
        const std::vector<_tagPTzMOUSEPOINT> points = Drain(track);
        ASSERT_EQ(points.size(), 11u) << int(pressure);
        for (size_t i = 1; i < points.size(); ++i)
            EXPECT_EQ(points[i].x - points[i - 1].x, 16);
    }
}

TEST(MouseTrackSpacing, RisingPressureWidensTheGaps)
{
    ITzMouseTrack track;
    track.SetStep(10, 1);
    AddAll(track, {Sample(0, 0, 30), Sample(300, 0, 255)});
    const std::vector<_tagPTzMOUSEPOINT> points = Drain(track);
    ASSERT_GT(points.size(), 4u);
    for (size_t i = 2; i < points.size(); ++i) {
        const int32_t gap = points[i].x - points[i - 1].x;
        EXPECT_GE(gap, points[i - 1].x - points[i - 2].x) << i;
        // Each gap is the step scaled by the two points' mean pressure; the pressure slope
        // is rounded per segment, which shifts far points by up to a thousandth.
        const double expected = 160.0 * (points[i - 1].pressure + points[i].pressure) / 510.0;
        EXPECT_NEAR(gap, expected, 1.0 + points[i].x / 1000.0) << i;
    }
    EXPECT_GT(points.back().x - points[points.size() - 2].x, 4 * (points[1].x - points[0].x));
}

// Sixteenths of a 5,000-pixel segment: products of its deltas and positions need 64 bits.
TEST(MouseTrackLongSegments, FiveThousandPixelsKeepExactPositions)
{
    for (bool pressureSpacing : {false, true}) {
        ITzMouseTrack track;
        track.SetStep(250, pressureSpacing);
        AddAll(track, {Sample(100, 200), Sample(100 + 3000, 200 + 4000)});
        const std::vector<_tagPTzMOUSEPOINT> points = Drain(track);
        ASSERT_EQ(points.size(), 21u) << pressureSpacing;
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_EQ(points[i].x, (100 + 150 * int32_t(i)) * 16) << i;
            EXPECT_EQ(points[i].y, (200 + 200 * int32_t(i)) * 16) << i;
            EXPECT_EQ(points[i].pressure, 255);
        }
    }
}

TEST(MouseTrackLongSegments, PressureSpreadsOverFiveThousandPixels)
{
    ITzMouseTrack track;
    track.SetStep(500, 0);
    AddAll(track, {Sample(0, 0, 0), Sample(-5000, 0, 250)});
    const std::vector<_tagPTzMOUSEPOINT> points = Drain(track);
    ASSERT_EQ(points.size(), 11u);
    for (size_t i = 0; i < points.size(); ++i) {
        // Halves round toward the segment start: within a sixteenth going left.
        EXPECT_NEAR(points[i].x, -500 * 16 * int32_t(i), 1) << i;
        EXPECT_EQ(points[i].pressure, 25 * i) << i;
    }
}

TEST(MouseTrackLongSegments, CoordinatesAtTheLimitsStayOnTheSegment)
{
    ITzMouseTrack track;
    track.SetStep(10000000, 0);
    const _tagPTzMOUSEPOINT from = {INT32_MIN, INT32_MIN, 255, {}};
    const _tagPTzMOUSEPOINT to = {INT32_MAX, INT32_MAX, 255, {}};
    track.AddPoint(&from);
    track.AddPoint(&to);
    const std::vector<_tagPTzMOUSEPOINT> points = Drain(track);
    ASSERT_EQ(points.size(), 38u);  // 2^32 sqrt(2) sixteenths at steps of 1.6e8
    for (size_t i = 1; i < points.size(); ++i) {
        EXPECT_EQ(points[i].x, points[i].y) << i;
        EXPECT_GT(points[i].x, points[i - 1].x) << i;
    }
}

class MouseTrackHolding : public ::testing::Test {
protected:
    void SetUp() override
    {
        track.SetClock(FakeClock::Tick, &clock);
        track.SetHoldingSupport();
        track.SetStep(1, 0);
        track.SetOwnerFlag(1);
        const _tagPTzMOUSEPOINT down = Sample(12, 34, 77);
        track.AddPoint(&down);
        ASSERT_EQ(track.GetNextPoint(&point), 1);
    }
    int NextAfter(uint32_t ms)
    {
        clock.ms += ms;
        return track.GetNextPoint(&point);
    }

    FakeClock clock;
    ITzMouseTrack track;
    _tagPTzMOUSEPOINT point{};
};

TEST_F(MouseTrackHolding, FirstRepeatAfterMoreThan500Ms)
{
    EXPECT_EQ(NextAfter(500), 0);
    ASSERT_EQ(NextAfter(1), 1);
    EXPECT_EQ(point.x, 12 * 16);
    EXPECT_EQ(point.y, 34 * 16);
    EXPECT_EQ(point.pressure, 77);
}

TEST_F(MouseTrackHolding, LaterRepeatsEveryMoreThan100Ms)
{
    ASSERT_EQ(NextAfter(501), 1);
    EXPECT_EQ(NextAfter(100), 0);
    EXPECT_EQ(NextAfter(1), 1);
    EXPECT_EQ(NextAfter(101), 1);
    EXPECT_EQ(NextAfter(0), 0);
}

TEST_F(MouseTrackHolding, AMoveRestartsTheFirstDelay)
{
    ASSERT_EQ(NextAfter(501), 1);
    const _tagPTzMOUSEPOINT moved = Sample(13, 34);
    track.AddPoint(&moved);
    ASSERT_EQ(NextAfter(0), 1);
    EXPECT_EQ(point.x, 13 * 16);
    EXPECT_EQ(NextAfter(200), 0);
    EXPECT_EQ(NextAfter(301), 1);
}

TEST_F(MouseTrackHolding, RepeatsSurviveTheTickCountWrapping)
{
    clock.ms = UINT32_MAX - 100;
    const _tagPTzMOUSEPOINT moved = Sample(13, 34);
    track.AddPoint(&moved);
    ASSERT_EQ(NextAfter(0), 1);  // restarts the delay just before the wrap
    EXPECT_EQ(NextAfter(400), 0);
    EXPECT_EQ(NextAfter(101), 1);
}

TEST_F(MouseTrackHolding, NoRepeatsOnceTheButtonIsUp)
{
    track.SetOwnerFlag(0);
    EXPECT_EQ(NextAfter(10000), 0);
}

TEST(MouseTrackHoldingOff, ARestingPointerGetsNoRepeats)
{
    FakeClock clock;
    ITzMouseTrack track;
    track.SetClock(FakeClock::Tick, &clock);
    track.SetOwnerFlag(1);
    const _tagPTzMOUSEPOINT down = Sample(1, 1);
    track.AddPoint(&down);
    _tagPTzMOUSEPOINT point{};
    ASSERT_EQ(track.GetNextPoint(&point), 1);
    clock.ms += 60000;
    EXPECT_EQ(track.GetNextPoint(&point), 0);
}

TEST(MouseTrackOwner, NoOwnerNoWork)
{
    ITzMouseTrack track;
    const _tagPTzMOUSEPOINT down = Sample(1, 1);
    track.AddPoint(&down);
    EXPECT_EQ(track.DoNextPoint(nullptr), 0);
}

TEST(MouseTrackOwner, OwnerSeesTheSamePointUntilItIsDone)
{
    ITzMouseTrack track;
    RecordingOwner owner;
    owner.callsPerPoint = 3;
    track.SetOwner(&owner);
    track.SetStep(5, 0);
    AddAll(track, {Sample(0, 0), Sample(10, 0)});
    int picture = 0;
    while (track.DoNextPoint(reinterpret_cast<ITzPicture*>(&picture))) {
    }
    ASSERT_EQ(owner.calls.size(), 9u);
    for (size_t i = 0; i < owner.calls.size(); ++i)
        EXPECT_EQ(owner.calls[i].x, int32_t(i / 3) * 5 * 16) << i;
    EXPECT_EQ(owner.lastPicture, &picture);
}

// Work is never missed: whenever DoNextPoint calls the owner, HasWork said so before; once
// the samples are walked there is none (a short last segment counts until it is walked),
// and a resting pointer's repeats, which come with time, never count.
TEST(MouseTrackOwner, HasWorkWhenTheNextStepWouldCallTheOwner)
{
    for (const int followsPressure : {0, 1}) {
        FakeClock clock;
        ITzMouseTrack track;
        RecordingOwner owner;
        owner.callsPerPoint = 2;
        track.SetClock(FakeClock::Tick, &clock);
        track.SetHoldingSupport();
        track.SetOwnerFlag(1);
        track.SetStep(4, followsPressure);
        EXPECT_EQ(track.HasWork(), 0) << "no owner";
        track.SetOwner(&owner);
        EXPECT_EQ(track.HasWork(), 0) << "no sample";
        AddAll(track, {Sample(0, 0, 90), Sample(9, 0, 200), Sample(30, 5, 120), Sample(31, 5, 255)});
        int steps = 0;
        for (;;) {
            const int work = track.HasWork();
            const int called = track.DoNextPoint(nullptr);
            if (called) {
                EXPECT_EQ(work, 1) << followsPressure << ": step " << steps;
            }
            if (!work)
                break;
            ++steps;
        }
        EXPECT_GT(owner.calls.size(), 10u);
        clock.ms += 5000;
        EXPECT_EQ(track.HasWork(), 0) << "a repeat is due, but it is no sample's work";
        EXPECT_EQ(track.DoNextPoint(nullptr), 1);
        EXPECT_EQ(track.HasWork(), 1) << "the owner is on the repeated point";
    }
}

// A release with holding support while every dab outlasts the repeat interval: the drain
// paints what is left and stops.
TEST(MouseTrackOwner, MouseUpDrainEndsWhenDabsOutlastTheRepeatInterval)
{
    FakeClock clock;
    ITzMouseTrack track;
    RecordingOwner owner;
    owner.clock = &clock;
    owner.msPerCall = 700;
    track.SetClock(FakeClock::Tick, &clock);
    track.SetHoldingSupport();
    track.SetOwner(&owner);
    track.SetStep(2, 0);
    track.SetOwnerFlag(1);
    AddAll(track, {Sample(0, 0), Sample(4, 0)});
    ASSERT_EQ(track.DoNextPoint(nullptr), 1);
    ASSERT_EQ(track.DoNextPoint(nullptr), 1);
    const _tagPTzMOUSEPOINT up = Sample(8, 0);
    track.AddPoint(&up);
    track.SetOwnerFlag(0);
    int steps = 0;
    while (track.DoNextPoint(nullptr) && steps < 100)
        ++steps;
    EXPECT_EQ(steps, 3);  // the points at 4, 6 and 8 pixels
    ASSERT_EQ(owner.calls.size(), 5u);
    EXPECT_EQ(owner.calls.back().x, 8 * 16);
}

} // namespace
