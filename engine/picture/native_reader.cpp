// Reads the native file's chunk tree: sizes checked by subtraction against their
// container, unknown chunks skipped, block geometry checked before anything is allocated.
#include "engine/picture/native_reader.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "base/error_codes.h"
#include "base/memory.h"
#include "engine/picture/native_chunk_header.h"
#include "engine/picture/native_writer.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image_argb.h"

namespace lumatra::native {
namespace {

constexpr uint64_t kPictInfoSize = 20;
constexpr uint64_t kLayerInfoSize = 24;
constexpr uint64_t kPreviewInfoSize = 16;
constexpr uint32_t kArgbChannels = 4;
constexpr uint64_t kMinBlockSize = 1 + kArgbChannels;

// Blocks the grid of a layer of this size needs when it starts `offset` into its first block.
uint32_t blocksFor(int32_t offset, uint32_t size)
{
    return size == 0 ? 0 : uint32_t((uint64_t(offset) + size + ITzBLOCK_SIDE - 1) / ITzBLOCK_SIDE);
}

void freeChannels(_tagITzBLOCKDATAINFO& info)
{
    for (_tagITzCHANNELDATA& channel : info.channels)
        if (channel.data)
            PTzHandleFree(std::exchange(channel.data, nullptr));
}

}  // namespace

// The layer the current 'prev' builds, with the grid its 'prei' declared.
struct PictureReader::Pixels {
    std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer> layer;
    uint32_t blockCount = 0;
    uint32_t nextBlock = 0;
    bool dataRead = false;
};

PictureReader::PictureReader(_tagPTzIOSTREAM* stream) : m_stream(stream)
{
    if (!stream) {
        Fail(PTzERR_BAD_ARGUMENT);
        return;
    }
    if (!ReadHead())
        return;
    // The leading phase: the load starts only once 'pifb' made the picture.
    while (!m_picture && !m_error && !m_finished)
        StepOnce();
    if (!m_picture && !m_error)
        Fail(FTzERR_BAD_DATA);
}

PictureReader::~PictureReader() = default;

bool PictureReader::Fail(int code)
{
    if (!m_error)
        m_error = code;
    PTzSetLastError(m_error);
    m_picture.reset();
    m_pixels.reset();
    return false;
}

bool PictureReader::Read(void* buffer, uint64_t count)
{
    if (count > m_fileSize - m_position)
        return Fail(FTzERR_SHORT_READ);
    if (PTzIOStreamRead(m_stream, buffer, uint32_t(count)) != count)
        return Fail(FTzERR_SHORT_READ);
    m_position += count;
    m_consumed += count;
    return true;
}

bool PictureReader::Skip(uint64_t count)
{
    if (count > m_fileSize - m_position)
        return Fail(FTzERR_SHORT_READ);
    const uint64_t target = m_position + count;
    uint32_t reached = PTzIOStreamSeek(m_stream, int32_t(std::min<uint64_t>(target, INT32_MAX)), 0);
    if (target > INT32_MAX)
        reached = PTzIOStreamSeek(m_stream, int32_t(target - INT32_MAX), 1);
    if (reached != target)
        return Fail(FTzERR_SHORT_READ);
    m_position = target;
    m_consumed += count;
    return true;
}

bool PictureReader::ReadHead()
{
    uint32_t high = 0;
    m_fileSize = PTzIOStreamSize(m_stream, &high);
    m_fileSize |= uint64_t(high) << 32;
    uint8_t head[kFileHeadSize];
    if (!Read(head, sizeof head))
        return false;
    if (PTzReadLE32(head) != kFileMagic || PTzReadLE32(head + 4) > kFileVersion)
        return Fail(FTzERR_BAD_DATA);
    m_stack.push_back({0, m_fileSize - m_position});
    uint32_t tag = 0;
    uint64_t size = 0;
    if (!ReadChildHeader(&tag, &size))
        return false;
    if (tag != kTagPicture)
        return Fail(FTzERR_BAD_DATA);
    m_stack.back() = {kTagPicture, size};
    m_total = size;
    m_consumed = 0;
    return true;
}

// Reads a header inside the top frame and charges the whole child to it.
bool PictureReader::ReadChildHeader(uint32_t* tag, uint64_t* size)
{
    Frame& parent = m_stack.back();
    uint8_t bytes[kLongHeaderSize];
    if (parent.remaining < kShortHeaderSize)
        return Fail(FTzERR_BAD_DATA);
    if (!Read(bytes, kShortHeaderSize))
        return false;
    size_t length = kShortHeaderSize;
    if (PTzReadLE32(bytes + 4) == kLongSizeMarker) {
        if (parent.remaining < kLongHeaderSize)
            return Fail(FTzERR_BAD_DATA);
        if (!Read(bytes + kShortHeaderSize, kLongHeaderSize - kShortHeaderSize))
            return false;
        length = kLongHeaderSize;
    }
    ChunkHeader header;
    decodeChunkHeader(bytes, length, &header);
    if (header.size > parent.remaining - length)
        return Fail(FTzERR_BAD_DATA);
    parent.remaining -= length + header.size;
    *tag = header.tag;
    *size = header.size;
    return true;
}

uint32_t PictureReader::Progress() const
{
    return m_total == 0 ? 0 : uint32_t(std::min<uint64_t>(m_consumed, m_total) * 100 / m_total);
}

int PictureReader::Step()
{
    if (m_error || m_finished)
        return 0;
    return StepOnce() && !m_finished;
}

bool PictureReader::StepOnce()
{
    Frame& top = m_stack.back();
    if (top.tag == kTagPreviewData && top.remaining > 0)
        return ReadBlock();
    if (top.remaining == 0) {
        const uint32_t tag = top.tag;
        m_stack.pop_back();
        return EndContainer(tag);
    }
    uint32_t tag = 0;
    uint64_t size = 0;
    return ReadChildHeader(&tag, &size) && BeginChild(tag, size);
}

bool PictureReader::BeginChild(uint32_t tag, uint64_t size)
{
    const uint32_t parent = m_stack.back().tag;
    if (parent == kTagPicture && tag == kTagPictInfo && !m_picture)
        return ReadPictInfo(size);
    if (parent == kTagPicture && tag == kTagLayer && m_picture && m_layersMade < kMaxLayers) {
        m_layer = {};
        m_stack.push_back({tag, size});
        return true;
    }
    if (parent == kTagLayer && tag == kTagName)
        return ReadName(size);
    if (parent == kTagLayer && tag == kTagLayerInfo)
        return ReadLayerInfo(size);
    if (parent == kTagLayer && tag == kTagPreview && m_layer.hasName && m_layer.hasInfo && !m_layer.madeLayer) {
        m_pixels = std::make_unique<Pixels>();
        m_stack.push_back({tag, size});
        return true;
    }
    if (parent == kTagPreview && tag == kTagPreviewInfo && !m_pixels->layer)
        return ReadPreviewInfo(size);
    if (parent == kTagPreview && tag == kTagPreviewData && m_pixels->layer && !m_pixels->dataRead)
        return BeginPreviewData(size);
    // Unknown chunks, and known ones out of place or repeated (text-layer chunks too,
    // until text layers are read), are passed over whole. Only the four known containers
    // are entered, so the depth stays bounded whatever the file nests.
    return Skip(size);
}

bool PictureReader::EndContainer(uint32_t tag)
{
    if (tag == kTagPreviewData) {
        if (m_pixels->nextBlock != m_pixels->blockCount)
            return Fail(FTzERR_BAD_DATA);
        m_pixels->dataRead = true;
        return true;
    }
    if (tag == kTagPreview) {
        const bool complete = m_pixels && m_pixels->dataRead;
        return complete ? InsertLayer() : (m_pixels.reset(), true);
    }
    if (tag == kTagPicture) {
        if (!m_picture || m_picture->GetLayerCount() == 0)
            return Fail(FTzERR_BAD_DATA);
        m_picture->ClearModified();
        m_finished = true;
    }
    return true;
}

bool PictureReader::ReadPictInfo(uint64_t size)
{
    uint8_t info[kPictInfoSize];
    if (size != kPictInfoSize)
        return Fail(FTzERR_BAD_DATA);
    if (!Read(info, sizeof info))
        return false;
    const uint32_t width = PTzReadLE32(info);
    const uint32_t height = PTzReadLE32(info + 4);
    if (width == 0 || height == 0 || width > kMaxPictureSide || height > kMaxPictureSide)
        return Fail(FTzERR_BAD_DATA);
    std::unique_ptr<ITzPicture> picture(new (std::nothrow) ITzPicture());
    if (!picture)
        return Fail(PTzERR_OUT_OF_MEMORY);
    if (picture->Create(width, height) != 0)
        return Fail(PTzLastErrorOr(FTzERR_BAD_DATA));
    picture->SetXPelsPerMeter(PTzReadLE32(info + 12));
    picture->SetYPelsPerMeter(PTzReadLE32(info + 16));
    m_picture = std::move(picture);
    return true;
}

bool PictureReader::ReadName(uint64_t size)
{
    const uint64_t kept = std::min<uint64_t>(size / 2, ITzLAYER_NAME_LENGTH - 1);
    uint8_t bytes[(ITzLAYER_NAME_LENGTH - 1) * 2];
    if (!Read(bytes, kept * 2) || !Skip(size - kept * 2))
        return false;
    m_layer.hasName = true;
    std::fill(std::begin(m_layer.name), std::end(m_layer.name), u'\0');
    for (uint64_t i = 0; i < kept && PTzReadLE16(bytes + 2 * i) != 0; ++i)
        m_layer.name[i] = PTzChar(PTzReadLE16(bytes + 2 * i));
    return true;
}

bool PictureReader::ReadLayerInfo(uint64_t size)
{
    uint8_t info[kLayerInfoSize];
    if (size != kLayerInfoSize)
        return Fail(FTzERR_BAD_DATA);
    if (!Read(info, sizeof info))
        return false;
    const uint32_t width = PTzReadLE32(info + 4);
    const uint32_t height = PTzReadLE32(info + 8);
    const int64_t left = int32_t(PTzReadLE32(info + 12));
    const int64_t top = int32_t(PTzReadLE32(info + 16));
    // A zero size is an empty, never painted layer; the far edges must stay in range.
    if (width > kMaxPictureSide || height > kMaxPictureSide || left + width > INT32_MAX || top + height > INT32_MAX)
        return Fail(FTzERR_BAD_DATA);
    m_layer.width = width;
    m_layer.height = height;
    m_layer.left = int32_t(left);
    m_layer.top = int32_t(top);
    m_layer.mergeType = info[20];
    m_layer.opacity = info[21];
    m_layer.flags = info[22];
    m_layer.hasInfo = true;
    return true;
}

bool PictureReader::ReadPreviewInfo(uint64_t size)
{
    uint8_t info[kPreviewInfoSize];
    if (size != kPreviewInfoSize)
        return Fail(FTzERR_BAD_DATA);
    if (!Read(info, sizeof info))
        return false;
    if (info[0] != PTzCOLORMODE_ARGB)
        return true;  // only ARGB blocks are read back; the chunk makes no layer
    const _tagPTzOFFSET offset = {int32_t(PTzReadLE32(info + 4)), int32_t(PTzReadLE32(info + 8))};
    const uint16_t across = PTzReadLE16(info + 12);
    const uint16_t down = PTzReadLE16(info + 14);
    if (info[1] != 8 || offset.x < 0 || offset.x >= ITzBLOCK_SIDE || offset.y < 0 || offset.y >= ITzBLOCK_SIDE ||
        across != blocksFor(offset.x, m_layer.width) || down != blocksFor(offset.y, m_layer.height) ||
        (across == 0) != (down == 0))
        return Fail(FTzERR_BAD_DATA);
    std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer> layer(new (std::nothrow) ITzLayerImageARGB());
    if (!layer || layer->InitBlockList() != 0)
        return Fail(PTzERR_OUT_OF_MEMORY);
    const PTzRECT bounds = {m_layer.left, m_layer.top, m_layer.left + int32_t(m_layer.width),
                            m_layer.top + int32_t(m_layer.height)};
    layer->DWKSetBounds(&bounds);
    layer->DWKSetBlockOffset(&offset);
    layer->DWKSetBlockCountX(across);
    layer->DWKSetBlockCountY(down);
    layer->SetName(m_layer.name);
    layer->SetMergeType(ITzMERGETYPE(m_layer.mergeType));
    layer->SetOpacity(m_layer.opacity);
    layer->Setvisibility(m_layer.flags & 1);
    m_pixels->layer = std::move(layer);
    m_pixels->blockCount = uint32_t(across) * down;
    return true;
}

bool PictureReader::BeginPreviewData(uint64_t size)
{
    // Every block takes at least its mask and four constants: refuse counts the chunk
    // cannot hold before a record is allocated.
    if (size / kMinBlockSize < m_pixels->blockCount || (m_pixels->blockCount == 0 && size != 0))
        return Fail(FTzERR_BAD_DATA);
    m_stack.push_back({kTagPreviewData, size});
    return true;
}

bool PictureReader::ReadBlock()
{
    Frame& data = m_stack.back();
    if (m_pixels->nextBlock >= m_pixels->blockCount)
        return Fail(FTzERR_BAD_DATA);
    uint8_t mask = 0;
    if (!Read(&mask, 1))
        return false;
    --data.remaining;
    _tagITzBLOCKDATAINFO info{};
    info.lastChannel = kArgbChannels - 1;
    for (uint32_t c = 0; c < kArgbChannels; ++c) {
        _tagITzCHANNELDATA& channel = info.channels[c];
        const uint64_t need = (mask >> c & 1) ? 1 : kChannelBytes;
        bool ok = data.remaining >= need;
        if (ok && need == 1) {
            ok = Read(&channel.constant, 1);
        } else if (ok) {
            channel.data = PTzHandleNew(kChannelBytes);
            PTzHandleLockGuard lock(channel.data);
            ok = lock && Read(lock.bytes(), kChannelBytes);
        }
        if (!ok) {
            freeChannels(info);
            return Fail(m_error ? m_error : FTzERR_BAD_DATA);
        }
        data.remaining -= need;
    }
    const int result = m_pixels->layer->DWKSetBlockInfo(m_pixels->nextBlock++, &info);
    return result == 0 || Fail(result);
}

bool PictureReader::InsertLayer()
{
    m_layer.madeLayer = true;
    std::unique_ptr<Pixels> pixels = std::move(m_pixels);
    if (const int refusal = m_picture->InsertLayer(m_picture->GetLayerCount(), pixels->layer.get()))
        return Fail(refusal);
    pixels->layer.release();  // the picture owns it now
    ++m_layersMade;
    return true;
}

ITzPicture* PictureReader::TakePicture()
{
    return Finished() ? m_picture.release() : nullptr;
}

}  // namespace lumatra::native
