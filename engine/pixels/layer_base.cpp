// The layer base's own state: properties and their messages, bounds and the picture /
// layer coordinate conversions, and the do-nothing answers the layer kinds replace.
#include "engine/pixels/layer_base.h"

#include <algorithm>
#include <cstring>

#include "base/error_codes.h"
#include "engine/pixels/preview_rows.h"

namespace {

PTzRECT shifted(const PTzRECT& r, int64_t dx, int64_t dy)
{
    return {PTzSaturate32(r.left + dx), PTzSaturate32(r.top + dy), PTzSaturate32(r.right + dx),
            PTzSaturate32(r.bottom + dy)};
}

bool isEmpty(const PTzRECT& r)
{
    return !(r.left < r.right && r.top < r.bottom);
}

}  // namespace

ITzLayerBase::ITzLayerBase() = default;

ITzLayerBase::ITzLayerBase(const ITzLayerBase* source)
{
    if (!source)
        return;
    m_type = source->m_type;
    m_position = source->m_position;
    m_size = source->m_size;
    m_opacity = source->m_opacity;
    m_flags = source->m_flags;
    m_mergeType = source->m_mergeType;
    std::memcpy(m_name, source->m_name, sizeof(m_name));
}

ITzLayerBase::~ITzLayerBase()
{
    NotifyDestroy();
}

void ITzLayerBase::NotifyDestroy()
{
    if (m_destroyNotified)
        return;
    m_destroyNotified = true;
    SendMessage(ITzLAYERMSG_DESTROY);
}

void ITzLayerBase::SendMessage(uint32_t code)
{
    Broadcast(code, nullptr, this);
}

void ITzLayerBase::SendRectMessage(uint32_t code, const PTzRECT& pictureRect, uint32_t flag)
{
    _tagITzLAYERCHANGEDRECT data = {pictureRect, flag};
    Broadcast(code, &data, this);
}

ITzLayerBase* ITzLayerBase::CreateCopyLayer() { return nullptr; }
ITzLayerImage* ITzLayerBase::GetPreviewLayer() { return nullptr; }
int ITzLayerBase::IsImageLayer() const { return 0; }
void ITzLayerBase::SetPicture(ITzLayerOwner* picture) { m_picture = picture; }
ITzLayerOwner* ITzLayerBase::GetPicture() const { return m_picture; }
int ITzLayerBase::IsLayerEmpty() { return 0; }

void* ITzLayerBase::ResizeLayerStart(const _tagITzZOOMLEVEL*, const _tagITzZOOMLEVEL*, uint32_t, void*)
{
    return nullptr;
}
int ITzLayerBase::ResizeLayer(void*, uint32_t*) { return 0; }
ITzLayerBase* ITzLayerBase::ResizeLayerEnd(void*) { return nullptr; }
int ITzLayerBase::ResizeLayerCancel(void*) { return 0; }
void* ITzLayerBase::RotateSLayerStart(const _tagPTzSIZE*, uint32_t) { return nullptr; }
int ITzLayerBase::RotateSLayer(void*, uint32_t*) { return 0; }
ITzLayerBase* ITzLayerBase::RotateSLayerEnd(void*) { return nullptr; }
int ITzLayerBase::RotateSLayerCancel(void*) { return 0; }

uint16_t ITzLayerBase::GetLinkNumber() const { return uint16_t(m_linkNumber); }
int ITzLayerBase::IsVisible() const { return m_flags & 1; }
uint8_t ITzLayerBase::GetOpacity() const { return m_opacity; }

int ITzLayerBase::SetOpacity(uint8_t opacity)
{
    if (opacity == m_opacity)
        return 0;
    m_opacity = opacity;
    PTzRECT bounds;
    ITzLayerBase::GetBounds(&bounds);
    SendRectMessage(ITzLAYERMSG_DATA, bounds, 0);
    SendMessage(ITzLAYERMSG_OPACITY);
    return 0;
}

ITzMERGETYPE ITzLayerBase::GetMergeType() const { return m_mergeType; }

int ITzLayerBase::SetMergeType(ITzMERGETYPE mergeType)
{
    if (mergeType == m_mergeType)
        return 0;
    m_mergeType = mergeType;
    PTzRECT bounds;
    ITzLayerBase::GetBounds(&bounds);
    SendRectMessage(ITzLAYERMSG_DATA, bounds, 0);
    SendMessage(ITzLAYERMSG_MERGETYPE);
    return 0;
}

int ITzLayerBase::Setvisibility(int visible)
{
    const uint8_t bit = visible ? 1 : 0;
    if ((m_flags & 1) == bit)
        return IsVisible();
    m_flags = uint8_t((m_flags & ~1) | bit);
    // A layer with opacity 0 shows nothing either way: no pixels changed.
    if (m_opacity != 0) {
        PTzRECT bounds;
        ITzLayerBase::GetBounds(&bounds);
        SendRectMessage(ITzLAYERMSG_DATA, bounds, 0);
    }
    SendMessage(ITzLAYERMSG_VISIBILITY);
    return IsVisible();
}

int ITzLayerBase::SetTempOpacity(uint8_t opacity)
{
    m_opacity = opacity;
    return 0;
}

int ITzLayerBase::GetAvalibeLBounds(PTzRECT* bounds) const { return GetLBounds(bounds); }

int ITzLayerBase::GetLBounds(PTzRECT* bounds) const
{
    if (!bounds)
        return ITzERR_INVALID;
    *bounds = {0, 0, m_size.cx, m_size.cy};
    return 0;
}

int ITzLayerBase::GetBounds(PTzRECT* bounds) const
{
    if (!bounds)
        return ITzERR_INVALID;
    *bounds = shifted({0, 0, m_size.cx, m_size.cy}, m_position.x, m_position.y);
    return 0;
}

int ITzLayerBase::PRECTtoLRECT(const PTzRECT* in, PTzRECT* out) const
{
    if (!in || !out)
        return ITzERR_INVALID;
    *out = shifted(*in, -int64_t(m_position.x), -int64_t(m_position.y));
    return 0;
}

int ITzLayerBase::LRECTtoPRECT(const PTzRECT* in, PTzRECT* out) const
{
    if (!in || !out)
        return ITzERR_INVALID;
    *out = shifted(*in, m_position.x, m_position.y);
    return 0;
}

int ITzLayerBase::PPointtoLPoint(const PTzPOINT* in, PTzPOINT* out) const
{
    if (!in || !out)
        return ITzERR_INVALID;
    *out = {PTzSaturate32(int64_t(in->x) - m_position.x), PTzSaturate32(int64_t(in->y) - m_position.y)};
    return 0;
}

int ITzLayerBase::LPointtoPPoint(const PTzPOINT* in, PTzPOINT* out) const
{
    if (!in || !out)
        return ITzERR_INVALID;
    *out = {PTzSaturate32(int64_t(in->x) + m_position.x), PTzSaturate32(int64_t(in->y) + m_position.y)};
    return 0;
}

int ITzLayerBase::SetBounds(const PTzRECT* rect)
{
    if (!rect)
        return ITzERR_INVALID;
    m_position = {rect->left, rect->top};
    m_size = {PTzSaturate32(int64_t(rect->right) - rect->left), PTzSaturate32(int64_t(rect->bottom) - rect->top)};
    return 0;
}

int ITzLayerBase::DWKSetBounds(const PTzRECT* rect) { return ITzLayerBase::SetBounds(rect); }

int ITzLayerBase::ExtendSize(const PTzRECT* rect, PTzRECT* out)
{
    if (!rect)
        return ITzERR_INVALID;
    PTzRECT bounds;
    ITzLayerBase::GetBounds(&bounds);
    PTzRECT merged = bounds;
    if (!isEmpty(*rect))
        merged = isEmpty(bounds) ? *rect
                                 : PTzRECT{std::min(bounds.left, rect->left), std::min(bounds.top, rect->top),
                                           std::max(bounds.right, rect->right),
                                           std::max(bounds.bottom, rect->bottom)};
    if (out)
        *out = merged;
    if (std::memcmp(&merged, &bounds, sizeof(merged)) != 0)
        SetBounds(&merged);
    return 0;
}

int ITzLayerBase::MoveCore(_tagPTzOFFSET* offset)
{
    if (!offset || (offset->x == 0 && offset->y == 0))
        return ITzERR_INVALID;
    PTzRECT bounds;
    ITzLayerBase::GetBounds(&bounds);
    SendRectMessage(ITzLAYERMSG_DATA, bounds, 0);
    m_position = {PTzSaturate32(int64_t(m_position.x) + offset->x), PTzSaturate32(int64_t(m_position.y) + offset->y)};
    ITzLayerBase::GetBounds(&bounds);
    SendRectMessage(ITzLAYERMSG_DATA, bounds, 0);
    return 0;
}

int ITzLayerBase::PreviewChanged(const PTzRECT* rect)
{
    if (!rect)
        return ITzERR_INVALID;
    PTzRECT pictureRect;
    LRECTtoPRECT(rect, &pictureRect);
    SendRectMessage(ITzLAYERMSG_DATA, pictureRect, 0);
    return 0;
}

void ITzLayerBase::SetLinkNumber(uint16_t link)
{
    if (int16_t(link) == m_linkNumber)
        return;
    m_linkNumber = int16_t(link);
    SendMessage(ITzLAYERMSG_LINK);
}

int ITzLayerBase::SetActive()
{
    ActiveChanged();
    return 1;
}

int ITzLayerBase::Deactive()
{
    ActiveChanged();
    return 1;
}

void ITzLayerBase::ActiveChanged() { SendMessage(ITzLAYERMSG_ACTIVE); }

int ITzLayerBase::PreviewFull(const PTzRECT*, uint8_t, const _tagITzZOOMLEVEL*, const _tagITzZOOMLEVEL*)
{
    return 0;
}

int ITzLayerBase::PreviewMergeToBitmapForSave(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                              const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    return PreviewMergeToBitmap(bitmap, rect, level, zoomX, zoomY, 1);
}

int ITzLayerBase::PreviewMergeToBitmap(_tagITzBITMAP*, const PTzRECT*, uint8_t, const _tagITzZOOMLEVEL*,
                                       const _tagITzZOOMLEVEL*, int)
{
    return ITzERR_INVALID;
}

std::unique_ptr<ITzPreviewRows> ITzLayerBase::PlanPreviewMerge(const _tagITzBITMAP*, const PTzRECT*, uint8_t,
                                                               const _tagITzZOOMLEVEL*, const _tagITzZOOMLEVEL*)
{
    return nullptr;
}

int ITzLayerBase::PreviewMergeToChannelBitmap(_tagITzCHANNELBITMAP*, const PTzRECT*, uint8_t,
                                              const _tagITzZOOMLEVEL*, const _tagITzZOOMLEVEL*, int)
{
    return ITzERR_INVALID;
}

int ITzLayerBase::PreviewCopyToChannelBitmap(_tagITzCHANNELBITMAP*, const PTzRECT*, uint8_t,
                                             const _tagITzZOOMLEVEL*, const _tagITzZOOMLEVEL*)
{
    return ITzERR_INVALID;
}

ITzLayerImage* ITzLayerBase::RemovePerviewLayer() { return nullptr; }
ITzLayerImage* ITzLayerBase::SetPreviewLayer(ITzLayerImage* layer) { return layer; }

ITzLayerBase* ITzLayerBase::CreateTransferLayer()
{
    ITzLayerBase* layer = CreateTransferLayerCroe();
    if (!layer)
        return nullptr;
    layer->m_type = m_type;
    layer->m_opacity = m_opacity;
    layer->SetName(m_name);
    layer->m_flags = m_flags;
    layer->m_mergeType = m_mergeType;
    layer->m_linkNumber = m_linkNumber;
    return layer;
}

ITzLayerBase* ITzLayerBase::CreateTransferLayerCroe() { return nullptr; }

int ITzLayerBase::SetName(const PTzChar* name)
{
    if (!name)
        return 0;
    uint32_t length = 0;
    while (length < ITzLAYER_NAME_LENGTH - 1 && name[length] != 0)
        ++length;
    std::memmove(m_name, name, length * sizeof(PTzChar));
    m_name[length] = 0;
    SendMessage(ITzLAYERMSG_NAME);
    return 1;
}

int ITzLayerBase::GetLayerInfo(_tagITzLAYERINFO* info) const
{
    if (!info)
        return 0;
    info->mergeType = uint32_t(GetMergeType());
    info->visible = uint32_t(IsVisible());
    info->opacity = GetOpacity();
    std::memcpy(info->name, m_name, sizeof(info->name));
    return 1;
}

int ITzLayerBase::GetMergeData(_tagITzMERGEDATA* data) const
{
    if (!data)
        return 0;
    *data = {GetMergeType(), GetOpacity()};
    return 1;
}
