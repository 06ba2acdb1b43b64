// The arithmetic of the Resize dialog, apart from its controls: a picture's size in
// pixels, inches and centimetres at a resolution, what typing a size or a resolution
// changes, and the limits applied when a box is left and on OK.
//
// Typed numbers may be anything a number box holds (0, a fraction, twelve digits): every
// pixel count they give saturates at the int range before an integer sees it, and the
// proportion of the sides is computed in 64 bits; the limits then bring the sides into
// 1..30000. A picture without a resolution counts as 2834 dots per metre (71.98 pixels
// per inch) everywhere, its original size included.
#pragma once

#include <cstdint>

enum class CSizeUnit { Pixels, Inches, Cms };
enum class CResolutionUnit { PerInch, PerCm };

enum CResizeSide : int { kResizeWidth = 0, kResizeHeight = 1 };

struct CResizeState {
    uint32_t pictureSize[2] = {};     // width, height
    uint32_t pictureDotsPerMetre = 0;  // 0 when the picture has no resolution
    uint32_t newSize[2] = {};         // pixels
    double resolution = 0;             // pixels per inch
    double inches[2] = {};            // the new size at the resolution
};

struct CSideLimits {
    uint32_t minimum;
    uint32_t maximum;
};

inline constexpr uint32_t kResizeMaxSide = 30000;
inline constexpr uint32_t kUnknownDotsPerMetre = 2834;

// The picture's size and resolution, the new size equal to it.
CResizeState ResizeStateForPicture(uint32_t width, uint32_t height, uint32_t dotsPerMetre);
// The new size back to the picture's, the inches recomputed.
void RestorePictureSize(CResizeState& state);

// What the rows show: the original side at the picture's own resolution, the new side
// at the dialog's, the resolution per inch or per centimetre.
double OriginalSideInUnit(const CResizeState& state, int side, CSizeUnit unit);
double NewSideInUnit(const CResizeState& state, int side, CSizeUnit unit);
double ResolutionInUnit(double pixelsPerInch, CResolutionUnit unit);

// Typing v into a new side's box. With resampling the pixels follow (and, constrained,
// the other side in proportion); without, the pixels stay and the resolution follows a
// printed size (a printed size of 0 is ignored, as is a pixel count, whose box is off).
void TypeNewSide(CResizeState& state, int side, CSizeUnit unit, double v, bool resample, bool constrain);
// Typing v into the resolution box: with resampling the pixels follow the printed size,
// without it the printed size follows the pixels. False, with nothing changed, for 0.
bool TypeResolution(CResizeState& state, CResolutionUnit unit, double v, bool resample);

// A new side's pixel limits: 1..30000, narrowed when constrained so that the other side
// stays within them too.
CSideLimits SideLimits(const CResizeState& state, int side, bool constrain);
// A box's value v brought within the limits expressed in its unit.
double LimitSide(double v, CSizeUnit unit, CSideLimits limits, double resolution);
// A resolution box's value brought within 1..30000 pixels per inch, or 0.3937007874..
// 11811.023622 pixels per centimetre.
double LimitResolution(double v, CResolutionUnit unit);
// A new side's pixel count brought within its limits, the other side following when
// constrained: a box shows a printed size rounded to hundredths, which may stay within
// its limit while the pixels it stands for do not. True when the size changed.
bool LimitNewSide(CResizeState& state, int side, bool constrain);

// The resolution as whole dots per metre, rounded.
uint32_t ResolutionToDotsPerMetre(double pixelsPerInch);
// The resolution the dialog answers with: the picture's own (0 for none) while the
// resolution is still the one it started from, otherwise the resolution rounded.
uint32_t ChosenDotsPerMetre(const CResizeState& state);
