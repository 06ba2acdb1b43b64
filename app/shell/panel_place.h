// Where the main frame's floating panels go: each panel's outer rectangle is stored as
// four settings ("Info UI Left" and so on) when the frame closes and brought back onto a
// monitor at the next start; a panel floats with its outer corner on the wanted point.
#pragma once

#include <QPoint>
#include <QRect>
#include <cstdint>
#include <optional>

#include "app/shell/shell_links.h"
#include "base/geometry.h"

class QWidget;

namespace quorvel {

// The edges of a panel's rectangle as stored (left, top, right, bottom), each missing
// when not stored; read as the panel is made, placed once the frame's place is known.
struct StoredPanelEdges {
    std::optional<int32_t> edges[4];
};
StoredPanelEdges ReadPanelEdges(PanelSlot slot);

// The stored rectangle of a panel, moved onto a monitor: true with it; false when nothing
// is stored or the rectangle cannot be placed, and the default place applies. Each
// stored coordinate is kept; a missing one lies the default place's extent away from the
// stored opposite edge, or where the default place has it when neither edge of its axis
// is stored.
bool LoadPanelRect(const StoredPanelEdges& stored, const PTzRECT& place, PTzRECT* rect);
void SavePanelRect(PanelSlot slot, const QRect& frame);
// The settings prefix of the slot: "Info UI", "Layer UI", "Tool UI".
QString PanelSettingPrefix(PanelSlot slot);

// Moves a floating window so that its outer corner lands on the point, correcting once
// for a window manager that placed the frame elsewhere.
void PlaceWindowCorner(QWidget* window, const QPoint& corner);

}  // namespace quorvel
