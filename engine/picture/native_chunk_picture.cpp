// 'pict' and 'pifb': the picture chunk builds a save's tree from the picture and, on a
// load, makes the picture from its leading 'pifb' and collects the layers read.
#include "engine/picture/native_chunk_picture.h"

#include <algorithm>
#include <new>

#include "base/error_codes.h"
#include "engine/picture/native_chunk_header.h"
#include "engine/picture/native_chunk_layer.h"
#include "engine/picture/native_chunk_text.h"
#include "engine/picture/picture.h"
#include "engine/picture/text_manager.h"
#include "engine/pixels/layer_image_argb.h"

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
    ITzTextManager* text = picture->GetTextManager();
    ITzTextFontList* fonts = text ? text->FindFontList() : nullptr;
    if (fonts && fonts->GetItemCount() > 0)
        AddChild(std::make_unique<ITzDWKTextTable>(*fonts));
    for (ITzLayerBase* layer : layers)
        AddChild(std::make_unique<ITzDWKLayer>(layer));
}

ITzDWKPicture::~ITzDWKPicture()
{
    // The text being read holds glyphs and the table holds fonts of the picture's text
    // model, which goes with the picture.
    DropChildren();
    ReleaseLoadFonts();
}

bool ITzDWKPicture::CanStore(ITzPicture& picture)
{
    for (uint16_t i = 0; i < picture.GetLayerCount(); ++i) {
        ITzLayerBase* layer = picture.GetLayerbyIndex(i);
        if (layer && !dynamic_cast<ITzLayerImageARGB*>(layer->GetPreviewLayer()))
            return false;
    }
    return true;
}

bool ITzDWKPicture::AddLoadFont(const _tagPTzFONTDATAINFO& record)
{
    ITzTextManager* text = m_loaded ? m_loaded->GetTextManager() : nullptr;
    ITzTextFontList* fonts = text ? text->GetFontList() : nullptr;
    ITzTextFont* font = fonts ? fonts->GetFont(&record) : nullptr;
    try {
        m_loadFonts.push_back(font);
    } catch (const std::bad_alloc&) {
        if (font)
            fonts->Release(font);
        return false;
    }
    return true;
}

ITzTextFont* ITzDWKPicture::GetLoadFont(uint32_t index) const
{
    return index < m_loadFonts.size() ? m_loadFonts[index] : nullptr;
}

void ITzDWKPicture::ReleaseLoadFonts()
{
    ITzTextManager* text = m_loaded ? m_loaded->GetTextManager() : nullptr;
    ITzTextFontList* fonts = text ? text->FindFontList() : nullptr;
    for (ITzTextFont* font : m_loadFonts)
        if (font && fonts)
            fonts->Release(font);
    m_loadFonts.clear();
}

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

ITzDWKChild ITzDWKPicture::MakeChild(uint32_t tag)
{
    switch (tag) {
    case kTagPictInfo:
        return m_loaded ? nullptr : m_childRoom.Make<ITzDWKPictInfo>();
    case kTagLayer:
        return m_loaded && m_layersMade < kMaxLayers ? m_childRoom.Make<ITzDWKLayer>(this) : nullptr;
    case kTagTextTable:
        if (!m_loaded || m_tableRead)
            return nullptr;
        m_tableRead = true;
        return m_childRoom.Make<ITzDWKTextTable>(this);
    default:
        return nullptr;
    }
}

int ITzDWKPicture::AddLayer(ChunkSource& source, ITzLayerBase* layer)
{
    // Layers are appended in file order to a picture that starts with none, each taking
    // the lowest free link number, which is always the next one: naming it here spares
    // the picture a search through every layer it holds for each layer read.
    layer->SetLinkNumber(uint16_t(m_loaded->GetLayerCount() + 1));
    if (const int refusal = m_loaded->InsertLayer(m_loaded->GetLayerCount(), layer))
        return source.Refuse(refusal);
    ++m_layersMade;
    return 1;
}

int ITzDWKPicture::EndRead(ChunkSource& source)
{
    ReleaseLoadFonts();
    if (!ITzDWKBase::EndRead(source))
        return 0;
    // A load that yields no layer gives no picture.
    if (!m_loaded || m_loaded->GetLayerCount() == 0)
        return source.Refuse(FTzERR_BAD_DATA);
    m_loaded->ClearModified();
    return 1;
}
