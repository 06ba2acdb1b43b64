// The Resize dialog's arithmetic: the proportions and limits of the dialog's own edge
// cases, a picture without a resolution, a printed size of 0 and numbers of twelve digits.
#include <gtest/gtest.h>

#include <QString>
#include <climits>

#include "app/ui/image_resize_rules.h"

namespace {

QString Shown(double value)
{
    return QString::asprintf("%.2f", value);
}

TEST(ImageResizeRules, ConstrainedSidesKeepTheProportionsAndTheLimitsKeepBothSidesInRange)
{
    CResizeState state = ResizeStateForPicture(1000, 800, 0);
    TypeNewSide(state, kResizeWidth, CSizeUnit::Pixels, 500, true, true);
    EXPECT_EQ(state.newSize[kResizeHeight], 400u);
    TypeNewSide(state, kResizeWidth, CSizeUnit::Pixels, 30001, true, true);
    const double limited = LimitSide(30001, CSizeUnit::Pixels, SideLimits(state, kResizeWidth, true), state.resolution);
    EXPECT_EQ(limited, 30000);
    TypeNewSide(state, kResizeWidth, CSizeUnit::Pixels, limited, true, true);
    EXPECT_EQ(state.newSize[kResizeHeight], 24000u);

    const struct {
        uint32_t width, height;
        int side;
        bool constrain;
        uint32_t minimum, maximum;
    } limits[] = {
        {100, 3000, kResizeWidth, true, 1, 1000},
        {100, 3000, kResizeHeight, true, 30, 30000},
        {100, 3000, kResizeWidth, false, 1, 30000},
        {1000, 800, kResizeHeight, true, 1, 24000},
    };
    for (const auto& c : limits) {
        const CSideLimits got = SideLimits(ResizeStateForPicture(c.width, c.height, 0), c.side, c.constrain);
        EXPECT_EQ(got.minimum, c.minimum) << c.width << "x" << c.height << " side " << c.side;
        EXPECT_EQ(got.maximum, c.maximum) << c.width << "x" << c.height << " side " << c.side;
    }
}

TEST(ImageResizeRules, ThePixelsKeepToTheLimitsWhateverTheRoundedPrintedSizeShows)
{
    // Inches at 2159.55 pixels per inch: 13.89 inches stays under the 13.8918 limit, yet
    // stands for 30001 pixels.
    CResizeState state = ResizeStateForPicture(1000, 800, 0);
    ASSERT_TRUE(TypeResolution(state, CResolutionUnit::PerInch, 2159.55, true));
    ASSERT_EQ(state.newSize[kResizeWidth], 30001u);
    const double shown = Shown(NewSideInUnit(state, kResizeWidth, CSizeUnit::Inches)).toDouble();
    EXPECT_EQ(LimitSide(shown, CSizeUnit::Inches, SideLimits(state, kResizeWidth, true), state.resolution), shown);
    EXPECT_TRUE(LimitNewSide(state, kResizeWidth, true));
    EXPECT_EQ(state.newSize[kResizeWidth], 30000u);
    EXPECT_EQ(state.newSize[kResizeHeight], 24000u);
    EXPECT_FALSE(LimitNewSide(state, kResizeHeight, true));
    // Unconstrained, only the side itself; a side of 0 comes up to 1.
    state = ResizeStateForPicture(10, 10, 0);
    state.newSize[kResizeWidth] = 0;
    EXPECT_TRUE(LimitNewSide(state, kResizeWidth, false));
    EXPECT_EQ(state.newSize[kResizeWidth], 1u);
    EXPECT_EQ(state.newSize[kResizeHeight], 10u);
}

TEST(ImageResizeRules, TheResolutionLeftAloneIsThePicturesOwn)
{
    for (uint32_t own : {0u, 2834u, 2835u, 5000u}) {
        CResizeState state = ResizeStateForPicture(100, 100, own);
        EXPECT_EQ(ChosenDotsPerMetre(state), own);
        TypeNewSide(state, kResizeWidth, CSizeUnit::Pixels, 50, true, true);
        EXPECT_EQ(ChosenDotsPerMetre(state), own) << "a new size alone";
        ASSERT_TRUE(TypeResolution(state, CResolutionUnit::PerInch, 300, true));
        EXPECT_EQ(ChosenDotsPerMetre(state), 11811u);
    }
}

TEST(ImageResizeRules, APictureWithoutResolutionCountsAs2834DotsPerMetreEverywhere)
{
    const CResizeState state = ResizeStateForPicture(2834, 100, 0);
    EXPECT_EQ(Shown(ResolutionInUnit(state.resolution, CResolutionUnit::PerInch)), QStringLiteral("71.98"));
    EXPECT_EQ(Shown(ResolutionInUnit(state.resolution, CResolutionUnit::PerCm)), QStringLiteral("28.34"));
    EXPECT_EQ(Shown(OriginalSideInUnit(state, kResizeWidth, CSizeUnit::Inches)), QStringLiteral("39.37"));
    EXPECT_EQ(Shown(OriginalSideInUnit(state, kResizeWidth, CSizeUnit::Cms)), QStringLiteral("100.00"));
    EXPECT_EQ(ResolutionToDotsPerMetre(state.resolution), 2834u);
    // A picture's own resolution is its own.
    EXPECT_EQ(Shown(OriginalSideInUnit(ResizeStateForPicture(3937, 1, 3937), kResizeWidth, CSizeUnit::Cms)),
              QStringLiteral("100.00"));
}

TEST(ImageResizeRules, WithoutResamplingAPrintedSizeSetsTheResolutionAndZeroIsIgnored)
{
    CResizeState state = ResizeStateForPicture(144, 100, 0);
    TypeNewSide(state, kResizeWidth, CSizeUnit::Inches, 2, false, true);
    EXPECT_EQ(Shown(state.resolution), QStringLiteral("72.00"));
    EXPECT_EQ(state.newSize[kResizeWidth], 144u);
    EXPECT_EQ(Shown(state.inches[kResizeHeight]), QStringLiteral("1.39"));
    TypeNewSide(state, kResizeWidth, CSizeUnit::Cms, 0, false, true);
    TypeNewSide(state, kResizeWidth, CSizeUnit::Pixels, 50, false, true);
    EXPECT_EQ(Shown(state.resolution), QStringLiteral("72.00"));
    EXPECT_EQ(state.newSize[kResizeWidth], 144u);
    // A resolution of 0 waits for the limits, which make it 1.
    EXPECT_FALSE(TypeResolution(state, CResolutionUnit::PerInch, 0, false));
    EXPECT_EQ(LimitResolution(0, CResolutionUnit::PerInch), 1);
    EXPECT_EQ(Shown(LimitResolution(1e12, CResolutionUnit::PerCm)), QStringLiteral("11811.02"));
}

TEST(ImageResizeRules, NumbersOfTwelveDigitsSaturateBeforeTheLimitsBringThemIntoRange)
{
    const struct {
        const char* what;
        CSizeUnit unit;
        double typed;
    } cases[] = {
        {"pixels", CSizeUnit::Pixels, 999999999999.0},
        {"inches", CSizeUnit::Inches, 999999999999.0},
        {"cms", CSizeUnit::Cms, 1e300},
    };
    for (const auto& c : cases) {
        CResizeState state = ResizeStateForPicture(1000, 800, 0);
        TypeNewSide(state, kResizeWidth, c.unit, c.typed, true, true);
        EXPECT_EQ(state.newSize[kResizeWidth], uint32_t(INT_MAX)) << c.what;
        EXPECT_EQ(state.newSize[kResizeHeight], uint32_t(int64_t(INT_MAX) * 800 / 1000 + 1)) << c.what;
        const CSideLimits limits = SideLimits(state, kResizeWidth, true);
        EXPECT_EQ(LimitSide(NewSideInUnit(state, kResizeWidth, CSizeUnit::Pixels), CSizeUnit::Pixels, limits,
                            state.resolution),
                  30000)
            << c.what;
    }
    CResizeState state = ResizeStateForPicture(1000, 800, 0);
    ASSERT_TRUE(TypeResolution(state, CResolutionUnit::PerInch, 999999999999.0, true));
    EXPECT_EQ(state.newSize[kResizeWidth], uint32_t(INT_MAX));
    EXPECT_EQ(ResolutionToDotsPerMetre(1e300), UINT32_MAX);
}

}  // namespace
