// Rectangle arithmetic, tile walks, zoom-rate scaling, line lengths, angles and byte order.
#include "base/geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "base/error_codes.h"

// Found by argument-dependent lookup from inside GoogleTest and std, so global.
bool operator==(const PTzRECT& a, const PTzRECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::ostream& operator<<(std::ostream& os, const PTzRECT& r)
{
    return os << '{' << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom << '}';
}

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

std::vector<PTzRECT> walk(const PTzRECT& rect, const _tagPTzSIZE* size)
{
    _tagPTzRECTENUM state{};
    EXPECT_EQ(PTzRectEnumFill(&rect, &state, size), 0);
    std::vector<PTzRECT> tiles;
    PTzRECT tile;
    while (PTzRectEnumGetCurrent(&state, &tile) && tiles.size() < 100000)
        tiles.push_back(tile);
    return tiles;
}

TEST(TileWalk, DefaultTilesCoverA600x300RectangleRowByRow)
{
    const std::vector<PTzRECT> expected{{0, 0, 256, 256},     {256, 0, 512, 256},
                                        {512, 0, 600, 256},   {0, 256, 256, 300},
                                        {256, 256, 512, 300}, {512, 256, 600, 300}};
    EXPECT_EQ(walk({0, 0, 600, 300}, nullptr), expected);
}

TEST(TileWalk, RandomRectanglesArePartitionedInRowMajorOrder)
{
    std::mt19937 random(109);
    for (int round = 0; round < 200; ++round) {
        std::uniform_int_distribution<int32_t> coordinate(-500, 500), extent(1, 400), tile(1, 90);
        const int32_t left = coordinate(random), top = coordinate(random);
        const PTzRECT rect{left, top, left + extent(random), top + extent(random)};
        const _tagPTzSIZE size{tile(random), tile(random)};
        const std::vector<PTzRECT> tiles = walk(rect, &size);
        ASSERT_FALSE(tiles.empty());
        int64_t area = 0;
        PTzRECT expectedNext{rect.left, rect.top, 0, 0};
        for (const PTzRECT& t : tiles) {
            ASSERT_EQ(t.left, expectedNext.left);
            ASSERT_EQ(t.top, expectedNext.top);
            ASSERT_EQ(t.right, std::min(t.left + size.cx, rect.right));
            ASSERT_EQ(t.bottom, std::min(t.top + size.cy, rect.bottom));
            area += int64_t(t.right - t.left) * (t.bottom - t.top);
            expectedNext = t.right == rect.right ? PTzRECT{rect.left, t.bottom, 0, 0}
                                                 : PTzRECT{t.right, t.top, 0, 0};
        }
        EXPECT_EQ(expectedNext.top, rect.bottom);
        EXPECT_EQ(area, int64_t(rect.right - rect.left) * (rect.bottom - rect.top));
    }
}

TEST(TileWalk, TileSizeOfZeroOrLessIsRefusedInsteadOfLoopingForever)
{
    const PTzRECT rect{0, 0, 10, 10};
    for (const _tagPTzSIZE size : {_tagPTzSIZE{0, 16}, _tagPTzSIZE{16, 0}, _tagPTzSIZE{-4, 16}}) {
        _tagPTzRECTENUM state{1, 2, 3, 4, 5, 6, 7, 8};
        PTzSetLastError(0);
        EXPECT_EQ(PTzRectEnumFill(&rect, &state, &size), -1);
        EXPECT_EQ(PTzGetLastError(), -1);
        EXPECT_EQ(state.tileWidth, 5);  // left as it was
    }
    _tagPTzRECTENUM unprepared{0, 0, 10, 10, 0, 0, 0, 0};
    PTzRECT tile;
    EXPECT_EQ(PTzRectEnumGetCurrent(&unprepared, &tile), 0);
}

TEST(TileWalk, EmptyOrInvertedRectangleGivesNoTiles)
{
    for (const PTzRECT rect : {PTzRECT{0, 0, 0, 0}, PTzRECT{5, 0, 5, 100}, PTzRECT{0, 7, 100, 7},
                               PTzRECT{50, 0, 10, 100}, PTzRECT{0, 50, 100, 10}})
        EXPECT_TRUE(walk(rect, nullptr).empty()) << rect;
}

TEST(TileWalk, WalkAtTheEdgeOfTheCoordinateRangeEnds)
{
    const std::vector<PTzRECT> expected{{kMax - 300, kMax - 10, kMax - 44, kMax},
                                        {kMax - 44, kMax - 10, kMax, kMax}};
    EXPECT_EQ(walk({kMax - 300, kMax - 10, kMax, kMax}, nullptr), expected);
}

TEST(ZoomRate, ExamplesZeroRatesAndNegativeCoordinatesRoundingDown)
{
    EXPECT_EQ(PTzGetMulValue(3, {2, 1}), 6);
    EXPECT_EQ(PTzGetMulValue(3, {1, 2}), 1);
    EXPECT_EQ(PTzGetDivValue(6, {2, 1}), 3);
    EXPECT_EQ(PTzGetMulValue(9, {0, 1}), 0);
    EXPECT_EQ(PTzGetDivValue(9, {1, 0}), 0);
    EXPECT_EQ(PTzGetMulValue(-1, {1, 1}), -1);
    EXPECT_EQ(PTzGetMulValue(-3, {2, 1}), -6);
    EXPECT_EQ(PTzGetMulValue(-3, {1, 2}), -2);
    EXPECT_EQ(PTzGetMulValue(-7, {5, 3}), -12);
    EXPECT_EQ(PTzGetDivValue(-6, {2, 1}), -3);
    EXPECT_EQ(PTzGetDivValue(-3, {1, 2}), -6);
}

TEST(ZoomRate, WholeZoomsRoundTrip)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> coordinate(-100000, 100000), zoom(1, 32);
    for (int i = 0; i < 1000; ++i) {
        const int32_t a = coordinate(random);
        const _tagPTzRATE rate{zoom(random), 1};
        ASSERT_EQ(PTzGetMulValue(a, rate), a * rate.numerator);
        ASSERT_EQ(PTzGetDivValue(PTzGetMulValue(a, rate), rate), a) << a << " x" << rate.numerator;
    }
}

TEST(ZoomRate, DenominatorsAbove31BitsDivideSigned)
{
    EXPECT_EQ(PTzGetMulValue(-5, {1, 3000000000u}), -1);
    EXPECT_EQ(PTzGetDivValue(-1, {1, 3000000000u}), -1500000001);
    EXPECT_EQ(PTzGetMulValue(kMax, {kMax, 4294967295u}), 1073741823);
    EXPECT_EQ(PTzGetMulValue(kMin, {kMax, 4294967295u}), -1073741824);
    EXPECT_EQ(PTzGetMulValue(-1000, {2000000000, 4000000000u}), -500);
    EXPECT_EQ(PTzGetDivValue(1000, {2000000000, 4000000000u}), 2001);
    EXPECT_EQ(PTzGetDivValue(-1000, {2000000000, 4000000000u}), -2000);
}

TEST(ZoomRate, ResultsBeyond32BitsSaturate)
{
    EXPECT_EQ(PTzGetMulValue(1000000000, {3, 1}), kMax);
    EXPECT_EQ(PTzGetMulValue(-1000000000, {3, 1}), kMin);
    EXPECT_EQ(PTzGetDivValue(kMax, {1, 4294967295u}), kMax);  // d(2a + 1) needs 64 bits unsigned
    EXPECT_EQ(PTzGetDivValue(kMin, {1, 4294967295u}), kMin);
}

TEST(Rect, EmptyEqualAndPointIn)
{
    const PTzRECT r{0, 0, 10, 5}, same{0, 0, 10, 5}, taller{0, 0, 10, 6}, noWidth{3, 0, 3, 5},
        inverted{0, 6, 10, 5};
    EXPECT_EQ(PTzRectEmpty(&r), 0);
    EXPECT_EQ(PTzRectEmpty(&noWidth), 1);
    EXPECT_EQ(PTzRectEmpty(&inverted), 1);
    EXPECT_EQ(PTzRectEqual(&r, &same), 1);
    EXPECT_EQ(PTzRectEqual(&r, &taller), 0);
    for (const PTzPOINT in : {PTzPOINT{0, 0}, PTzPOINT{9, 4}})
        EXPECT_EQ(PTzRectPointIn(&r, &in), 1);
    for (const PTzPOINT out : {PTzPOINT{10, 4}, PTzPOINT{0, 5}, PTzPOINT{-1, 0}})
        EXPECT_EQ(PTzRectPointIn(&r, &out), 0);
}

TEST(Rect, ConstructionAndMoves)
{
    const _tagPTzOFFSET offset{-3, 4};
    const _tagPTzSIZE size{10, 20};
    PTzRECT out{};
    EXPECT_EQ(PTzRectByOffsetAndSize(&out, &offset, &size), 0);
    EXPECT_EQ(out, (PTzRECT{-3, 4, 7, 24}));
    EXPECT_EQ(PTzRectCreateByOffsetAndSize(&out, &offset, &size), 0);
    EXPECT_EQ(PTzRectOffset(&out, &offset, &out), 0);  // in place
    EXPECT_EQ(out, (PTzRECT{-6, 8, 4, 28}));
    const PTzRECT frame{100, 50, 400, 300}, inside{120, 60, 130, 70};
    EXPECT_EQ(PTzRectGetClientRect(&frame, &inside, &out), 1);
    EXPECT_EQ(out, (PTzRECT{20, 10, 30, 20}));
    const _tagPTzSIZE huge{kMax, kMax};
    const _tagPTzOFFSET far{kMax - 1, 0};
    EXPECT_EQ(PTzRectByOffsetAndSize(&out, &far, &huge), 0);
    EXPECT_EQ(out, (PTzRECT{kMax - 1, 0, kMax, kMax}));
}

TEST(Rect, TouchingRectanglesDoNotIntersect)
{
    const PTzRECT a{0, 0, 10, 10}, b{10, 0, 20, 10}, c{5, 5, 15, 8};
    PTzRECT out{1, 1, 1, 1};
    EXPECT_EQ(PTzRectIntersect(&a, &b, &out), 0);
    EXPECT_EQ(out, (PTzRECT{0, 0, 0, 0}));
    EXPECT_EQ(PTzRectIntersect(&a, &c, &out), 1);
    EXPECT_EQ(out, (PTzRECT{5, 5, 10, 8}));
}

TEST(Rect, BoundsIgnoreAnEmptyRectangle)
{
    const PTzRECT a{0, 0, 10, 10}, b{20, -5, 30, 5}, emptyA{-100, -100, -100, 50},
        emptyB{200, 200, 100, 300};
    PTzRECT out;
    EXPECT_EQ(PTzRectBounds(&a, &b, &out), 0);
    EXPECT_EQ(out, (PTzRECT{0, -5, 30, 10}));
    EXPECT_EQ(PTzRectBounds(&emptyA, &b, &out), 0);
    EXPECT_EQ(out, b);
    EXPECT_EQ(PTzRectBounds(&a, &emptyB, &out), 0);
    EXPECT_EQ(out, a);
    EXPECT_EQ(PTzRectBounds(&emptyA, &emptyB, &out), 0);
    EXPECT_EQ(out, emptyB);
}

TEST(Rect, LimitsGrowToContainWithoutAnEmptinessTest)
{
    PTzRECT r{0, 0, 0, 0};
    EXPECT_EQ(PTzRectLimitValue(&r, 5, 5), 0);
    EXPECT_EQ(r, (PTzRECT{0, 0, 6, 6}));
    const PTzPOINT p{-2, 3};
    EXPECT_EQ(PTzRectLimitPoint(&r, &p), 0);
    EXPECT_EQ(r, (PTzRECT{-2, 0, 6, 6}));
    const PTzRECT other{1, -7, 3, 2};
    EXPECT_EQ(PTzRectLimitRect(&r, &other), 0);
    EXPECT_EQ(r, (PTzRECT{-2, -7, 6, 6}));
    EXPECT_EQ(PTzRectLimitValue(&r, kMax, kMax), 0);
    EXPECT_EQ(r, (PTzRECT{-2, -7, kMax, kMax}));
}

TEST(NullArguments, AreRefusedWithMinusOneStoredAndNothingWritten)
{
    const PTzRECT r{0, 0, 10, 10};
    const _tagPTzOFFSET offset{1, 1};
    const _tagPTzSIZE size{1, 1};
    const PTzPOINT p{1, 1};
    PTzRECT out{7, 7, 7, 7};
    auto refused = [](int result, int expected) {
        const bool stored = PTzGetLastError() == -1;
        PTzSetLastError(0);
        return result == expected && stored;
    };
    PTzSetLastError(0);
    EXPECT_TRUE(refused(PTzRectEmpty(nullptr), 1));
    EXPECT_TRUE(refused(PTzRectEqual(&r, nullptr), 0));
    EXPECT_TRUE(refused(PTzRectByOffsetAndSize(&out, nullptr, &size), -1));
    EXPECT_TRUE(refused(PTzRectCreateByOffsetAndSize(&out, &offset, nullptr), -1));
    EXPECT_TRUE(refused(PTzRectOffset(&r, &offset, nullptr), -1));
    EXPECT_TRUE(refused(PTzRectGetClientRect(nullptr, &r, &out), 0));
    EXPECT_TRUE(refused(PTzRectIntersect(&r, nullptr, &out), 0));
    EXPECT_TRUE(refused(PTzRectBounds(nullptr, &r, &out), -1));
    EXPECT_TRUE(refused(PTzRectLimitValue(nullptr, 1, 1), -1));
    EXPECT_TRUE(refused(PTzRectLimitPoint(&out, nullptr), -1));
    EXPECT_TRUE(refused(PTzRectLimitRect(&out, nullptr), -1));
    EXPECT_TRUE(refused(PTzRectPointIn(nullptr, &p), 0));
    EXPECT_TRUE(refused(int(PTzGetLineLength(&p, nullptr)), -1));
    _tagPTzRECTENUM state{};
    EXPECT_TRUE(refused(PTzRectEnumFill(&r, nullptr, nullptr), -1));
    EXPECT_TRUE(refused(PTzRectEnumFill(nullptr, &state, nullptr), -1));
    ASSERT_EQ(PTzRectEnumFill(&r, &state, nullptr), 0);
    EXPECT_TRUE(refused(PTzRectEnumGetCurrent(&state, nullptr), 0));
    EXPECT_EQ(out, (PTzRECT{7, 7, 7, 7}));
}

TEST(LineLength, RoundsToTheNearestInteger)
{
    const PTzPOINT origin{0, 0}, p345{-3, 4}, p11{1, 1}, p23{2, 3};
    EXPECT_EQ(PTzGetLineLength(&origin, &origin), 0);
    EXPECT_EQ(PTzGetLineLength(&origin, &p345), 5);
    EXPECT_EQ(PTzGetLineLength(&p345, &origin), 5);
    EXPECT_EQ(PTzGetLineLength(&origin, &p11), 1);  // 1.414
    EXPECT_EQ(PTzGetLineLength(&origin, &p23), 4);  // 3.606
}

TEST(LineLength, SquaresBeyond32BitsDoNotOverflow)
{
    const PTzPOINT origin{0, 0}, far{1600000, 1600000};
    const PTzPOINT lowCorner{kMin, kMin}, highCorner{kMax, kMax};
    EXPECT_EQ(PTzGetLineLength(&origin, &far), 2262742);                 // 2262741.70
    EXPECT_EQ(PTzGetLineLength(&lowCorner, &highCorner), 6074000999LL);  // 6074000998.54
}

TEST(Conversions, DegreesResolutionAndByteOrder)
{
    EXPECT_NEAR(PTzSinAngle(30), 0.5, 1e-12);
    EXPECT_NEAR(PTzTanAngle(45), 1.0, 1e-12);
    EXPECT_NEAR(PTzArcCosAngle(0.5), 60, 1e-12);
    EXPECT_NEAR(PTzArcTanAngle(-1), -45, 1e-12);
    EXPECT_NEAR(PTzDPItoDPM(254), 10000, 1e-9);
    EXPECT_NEAR(PTzDPMtoDPI(10000), 254, 1e-9);
    EXPECT_EQ(PTzReorder16(0x1234), 0x3412);
    EXPECT_EQ(PTzReorder32(0x12345678u), 0x78563412u);
    EXPECT_EQ(PTzReorder32(0xFF000001u), 0x010000FFu);
}

}  // namespace
