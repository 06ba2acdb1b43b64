// 'layr', 'name' and 'lifb': a save's layer chunk with its children, and a load's, which
// reads its name and placement first and inserts the layer its first data chunk makes.
#include "engine/picture/native_chunk_layer.h"

#include <algorithm>
#include <climits>
#include <new>

#include "base/error_codes.h"
#include "engine/picture/layer_text.h"
#include "engine/picture/native_chunk_header.h"
#include "engine/picture/native_chunk_layer_data.h"
#include "engine/picture/native_chunk_picture.h"
#include "engine/picture/native_chunk_text.h"
#include "engine/picture/text_manager.h"
#include "engine/pixels/layer_image_argb.h"

using lumatra::native::ChunkSink;
using lumatra::native::ChunkSource;
using namespace lumatra::native;

namespace {

constexpr size_t kMaxNameUnits = ITzLAYER_NAME_LENGTH - 1;

size_t nameLength(const PTzChar* name)
{
    size_t length = 0;
    while (name && length < kMaxNameUnits && name[length])
        ++length;
    return length;
}

}  // namespace

ITzDWKName::ITzDWKName() : ITzDWKBase(kTagName) {}

ITzDWKName::ITzDWKName(const PTzChar* name) : ITzDWKBase(kTagName)
{
    std::copy_n(name, nameLength(name), m_name);
}

uint64_t ITzDWKName::ComputeSize()
{
    return m_size = (nameLength(m_name) + 1) * 2;
}

int ITzDWKName::WriteStep(ChunkSink& sink)
{
    uint8_t bytes[ITzLAYER_NAME_LENGTH * 2] = {};
    for (size_t i = 0; i < nameLength(m_name); ++i)
        PTzWriteLE16(bytes + 2 * i, uint16_t(m_name[i]));
    return PutPayload(sink, bytes);
}

int ITzDWKName::BeginRead(ChunkSource& source, uint64_t size)
{
    m_size = size;
    const uint64_t kept = std::min<uint64_t>(size / 2, kMaxNameUnits);
    uint8_t bytes[kMaxNameUnits * 2];
    if (!source.Read(bytes, kept * 2) || !source.Skip(size - kept * 2))
        return 0;
    for (uint64_t i = 0; i < kept && PTzReadLE16(bytes + 2 * i) != 0; ++i)
        m_name[i] = PTzChar(PTzReadLE16(bytes + 2 * i));
    m_done = size;
    return 1;
}

int ITzDWKName::HasChildren() const
{
    return 0;
}

ITzDWKLayerInfo::ITzDWKLayerInfo() : ITzDWKBase(kTagLayerInfo) {}

ITzDWKLayerInfo::ITzDWKLayerInfo(ITzLayerBase& layer) : ITzDWKBase(kTagLayerInfo)
{
    PTzRECT bounds{};
    layer.GetBounds(&bounds);
    PTzWriteLE32(m_bytes, uint32_t(layer.GetType()));
    PTzWriteLE32(m_bytes + 4, uint32_t(bounds.right - bounds.left));
    PTzWriteLE32(m_bytes + 8, uint32_t(bounds.bottom - bounds.top));
    PTzWriteLE32(m_bytes + 12, uint32_t(bounds.left));
    PTzWriteLE32(m_bytes + 16, uint32_t(bounds.top));
    m_bytes[20] = uint8_t(layer.GetMergeType());
    m_bytes[21] = layer.GetOpacity();
    m_bytes[22] = layer.IsVisible() ? 1 : 0;
}

uint64_t ITzDWKLayerInfo::ComputeSize()
{
    return m_size = kSize;
}

int ITzDWKLayerInfo::WriteStep(ChunkSink& sink)
{
    return PutPayload(sink, m_bytes);
}

int ITzDWKLayerInfo::BeginRead(ChunkSource& source, uint64_t size)
{
    if (!ReadPayload(source, size, kSize, m_bytes))
        return 0;
    const uint32_t width = PTzReadLE32(m_bytes + 4);
    const uint32_t height = PTzReadLE32(m_bytes + 8);
    const int64_t left = int32_t(PTzReadLE32(m_bytes + 12));
    const int64_t top = int32_t(PTzReadLE32(m_bytes + 16));
    if (width > kMaxPictureSide || height > kMaxPictureSide || left + width > INT32_MAX || top + height > INT32_MAX)
        return source.Refuse(FTzERR_BAD_DATA);
    return 1;
}

int ITzDWKLayerInfo::HasChildren() const
{
    return 0;
}

ITzDWKLayerInfo::Fields ITzDWKLayerInfo::GetFields() const
{
    const int32_t left = int32_t(PTzReadLE32(m_bytes + 12));
    const int32_t top = int32_t(PTzReadLE32(m_bytes + 16));
    const PTzRECT bounds = {left, top, left + int32_t(PTzReadLE32(m_bytes + 4)),
                            top + int32_t(PTzReadLE32(m_bytes + 8))};
    return {bounds, m_bytes[20], m_bytes[21], (m_bytes[22] & 1) != 0};
}

ITzDWKLayer::ITzDWKLayer(ITzDWKPicture* owner) : ITzDWKBase(kTagLayer), m_owner(owner) {}

ITzDWKLayer::ITzDWKLayer(ITzLayerBase* layer) : ITzDWKBase(kTagLayer)
{
    AddChild(std::make_unique<ITzDWKName>(layer->GetName()));
    AddChild(std::make_unique<ITzDWKLayerInfo>(*layer));
    // A text layer's rendered image follows its text as 'prev' like any layer's pixels.
    if (auto* text = dynamic_cast<ITzLayerText*>(layer)) {
        ITzTextManager* manager = text->GetTextManager();
        AddChild(std::make_unique<ITzDWKLayerDataText>(*text, manager ? manager->FindFontList() : nullptr));
    }
    if (auto* pixels = dynamic_cast<ITzLayerImageARGB*>(layer->GetPreviewLayer()))
        AddChild(std::make_unique<ITzDWKLayerDataPreview>(pixels));
}

ITzDWKLayer::~ITzDWKLayer() = default;

int ITzDWKLayer::ReadLeadingChildren(ChunkSource& source)
{
    return ReadUntilAccepted(source);
}

int ITzDWKLayer::LeadingChildRead(ChunkSource&, ITzDWKBase* child)
{
    return Take(*child) ? 1 : 0;
}

int ITzDWKLayer::ChildCompleted(ChunkSource& source, ITzDWKBase* child)
{
    if (child->GetTag() != kTagPreview && child->GetTag() != kTagText) {
        Take(*child);
        return 1;
    }
    ITzLayerBase* layer = static_cast<ITzDWKLayerDataBase*>(child)->TakeLayer();
    if (!layer)
        return 1;  // a data chunk that made no layer leaves the place to a later one
    m_madeLayer = true;
    if (!m_owner->AddLayer(source, layer)) {
        ITzLayerBase::DestroyLayer(layer);
        return 0;
    }
    return 1;
}

ITzDWKChild ITzDWKLayer::MakeChild(uint32_t tag)
{
    switch (tag) {
    case kTagName:
        return m_childRoom.Make<ITzDWKName>();
    case kTagLayerInfo:
        return m_childRoom.Make<ITzDWKLayerInfo>();
    case kTagPreview:
        return m_hasName && m_hasInfo && !m_madeLayer ? m_childRoom.Make<ITzDWKLayerDataPreview>(this) : nullptr;
    case kTagText:
        return m_hasName && m_hasInfo && !m_madeLayer ? m_childRoom.Make<ITzDWKLayerDataText>(this) : nullptr;
    default:
        return nullptr;
    }
}

void ITzDWKLayer::ApplyTo(ITzLayerBase& layer) const
{
    layer.DWKSetBounds(&m_fields.bounds);
    layer.SetName(m_name);
    layer.SetMergeType(ITzMERGETYPE(m_fields.mergeType));
    layer.SetOpacity(m_fields.opacity);
    layer.Setvisibility(m_fields.visible ? 1 : 0);
}

bool ITzDWKLayer::Take(const ITzDWKBase& child)
{
    if (child.GetTag() == kTagName) {
        const PTzChar* name = static_cast<const ITzDWKName&>(child).GetName();
        std::copy_n(name, ITzLAYER_NAME_LENGTH, m_name);
        m_hasName = true;
    } else if (child.GetTag() == kTagLayerInfo) {
        m_fields = static_cast<const ITzDWKLayerInfo&>(child).GetFields();
        m_hasInfo = true;
    }
    return m_hasName && m_hasInfo;
}
