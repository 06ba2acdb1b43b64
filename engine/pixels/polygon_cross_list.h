// ITzPloygonCrossPixelList: the pixels a polygon's edges cross, each with the sides its
// edges meet (ITzPIXELSIDE bits: 1 top, 2 bottom, 4 left, 8 right) and the share of the
// pixel on its top-left corner's side. The polygon fill (engine/picture/polygon_fill.h)
// fills it and the layers' FillPolygonWithCrossData consume it.
#pragma once

#include <cstdint>
#include <span>

#include "engine/lumatra_export.h"
#include "engine/pixels/crossing_store.h"

struct _tagITzPLOYGONCROSSPIXEL {
    int32_t row;
    int32_t column;
    uint8_t coverage;
    uint8_t sides;
    // Nonzero for the record that carries, left of the clip, only which of its row's
    // horizontal lines the edges there cross.
    uint8_t leftOfClip;
    uint8_t reserved;
};

class LUMATRA_API ITzPloygonCrossPixelList {
public:
    ITzPloygonCrossPixelList();
    ~ITzPloygonCrossPixelList();
    ITzPloygonCrossPixelList(const ITzPloygonCrossPixelList&) = delete;
    ITzPloygonCrossPixelList& operator=(const ITzPloygonCrossPixelList&) = delete;

    // Adds a record; a second record of a pixel is merged into the first (Merge). 1, or
    // 0 (and the list failed) when memory is short.
    int AddCrossing(const _tagITzPLOYGONCROSSPIXEL& record);
    bool Failed() const { return m_store.Failed(); }

    uint32_t GetCount();
    // The merged records, by row, then column.
    std::span<const _tagITzPLOYGONCROSSPIXEL> Records();
    // The records of rows first to last - 1.
    std::span<const _tagITzPLOYGONCROSSPIXEL> RowRecords(int32_t first, int32_t last);

    // A record of a pixel already listed merged into the kept one: a left-of-clip record
    // only toggles the top and bottom sides; otherwise, with e and n the two coverages,
    // e + n + 1 when both meet only the bottom in common (unless one meets the top and
    // the other the right side), or both only the right side and the kept one the top or
    // n is odd, else 255 - |e - n| (all modulo 256); the sides combine by exclusive or.
    static void Merge(_tagITzPLOYGONCROSSPIXEL& kept, const _tagITzPLOYGONCROSSPIXEL& added);

private:
    lumatra::CrossingStore<_tagITzPLOYGONCROSSPIXEL, &_tagITzPLOYGONCROSSPIXEL::row,
                           &_tagITzPLOYGONCROSSPIXEL::column>
        m_store;
};
