// 'pict' and 'pifb': the picture chunk builds a save's tree from the picture and, on a
// load, makes the picture from its leading 'pifb' and collects the layers read.
#include "engine/picture/native_chunk_picture.h"

#include <algorithm>
#include <new>

#include "base/error_codes.h"
#include "engine/picture/native_chunk_header.h"
#include "engine/picture/native_chunk_layer.h"
#include "engine/picture/picture.h"

using lumatra::native::ChunkSink;
using lumatra::native::ChunkSource;
using namespace lumatra::native;

ITzDWKPictInfo::ITzDWKPictInfo() : ITzDWKBase(kTagPictInfo) {}

ITzDWKPictInfo::ITzDWKPictInfo(const ITzPicture& picture, uint16_t layerCount) : ITzDWKBase(kTagPictInfo)
{
    _tagPTzSIZE size{};
    picture.GetSize(&size);
    PTzWriteLE32(m_bytes, uint32_t(size.cx));
    PTzWriteLE32(m_bytes + 4, uint32_t(size.cy));
    m_bytes[9] = uint8_t(picture.GetColorMode());
    PTzWriteLE16(m_bytes + 10, layerCount);
    PTzWriteLE32(m_bytes + 12, picture.GetXPelsPerMeter());
    PTzWriteLE32(m_bytes + 16, picture.GetYPelsPerMeter());
}

uint64_t ITzDWKPictInfo::ComputeSize()
{
    return m_size = kSize;
}

int ITzDWKPictInfo::WriteStep(ChunkSink& sink)
{
    return PutPayload(sink, m_bytes);
}

int ITzDWKPictInfo::BeginRead(ChunkSource& source, uint64_t size)
{
    if (!ReadPayload(source, size, kSize, m_bytes))
        return 0;
    const uint32_t width = GetWidth();
    const uint32_t height = GetHeight();
    if (width == 0 || height == 0 || width > kMaxPictureSide || height > kMaxPictureSide)
        return source.Refuse(FTzERR_BAD_DATA);
    return 1;
}

int ITzDWKPictInfo::HasChildren() const
{
    return 0;
}

uint32_t ITzDWKPictInfo::GetWidth() const
{
    return PTzReadLE32(m_bytes);
}

uint32_t ITzDWKPictInfo::GetHeight() const
{
    return PTzReadLE32(m_bytes + 4);
}

uint32_t ITzDWKPictInfo::GetXPelsPerMeter() const
{
    return PTzReadLE32(m_bytes + 12);
}

uint32_t ITzDWKPictInfo::GetYPelsPerMeter() const
{
    return PTzReadLE32(m_bytes + 16);
}

ITzDWKPicture::ITzDWKPicture() : ITzDWKBase(kTagPicture) {}

ITzDWKPicture::ITzDWKPicture(ITzPicture* picture) : ITzDWKBase(kTagPicture)
{
    std::vector<ITzLayerBase*> layers;
    const uint32_t count = std::min<uint32_t>(picture->GetLayerCount(), kMaxLayers);
    for (uint16_t i = 0; i < count; ++i) {
        ITzLayerBase* layer = picture->GetLayerbyIndex(i);
        if (!layer)
            break;
        layers.push_back(layer);
    }
    AddChild(std::make_unique<ITzDWKPictInfo>(*picture, uint16_t(layers.size())));
    // The text font table ('ttft') goes here once text layers are saved.
    for (ITzLayerBase* layer : layers)
        AddChild(std::make_unique<ITzDWKLayer>(layer));
}

ITzDWKPicture::~ITzDWKPicture() = default;

int ITzDWKPicture::ReadLeadingChildren(ChunkSource& source)
{
    if (!ReadUntilAccepted(source))
        return 0;
    // Without 'pifb' there is no picture to load into.
    if (!m_loaded)
        return source.Refuse(FTzERR_BAD_DATA);
    return 1;
}

int ITzDWKPicture::LeadingChildRead(ChunkSource& source, ITzDWKBase* child)
{
    if (child->GetTag() != kTagPictInfo)
        return 0;
    const auto& info = static_cast<const ITzDWKPictInfo&>(*child);
    std::unique_ptr<ITzPicture> picture(new (std::nothrow) ITzPicture());
    if (!picture)
        return source.Refuse(PTzERR_OUT_OF_MEMORY);
    if (picture->Create(info.GetWidth(), info.GetHeight()) != 0)
        return source.Refuse(PTzLastErrorOr(FTzERR_BAD_DATA));
    picture->SetXPelsPerMeter(info.GetXPelsPerMeter());
    picture->SetYPelsPerMeter(info.GetYPelsPerMeter());
    m_loaded = std::move(picture);
    return 1;
}

ITzDWKBase* ITzDWKPicture::MakeChild(uint32_t tag)
{
    switch (tag) {
    case kTagPictInfo:
        return m_loaded ? nullptr : new ITzDWKPictInfo();
    case kTagLayer:
        return m_loaded && m_layersMade < kMaxLayers ? new ITzDWKLayer(this) : nullptr;
    // The text font table ('ttft') slots in here once text layers are read; until
    // then it is skipped with every other tag.
    default:
        return nullptr;
    }
}

int ITzDWKPicture::AddLayer(ChunkSource& source, ITzLayerBase* layer)
{
    if (const int refusal = m_loaded->InsertLayer(m_loaded->GetLayerCount(), layer))
        return source.Refuse(refusal);
    ++m_layersMade;
    return 1;
}

int ITzDWKPicture::EndRead(ChunkSource& source)
{
    if (!ITzDWKBase::EndRead(source))
        return 0;
    // A load that yields no layer gives no picture.
    if (!m_loaded || m_loaded->GetLayerCount() == 0)
        return source.Refuse(FTzERR_BAD_DATA);
    m_loaded->ClearModified();
    return 1;
}
