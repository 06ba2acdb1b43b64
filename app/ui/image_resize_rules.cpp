// The Resize dialog's arithmetic. One inch is 2.54 centimetres throughout.
#include "app/ui/image_resize_rules.h"

#include <algorithm>
#include <climits>

#include "base/geometry.h"

namespace {

constexpr double kCmPerInch = 2.54;
constexpr double kMinPerCm = 0.3937007874;
constexpr double kMaxPerCm = 11811.023622;

// A pixel count from a typed or computed number, truncated, within 0..INT_MAX (the
// boxes show pixel counts as signed integers); anything not positive gives 0.
uint32_t SaturatedPixels(double v)
{
    if (!(v > 0))
        return 0;
    return v >= double(INT_MAX) ? uint32_t(INT_MAX) : uint32_t(v);
}

uint32_t RoundedPixels(double v)
{
    return SaturatedPixels(v + 0.5);
}

double Inches(uint32_t pixels, double resolution)
{
    return resolution > 0 ? pixels / resolution : 0;
}

void RecomputeInches(CResizeState& state)
{
    for (int side : {kResizeWidth, kResizeHeight})
        state.inches[side] = Inches(state.newSize[side], state.resolution);
}

double PixelsInUnit(double pixels, CSizeUnit unit, double resolution)
{
    switch (unit) {
    case CSizeUnit::Pixels:
        return pixels;
    case CSizeUnit::Inches:
        return resolution > 0 ? pixels / resolution : 0;
    case CSizeUnit::Cms:
        break;
    }
    return resolution > 0 ? pixels * kCmPerInch / resolution : 0;
}

}  // namespace

CResizeState ResizeStateForPicture(uint32_t width, uint32_t height, uint32_t dotsPerMetre)
{
    CResizeState state;
    state.pictureSize[kResizeWidth] = width;
    state.pictureSize[kResizeHeight] = height;
    state.pictureDotsPerMetre = dotsPerMetre;
    state.resolution = PTzDPMtoDPI(dotsPerMetre ? dotsPerMetre : kUnknownDotsPerMetre);
    RestorePictureSize(state);
    return state;
}

void RestorePictureSize(CResizeState& state)
{
    state.newSize[kResizeWidth] = state.pictureSize[kResizeWidth];
    state.newSize[kResizeHeight] = state.pictureSize[kResizeHeight];
    RecomputeInches(state);
}

double OriginalSideInUnit(const CResizeState& state, int side, CSizeUnit unit)
{
    const double dotsPerMetre = state.pictureDotsPerMetre ? state.pictureDotsPerMetre : kUnknownDotsPerMetre;
    const double pixels = state.pictureSize[side];
    switch (unit) {
    case CSizeUnit::Pixels:
        return pixels;
    case CSizeUnit::Inches:
        return pixels * 100 / (dotsPerMetre * kCmPerInch);
    case CSizeUnit::Cms:
        break;
    }
    return pixels * 100 / dotsPerMetre;
}

double NewSideInUnit(const CResizeState& state, int side, CSizeUnit unit)
{
    return PixelsInUnit(state.newSize[side], unit, state.resolution);
}

double ResolutionInUnit(double pixelsPerInch, CResolutionUnit unit)
{
    return unit == CResolutionUnit::PerCm ? pixelsPerInch / kCmPerInch : pixelsPerInch;
}

void TypeNewSide(CResizeState& state, int side, CSizeUnit unit, double v, bool resample, bool constrain)
{
    const int other = 1 - side;
    if (resample) {
        switch (unit) {
        case CSizeUnit::Pixels:
            state.newSize[side] = SaturatedPixels(v);
            break;
        case CSizeUnit::Inches:
            state.newSize[side] = RoundedPixels(v * state.resolution);
            break;
        case CSizeUnit::Cms:
            state.newSize[side] = RoundedPixels(v * state.resolution / kCmPerInch);
            break;
        }
        state.inches[side] = Inches(state.newSize[side], state.resolution);
        const uint64_t along = state.pictureSize[side];
        if (constrain && along != 0) {
            const uint64_t across = (uint64_t(state.newSize[side]) * state.pictureSize[other] + along / 2) / along;
            state.newSize[other] = uint32_t(std::min<uint64_t>(across, INT_MAX));
            state.inches[other] = Inches(state.newSize[other], state.resolution);
        }
        return;
    }
    if (unit == CSizeUnit::Pixels || !(v > 0))
        return;
    state.resolution = unit == CSizeUnit::Inches ? state.newSize[side] / v : state.newSize[side] * kCmPerInch / v;
    RecomputeInches(state);
}

bool TypeResolution(CResizeState& state, CResolutionUnit unit, double v, bool resample)
{
    if (v == 0)
        return false;
    state.resolution = unit == CResolutionUnit::PerCm ? v * kCmPerInch : v;
    if (!resample) {
        RecomputeInches(state);
        return true;
    }
    for (int side : {kResizeWidth, kResizeHeight})
        state.newSize[side] = RoundedPixels(state.inches[side] * state.resolution);
    return true;
}

CSideLimits SideLimits(const CResizeState& state, int side, bool constrain)
{
    CSideLimits limits = {1, kResizeMaxSide};
    const uint64_t along = state.pictureSize[side];
    const uint64_t across = state.pictureSize[1 - side];
    if (constrain && across > along)
        limits.maximum = uint32_t((uint64_t(kResizeMaxSide) * along + across / 2) / across);
    if (constrain && along > across && across != 0)
        limits.minimum = uint32_t(std::min<uint64_t>((along + across / 2) / across, UINT32_MAX));
    return limits;
}

double LimitSide(double v, CSizeUnit unit, CSideLimits limits, double resolution)
{
    const double maximum = PixelsInUnit(limits.maximum, unit, resolution);
    const double minimum = PixelsInUnit(limits.minimum, unit, resolution);
    if (v > maximum)
        return maximum;
    if (v < minimum)
        return minimum;
    return v;
}

double LimitResolution(double v, CResolutionUnit unit)
{
    const bool perCm = unit == CResolutionUnit::PerCm;
    return std::clamp(v, perCm ? kMinPerCm : 1.0, perCm ? kMaxPerCm : double(kResizeMaxSide));
}

bool LimitNewSide(CResizeState& state, int side, bool constrain)
{
    const CSideLimits limits = SideLimits(state, side, constrain);
    const uint32_t pixels = std::max(limits.minimum, std::min(state.newSize[side], limits.maximum));
    if (pixels == state.newSize[side])
        return false;
    TypeNewSide(state, side, CSizeUnit::Pixels, pixels, true, constrain);
    return true;
}

uint32_t ResolutionToDotsPerMetre(double pixelsPerInch)
{
    const double dotsPerMetre = PTzDPItoDPM(pixelsPerInch) + 0.5;
    if (!(dotsPerMetre > 0))
        return 0;
    return dotsPerMetre >= double(UINT32_MAX) ? UINT32_MAX : uint32_t(dotsPerMetre);
}

uint32_t ChosenDotsPerMetre(const CResizeState& state)
{
    const uint32_t own = state.pictureDotsPerMetre;
    if (state.resolution == PTzDPMtoDPI(own ? own : kUnknownDotsPerMetre))
        return own;
    return ResolutionToDotsPerMetre(state.resolution);
}
