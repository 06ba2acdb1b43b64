// The polygon scan. Each edge is walked row by row between its crossings of the pixel
// rows' horizontal lines; inside a row the points where it crosses the vertical pixel
// lines cut it into pieces that each lie in one pixel. Vertices are i32 sixteenths, so
// differences take 64 bits and their products 128.
#include "engine/picture/polygon_fill.h"

#include <algorithm>
#include <new>
#include <utility>

#include "base/error_codes.h"
#include "engine/pixels/anti_line_math.h"
#include "engine/pixels/crossing_chain.h"
#include "engine/pixels/layer_image.h"

namespace {

// start + delta x numerator / denominator, the division truncating.
int64_t Along(int64_t start, int64_t delta, int64_t numerator, int64_t denominator)
{
    return start + int64_t(__int128(delta) * numerator / denominator);
}

}  // namespace

ITzPloygonFill::ITzPloygonFill() = default;
ITzPloygonFill::~ITzPloygonFill() = default;

int ITzPloygonFill::Fill(uint32_t count, const PTzPOINT* points, const PTzRECT* clip)
{
    if (count < 3 || !points || !clip)
        return 0;
    if (!m_list)
        m_list.reset(new (std::nothrow) ITzPloygonCrossPixelList);
    if (!m_list || !GetAntiLineMath())
        return PTzERR_OUT_OF_MEMORY;
    if (!PTzRectEmpty(clip)) {
        const auto corner = [](PTzPOINT p) { return PTzPOINT{p.x & ~15, p.y & ~15}; };
        for (uint32_t i = 0; i < count && !m_list->Failed(); ++i)
            AddEdge(corner(points[i]), corner(points[(i + 1) % count]), *clip);
    }
    if (m_list->Failed())
        return PTzERR_OUT_OF_MEMORY;
    return Output(m_list.get(), clip);
}

void ITzPloygonFill::AddEdge(PTzPOINT from, PTzPOINT to, const PTzRECT& clip)
{
    // An edge along a horizontal pixel line crosses no pixel.
    if (from.y == to.y)
        return;
    if (from.y > to.y)
        std::swap(from, to);
    const int64_t x0 = from.x, y0 = from.y, dx = int64_t(to.x) - from.x, dy = int64_t(to.y) - from.y;
    const ITzAntiLineMath& math = *GetAntiLineMath();
    ITzPloygonCrossPixelList& list = *m_list;
    const auto xAt = [&](int64_t y) { return Along(x0, dx, y - y0, dy); };
    const auto yAt = [&](int64_t x) { return dx == 0 ? y0 : Along(y0, dy, x - x0, dx); };
    const auto piece = [&](int32_t row, int32_t column, lumatra::PieceEnd a, lumatra::PieceEnd b) {
        list.AddCrossing({row, column, math.GetCoverage(b.position, a.position, a.side, b.side),
                          uint8_t(a.side | b.side), 0, 0});
    };
    const auto leftOf = [&](int32_t row, uint8_t sides) {
        if (sides)
            list.AddCrossing({row, clip.left - 1, 0, sides, 1, 0});
    };
    const int64_t first = std::max<int64_t>(y0 >> 4, clip.top);
    const int64_t last = std::min<int64_t>(int64_t(to.y) >> 4, clip.bottom);
    for (int64_t row = first; row < last && !list.Failed(); ++row)
        lumatra::WalkRowChain(int32_t(row), xAt(row * ITzSUBPIXELS), xAt((row + 1) * ITzSUBPIXELS), clip, yAt,
                              piece, leftOf);
}

int ITzPloygonFill::Output(ITzPloygonCrossPixelList* /*list*/, const PTzRECT* /*clip*/)
{
    return 0;
}

ITzLayerPloygonFill::ITzLayerPloygonFill() = default;
ITzLayerPloygonFill::~ITzLayerPloygonFill() = default;

int ITzLayerPloygonFill::Output(ITzPloygonCrossPixelList* list, const PTzRECT* /*clip*/)
{
    if (!list || !m_layer)
        return 0;
    return m_layer->FillPolygonWithCrossData(list, &m_fillData);
}
