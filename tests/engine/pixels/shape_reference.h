// References for the anti-aliased shape fills: a gray layer whose blocks over a clip are
// present, its bytes read back, and exact geometry in sixteenths of a pixel (pixels an
// edge touches, the share of a pixel on one side of a line, even-odd point tests).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/pixels/layer_image_gray.h"

namespace shape_reference {

using GrayLayer = std::unique_ptr<ITzLayerImageGray, ITzLayerDestroyer>;

// A gray layer over `bounds` (picture pixels) whose blocks are present and hold `value`.
inline GrayLayer PresentLayer(const PTzRECT& bounds, uint8_t value = 0)
{
    GrayLayer layer(new ITzLayerImageGray());
    EXPECT_EQ(layer->SetSize(&bounds, 1), 0);
    const _tagPTzCOLOR colour = {PTzCOLORMODE_GRAY, 255, {value}};
    PTzRECT local;
    layer->PRECTtoLRECT(&bounds, &local);
    EXPECT_EQ(layer->FillRect(&local, &colour), 0);
    return layer;
}

// The layer's bytes over picture rectangle `rect`, row by row.
inline std::vector<uint8_t> ReadBytes(ITzLayerImage& layer, const PTzRECT& rect)
{
    const int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
    std::vector<uint8_t> bytes(size_t(width) * size_t(height), 0xCD);
    _tagITzBITMAP bitmap = {width, height, width, 8, PTzCOLORMODE_GRAY, bytes.data()};
    PTzRECT local;
    layer.PRECTtoLRECT(&rect, &local);
    EXPECT_EQ(layer.GetRectData(&local, &bitmap), 0);
    return bytes;
}

struct Point {
    int64_t x, y;  // sixteenths
};

// Sign of the cross product (b - a) x (p - a).
inline int Side(Point a, Point b, Point p)
{
    const __int128 cross = __int128(b.x - a.x) * (p.y - a.y) - __int128(b.y - a.y) * (p.x - a.x);
    return cross > 0 ? 1 : cross < 0 ? -1 : 0;
}

// Whether segment ab meets the closed square of pixel (px, py) grown by `margin`.
inline bool SegmentTouchesPixel(Point a, Point b, int64_t px, int64_t py, int64_t margin = 0)
{
    const int64_t x0 = px * 16 - margin, y0 = py * 16 - margin, x1 = px * 16 + 16 + margin, y1 = py * 16 + 16 + margin;
    if (std::max(a.x, b.x) < x0 || std::min(a.x, b.x) > x1 || std::max(a.y, b.y) < y0 || std::min(a.y, b.y) > y1)
        return false;
    const Point corners[4] = {{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}};
    int positive = 0, negative = 0;
    for (const Point& c : corners) {
        const int s = Side(a, b, c);
        positive += s > 0;
        negative += s < 0;
    }
    return positive < 4 && negative < 4;
}

// Even-odd inside test of a point against a closed polygon.
inline bool InsidePolygon(const std::vector<Point>& polygon, double x, double y)
{
    bool inside = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const double xi = double(polygon[i].x), yi = double(polygon[i].y);
        const double xj = double(polygon[j].x), yj = double(polygon[j].y);
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
            inside = !inside;
    }
    return inside;
}

// The part of pixel (px, py) on the side of line ab where Side() is positive: its area
// (in 1/256 of the pixel) and its centroid, a point strictly inside it when the area is
// not 0. The square clipped by the half plane, by the shoelace formula.
struct Part {
    double area, x, y;
};

inline Part PositiveSide(Point a, Point b, int64_t px, int64_t py)
{
    const double x0 = double(px * 16), y0 = double(py * 16);
    const std::pair<double, double> square[4] = {{x0, y0}, {x0 + 16, y0}, {x0 + 16, y0 + 16}, {x0, y0 + 16}};
    const auto value = [&](const std::pair<double, double>& p) {
        return double(b.x - a.x) * (p.second - double(a.y)) - double(b.y - a.y) * (p.first - double(a.x));
    };
    std::vector<std::pair<double, double>> clipped;
    for (size_t i = 0; i < 4; ++i) {
        const auto& p = square[i];
        const auto& q = square[(i + 1) % 4];
        const double vp = value(p), vq = value(q);
        if (vp >= 0)
            clipped.push_back(p);
        if ((vp >= 0) != (vq >= 0)) {
            const double t = vp / (vp - vq);
            clipped.push_back({p.first + t * (q.first - p.first), p.second + t * (q.second - p.second)});
        }
    }
    double area = 0, cx = 0, cy = 0;
    for (size_t i = 0; i < clipped.size(); ++i) {
        const auto& p = clipped[i];
        const auto& q = clipped[(i + 1) % clipped.size()];
        const double cross = p.first * q.second - q.first * p.second;
        area += cross;
        cx += (p.first + q.first) * cross;
        cy += (p.second + q.second) * cross;
    }
    if (area == 0)
        return {0, 0, 0};
    return {std::abs(area) / 2, cx / (3 * area), cy / (3 * area)};
}

}  // namespace shape_reference
