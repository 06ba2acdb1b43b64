// ITzCrossPixelList: the pixels an arc's outline crosses, each with where the outline
// meets its four sides and the share of the pixel on its top-left corner's side. The
// arc scan (arc_fill.h) fills it and the layers' FillDataWithCrossData consume it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/lumatra_export.h"
#include "engine/pixels/crossing_store.h"

// The sides of a crossing record (the polygon list numbers them otherwise).
enum ITzARCSIDE : uint8_t {
    ITzARCSIDE_LEFT = 1,
    ITzARCSIDE_RIGHT = 2,
    ITzARCSIDE_TOP = 4,
    ITzARCSIDE_BOTTOM = 8,
};

// One crossed pixel: positions in sixteenths along each side (x on top and bottom).
struct _tagITzCROSSPIXEL {
    int32_t x;
    int32_t y;
    uint8_t top;
    uint8_t bottom;
    uint8_t left;
    uint8_t right;
    uint8_t sides;  // ITzARCSIDE bits
    uint8_t coverage;
    uint8_t reserved[2];
};
static_assert(sizeof(_tagITzCROSSPIXEL) == 16);

class LUMATRA_API ITzCrossPixelList {
public:
    ITzCrossPixelList();
    ~ITzCrossPixelList();
    ITzCrossPixelList(const ITzCrossPixelList&) = delete;
    ITzCrossPixelList& operator=(const ITzCrossPixelList&) = delete;

    // Adds a record; a second record of a pixel is merged into the first: each side it
    // crosses takes its position, and the sides combine by exclusive or, so a side
    // crossed twice drops out. 1, or 0 (and the list failed) when memory is short.
    int AddCrossing(const _tagITzCROSSPIXEL& record);
    // Gives every record the coverage its sides and positions describe.
    void ComputeCoverage();
    // Whether a record was lost for want of memory: the list is then not the shape.
    bool Failed() const { return m_store.Failed(); }

    uint32_t GetCount();
    // The merged records, by row, then x.
    std::span<const _tagITzCROSSPIXEL> Records();
    // The records of rows first to last - 1.
    std::span<const _tagITzCROSSPIXEL> RowRecords(int32_t first, int32_t last);

    // The share (0-255) on the top-left corner's side of the straight outline through
    // the two sides a record crosses; a record of a single side keeps its coverage, one
    // of no side or of three or four sides is 0.
    static uint8_t RecordCoverage(const _tagITzCROSSPIXEL& record);

private:
    std::span<const _tagITzCROSSPIXEL> Sorted();

    lumatra::CrossingStore<_tagITzCROSSPIXEL, &_tagITzCROSSPIXEL::y, &_tagITzCROSSPIXEL::x> m_store;
};
