// The editing lock that serialises the tools' changes, and the undo history behind it.
#include "engine/picture/picture.h"
#include "engine/picture/undo_data_manager.h"

int ITzPicture::EditingStart(uint32_t* ticket)
{
    if (!ticket || m_editing)
        return 0;
    m_ticketCounter = NextEditingTicket(m_ticketCounter);
    m_editing = 1;
    *ticket = m_ticketCounter;
    return 1;
}

int ITzPicture::EditingStop(uint32_t ticket)
{
    if (!m_editing || ticket == 0 || ticket != m_ticketCounter)
        return 0;
    m_editing = 0;
    return 1;
}

int ITzPicture::AbleEditing() const
{
    return m_editing ? 0 : 1;
}

int ITzPicture::ClearnEditLock()
{
    if (!m_editing)
        return 1;
    m_editing = 0;
    return 0;
}

int ITzPicture::DoUndo()
{
    uint32_t ticket = 0;
    if (!m_undo || !EditingStart(&ticket))
        return 0;
    m_replaying = true;
    const int result = m_undo->DoUndo();
    m_replaying = false;
    EditingStop(ticket);
    return result;
}

int ITzPicture::DoRedo()
{
    uint32_t ticket = 0;
    if (!m_undo || !EditingStart(&ticket))
        return 0;
    m_replaying = true;
    const int result = m_undo->DoRedo();
    m_replaying = false;
    EditingStop(ticket);
    return result;
}

int ITzPicture::SaveUndoData(_tagUNDODATABASE* record, int modifies)
{
    return m_undo && record ? m_undo->SaveUndoData(record, modifies) : 0;
}

int ITzPicture::GetLastUndoData(_tagUNDODATABASE** out)
{
    return m_undo && out ? m_undo->GetLastUndoData(out) : 0;
}

int ITzPicture::SetLastUndoData(_tagUNDODATABASE* record, int modifies)
{
    return m_undo && record ? m_undo->SetLastUndoData(record, modifies) : 0;
}

int ITzPicture::IsModified()
{
    return m_undo ? m_undo->IsModified() : 0;
}

int ITzPicture::ClearModified()
{
    if (m_undo)
        m_undo->ClearModified();
    return 0;
}
