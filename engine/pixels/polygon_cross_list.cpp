// The polygon crossing list: merging the records of one pixel.
#include "engine/pixels/polygon_cross_list.h"

#include <cstdlib>

#include "engine/pixels/anti_line_math.h"

ITzPloygonCrossPixelList::ITzPloygonCrossPixelList() = default;
ITzPloygonCrossPixelList::~ITzPloygonCrossPixelList() = default;

int ITzPloygonCrossPixelList::AddCrossing(const _tagITzPLOYGONCROSSPIXEL& record)
{
    return m_store.Add(record) ? 1 : 0;
}

void ITzPloygonCrossPixelList::Merge(_tagITzPLOYGONCROSSPIXEL& kept, const _tagITzPLOYGONCROSSPIXEL& added)
{
    if (added.leftOfClip) {
        kept.sides ^= uint8_t(added.sides & (ITzPIXELSIDE_TOP | ITzPIXELSIDE_BOTTOM));
        return;
    }
    const int e = kept.coverage, n = added.coverage;
    const uint8_t common = kept.sides & added.sides;
    const bool keptTop = kept.sides & ITzPIXELSIDE_TOP, keptRight = kept.sides & ITzPIXELSIDE_RIGHT;
    const bool addedTop = added.sides & ITzPIXELSIDE_TOP, addedRight = added.sides & ITzPIXELSIDE_RIGHT;
    bool sum = false;
    if (common == ITzPIXELSIDE_BOTTOM)
        sum = !(keptTop && addedRight) && !(keptRight && addedTop);
    else if (common == ITzPIXELSIDE_RIGHT)
        sum = keptTop || (n & 1);
    kept.coverage = uint8_t(sum ? e + n + 1 : 255 - std::abs(e - n));
    kept.sides ^= added.sides;
}

uint32_t ITzPloygonCrossPixelList::GetCount()
{
    return uint32_t(Records().size());
}

std::span<const _tagITzPLOYGONCROSSPIXEL> ITzPloygonCrossPixelList::Records()
{
    return m_store.Sorted(Merge);
}

std::span<const _tagITzPLOYGONCROSSPIXEL> ITzPloygonCrossPixelList::RowRecords(int32_t first, int32_t last)
{
    Records();
    return m_store.RowsOf(first, last);
}
