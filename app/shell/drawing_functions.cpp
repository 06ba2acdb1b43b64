// The checkerboard writes its two row patterns once and copies them to the other rows;
// the outline rectangle is four bands that never overlap, so that a raster operation
// touches each pixel once.
#include "app/shell/drawing_functions.h"

#include <QApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "app/shell/current_colours.h"
#include "base/color.h"

uint32_t OpacityToPercent(uint8_t opacity)
{
    // round(100 o / 255)
    return (100u * opacity + 127u) / 255u;
}

uint8_t PercentToOpacity(uint32_t percent)
{
    // round(255 p / 100)
    return uint8_t((255u * std::min<uint32_t>(percent, 100) + 50u) / 100u);
}

QColor GetFaceColor()
{
    return QApplication::palette().color(QPalette::Button);
}

void DrawCheckerboard(_tagITzBITMAP* bitmap, const PTzRECT* rect, int32_t cellSize, PTzPOINT phase)
{
    if (!bitmap || !rect || !bitmap->pixels || bitmap->bits != 24 || cellSize <= 0)
        return;
    const int32_t left = std::max(rect->left, 0);
    const int32_t top = std::max(rect->top, 0);
    const int32_t right = std::min(rect->right, bitmap->width);
    const int32_t bottom = std::min(rect->bottom, bitmap->height);
    if (left >= right || top >= bottom)
        return;
    _tagPTzCOLOR colours[2];
    GetCheckerColors(&colours[0], &colours[1]);
    const uint32_t mask = 2u * uint32_t(cellSize) - 1u;
    const auto firstKind = [&](int32_t value, int32_t shift) {
        return ((uint32_t(value) + uint32_t(shift)) & mask) < uint32_t(cellSize) ? 0 : 1;
    };
    const size_t rowBytes = size_t(right - left) * 3;
    uint8_t* rowOfKind[2] = {nullptr, nullptr};
    for (int32_t y = top; y < bottom; ++y) {
        uint8_t* row = bitmap->pixels + int64_t(y) * bitmap->stride + int64_t(left) * 3;
        const int kind = firstKind(y, phase.y);
        if (rowOfKind[kind]) {
            std::memcpy(row, rowOfKind[kind], rowBytes);
            continue;
        }
        rowOfKind[kind] = row;
        // Row kind A starts its cells with colour 1, kind B with colour 2. The cells
        // repeat every `period` pixels: one period is drawn, the rest copied from it.
        const int64_t period = std::min<int64_t>(right - left, std::bit_ceil(mask + 1u));
        for (int32_t x = left; x < left + period; ++x)
            std::memcpy(row + int64_t(x - left) * 3, colours[firstKind(x, phase.x) ^ kind].components, 3);
        for (size_t done = size_t(period) * 3; done < rowBytes; done *= 2)
            std::memcpy(row + done, row, std::min(done, rowBytes - done));
    }
}

int DrawXorRectangle(QPainter* painter, const PTzRECT* rect, const QColor& colour, OutlineRop rop)
{
    if (!painter || !rect || PTzRectEmpty(rect))
        return 0;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    if (rop == OutlineRop::NotXor) {
        const QPaintEngine* engine = painter->paintEngine();
        if (!engine || !engine->hasFeature(QPaintEngine::RasterOpModes))
            return 0;
        mode = QPainter::RasterOp_NotSourceXorDestination;
    }
    const int64_t width = PTzRectWidth(*rect);
    const int64_t height = PTzRectHeight(*rect);
    if (width > INT32_MAX || height > INT32_MAX)
        return 0;
    painter->save();
    painter->setCompositionMode(mode);
    const QColor opaque(colour.red(), colour.green(), colour.blue());
    const auto band = [&](int64_t x, int64_t y, int64_t w, int64_t h) {
        if (w > 0 && h > 0)
            painter->fillRect(QRect(int(x), int(y), int(w), int(h)), opaque);
    };
    band(rect->left, rect->top, width, 1);
    if (height > 1)
        band(rect->left, int64_t(rect->bottom) - 1, width, 1);
    band(rect->left, int64_t(rect->top) + 1, 1, height - 2);
    if (width > 1)
        band(int64_t(rect->right) - 1, int64_t(rect->top) + 1, 1, height - 2);
    painter->restore();
    return 1;
}

void ConstrainTo45Degrees(PTzPOINT* end, const PTzPOINT* start)
{
    if (!end || !start)
        return;
    const double dx = double(end->x) - start->x;
    const double dy = double(start->y) - end->y;  // y grows upward here
    if (dx == 0)
        return;
    double angle = PTzArcTanAngle(dy / dx) + (dx < 0 ? 180.0 : 0.0);
    angle = std::fmod(angle + 360.0, 360.0);
    const double length = std::sqrt(dx * dx + dy * dy);
    // The distance along a diagonal, rounded: round(L cos(angle - diagonal) / sqrt 2),
    // negative for the diagonals 225 and 315.
    const auto along = [&](double diagonal) {
        const double divisor = diagonal > 180.0 ? -1.41421356 : 1.41421356;
        return int64_t((length * PTzCosAngle(angle - diagonal) + 0.707) / divisor);
    };
    const auto place = [&](int64_t x, int64_t y) {
        end->x = PTzSaturate32(x);
        end->y = PTzSaturate32(y);
    };
    const int sector = int((angle + 22.5) / 45.0) % 8;  // 0 is east, counter-clockwise
    switch (sector) {
    case 0:
    case 4:
        end->y = start->y;
        break;
    case 2:
    case 6:
        end->x = start->x;
        break;
    case 1:
    case 5: {
        const int64_t d = along(sector == 1 ? 45.0 : 225.0);
        place(int64_t(start->x) + d, int64_t(start->y) - d);
        break;
    }
    default: {
        const int64_t d = along(sector == 3 ? 135.0 : 315.0);
        place(int64_t(start->x) - d, int64_t(start->y) - d);
        break;
    }
    }
}
