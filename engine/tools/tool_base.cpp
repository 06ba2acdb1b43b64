// The tool base: the editing ticket a tool holds and the hand-over of its undo record to
// the picture's undo history.
#include "engine/tools/tool_base.h"

#include "engine/picture/picture.h"

// A ticket still held is given back by the guard's own destructor.
ITzToolBase::~ITzToolBase() = default;

int ITzToolBase::DoPrepare(ITzPicture* /*picture*/)
{
    return 1;
}

int ITzToolBase::DoUnprepare(ITzPicture* /*picture*/)
{
    return 1;
}

int ITzToolBase::OnIdle(ITzPicture* /*picture*/)
{
    return 0;
}

int ITzToolBase::SaveUndoData(ITzPicture* picture, int modifies)
{
    if (!picture || !m_undoData)
        return 0;
    if (!picture->SaveUndoData(m_undoData, modifies)) {
        // Nobody else will ever free a refused record, and keeping it would fold the
        // next step into one the history never saw.
        ReleasePendingUndoData();
        return 0;
    }
    m_undoData = nullptr;
    return 1;
}

int ITzToolBase::StartEditing(ITzPicture* picture)
{
    if (!picture)
        return 0;
    return m_ticket.Start(picture);
}

int ITzToolBase::StopEditing(ITzPicture* picture)
{
    if (!picture)
        return 0;
    // The ticket goes back to the picture that issued it.
    return m_ticket.Stop();
}

void ITzToolBase::ReleasePendingUndoData()
{
    if (!m_undoData)
        return;
    ReleaseUndoData(m_undoData);
    m_undoData = nullptr;
}
