// The checked size arithmetic: exact results up to the limit and past the 64-bit edge
// refused, with the output left alone; checked against 128-bit arithmetic.
#include "base/checked_size.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using Wide = unsigned __int128;

constexpr uint64_t kMax = UINT64_MAX;
constexpr uint64_t kUntouched = 0x5A5A5A5A;

struct Case {
    uint64_t a, b, limit;
};

// Operands around the ends of 32 and 64 bits, each under no limit, the i32 limit and
// the u32 limit.
const Case kCases[] = {
    {0, 0, kMax},           {0, kMax, kMax},          {1, kMax, kMax},          {2, kMax / 2, kMax},
    {2, kMax / 2 + 1, kMax}, {kMax, kMax, kMax},       {1ull << 32, 1ull << 32, kMax}, {1ull << 31, 1ull << 32, kMax},
    {0xFFFFFFFF, 0xFFFFFFFF, kMax}, {3, 0x2AAAAAAA, INT32_MAX}, {3, 0x2AAAAAAB, INT32_MAX},
    {INT32_MAX, 1, INT32_MAX}, {INT32_MAX, 2, UINT32_MAX}, {0x80000000, 1, INT32_MAX}, {65536, 65536, UINT32_MAX},
    {65536, 65535, UINT32_MAX}, {0xFFFFFFFF, 1, UINT32_MAX},
};

TEST(CheckedSize, ProductsAndSumsAreExactOrRefused)
{
    for (const Case& c : kCases) {
        const Wide product = Wide(c.a) * c.b;
        uint64_t out = kUntouched;
        EXPECT_EQ(PTzCheckedMul(c.a, c.b, &out, c.limit), product <= c.limit) << c.a << " x " << c.b;
        EXPECT_EQ(out, product <= c.limit ? uint64_t(product) : kUntouched) << c.a << " x " << c.b;

        const Wide sum = Wide(c.a) + c.b;
        out = kUntouched;
        EXPECT_EQ(PTzCheckedAdd(c.a, c.b, &out, c.limit), sum <= c.limit) << c.a << " + " << c.b;
        EXPECT_EQ(out, sum <= c.limit ? uint64_t(sum) : kUntouched) << c.a << " + " << c.b;
    }
}

TEST(CheckedSize, RowBytesPadToWordsAndRefuseWhatLeavesTheLimit)
{
    const struct {
        uint64_t width;
        uint32_t bits;
        uint64_t limit;
        bool ok;
        uint64_t bytes;
    } rows[] = {
        {0, 24, kMax, true, 0},
        {1, 1, kMax, true, 4},
        {33, 1, kMax, true, 8},
        {3, 24, kMax, true, 12},
        {5, 8, kMax, true, 8},
        {0x7FFFFFFF, 32, kMax, true, 0x1FFFFFFFCull},
        {0x7FFFFFFF, 32, INT32_MAX, false, 0},
        {0x1FFFFFFF, 32, INT32_MAX, true, 0x7FFFFFFC},
        {kMax / 8, 8, kMax, false, 0},  // the bit count plus the padding leaves 64 bits
        {kMax, 32, kMax, false, 0},
    };
    for (const auto& row : rows) {
        uint64_t out = kUntouched;
        EXPECT_EQ(PTzCheckedRowBytes(row.width, row.bits, &out, row.limit), row.ok) << row.width << " x " << row.bits;
        EXPECT_EQ(out, row.ok ? row.bytes : kUntouched) << row.width << " x " << row.bits;
    }
}

TEST(CheckedSize, SignedProductsKeepTheirSignOrAreRefused)
{
    const struct {
        int64_t a, b;
    } cases[] = {{INT32_MIN, int64_t(1) << 32}, {INT32_MIN, int64_t(1) << 33}, {INT64_MIN, 1}, {INT64_MIN, -1},
                 {-3, INT64_MAX / 3}, {-3, INT64_MAX / 3 + 1}, {INT32_MAX, -(int64_t(16) << 32)}, {0, INT64_MIN}};
    for (const auto& c : cases) {
        const __int128 product = __int128(c.a) * c.b;
        const bool fits = product >= INT64_MIN && product <= INT64_MAX;
        int64_t out = kUntouched;
        EXPECT_EQ(PTzCheckedMulSigned(c.a, c.b, &out), fits) << c.a << " x " << c.b;
        EXPECT_EQ(out, fits ? int64_t(product) : int64_t(kUntouched)) << c.a << " x " << c.b;
    }
}

TEST(CheckedSize, ANullOutputIsRefused)
{
    EXPECT_FALSE(PTzCheckedMul(1, 1, nullptr));
    EXPECT_FALSE(PTzCheckedAdd(1, 1, nullptr));
    EXPECT_FALSE(PTzCheckedRowBytes(1, 1, nullptr));
    EXPECT_FALSE(PTzCheckedMulSigned(1, 1, nullptr));
}

}  // namespace
