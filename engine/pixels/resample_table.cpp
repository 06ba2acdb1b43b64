// The bilinear weight tables: for each source index of one axis, the destination
// indices it feeds and its 8-bit weight in each. Plain tables split a destination
// pixel's centre between its two nearest sources when enlarging and average areas when
// reducing; centred tables (the _C family) do the same about the middle of the axis.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "base/memory.h"
#include "engine/pixels/resample.h"
#include "engine/pixels/zoom_terms.h"

using lumatra::CeilDiv;
using lumatra::FloorDiv;
using lumatra::ZoomTerms;

namespace {

constexpr uint64_t kMaxBlockBytes = std::numeric_limits<uint32_t>::max();

// Fills a table in two passes over the same weights: first every (source, destination)
// pair widens the source's range, then the weights land in rows as wide as the widest
// range. A source that feeds nothing gets first > last.
class TableBuilder {
public:
    TableBuilder(int64_t first, int64_t end) : m_first(first), m_count(uint64_t(end - first)) {}
    ~TableBuilder() { ITzResize::ReleaseBLResizetable(m_table); }
    TableBuilder(const TableBuilder&) = delete;
    TableBuilder& operator=(const TableBuilder&) = delete;

    bool Begin()
    {
        if (m_count == 0 || m_count * 8 > kMaxBlockBytes)
            return false;
        m_table = static_cast<_tagITzBLRESIZETABLE*>(PTzPointNew(sizeof(_tagITzBLRESIZETABLE)));
        if (!m_table)
            return false;
        m_table->ranges = static_cast<int32_t*>(PTzPointNew(uint32_t(m_count * 8)));
        if (!m_table->ranges)
            return false;
        for (uint64_t k = 0; k < m_count; ++k) {
            m_table->ranges[2 * k] = 0;
            m_table->ranges[2 * k + 1] = -1;
        }
        m_table->firstSource = int32_t(m_first);
        m_table->endSource = int32_t(m_first + int64_t(m_count));
        return true;
    }
    void Widen(int64_t source, int64_t dest)
    {
        int32_t* range = m_table->ranges + 2 * (source - m_first);
        if (range[0] > range[1])
            range[0] = range[1] = int32_t(dest);
        range[0] = std::min(range[0], int32_t(dest));
        range[1] = std::max(range[1], int32_t(dest));
    }
    bool MakeRows(uint64_t weightSumBound)
    {
        uint32_t width = 0;
        for (uint64_t k = 0; k < m_count; ++k) {
            const int64_t length = int64_t{m_table->ranges[2 * k + 1]} - m_table->ranges[2 * k] + 1;
            width = std::max<uint32_t>(width, uint32_t(length));
        }
        if (width == 0 || m_count * width > kMaxBlockBytes)
            return false;
        m_table->weights = static_cast<uint8_t*>(PTzPointNew(uint32_t(m_count * width)));
        m_table->width = width;
        m_table->weightSumBound = uint32_t(std::min<uint64_t>(weightSumBound, std::numeric_limits<uint32_t>::max()));
        return m_table->weights != nullptr;
    }
    // Weights landing on the same pair add up, saturating at 255.
    void Add(int64_t source, int64_t dest, uint32_t weight)
    {
        const uint64_t k = uint64_t(source - m_first);
        uint8_t& cell = m_table->weights[k * m_table->width + uint64_t(dest - m_table->ranges[2 * k])];
        cell = uint8_t(std::min<uint32_t>(cell + weight, 255));
    }
    _tagITzBLRESIZETABLE* Take()
    {
        _tagITzBLRESIZETABLE* table = m_table;
        m_table = nullptr;
        return table;
    }

private:
    int64_t m_first;
    uint64_t m_count;
    _tagITzBLRESIZETABLE* m_table = nullptr;
};

bool FitsIndex(int64_t value)
{
    return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

// Enlarging: destination i's centre maps to source (2i + 1) den / 2 num - 1/2 and is split
// between the two nearest sources r and t. emit(i, r, t, weight of r).
template <class Emit>
void ForEachEnlarged(int64_t a0, int64_t a1, const ZoomTerms& z, int64_t iStart, int64_t iEnd, Emit&& emit)
{
    const int64_t o = 2 * z.num;
    for (int64_t i = iStart; i < iEnd; ++i) {
        const int64_t m = (2 * i + 1) * z.den - z.num;
        const int64_t r = std::clamp(FloorDiv(m, o), a0, a1 - 1);
        const int64_t t = std::clamp(CeilDiv(m, o), a0, a1 - 1);
        uint32_t weight = 255;
        if (r != t)
            weight = uint32_t(((z.num * t - i * z.den) * 2 + z.num - z.den) * 255 / ((z.num * t - z.num * r) * 2));
        emit(i, r, t, weight);
    }
}

// Reducing: source a has the full weight w, split at the destination border inside it
// in proportion to the parts on each side. emit(a, destination, weight).
template <class Emit>
void ForEachReduced(int64_t a0, int64_t a1, const ZoomTerms& z, Emit&& emit)
{
    const uint32_t w = std::max<uint32_t>(uint32_t((z.num * 255 + z.den / 2) / z.den), 1);
    for (int64_t a = a0; a < a1; ++a) {
        const int64_t g = FloorDiv(a * z.num, z.den);
        const int64_t h = FloorDiv((a + 1) * z.num, z.den);
        if (g == h) {
            emit(a, g, w);
            continue;
        }
        const uint32_t m = uint32_t(((h * z.den - a * z.num) * 255 + z.den / 2) / z.den);
        if (m != 0)
            emit(a, g, m);
        emit(a, h, w - m);
    }
}

// Centred, enlarging: destination i maps to ((2i - R + 1) den + n num) / 2 num.
template <class Emit>
void ForEachCentredEnlarged(int64_t n, int64_t R, const ZoomTerms& z, Emit&& emit)
{
    for (int64_t i = 0; i < R; ++i) {
        const int64_t offset = (2 * i - R + 1) * z.den;
        const int64_t g = offset + n * z.num;
        const int64_t l = std::clamp(FloorDiv(g, 2 * z.num), int64_t{0}, n - 1);
        const int64_t m = std::clamp(CeilDiv(g, 2 * z.num), int64_t{0}, n - 1);
        uint32_t weight = 255;
        if (l != m)
            weight = uint32_t((((2 * m - n) * z.num - offset) * 255 + z.num * (m - l)) / (2 * z.num * (m - l)));
        emit(i, l, m, weight);
    }
}

// Centred, reducing: source i spans ((2i - n) num / den + R) / 2 to ((2i - n + 2) num /
// den + R) / 2 in destination units; its full weight is split at a border inside.
template <class Emit>
void ForEachCentredReduced(int64_t n, int64_t R, const ZoomTerms& z, Emit&& emit)
{
    const uint32_t full = std::max<uint32_t>(uint32_t((255 * z.num + z.den / 2) / z.den), 1);
    const auto clampDest = [R](int64_t d) { return std::clamp(d, int64_t{0}, R - 1); };
    for (int64_t i = 0; i < n; ++i) {
        const int64_t start = (2 * i - n) * z.num + R * z.den;  // span x 2 den
        const int64_t end = start + 2 * z.num;
        const int64_t g = FloorDiv(start, 2 * z.den);
        const int64_t border = g + 1;
        if (border * 2 * z.den >= end) {
            emit(i, clampDest(g), full);
            continue;
        }
        const int64_t part = (((border * 2 - R) * z.den - (2 * i - n) * z.num) * 255 + z.den) / (2 * z.den);
        const uint32_t first = uint32_t(std::min<int64_t>(part, full));
        emit(i, clampDest(g), first);
        emit(i, clampDest(border), full - first);
    }
}

// The runs of the two passes over pairs that an enlarging walk emits.
template <class Walk>
_tagITzBLRESIZETABLE* BuildEnlarged(TableBuilder& builder, Walk&& walk)
{
    walk([&](int64_t i, int64_t r, int64_t t, uint32_t) {
        builder.Widen(r, i);
        builder.Widen(t, i);
    });
    if (!builder.MakeRows(255))
        return nullptr;
    walk([&](int64_t i, int64_t r, int64_t t, uint32_t weight) {
        builder.Add(r, i, weight);
        if (t != r)
            builder.Add(t, i, 255 - weight);
    });
    return builder.Take();
}

template <class Walk>
_tagITzBLRESIZETABLE* BuildReduced(TableBuilder& builder, uint64_t weightSumBound, Walk&& walk)
{
    walk([&](int64_t a, int64_t d, uint32_t) { builder.Widen(a, d); });
    if (!builder.MakeRows(weightSumBound))
        return nullptr;
    walk([&](int64_t a, int64_t d, uint32_t weight) { builder.Add(a, d, weight); });
    return builder.Take();
}

// No destination receives more than this from the sources that meet it.
uint64_t ReducedSumBound(const ZoomTerms& z, uint32_t fullWeight, int64_t extraSources)
{
    return uint64_t(CeilDiv(z.den, z.num) + extraSources) * fullWeight;
}

// The enlarging walks visit one destination per step: refuse before walking what
// could not be stored anyway.
bool EnlargedFits(int64_t sources, int64_t destinations, const ZoomTerms& z)
{
    const uint64_t perSource = uint64_t((z.den + 2 * z.num - 1) / z.den) + 3;
    return FitsIndex(destinations) && uint64_t(sources) * perSource <= kMaxBlockBytes;
}

}  // namespace

_tagITzBLRESIZETABLE* ITzResize::CreateBLResizetable(int32_t first, int32_t end, const _tagITzZOOMLEVEL* zoom)
{
    ZoomTerms z;
    if (!lumatra::ReadZoom(zoom, z) || end <= first)
        return nullptr;
    const int64_t a0 = first, a1 = end;
    TableBuilder builder(a0, a1);
    if (z.enlarge()) {
        const int64_t iStart = (a0 * z.num - z.den + 1) / z.den;
        const int64_t iEnd = (a1 * z.num + z.den - 1) / z.den;
        if (!FitsIndex(iStart) || !EnlargedFits(a1 - a0, iEnd, z) || !builder.Begin())
            return nullptr;
        return BuildEnlarged(builder, [&](auto&& emit) { ForEachEnlarged(a0, a1, z, iStart, iEnd, emit); });
    }
    // Reducing never takes an index further from 0 than its source.
    if (!builder.Begin())
        return nullptr;
    const uint32_t full = std::max<uint32_t>(uint32_t((z.num * 255 + z.den / 2) / z.den), 1);
    return BuildReduced(builder, ReducedSumBound(z, full, 1),
                        [&](auto&& emit) { ForEachReduced(a0, a1, z, emit); });
}

uint32_t ITzResize::GetBL_CResizedSize(uint32_t length, const _tagITzZOOMLEVEL* zoom)
{
    ZoomTerms z;
    if (!lumatra::ReadZoom(zoom, z))
        return 0;
    const int64_t n = z.enlarge() ? int64_t{length} + 1 : int64_t{length};
    return uint32_t(std::min<int64_t>(CeilDiv(z.num * n, z.den), std::numeric_limits<uint32_t>::max()));
}

_tagITzBLRESIZETABLE* ITzResize::CreateBL_CResizeTable(uint32_t length, const _tagITzZOOMLEVEL* zoom)
{
    ZoomTerms z;
    if (!lumatra::ReadZoom(zoom, z) || length == 0 || length > uint32_t(std::numeric_limits<int32_t>::max()))
        return nullptr;
    const int64_t n = length;
    const int64_t R = GetBL_CResizedSize(length, zoom);
    TableBuilder builder(0, n);
    if (R == 0 || !FitsIndex(R))
        return nullptr;
    if (z.enlarge()) {
        if (!EnlargedFits(n, R, z) || !builder.Begin())
            return nullptr;
        return BuildEnlarged(builder, [&](auto&& emit) { ForEachCentredEnlarged(n, R, z, emit); });
    }
    if (!builder.Begin())
        return nullptr;
    const uint32_t full = std::max<uint32_t>(uint32_t((255 * z.num + z.den / 2) / z.den), 1);
    return BuildReduced(builder, ReducedSumBound(z, full, 2),
                        [&](auto&& emit) { ForEachCentredReduced(n, R, z, emit); });
}

int ITzResize::ReleaseBLResizetable(_tagITzBLRESIZETABLE* table)
{
    if (!table)
        return 0;
    PTzPointFree(table->ranges);
    PTzPointFree(table->weights);
    PTzPointFree(table);
    return 1;
}

int ITzResize::GetIndexPriListFromBLResizeTable(const _tagITzBLRESIZETABLE* table, int32_t source, int32_t* first,
                                                int32_t* last, const uint8_t** weights)
{
    if (!table || !first || !last || !weights || source < table->firstSource || source >= table->endSource)
        return 0;
    const uint32_t k = uint32_t(int64_t{source} - table->firstSource);
    if (table->ranges[2 * k] > table->ranges[2 * k + 1])
        return 0;
    *first = table->ranges[2 * k];
    *last = table->ranges[2 * k + 1];
    *weights = table->weights + uint64_t(k) * table->width;
    return 1;
}
