// CUndoDataManager: a picture's undo history. It owns the records the tools saved, keeps
// the done/redoable position and the clean mark, and replays records through the tools.
#pragma once

#include <cstdint>

#include "base/two_level_handle.h"
#include "engine/lumatra_export.h"

class ITzPicture;
struct _tagUNDODATABASE;

// The three operations through which the manager reaches tool code. The default one
// goes through the tool factory; tests put a fake in its place.
class LUMATRA_API CUndoDispatcher {
public:
    virtual ~CUndoDispatcher() = default;
    // Nonzero exactly when the record's step was undone (redone); 0 leaves the picture as it was.
    virtual int Undo(_tagUNDODATABASE* record, ITzPicture* picture) = 0;
    virtual int Redo(_tagUNDODATABASE* record, ITzPicture* picture) = 0;
    // Nonzero when a tool freed the record and what it holds; 0 leaves it untouched, and
    // the manager, which owns it, frees the record's own block.
    virtual int Release(_tagUNDODATABASE* record) = 0;
};

class LUMATRA_API CUndoDataManager {
public:
    // The picture is not owned. Without a dispatcher the records go to the tool factory;
    // a given dispatcher must outlive the manager.
    explicit CUndoDataManager(ITzPicture* picture);
    CUndoDataManager(ITzPicture* picture, CUndoDispatcher& dispatcher);
    virtual ~CUndoDataManager();

    CUndoDataManager(const CUndoDataManager&) = delete;
    CUndoDataManager& operator=(const CUndoDataManager&) = delete;

    // Undoes the last done record, with an 'autc' or 'auto' record just below it. Nonzero
    // when something was undone; the position stays where it was when nothing was.
    int DoUndo();
    // Redoes the first redoable record, with the record after an 'auto' one. Nonzero when
    // something was redone.
    int DoRedo();
    // Drops the redoable records and appends the record as done; from then on the manager
    // owns it. 0 when refused: nothing changed and the caller still owns the record.
    int SaveUndoData(_tagUNDODATABASE* record, int modifies);
    // The last done record, when nothing was undone since it was saved and nothing is
    // redoable: tools extend it instead of saving a new one. 1 when given, else 0.
    int GetLastUndoData(_tagUNDODATABASE** out);
    // Drops the redoable records and puts the record in place of the last done one, which
    // is not freed (its taker folded it into this one). 1 when stored, else 0.
    int SetLastUndoData(_tagUNDODATABASE* record, int modifies);
    // Nonzero while a record that modified the picture since its clean state is done.
    int IsModified() const;
    // Frees the whole history and makes the picture clean.
    void ClearModified();

    uint32_t GetPosition() const { return m_position; }
    uint32_t GetCount() const;

private:
    _tagUNDODATABASE* recordAt(uint32_t index) const;
    void release(_tagUNDODATABASE* record);
    // Releases the records from the last one down to `from` and removes them from the list.
    void releaseFrom(uint32_t from);
    // Replay the record just below / at the position and step over it when that worked.
    int undoLast();
    int redoNext();

    uint32_t m_mark;                 // index of the oldest record that modified since clean; 0xFFFFFFFF: none
    ITzPicture* m_picture;
    PTzTWOLEVELHANDLE m_records;     // record pointers; null when the list could not be made
    uint32_t m_position;             // records below it are done
    uint32_t m_extendable;           // 1 after a save, 0 after an undo
    CUndoDispatcher& m_dispatcher;
};
