// The arc crossing list: merging the records of one pixel and their coverage.
#include "engine/pixels/cross_pixel_list.h"

#include <vector>

namespace {

void Fold(_tagITzCROSSPIXEL& kept, const _tagITzCROSSPIXEL& added)
{
    if (added.sides & ITzARCSIDE_TOP)
        kept.top = added.top;
    if (added.sides & ITzARCSIDE_BOTTOM)
        kept.bottom = added.bottom;
    if (added.sides & ITzARCSIDE_LEFT)
        kept.left = added.left;
    if (added.sides & ITzARCSIDE_RIGHT)
        kept.right = added.right;
    kept.sides ^= added.sides;
}

}  // namespace

ITzCrossPixelList::ITzCrossPixelList() = default;
ITzCrossPixelList::~ITzCrossPixelList() = default;

int ITzCrossPixelList::AddCrossing(const _tagITzCROSSPIXEL& record)
{
    return m_store.Add(record) ? 1 : 0;
}

std::span<const _tagITzCROSSPIXEL> ITzCrossPixelList::Sorted()
{
    return m_store.Sorted(Fold);
}

void ITzCrossPixelList::ComputeCoverage()
{
    for (_tagITzCROSSPIXEL& record : m_store.Sorted(Fold))
        record.coverage = RecordCoverage(record);
}

uint32_t ITzCrossPixelList::GetCount()
{
    return uint32_t(Sorted().size());
}

std::span<const _tagITzCROSSPIXEL> ITzCrossPixelList::Records()
{
    return Sorted();
}

std::span<const _tagITzCROSSPIXEL> ITzCrossPixelList::RowRecords(int32_t first, int32_t last)
{
    Sorted();
    return m_store.RowsOf(first, last);
}

uint8_t ITzCrossPixelList::RecordCoverage(const _tagITzCROSSPIXEL& record)
{
    const uint32_t l = record.left, r = record.right, t = record.top, b = record.bottom;
    switch (record.sides) {
    case ITzARCSIDE_LEFT | ITzARCSIDE_RIGHT:
        return uint8_t((l + r) * 255 >> 5);
    case ITzARCSIDE_LEFT | ITzARCSIDE_TOP:
        return uint8_t(l * t * 255 >> 9);
    case ITzARCSIDE_LEFT | ITzARCSIDE_BOTTOM:
        return uint8_t(255 - ((16 - l) * b * 255 >> 9));
    case ITzARCSIDE_TOP | ITzARCSIDE_BOTTOM:
        return uint8_t((b + t) * 255 >> 5);
    case ITzARCSIDE_RIGHT | ITzARCSIDE_BOTTOM:
        return uint8_t(255 - ((16 - r) * (16 - b) * 255 >> 9));
    case ITzARCSIDE_RIGHT | ITzARCSIDE_TOP:
        return uint8_t(255 - ((16 - t) * r * 255 >> 9));
    case ITzARCSIDE_LEFT:
    case ITzARCSIDE_RIGHT:
    case ITzARCSIDE_TOP:
    case ITzARCSIDE_BOTTOM:
        return record.coverage;
    default:
        return 0;
    }
}
