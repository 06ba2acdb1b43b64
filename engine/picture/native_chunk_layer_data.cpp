// 'prev' and 'prei': a layer's pixels chunk and its block geometry. A load accepts only
// the geometry the writer produces from the layer's bounds, so that no crafted count
// reaches the block list.
#include "engine/picture/native_chunk_layer_data.h"

#include <climits>
#include <new>

#include "base/error_codes.h"
#include "engine/picture/native_chunk_header.h"
#include "engine/picture/native_chunk_layer.h"
#include "engine/pixels/layer_image_argb.h"

using lumatra::native::ChunkSink;
using lumatra::native::ChunkSource;
using namespace lumatra::native;

namespace {

constexpr uint8_t kBlockShift = 8;

// Blocks the grid of a layer of this size needs when it starts `offset` into its first block.
uint32_t blocksFor(int32_t offset, int32_t size)
{
    return size <= 0 ? 0 : uint32_t((uint64_t(offset) + uint32_t(size) + ITzBLOCK_SIDE - 1) / ITzBLOCK_SIDE);
}

// Whether the grid of `count` blocks that starts `offset` before `start` lies within the
// coordinates a layer can hold: a layer at the far edge could not reach its grid.
bool gridFits(int32_t start, int32_t offset, uint16_t count)
{
    const int64_t first = int64_t(start) - offset;
    return first >= INT32_MIN && first + int64_t(count) * ITzBLOCK_SIDE <= INT32_MAX;
}

}  // namespace

ITzDWKLayerDataBase::~ITzDWKLayerDataBase() = default;

ITzLayerBase* ITzDWKLayerDataBase::TakeLayer()
{
    return m_complete ? m_layer.release() : nullptr;
}

ITzDWKLayerDataPreviewInfo::ITzDWKLayerDataPreviewInfo() : ITzDWKBase(kTagPreviewInfo) {}

ITzDWKLayerDataPreviewInfo::ITzDWKLayerDataPreviewInfo(const ITzLayerImageARGB& pixels)
    : ITzDWKBase(kTagPreviewInfo)
{
    _tagPTzOFFSET offset{};
    pixels.DWKGetBlockOffset(&offset);
    m_bytes[0] = uint8_t(PTzCOLORMODE_ARGB);
    m_bytes[1] = kBlockShift;
    PTzWriteLE32(m_bytes + 4, uint32_t(offset.x));
    PTzWriteLE32(m_bytes + 8, uint32_t(offset.y));
    PTzWriteLE16(m_bytes + 12, pixels.DWKGetBlockCountX());
    PTzWriteLE16(m_bytes + 14, pixels.DWKGetBlockCountY());
}

uint64_t ITzDWKLayerDataPreviewInfo::ComputeSize()
{
    return m_size = kSize;
}

int ITzDWKLayerDataPreviewInfo::WriteStep(ChunkSink& sink)
{
    return PutPayload(sink, m_bytes);
}

int ITzDWKLayerDataPreviewInfo::BeginRead(ChunkSource& source, uint64_t size)
{
    return ReadPayload(source, size, kSize, m_bytes);
}

int ITzDWKLayerDataPreviewInfo::HasChildren() const
{
    return 0;
}

_tagPTzOFFSET ITzDWKLayerDataPreviewInfo::GetBlockOffset() const
{
    return {int32_t(PTzReadLE32(m_bytes + 4)), int32_t(PTzReadLE32(m_bytes + 8))};
}

uint16_t ITzDWKLayerDataPreviewInfo::GetBlocksAcross() const
{
    return PTzReadLE16(m_bytes + 12);
}

uint16_t ITzDWKLayerDataPreviewInfo::GetBlocksDown() const
{
    return PTzReadLE16(m_bytes + 14);
}

ITzDWKLayerDataPreview::ITzDWKLayerDataPreview(ITzDWKLayer* owner) : ITzDWKLayerDataBase(kTagPreview, owner) {}

ITzDWKLayerDataPreview::ITzDWKLayerDataPreview(ITzLayerImageARGB* pixels)
    : ITzDWKLayerDataBase(kTagPreview, nullptr)
{
    AddChild(std::make_unique<ITzDWKLayerDataPreviewInfo>(*pixels));
    AddChild(std::make_unique<ITzDWKLayerDataPreviewData>(pixels));
}

ITzDWKLayerDataPreview::~ITzDWKLayerDataPreview() = default;

ITzDWKChild ITzDWKLayerDataPreview::MakeChild(uint32_t tag)
{
    switch (tag) {
    case kTagPreviewInfo:
        return m_layer ? nullptr : m_childRoom.Make<ITzDWKLayerDataPreviewInfo>();
    case kTagPreviewData:
        return m_pixels && !m_complete ? m_childRoom.Make<ITzDWKLayerDataPreviewData>(m_pixels) : nullptr;
    default:
        return nullptr;
    }
}

int ITzDWKLayerDataPreview::ChildCompleted(ChunkSource& source, ITzDWKBase* child)
{
    if (child->GetTag() == kTagPreviewInfo)
        return MakeLayer(source, static_cast<const ITzDWKLayerDataPreviewInfo&>(*child));
    m_complete = true;  // 'pred' checked its block count when it ended
    return 1;
}

int ITzDWKLayerDataPreview::MakeLayer(ChunkSource& source, const ITzDWKLayerDataPreviewInfo& info)
{
    if (info.GetColorMode() != PTzCOLORMODE_ARGB)
        return 1;  // only ARGB blocks are read back; the chunk makes no layer
    const ITzDWKLayerInfo::Fields& fields = m_owner->GetFields();
    const _tagPTzOFFSET offset = info.GetBlockOffset();
    const uint16_t across = info.GetBlocksAcross();
    const uint16_t down = info.GetBlocksDown();
    if (info.GetBlockShift() != kBlockShift || offset.x < 0 || offset.x >= ITzBLOCK_SIDE || offset.y < 0 ||
        offset.y >= ITzBLOCK_SIDE || across != blocksFor(offset.x, fields.bounds.right - fields.bounds.left) ||
        down != blocksFor(offset.y, fields.bounds.bottom - fields.bounds.top) || (across == 0) != (down == 0) ||
        !gridFits(fields.bounds.left, offset.x, across) || !gridFits(fields.bounds.top, offset.y, down))
        return source.Refuse(FTzERR_BAD_DATA);
    std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer> layer(new (std::nothrow) ITzLayerImageARGB());
    if (!layer || layer->InitBlockList() != 0)
        return source.Refuse(PTzERR_OUT_OF_MEMORY);
    m_owner->ApplyTo(*layer);
    layer->DWKSetBlockOffset(&offset);
    layer->DWKSetBlockCountX(across);
    layer->DWKSetBlockCountY(down);
    m_pixels = layer.get();
    m_layer.reset(layer.release());
    return 1;
}
