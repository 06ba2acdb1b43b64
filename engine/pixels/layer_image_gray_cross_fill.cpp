// The gray layer's fills of one block from a shape's crossing list: every row of the
// block part is rewritten by the even-odd rule on the pixel rows' top lines, interior
// spans set whole and only the crossed pixels written with their coverage. A block part
// that no crossing touches becomes one constant without being expanded.
#include <cstring>
#include <span>

#include "base/error_codes.h"
#include "engine/pixels/cross_pixel_list.h"
#include "engine/pixels/layer_image_gray.h"
#include "engine/pixels/polygon_cross_list.h"

namespace {

constexpr int32_t kSide = 256;

// How one list's records read: the records of a band of rows, a record's row and
// column, whether it flips the inside (its outline crosses the row's top line) and its
// coverage.
struct PolygonRecords {
    ITzPloygonCrossPixelList& list;
    std::span<const _tagITzPLOYGONCROSSPIXEL> Rows(int32_t first, int32_t last) const
    {
        return list.RowRecords(first, last);
    }
    static int32_t Row(const _tagITzPLOYGONCROSSPIXEL& r) { return r.row; }
    static int32_t Column(const _tagITzPLOYGONCROSSPIXEL& r) { return r.column; }
    static bool Flips(const _tagITzPLOYGONCROSSPIXEL& r) { return r.sides & 1; }
    static uint8_t Coverage(const _tagITzPLOYGONCROSSPIXEL& r) { return r.coverage; }
};

struct ArcRecords {
    ITzCrossPixelList& list;
    std::span<const _tagITzCROSSPIXEL> Rows(int32_t first, int32_t last) const { return list.RowRecords(first, last); }
    static int32_t Row(const _tagITzCROSSPIXEL& r) { return r.y; }
    static int32_t Column(const _tagITzCROSSPIXEL& r) { return r.x; }
    static bool Flips(const _tagITzCROSSPIXEL& r) { return r.sides & ITzARCSIDE_TOP; }
    static uint8_t Coverage(const _tagITzCROSSPIXEL& r) { return r.coverage; }
};

// The records of each row of a band in turn, the band's records read once.
template <typename Records, typename Span>
class RowCursor {
public:
    explicit RowCursor(const Span& band) : m_band(band) {}
    // The records of `row`; rows must come in increasing order.
    Span Next(int32_t row)
    {
        while (m_at < m_band.size() && Records::Row(m_band[m_at]) < row)
            ++m_at;
        const size_t from = m_at;
        while (m_at < m_band.size() && Records::Row(m_band[m_at]) == row)
            ++m_at;
        return m_band.subspan(from, m_at - from);
    }

private:
    Span m_band;
    size_t m_at = 0;
};

// value x coverage / 255, rounded.
uint8_t Scale(uint8_t coverage, uint8_t value)
{
    return uint8_t((uint32_t(coverage) * value + 127) / 255);
}

// Whether the inside holds at picture column `x` of the row, and the first record at
// or after it.
template <typename Records, typename Span>
bool StateAt(const Span& records, int32_t x, size_t& next)
{
    bool inside = false;
    next = 0;
    while (next < records.size() && Records::Column(records[next]) < x)
        inside ^= Records::Flips(records[next++]);
    return inside;
}

// Rewrites the pixels of columns [x0, x1) (picture) of one row at `out`.
template <typename Records, typename Span>
void FillRow(const Span& records, int32_t x0, int32_t x1, uint8_t value, uint8_t* out)
{
    size_t next;
    bool inside = StateAt<Records>(records, x0, next);
    int32_t x = x0;
    for (; next < records.size() && Records::Column(records[next]) < x1; ++next) {
        const auto& record = records[next];
        const int32_t column = Records::Column(record);
        std::memset(out + (x - x0), inside ? value : 0, size_t(column - x));
        const uint8_t coverage = Records::Coverage(record);
        out[column - x0] = Scale(inside ? coverage : uint8_t(255 - coverage), value);
        inside ^= Records::Flips(record);
        x = column + 1;
    }
    std::memset(out + (x - x0), inside ? value : 0, size_t(x1 - x));
}

}  // namespace

template <typename Records>
int ITzLayerImageGray::FillBlockWithCrossings(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                              const PTzPOINT* origin, const Records& records, uint8_t value)
{
    const uint32_t index = BlockPosToIndex(position);
    _tagITzBLOCKINFOGRAY record;
    if (index == ITzBLOCK_INDEX_NONE || GetBlockInfo(index, &record, 0) != 0)
        return ITzERR_INVALID;
    const PTzRECT whole = {0, 0, kSide, kSide};
    PTzRECT part;
    if (!PTzRectIntersect(rect, &whole, &part))
        return 0;
    const int32_t x0 = origin->x + part.left, x1 = origin->x + part.right;
    const auto band = records.Rows(origin->y + part.top, origin->y + part.bottom);
    using Band = decltype(band);
    // A part no crossing reaches, inside or outside throughout, is one value.
    bool uniform = true;
    int state = -1;
    RowCursor<Records, Band> rows(band);
    for (int32_t y = part.top; y < part.bottom && uniform; ++y) {
        const Band row = rows.Next(origin->y + y);
        size_t next;
        const int inside = StateAt<Records>(row, x0, next) ? 1 : 0;
        uniform = (state < 0 || state == inside) && (next == row.size() || Records::Column(row[next]) >= x1);
        state = inside;
    }
    if (uniform) {
        const _tagPTzCOLOR fill = {PTzCOLORMODE_GRAY, 255, {state == 1 ? value : uint8_t(0)}};
        return FillBlock(position, &part, &fill);
    }
    const int expanded = UncompressBlock(&record);
    if (expanded != 0)
        return expanded;
    bool written = false;
    {
        const PTzHandleLockGuard data(record.data);
        if (data) {
            RowCursor<Records, Band> fillRows(band);
            for (int32_t y = part.top; y < part.bottom; ++y)
                FillRow<Records>(fillRows.Next(origin->y + y), x0, x1, value,
                                 data.bytes() + ptrdiff_t(y) * kSide + part.left);
            written = true;
        }
    }
    CompressBlock(&record);
    return SetBlockInfo(index, &record) == 0 && written ? 0 : ITzERR_INVALID;
}

int ITzLayerImageGray::FillBlockPolygonWithCrossData(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                                     const PTzPOINT* origin, ITzPloygonCrossPixelList* list,
                                                     const _tagPTzCOLOR* /*colour*/)
{
    if (!position || !rect || !origin || !list)
        return ITzERR_INVALID;
    // A polygon selects fully: its fill data carries no value.
    return FillBlockWithCrossings(position, rect, origin, PolygonRecords{*list}, 255);
}

int ITzLayerImageGray::FillBlockDataWithCrossData(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                                  const PTzPOINT* origin, ITzCrossPixelList* list,
                                                  const _tagPTzCOLOR* colour)
{
    if (!position || !rect || !origin || !list)
        return ITzERR_INVALID;
    return FillBlockWithCrossings(position, rect, origin, ArcRecords{*list}, colour ? colour->components[0] : 255);
}
