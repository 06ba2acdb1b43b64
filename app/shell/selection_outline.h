// CSelectionOutline: the marching outline of a picture's selection in a view's back
// buffer. The picture gives the selection's boundary over the visible area as a one-bit
// mask; the outline keeps the address of every boundary pixel in the back buffer and
// recolours those pixels in place, black and white diagonal stripes four pixels wide that
// move one step per phase and stay anchored to zoomed-picture coordinates: along x + y,
// and along x - y where the outline rises to the right, so that every edge shows dashes.
#pragma once

#include <QPoint>
#include <QRect>
#include <cstdint>
#include <vector>

#include "base/geometry.h"
#include "engine/pixels/bitmap.h"
#include "engine/pixels/zoom_level.h"

class ITzPicture;

class CSelectionOutline {
public:
    // Drops the entries; the scroll position they belong to becomes (0, 0).
    void Free();
    // Whether entries were built (an empty selection gives an empty list).
    bool IsBuilt() const { return m_built; }
    QPoint GetScrollPosition() const { return m_scroll; }
    size_t GetCount() const { return m_entries.size(); }
    // The pixels the entries address, in back-buffer coordinates; empty without entries.
    QRect GetBounds() const { return m_bounds; }

    // Rebuilds the entries from the boundary of the picture's selection over the zoomed
    // rectangle, whose pixel (0, 0) is the back buffer's (24-bit, rows top-down); the
    // scroll position is remembered with them. 1; 0 (no entries) when the mask cannot be
    // had, the picture refuses it or the back buffer is not 24-bit or too large to address.
    int Build(ITzPicture* picture, const PTzRECT& zoomed, _tagITzZOOMLEVEL zoom, const _tagITzBITMAP& backBuffer,
              QPoint scroll);

    // Recolours every outline pixel for the phase: a pixel's stripe value is (its
    // (row + column) mod 8 + phase) mod 8, black for 0-3 and white for 4-7; where the
    // outline rises to the right, (column - row) takes the place of (row + column), kept
    // anchored to zoomed x - y. The caller's phase is the outline's phase plus the
    // visible area's zoomed left and top.
    // 0 for a back buffer that is not 24-bit or has no pixels, else 1.
    int Paint(_tagITzBITMAP* backBuffer, uint32_t phase) const;
    // The same after the phase grew by one: only the pixels whose colour changes (value 0
    // turns black, value 4 white) are written, counted in `written` when given.
    int Update(_tagITzBITMAP* backBuffer, uint32_t phase, uint64_t* written = nullptr) const;

    // The pacing shared by every view: true, and the time kept, when no view has taken a
    // step yet or at least 100 ms passed since the last one.
    static bool TakeStep(uint32_t now);

private:
    // An entry: bits 29-31 the pixel's stripe value before the phase, bits 0-28 the
    // offset of its first byte in the back buffer (row x stride + 3 x column).
    std::vector<uint32_t> m_entries;
    bool m_built = false;
    QPoint m_scroll;
    QRect m_bounds;
};
