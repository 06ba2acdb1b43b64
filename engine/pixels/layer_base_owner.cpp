// The layer base's calls into its owning picture: undoable property edits, link groups,
// linked moves and drawing at the picture's preview-cache zoom.
#include "base/error_codes.h"
#include "engine/pixels/layer_base.h"
#include "engine/pixels/layer_owner.h"
#include "engine/pixels/zoom_arithmetic.h"

namespace {

ITzLayerBase* activeLayer(ITzLayerOwner* picture)
{
    return picture->GetLayerbyIndex(picture->GetActiveLayerID());
}

}  // namespace

int ITzLayerBase::SetLayerInfo(_tagITzLAYERINFO* info)
{
    if (!info)
        return 0;
    if (!m_picture)
        return ITzERR_INVALID;
    return m_picture->DoSetLayerInfo(this, info);
}

int ITzLayerBase::DoSetvisibility(int visible)
{
    if (m_picture && (visible != 0) != (IsVisible() != 0))
        m_picture->DoSetLayerVisibility(this, visible);
    return IsVisible();
}

int ITzLayerBase::IsLinkWithCurrent()
{
    if (!m_picture)
        return 0;
    const ITzLayerBase* active = activeLayer(m_picture);
    if (!active)
        return 0;
    return active == this || active->GetLinkNumber() == GetLinkNumber();
}

int ITzLayerBase::DoLinkWithCurrent(int link)
{
    if (!m_picture)
        return ITzERR_INVALID;
    if (activeLayer(m_picture) == this)
        return 0;
    return m_picture->DoSetLayerLink(this, link);
}

int ITzLayerBase::LinkWithCurrent(int link)
{
    if (!m_picture)
        return ITzERR_INVALID;
    const ITzLayerBase* active = activeLayer(m_picture);
    if (active == this)
        return 0;
    if (link == 0)
        SetLinkNumber(m_picture->GetAvailableLinkNum());
    else if (active)
        SetLinkNumber(active->GetLinkNumber());
    return 0;
}

int ITzLayerBase::Move(_tagPTzOFFSET* offset)
{
    if (!offset)
        return ITzERR_INVALID;
    const int result = MoveCore(offset);
    MoveLinkLayer(offset);
    return result;
}

int ITzLayerBase::MoveLinkLayer(_tagPTzOFFSET* offset)
{
    if (!m_picture)
        return ITzERR_INVALID;
    if (m_picture->GetLayerCount() == 0)
        return ITzERR_INVALID;
    // Listeners of the moves may change the layer list: re-read its length each turn.
    for (uint16_t i = 0; i < m_picture->GetLayerCount(); ++i) {
        ITzLayerBase* layer = m_picture->GetLayerbyIndex(i);
        if (layer && layer != this && layer->GetLinkNumber() == GetLinkNumber())
            layer->MoveCore(offset);
    }
    return 0;
}

int ITzLayerBase::PreviewMergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoom,
                                       int forSave)
{
    if (!zoom || !m_picture)
        return ITzERR_INVALID;
    const uint8_t level = ITzZoomGetCacheLevel(zoom);
    _tagITzZOOMLEVEL asked = *zoom;
    _tagITzZOOMLEVEL zoomX = {1, 1};
    _tagITzZOOMLEVEL zoomY = {1, 1};
    if (!m_picture->GetCacheLevelZoom(level, &asked, &zoomX, &zoomY))
        return ITzERR_INVALID;
    // The caller blends the result with the layer's opacity itself.
    const uint8_t opacity = GetOpacity();
    SetTempOpacity(255);
    const int result = PreviewMergeToBitmap(bitmap, rect, level, &zoomX, &zoomY, forSave);
    SetTempOpacity(opacity);
    return result;
}
