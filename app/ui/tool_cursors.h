// The tools' cursors: each tool names its cursor by an id, and one table turns the ids
// into Qt cursors: the system's shapes where one fits, else a small drawn picture (the
// selection operations' badges, the zoom's magnifier).
#pragma once

#include <QCursor>
#include <cstdint>

class CTamsleyView;

enum ToolCursorId : uint32_t {
    IDC_TOOL_PAN = 133,
    IDC_TOOL_ZOOM_IN = 134,
    IDC_TOOL_ZOOM_OUT = 135,
    IDC_TOOL_SELECT_MOVE = 140,
    IDC_TOOL_MOVE = 141,
    IDC_TOOL_PEN = 142,
    IDC_TOOL_PENCIL = 143,
    IDC_TOOL_ERASER = 144,
    IDC_TOOL_CLONE_SOURCE = 145,
    IDC_TOOL_CLONE = 146,
    IDC_TOOL_EYEDROP = 147,
    IDC_TOOL_SELECT_NEW = 148,
    IDC_TOOL_SELECT_INTERSECT = 149,
    IDC_TOOL_SELECT_ADD = 150,
    IDC_TOOL_SELECT_SUBTRACT = 151,
    IDC_TOOL_BLUR = 156,
    IDC_TOOL_SMUDGE = 157,
    IDC_TOOL_SHARP = 158,
    IDC_TOOL_BUCKET = 159,
    IDC_TOOL_GRADIENT = 160,
    IDC_TOOL_FORBIDDEN = 161,
    IDC_TOOL_MOVE_COPY = 162,
};

// The cursor of an id; the arrow for an id the table does not hold.
QCursor ToolCursor(uint32_t id);
// Shows the cursor over the view's picture area; nothing when it shows already.
void SetToolCursor(CTamsleyView* view, uint32_t id);
// The id of the tool cursor the view shows, or 0 when it shows its own.
uint32_t ShownToolCursor(const CTamsleyView* view);
