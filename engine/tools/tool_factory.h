// The undo factory: makes a short-lived tool from the ID at the head of an undo record and
// lets it undo, redo or free the record. The undo manager reaches tool code only here.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/tools/tool_base.h"

class ITzPicture;

// A new tool of the kind that replays records headed `id`; null for an ID that no engine
// tool replays and when out of memory.
LUMATRA_C ITzToolBase* CreateToolByID(uint32_t id);

// Deletes a tool through its virtual destructor; null is allowed. Always 1.
LUMATRA_C int DestroyTool(ITzToolBase* tool);

// Undo / redo the record with a fresh tool of its kind: the tool's own result (nonzero
// exactly when the picture changed); 0 for a null record or an unknown ID, and then the
// record is left as it was.
LUMATRA_C int DoUndoByToolID(_tagUNDODATABASE* record, ITzPicture* picture);
LUMATRA_C int DoRedoByToolID(_tagUNDODATABASE* record, ITzPicture* picture);

// Frees the record through a fresh tool of its kind: 1 when a tool took it; 0 for a null
// record or an unknown ID, and then the record is not freed.
LUMATRA_C int ReleaseUndoDataByToolID(_tagUNDODATABASE* record);
