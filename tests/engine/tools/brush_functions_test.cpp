// The brush functions: every dab reaches the data callback exactly once (against the
// dabs merged directly), the stroke protocol of ITzBrushRun, custom callbacks, refused
// input, and the engine's lifetime nested under ITzBrushInit / ITzBrushUninit.
#include "engine/tools/brush_functions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/memory_test_hooks.h"
#include "engine/picture/engine_functions.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/tools/mouse_track.h"

namespace {

constexpr int32_t kCanvas = 1024;

// A tip with a one-pixel empty border and soft values inside, so that coverage merged
// twice shows.
struct Tip {
    int16_t side;
    std::vector<uint8_t> pixels;
    explicit Tip(int16_t content) : side(int16_t(content + 2)), pixels(size_t(side) * size_t(side), 0)
    {
        for (int y = 1; y <= content; ++y)
            for (int x = 1; x <= content; ++x)
                pixels[size_t(y) * size_t(side) + size_t(x)] = uint8_t(1 + (x * 37 + y * 11) % 250);
    }
    _tagITzBRUSHBRUSHINFO Info(int16_t stepPercent, uint32_t options) const
    {
        return {int16_t(side - 2), side, side, side, pixels.data(), stepPercent, options};
    }
};

// An 8-bit canvas that coverage is united into (d = S(d, M(s, opacity))).
struct Canvas {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(size_t(kCanvas) * kCanvas, 0);
    int handOvers = 0;
    int widest = 0;

    void Merge(const _tagITzBITMAP& coverage, const PTzRECT& place, uint8_t opacity)
    {
        _tagITzBITMAP target = {kCanvas, kCanvas, kCanvas, 8, int32_t(PTzCOLORMODE_GRAY), pixels.data()};
        const PTzRECT whole = {0, 0, coverage.width, coverage.height};
        PTzRECT at = place;
        const _tagITzMERGEDATA merge = {ITzMERGE_NORMAL, opacity};
        CMathMerge::MergeBitmap(GetMathMerge(), &whole, &coverage, &target, &at, &merge);
    }
    static int Receive(_tagITzBITMAP* bitmap, PTzRECT* rect, void* user)
    {
        auto* canvas = static_cast<Canvas*>(user);
        EXPECT_EQ(rect->right - rect->left, bitmap->width);
        EXPECT_EQ(rect->bottom - rect->top, bitmap->height);
        ++canvas->handOvers;
        canvas->widest = std::max(canvas->widest, int(bitmap->width));
        canvas->Merge(*bitmap, *rect, 255);
        return 1;
    }
};

using Points = std::vector<_tagITzBRUSHPOINTINFO>;

// One stroke through the functions: down, the points, up, runs until the stroke ends.
void Stroke(void* brush, const Points& points)
{
    ASSERT_EQ(ITzBrushMouseDown(brush), 1);
    for (const _tagITzBRUSHPOINTINFO& point : points) {
        ASSERT_EQ(ITzBrushSetPoint(brush, &point), 1);
        EXPECT_EQ(ITzBrushRun(brush), 1);
    }
    EXPECT_EQ(ITzBrushMouseDown(brush), 0) << "a stroke runs";
    ASSERT_EQ(ITzBrushMouseUp(brush), 1);
    int runs = 0;
    while (ITzBrushRun(brush))
        ASSERT_LT(++runs, 100000) << "the stroke does not end";
}

// The same stroke's dabs made by a track and a brush of the same tip and merged directly.
void StrokeDirectly(ITzBrushBase& brush, uint32_t options, const Points& points, Canvas& canvas)
{
    ITzMouseTrack track;
    track.SetStep(brush.GetStep(), (options & ITzBRUSHINFO_PRESS_SIZE) ? 1 : 0);
    for (const _tagITzBRUSHPOINTINFO& point : points) {
        const _tagPTzMOUSEPOINT sample = {point.x * 16, point.y * 16, point.pressure, {}};
        track.AddPoint(&sample);
    }
    _tagPTzMOUSEPOINT point{};
    while (track.GetNextPoint(&point)) {
        PTzRECT rect;
        _tagITzBITMAP dab;
        const bool made = (options & ITzBRUSHINFO_PRESS_SIZE) ? brush.GetPressAntiBrushInfo(&point, &rect, &dab)
                                                              : brush.GetAntiBrushInfo(&point, &rect, &dab);
        ASSERT_TRUE(made);
        canvas.Merge(dab, rect, (options & ITzBRUSHINFO_PRESS_OPACITY) ? point.pressure : 255);
    }
}

Points Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t pressure, int count)
{
    Points points;
    for (int i = 0; i <= count; ++i)
        points.push_back({x0 + (x1 - x0) * i / count, y0 + (y1 - y0) * i / count, pressure});
    return points;
}

// Strokes whose dabs never overlap (their spacing is twice the tip), so that the union
// of each dab is exact and any coverage handed over twice changes the canvas.
TEST(BrushFunctions, EveryDabIsHandedOverExactlyOnceOverSeveralStrokes)
{
    struct Case {
        const char* name;
        int16_t content;
        uint32_t options;
        uint8_t pressure;
    };
    const Case cases[] = {
        {"plain", 9, 0, 255},
        {"size follows pressure", 9, ITzBRUSHINFO_PRESS_SIZE, 200},
        {"opacity follows pressure", 9, ITzBRUSHINFO_PRESS_OPACITY, 128},
        {"a tip wider than the cache", 300, 0, 255},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const Tip tip(test.content);
        const _tagITzBRUSHBRUSHINFO info = tip.Info(200, test.options);
        const std::vector<Points> strokes = {
            Line(20, 20, 700, 40, test.pressure, 12),       // through several cache windows
            Line(30, 330, 30, 1000, test.pressure, 9),
            {{600, 600, test.pressure}},                   // a click
            Line(400, 200, 1000, 200, test.pressure, 3),
        };
        void* brush = ITzBrushInit();
        ASSERT_NE(brush, nullptr);
        Canvas handed, direct;
        const _tagITzBRUSHDATACALLBACKINFO data = {Canvas::Receive, &handed};
        ASSERT_EQ(ITzBrushSetBrush(brush, &info), 1);
        ITzBrushBase reference;
        ASSERT_EQ(reference.SetITzBrush(&info), 1);
        for (const Points& points : strokes) {
            // The program sets the data callback at every stroke.
            ASSERT_EQ(ITzBrushSetDataCallback(brush, &data), 1);
            Stroke(brush, points);
            StrokeDirectly(reference, test.options, points, direct);
        }
        EXPECT_GT(handed.handOvers, 3);
        EXPECT_TRUE(handed.pixels == direct.pixels);
        if (test.content > 256) {
            EXPECT_GT(handed.widest, 256) << "a large dab reaches the callback whole";
        }
        EXPECT_EQ(ITzBrushUninit(brush), 1);
    }
}

// A finish job whose run answers 0 is ended through its end callback, and the stroke ends.
struct FinishLog {
    int starts = 0, ends = 0;
    bool pending = true;
    static void* Start(void* context)
    {
        auto* log = static_cast<FinishLog*>(context);
        ++log->starts;
        if (!log->pending)
            return nullptr;
        log->pending = false;
        return log;
    }
    static int Run(void*, void*) { return 0; }
    static int End(void*, void* context)
    {
        ++static_cast<FinishLog*>(context)->ends;
        return 1;
    }
};

TEST(BrushFunctions, RunEndsTheStrokeOnceNothingIsPendingAndTheButtonIsUp)
{
    void* brush = ITzBrushInit();
    ASSERT_NE(brush, nullptr);
    const Tip tip(5);
    const _tagITzBRUSHBRUSHINFO info = tip.Info(100, 0);
    ASSERT_EQ(ITzBrushSetBrush(brush, &info), 1);
    EXPECT_EQ(ITzBrushRun(brush), 0) << "no stroke";
    FinishLog log;
    const _tagITzBRUSHDOPOINTFINISHCALLBACKINFO finish = {FinishLog::Start, FinishLog::Run, FinishLog::End, &log};
    ASSERT_EQ(ITzBrushSetDoPointFinishCallback(brush, &finish), 1);
    ASSERT_EQ(ITzBrushMouseDown(brush), 1);
    const _tagITzBRUSHPOINTINFO point = {10, 10, 255};
    ASSERT_EQ(ITzBrushSetPoint(brush, &point), 1);
    EXPECT_EQ(ITzBrushRun(brush), 1) << "the point's dab";
    EXPECT_EQ(ITzBrushRun(brush), 1) << "the button is down";
    ITzBrushMouseUp(brush);
    int runs = 0;
    while (ITzBrushRun(brush))
        ASSERT_LT(++runs, 100) << "a finish run answering 0 must end the stroke";
    EXPECT_EQ(log.ends, 1);
    EXPECT_EQ(ITzBrushMouseDown(brush), 1) << "the next stroke may start";
    ITzBrushUninit(brush);
}

// Custom dab callbacks replace the built-in ones; the built-in finish still hands the
// cache over from the context it shares with them, which must outlive their removal.
struct DabLog {
    std::vector<PTzRECT> dabs;
    int runs = 0, ends = 0;
    static void* Start(const PTzRECT* rect, const _tagITzBITMAP*, uint8_t, void* context)
    {
        auto* log = static_cast<DabLog*>(context);
        log->dabs.push_back(*rect);
        return log;
    }
    static int Run(void*, void* context) { return ++static_cast<DabLog*>(context)->runs % 2; }
    static int End(void*, void* context)
    {
        ++static_cast<DabLog*>(context)->ends;
        return 1;
    }
};

TEST(BrushFunctions, CustomDabCallbacksReplaceTheBuiltInOnesWithoutLosingTheirCoverage)
{
    void* brush = ITzBrushInit();
    ASSERT_NE(brush, nullptr);
    const Tip tip(7);
    const _tagITzBRUSHBRUSHINFO info = tip.Info(300, 0);
    ASSERT_EQ(ITzBrushSetBrush(brush, &info), 1);
    Canvas canvas;
    const _tagITzBRUSHDATACALLBACKINFO data = {Canvas::Receive, &canvas};
    ASSERT_EQ(ITzBrushSetDataCallback(brush, &data), 1);
    ASSERT_EQ(ITzBrushMouseDown(brush), 1);
    const _tagITzBRUSHPOINTINFO first = {50, 50, 255};
    ITzBrushSetPoint(brush, &first);
    EXPECT_EQ(ITzBrushRun(brush), 1);
    EXPECT_EQ(canvas.handOvers, 0) << "the dab waits in the cache";
    DabLog log;
    const _tagITzBRUSHDOPOINTCALLBACKINFO dabs = {DabLog::Start, DabLog::Run, DabLog::End, &log};
    ASSERT_EQ(ITzBrushSetDoPointCallback(brush, &dabs), 1);
    EXPECT_EQ(canvas.handOvers, 1) << "the built-in cache was handed over";
    const _tagITzBRUSHPOINTINFO second = {92, 50, 255};  // two steps of 21 on
    ITzBrushSetPoint(brush, &second);
    ITzBrushMouseUp(brush);
    while (ITzBrushRun(brush)) {
    }
    EXPECT_EQ(log.dabs.size(), 2u);
    EXPECT_EQ(log.ends, 2) << "each dab job ends once its run answers 0";
    EXPECT_EQ(canvas.handOvers, 1);
    // The data callback again brings the built-in dab callbacks back.
    ASSERT_EQ(ITzBrushSetDataCallback(brush, &data), 1);
    ASSERT_EQ(ITzBrushMouseDown(brush), 1);
    ITzBrushSetPoint(brush, &first);
    ITzBrushMouseUp(brush);
    while (ITzBrushRun(brush)) {
    }
    EXPECT_EQ(canvas.handOvers, 2);
    EXPECT_EQ(log.dabs.size(), 2u);
    ITzBrushUninit(brush);
}

TEST(BrushFunctions, BadInputIsRefused)
{
    const Tip tip(5);
    const _tagITzBRUSHBRUSHINFO good = tip.Info(100, 0);
    const _tagITzBRUSHDATACALLBACKINFO data = {nullptr, nullptr};
    const _tagITzBRUSHDOPOINTCALLBACKINFO dabs = {};
    const _tagITzBRUSHDOPOINTFINISHCALLBACKINFO finish = {};
    const _tagITzBRUSHPOINTINFO point = {1, 1, 255};
    EXPECT_EQ(ITzBrushSetBrush(nullptr, &good), 0);
    EXPECT_EQ(ITzBrushSetDataCallback(nullptr, &data), 0);
    EXPECT_EQ(ITzBrushSetDoPointCallback(nullptr, &dabs), 0);
    EXPECT_EQ(ITzBrushSetDoPointFinishCallback(nullptr, &finish), 0);
    EXPECT_EQ(ITzBrushMouseDown(nullptr), 0);
    EXPECT_EQ(ITzBrushSetPoint(nullptr, &point), 0);
    EXPECT_EQ(ITzBrushMouseUp(nullptr), 0);
    EXPECT_EQ(ITzBrushRun(nullptr), 0);

    void* brush = ITzBrushInit();
    ASSERT_NE(brush, nullptr);
    EXPECT_EQ(ITzBrushUninit(nullptr), 0);
    EXPECT_EQ(ITzBrushSetBrush(brush, nullptr), 0);
    EXPECT_EQ(ITzBrushSetDataCallback(brush, nullptr), 0);
    EXPECT_EQ(ITzBrushSetDoPointCallback(brush, nullptr), 0);
    EXPECT_EQ(ITzBrushSetDoPointFinishCallback(brush, nullptr), 0);
    EXPECT_EQ(ITzBrushSetPoint(brush, nullptr), 0);
    _tagITzBRUSHBRUSHINFO bad[4] = {good, good, good, good};
    bad[0].width = 0;
    bad[1].height = 0;
    bad[2].pixels = nullptr;
    bad[3].stride = int16_t(good.width - 1);
    for (const _tagITzBRUSHBRUSHINFO& info : bad)
        EXPECT_EQ(ITzBrushSetBrush(brush, &info), 0);
    // Points whose sixteenths leave 32 bits, and the last ones that do not (in a context
    // of their own: a stroke from there would be long).
    const int32_t limit = INT32_MAX / 16;
    for (const _tagITzBRUSHPOINTINFO& far : {_tagITzBRUSHPOINTINFO{limit + 1, 0, 255}, {0, -limit - 2, 255},
                                              {INT32_MIN, 0, 255}})
        EXPECT_EQ(ITzBrushSetPoint(brush, &far), 0);
    void* edges = ITzBrushInit();
    const _tagITzBRUSHPOINTINFO edge = {limit, -limit - 1, 255};
    EXPECT_EQ(ITzBrushSetPoint(edges, &edge), 1);
    ITzBrushUninit(edges);
    // Without a data callback (a null entry counts as missing) the stroke still runs.
    ASSERT_EQ(ITzBrushSetBrush(brush, &good), 1);
    ASSERT_EQ(ITzBrushSetDataCallback(brush, &data), 1);
    ASSERT_EQ(ITzBrushMouseDown(brush), 1);
    ITzBrushSetPoint(brush, &point);
    ITzBrushMouseUp(brush);
    int runs = 0;
    while (ITzBrushRun(brush))
        ASSERT_LT(++runs, 100);
    EXPECT_EQ(ITzBrushUninit(brush), 1);
}

// The brush functions' ITzInit / ITzUninit pairs free nothing the engine still uses,
// a null handle gives no pair back, and a failed start gives its own back.
TEST(BrushFunctions, EachContextHoldsOneEnginePairAndAFailedStartGivesItsPairBack)
{
    ASSERT_NE(GetMathMerge(), nullptr);  // made by use, as pictures make it
    void* outer = ITzBrushInit();
    void* inner = ITzBrushInit();
    ASSERT_NE(outer, nullptr);
    ASSERT_NE(inner, nullptr);
    ITzBrushUninit(nullptr);
    ITzBrushUninit(inner);
    ITzBrushUninit(outer);
    EXPECT_NE(FindBlockMemoryPool(), nullptr) << "the pairs freed what they did not make";
    EXPECT_NE(FindMathMerge(), nullptr);

    // Everything ITzInit needs exists, so only the context's own record can fail.
    PTzTestSetAllocationCountdown(0);
    void* failed = ITzBrushInit();
    PTzTestSetAllocationCountdown(-1);
    EXPECT_EQ(failed, nullptr);
    // With no pair open, this ITzUninit is the program's last and frees everything.
    ITzUninit();
    EXPECT_EQ(FindBlockMemoryPool(), nullptr) << "the failed start kept its ITzInit";
}

}  // namespace
