// Comparing colours by their mode's components and reading red, green and blue.
#include "base/color.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>

namespace {

_tagPTzCOLOR makeColour(uint32_t mode, std::initializer_list<uint8_t> components, uint8_t alpha = 0)
{
    _tagPTzCOLOR c{};
    c.mode = _tagPTzCOLORMODE(mode);
    c.alpha = alpha;
    std::copy(components.begin(), components.end(), c.components);
    return c;
}

TEST(ColorSame, GrayComparesOneByteOnly)
{
    const _tagPTzCOLOR a = makeColour(PTzCOLORMODE_GRAY, {7, 1, 2, 3});
    const _tagPTzCOLOR b = makeColour(PTzCOLORMODE_GRAY, {7, 9, 9, 9});
    const _tagPTzCOLOR c = makeColour(PTzCOLORMODE_GRAY, {8, 1, 2, 3});
    EXPECT_EQ(PTzColorSame(&a, &b), 1);
    EXPECT_EQ(PTzColorSame(&a, &c), 0);
    const _tagPTzCOLOR wide = makeColour(PTzCOLORMODE_GRAY16, {7, 4});
    const _tagPTzCOLOR wide2 = makeColour(PTzCOLORMODE_GRAY16, {7, 5});
    EXPECT_EQ(PTzColorSame(&wide, &wide2), 1);
}

TEST(ColorSame, ThreeColourFamilyComparesThreeBytesAndIgnoresAlpha)
{
    for (uint32_t mode : {1u, 2u, 3u}) {
        const _tagPTzCOLOR a = makeColour(mode, {1, 2, 3, 4}, 10);
        const _tagPTzCOLOR b = makeColour(mode, {1, 2, 3, 99}, 200);
        const _tagPTzCOLOR c = makeColour(mode, {1, 2, 4, 4}, 10);
        EXPECT_EQ(PTzColorSame(&a, &b), 1) << mode;
        EXPECT_EQ(PTzColorSame(&a, &c), 0) << mode;
    }
}

TEST(ColorSame, FourChannelFamilyComparesFourBytes)
{
    for (uint32_t mode : {4u, 5u}) {
        const _tagPTzCOLOR a = makeColour(mode, {1, 2, 3, 4, 5});
        const _tagPTzCOLOR b = makeColour(mode, {1, 2, 3, 4, 6});
        const _tagPTzCOLOR c = makeColour(mode, {1, 2, 3, 5, 5});
        EXPECT_EQ(PTzColorSame(&a, &b), 1) << mode;
        EXPECT_EQ(PTzColorSame(&a, &c), 0) << mode;
    }
}

TEST(ColorSame, DifferentModesNullsAndModesOutsideTheFamilies)
{
    const _tagPTzCOLOR rgb = makeColour(PTzCOLORMODE_RGB, {1, 2, 3});
    const _tagPTzCOLOR bgr = makeColour(PTzCOLORMODE_BGR, {1, 2, 3});
    EXPECT_EQ(PTzColorSame(&rgb, &bgr), 0);
    EXPECT_EQ(PTzColorSame(&rgb, nullptr), 0);
    EXPECT_EQ(PTzColorSame(nullptr, &rgb), 0);
    for (uint32_t mode : {0u, 8u, 1234u}) {
        const _tagPTzCOLOR a = makeColour(mode, {1, 2, 3});
        const _tagPTzCOLOR b = makeColour(mode, {4, 5, 6});
        EXPECT_EQ(PTzColorSame(&a, &b), 1) << mode;
    }
}

TEST(ColorGetRGB, WritesTheThreeColourFamilyToNonNullOutputsOnly)
{
    const _tagPTzCOLOR argb = makeColour(PTzCOLORMODE_ARGB, {10, 20, 30}, 40);
    uint8_t r = 0, g = 0, b = 0;
    EXPECT_EQ(PTzColorGetRGB(&argb, &r, nullptr, &b), 1);
    EXPECT_EQ(r, 10);
    EXPECT_EQ(b, 30);
    const _tagPTzCOLOR gray = makeColour(PTzCOLORMODE_GRAY, {50, 60, 70});
    EXPECT_EQ(PTzColorGetRGB(&gray, &r, &g, &b), 1);
    EXPECT_EQ(r, 10);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(PTzColorGetRGB(nullptr, &r, &g, &b), 0);
}

}  // namespace
