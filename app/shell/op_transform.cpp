// COPResize and COPRotateS: the engine's stepwise resize and quarter-turn jobs run under
// the picture's editing ticket, which the tool holds from Start to End or Cancel.
#include <new>

#include "app/shell/operations.h"
#include "engine/picture/picture.h"
#include "engine/tools/tool_resize.h"
#include "engine/tools/tool_rotate_special.h"

COPResize::~COPResize()
{
    Release();
}

int COPResize::Set(ITzPicture* picture, const _tagPTzSIZE* size, uint32_t resampleType, uint32_t pixelsPerMetre)
{
    m_picture = picture;
    m_sizeGiven = size != nullptr;
    if (size)
        m_size = *size;
    m_type = resampleType;
    m_pixelsPerMetre = pixelsPerMetre;
    return 1;
}

void COPResize::Release()
{
    if (m_tool) {
        m_tool->ResizePictureCancel(m_job);
        m_tool->StopEditing(m_picture);
        m_tool.reset();
    }
    m_job = nullptr;
    m_started = false;
}

int COPResize::Start()
{
    if (!m_picture || m_started)
        return 0;
    m_resolutionOnly = false;
    _tagPTzSIZE current = {};
    m_picture->GetSize(&current);
    if (!m_sizeGiven)
        m_size = current;
    m_started = true;
    m_sameSize = m_size.cx == current.cx && m_size.cy == current.cy;
    if (m_sameSize)
        return 1;  // nothing to resample; End still applies the resolution
    m_tool.reset(new (std::nothrow) ITzToolResize());
    if (m_tool && m_tool->StartEditing(m_picture)) {
        m_job = m_tool->ResizePictureStart(m_picture, &m_size, m_type);
        if (m_job)
            return 1;
        m_tool->StopEditing(m_picture);
    }
    m_tool.reset();
    m_started = false;
    return 0;
}

int COPResize::Step(uint32_t* percent)
{
    return m_tool ? m_tool->ResizePicture(m_job, percent) : 0;
}

int COPResize::Cancel()
{
    Release();
    return 1;
}

int COPResize::End()
{
    if (!m_started)
        return 0;
    int result = 1;
    if (m_tool) {
        result = m_tool->ResizePictureEnd(m_job);
        m_tool->StopEditing(m_picture);
        m_tool.reset();
        m_job = nullptr;
    }
    m_started = false;
    // A failed resize leaves the picture as it was, resolution included.
    if (!result)
        return 0;
    const bool changed = m_picture->GetXPelsPerMeter() != m_pixelsPerMetre ||
                         m_picture->GetYPelsPerMeter() != m_pixelsPerMetre;
    m_picture->SetXPelsPerMeter(m_pixelsPerMetre);
    m_picture->SetYPelsPerMeter(m_pixelsPerMetre);
    m_resolutionOnly = changed && m_sameSize;
    return 1;
}

COPRotateS::~COPRotateS()
{
    Release();
}

int COPRotateS::Set(ITzPicture* picture, uint32_t rotationKind)
{
    m_picture = picture;
    m_kind = rotationKind;
    return 1;
}

void COPRotateS::Release()
{
    if (m_tool) {
        m_tool->RotatePictureCancel(m_job);
        m_tool->StopEditing(m_picture);
        m_tool.reset();
    }
    m_job = nullptr;
}

int COPRotateS::Start()
{
    if (!m_picture || m_tool)
        return 0;
    m_tool.reset(new (std::nothrow) ITzToolRotateSpecial());
    if (m_tool && m_tool->StartEditing(m_picture)) {
        m_job = m_tool->RotatePictureStart(m_picture, m_kind);
        if (m_job)
            return 1;
        m_tool->StopEditing(m_picture);
    }
    m_tool.reset();
    return 0;
}

int COPRotateS::Step(uint32_t* percent)
{
    return m_tool ? m_tool->RotatePicture(m_job, percent) : 0;
}

int COPRotateS::Cancel()
{
    Release();
    return 1;
}

int COPRotateS::End()
{
    if (!m_tool)
        return 0;
    const int result = m_tool->RotatePictureEnd(m_job);
    m_tool->StopEditing(m_picture);
    m_tool.reset();
    m_job = nullptr;
    return result;
}
