// ITzToolBase: the common base of the engine's editing tools, the head that starts every
// undo record (_tagUNDODATABASE) and the engine tool IDs that name the record formats.
#pragma once

#include <cstdint>

#include "base/corvane_types.h"
#include "engine/lumatra_export.h"
#include "engine/picture/editing_ticket.h"

class ITzPicture;

// The first bytes of every undo record: the ID of the tool kind that made it and that
// alone can undo, redo and free it. The rest of the record belongs to that tool kind.
// Records are PTzPointNew blocks.
struct _tagUNDODATABASE {
    uint32_t toolID;
};

// Engine tool IDs (four letters, the first in the most significant byte).
constexpr uint32_t ITzTOOLID_NONE = PTzFourCCNone;
constexpr uint32_t ITzTOOLID_AUTO_CONVERT = PTzFourCC("autc");
constexpr uint32_t ITzTOOLID_AUTO_MERGE = PTzFourCC("auto");
constexpr uint32_t ITzTOOLID_CROP = PTzFourCC("crop");
constexpr uint32_t ITzTOOLID_CUT = PTzFourCC("cutp");
constexpr uint32_t ITzTOOLID_FILL = PTzFourCC("fill");
// Shared by the floating-layer base and every tool that paints through a floating layer
// (brushes, bucket, gradient): they share one record format, so all replay as the base.
constexpr uint32_t ITzTOOLID_FLOATING = PTzFourCC("flot");
constexpr uint32_t ITzTOOLID_LAYER_MANAGER = PTzFourCC("lman");
constexpr uint32_t ITzTOOLID_LAYER_MERGE = PTzFourCC("lmeg");
constexpr uint32_t ITzTOOLID_MASK = PTzFourCC("mask");
constexpr uint32_t ITzTOOLID_MOVE = PTzFourCC("move");
constexpr uint32_t ITzTOOLID_PASTE = PTzFourCC("pate");
constexpr uint32_t ITzTOOLID_RESIZE = PTzFourCC("risz");
constexpr uint32_t ITzTOOLID_ROTATE_SPECIAL = PTzFourCC("rots");
constexpr uint32_t ITzTOOLID_CONVERT = PTzFourCC("tolc");
constexpr uint32_t ITzTOOLID_TEXT = PTzFourCC("ttxt");
constexpr uint32_t ITzTOOLID_EFFECT = PTzFourCC("leff");

// A tool changes a picture in this order: StartEditing (nothing happens when it fails),
// change the layers while building the pending record, SaveUndoData on success or
// ReleaseUndoData of the pending record on failure, then StopEditing. Stepwise tools and
// brushes keep the ticket across calls; a tool destroyed while holding it gives it back.
//
// Every tool keeps one convention for replaying its records: DoUndo and DoRedo return
// nonzero exactly when they changed the picture, and 0 when they left it as it was, so
// that the undo manager keeps its position when a step could not be replayed.
class LUMATRA_API ITzToolBase {
public:
    ITzToolBase() = default;
    virtual ~ITzToolBase();
    ITzToolBase(const ITzToolBase&) = delete;
    ITzToolBase& operator=(const ITzToolBase&) = delete;

    // 1; the base has nothing to prepare.
    virtual int DoPrepare(ITzPicture* picture);
    // 1; the base has nothing to undo from DoPrepare.
    virtual int DoUnprepare(ITzPicture* picture);
    // Replays a record of this tool kind backwards / forwards: nonzero exactly when the
    // picture changed.
    virtual int DoUndo(ITzPicture* picture, _tagUNDODATABASE* record) = 0;
    virtual int DoRedo(ITzPicture* picture, _tagUNDODATABASE* record) = 0;
    // Frees a record of this tool kind and everything it owns.
    virtual int ReleaseUndoData(_tagUNDODATABASE* record) = 0;
    // 0: the base wants no idle time.
    virtual int OnIdle(ITzPicture* picture);
    // Hands the pending record to the picture's undo history (a nonzero `modifies` counts
    // the step as a change of the document) and gives 1. Without a picture or a pending
    // record: 0, and a pending record stays with the tool. When the picture refuses it the
    // record is released here, so the step is dropped without a leak, and 0 returned.
    virtual int SaveUndoData(ITzPicture* picture, int modifies);

    uint32_t GetToolID() const { return m_toolID; }
    // Takes the picture's editing ticket: nonzero when the tool now holds it, 0 for a null
    // picture or while another edit (or this tool's own) holds the lock.
    int StartEditing(ITzPicture* picture);
    // Gives the ticket back: the picture's answer, 0 for a null picture or when the tool
    // holds no ticket. The tool holds no ticket afterwards, even when the picture said 0.
    int StopEditing(ITzPicture* picture);

protected:
    // Releases the pending record, if any, through ReleaseUndoData and clears it. A
    // concrete tool calls it from its destructor: the base cannot reach that virtual there.
    void ReleasePendingUndoData();

    uint32_t m_toolID = ITzTOOLID_NONE;
    // The record being built; the tool owns it until SaveUndoData hands it over.
    _tagUNDODATABASE* m_undoData = nullptr;
    ITzEditingTicket m_ticket;
};
