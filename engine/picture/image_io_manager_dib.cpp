// Clipboard bitmaps: a packed DIB loaded into an image layer and an image layer saved
// as a packed DIB, through the BMP plug-in's header-less entries and the manager's row
// band, with the layer lent to a temporary picture for the exchange; and the connection
// that lets image layers call these themselves.
#include <climits>
#include <memory>
#include <new>

#include "base/color_convert.h"
#include "base/error_codes.h"
#include "base/mem_stream.h"
#include "base/memory.h"
#include "engine/picture/image_io_manager.h"
#include "engine/picture/image_io_manager_dib_entries.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"

namespace {

constexpr int kFinished = 2001;
constexpr uint64_t kDibHeaderSize = 40;

struct MemStreamCloser {
    void operator()(_tagPTzIOSTREAM* stream) const { PTzDestoryMemStream(stream); }
};
using MemStream = std::unique_ptr<_tagPTzIOSTREAM, MemStreamCloser>;

// Bytes of one row of a DIB: rows are padded to four bytes.
uint64_t DibStride(int32_t width, uint32_t bits)
{
    return ((uint64_t(width) * bits + 31) >> 5) * 4;
}

// The packed size: header, rows, and for 8 bits or fewer the palette (its used count
// when that fits the depth, else every index the depth can name).
uint64_t PackedDibSize(const _tagFTzIMAGEINFO_1& info)
{
    uint64_t size = kDibHeaderSize + uint64_t(info.height < 0 ? -int64_t(info.height) : info.height) *
                                         DibStride(info.width, info.bits);
    if (info.bits <= 8) {
        const uint32_t full = 1u << info.bits;
        size += 4 * uint64_t(info.paletteCount != 0 && info.paletteCount <= full ? info.paletteCount : full);
    }
    return size;
}

// The layer in a temporary picture for one exchange; it leaves again with the link
// number it came with, and with its place when it was moved to the origin.
class LentLayer {
public:
    LentLayer(ITzPicture& picture, ITzLayerImage& layer) : m_picture(picture), m_layer(layer)
    {
        m_link = layer.GetLinkNumber();
        m_lent = picture.InsertLayer(0, &layer) == 0;
    }
    ~LentLayer()
    {
        if (!m_lent)
            return;
        if (m_moved.x || m_moved.y) {
            _tagPTzOFFSET back = {-m_moved.x, -m_moved.y};
            m_layer.MoveCore(&back);
        }
        m_picture.RemoveLayer(0, nullptr);
        m_layer.SetLinkNumber(m_link);
    }
    LentLayer(const LentLayer&) = delete;
    LentLayer& operator=(const LentLayer&) = delete;

    bool Lent() const { return m_lent; }
    // Puts the layer's corner on the picture's origin for the composition.
    bool MoveToOrigin()
    {
        PTzRECT bounds{};
        m_layer.GetBounds(&bounds);
        _tagPTzOFFSET offset = {-bounds.left, -bounds.top};
        if ((offset.x || offset.y) && m_layer.MoveCore(&offset) != 0)
            return false;
        m_moved = offset;
        return true;
    }

private:
    ITzPicture& m_picture;
    ITzLayerImage& m_layer;
    uint16_t m_link = 0xFFFF;
    _tagPTzOFFSET m_moved = {0, 0};
    bool m_lent = false;
};

// Where a DIB load's rows go: straight to the manager's receiver, or first one at a
// time through the conversion into the mode and depth the layer takes.
struct DibRows {
    ITzImageIOManager* manager;
    ITzPicture* picture;
    PTzColorConvert_1Base* convert = nullptr;
    _tagPTzCOLORMODE mode = PTzCOLORMODE_RGB;
    uint8_t bits = 24;

    ~DibRows() { PTzDestroyConvertHandle_1(convert); }
};

int ReceiveDibRows(uint32_t row, uint32_t rows, _tagPTzCOLORCONVERTBUFFER* buffer, void* user)
{
    auto* sink = static_cast<DibRows*>(user);
    if (!sink || !sink->manager || !buffer)
        return -1;
    if (!sink->convert)
        return sink->manager->ReceiveRows(sink->picture, row, rows, buffer);
    const uint64_t stride = DibStride(buffer->width, sink->bits);
    if (buffer->width < 0 || !buffer->data || stride > INT32_MAX)
        return -1;
    std::unique_ptr<uint8_t[]> converted(new (std::nothrow) uint8_t[stride]);
    if (!converted)
        return PTzERR_OUT_OF_MEMORY;
    _tagPTzCOLORCONVERTBUFFER target = {buffer->width, 1, int32_t(stride), sink->mode, sink->bits, converted.get(),
                                        nullptr};
    _tagPTzCOLORCONVERTBUFFER line = *buffer;
    line.height = 1;
    for (uint32_t i = 0; i < rows && int64_t(i) < buffer->height; ++i) {
        line.data = buffer->data + ptrdiff_t(i) * buffer->stride;
        if (const int result = PTzConvertColor_1(&line, &target, sink->convert))
            return result;
        if (const int result = sink->manager->ReceiveRows(sink->picture, row + i, 1, &target))
            return result;
    }
    return 0;
}

// Reads the started session into the layer: 2001 when every row arrived, else the
// failure. The layer changes only once the bitmap's description was accepted.
int ReadDib(ITzImageIOManager& manager, const lumatra::BmpDibEntries& bmp, void* session, ITzLayerImage& layer)
{
    _tagFTzIMAGEINFO_1 info{};
    if (const int result = bmp.loadGetInfo(session, &info))
        return result;
    if (info.width <= 0 || info.height <= 0)
        return FTzERR_BAD_DATA;
    ITzPicture picture;
    if (const int result = picture.Create(uint32_t(info.width), uint32_t(info.height)))
        return result;
    DibRows rows = {&manager, &picture};
    _tagPTzCOLORMODE mode = info.mode;
    uint16_t bits = info.bits;
    if (layer.LoadNeedConvertColor(&mode, &bits)) {
        // A refused pair stores its code; a failed allocation stores none.
        PTzSetLastError(0);
        rows.convert = PTzCreateConvertHandle_1(info.mode, uint8_t(info.bits), mode, uint8_t(bits));
        if (!rows.convert)
            return PTzLastErrorOr(PTzERR_OUT_OF_MEMORY);
        rows.mode = mode;
        rows.bits = uint8_t(bits);
    }
    _tagFTzGETDATACALLBACK_1 callback = {ReceiveDibRows, &rows};
    if (const int result = bmp.loadSetCallBack(session, &callback))
        return result;
    LentLayer lent(picture, layer);
    if (!lent.Lent())
        return ITzERR_INVALID;
    const PTzRECT rect = {0, 0, info.width, info.height};
    const _tagPTzCOLOR white = {PTzCOLORMODE_ARGB, 255, {255, 255, 255}};
    if (const int result = layer.SetSize(&rect, 1))
        return result;
    if (const int result = layer.FillRect(&rect, &white))
        return result;
    manager.SetBandDirection(info.rowOrder == 1 ? 1 : 0);
    uint8_t percent = 0;
    int result = 0;
    while ((result = bmp.loading(session, &percent)) == 0) {
    }
    // The last rows wait in the band whatever the outcome.
    const int flushed = manager.FlushBand(&picture);
    return result == kFinished && flushed != 0 ? flushed : result;
}

// The caller's block, or a movable handle when the caller gave no callbacks.
struct DibBlock {
    _tagITzMEMHANDLECBS* memory;
    void* block = nullptr;

    void* Allocate(uint32_t size) { return block = memory ? memory->allocate(size) : PTzHandleNew(size); }
    void* Lock() const { return memory ? memory->lock(block) : PTzHandleLock(block); }
    void Unlock() const { memory ? memory->unlock(block) : PTzHandleUnlock(block); }
    void Free() { memory ? memory->free(block) : PTzHandleFree(block); }
};

// Writes the picture's rows as a packed DIB into a new block: the block, or null.
void* WriteDib(ITzImageIOManager& manager, const lumatra::BmpDibEntries& bmp, ITzPicture& picture,
               _tagITzMEMHANDLECBS* memory)
{
    _tagFTzIMAGEINFO_1 info{};
    picture.GetIMAGEINFO_1FromPict(&info, 0);
    // The rows are composed straight in the writer's mode, so a description the plug-in
    // converts needs no further conversion here.
    if (!bmp.saveSupportByFileInfo(&info) && !bmp.saveFileInfoConvert(&info, &info))
        return nullptr;
    const uint64_t size = PackedDibSize(info);
    if (size > UINT32_MAX)
        return PTzSetLastError(ITzERR_INVALID), nullptr;
    DibBlock block = {memory};
    if (!block.Allocate(uint32_t(size)))
        return PTzSetLastError(PTzERR_OUT_OF_MEMORY), nullptr;
    int result = ITzERR_INVALID;
    if (void* bytes = block.Lock()) {
        MemStream stream(PTzCreateMemStream(bytes, uint32_t(size)));
        int error = 0;
        void* session = stream ? bmp.saveStart(stream.get(), &error) : nullptr;
        if (session) {
            struct Supplier {
                ITzImageIOManager* manager;
                ITzPicture* picture;
            } supplier = {&manager, &picture};
            _tagFTzSAVEGETDATACALLBACK_1 callback = {
                [](uint32_t row, uint32_t rows, _tagPTzCOLORCONVERTBUFFER* buffer, void* user) {
                    auto* s = static_cast<Supplier*>(user);
                    return s->manager->SupplyRows(s->picture, row, rows, buffer);
                },
                &supplier};
            result = bmp.saveSetInfo(session, &info);
            if (result == 0)
                result = bmp.saveSetCallBack(session, &callback);
            uint8_t percent = 0;
            while (result == 0)
                result = bmp.save(session, &percent);
            if (bmp.saveEnd(session) != 0 && result == kFinished)
                result = PTzLastErrorOr(ITzERR_INVALID);
        } else {
            result = error ? error : PTzLastErrorOr(ITzERR_INVALID);
        }
        block.Unlock();
    }
    if (result != kFinished) {
        block.Free();
        PTzSetLastError(result);
        return nullptr;
    }
    return block.block;
}

}  // namespace

int ITzImageIOManager::LoadDIBToLayer(const BITMAPINFOHEADER* dib, uint32_t size, ITzLayerImage* layer)
{
    if (!dib || size == 0 || !layer || layer->GetPicture())
        return PTzFailWithZero(ITzERR_INVALID);
    lumatra::BmpDibEntries bmp;
    if (!bmp.Bind())
        return 0;
    // The stream only reads the caller's bitmap.
    MemStream stream(PTzCreateMemStream(const_cast<BITMAPINFOHEADER*>(dib), size));
    if (!stream)
        return 0;
    int error = 0;
    void* session = bmp.loadStart(stream.get(), &error);
    if (!session)
        return PTzFailWithZero(error ? error : FTzERR_BAD_DATA);
    const int result = ReadDib(*this, bmp, session, *layer);
    bmp.loadEnd(session);
    return result == kFinished ? 1 : PTzFailWithZero(result ? result : ITzERR_INVALID);
}

void* ITzImageIOManager::SaveLayertoDIB(ITzLayerImage* layer, _tagITzMEMHANDLECBS* memory)
{
    if (!layer || layer->GetPicture())
        return PTzSetLastError(ITzERR_INVALID), nullptr;
    PTzRECT bounds{};
    layer->GetBounds(&bounds);
    if (bounds.right <= bounds.left || bounds.bottom <= bounds.top)
        return PTzSetLastError(ITzERR_INVALID), nullptr;
    lumatra::BmpDibEntries bmp;
    if (!bmp.Bind())
        return nullptr;
    ITzPicture picture;
    const _tagPTzSIZE size = {bounds.right - bounds.left, bounds.bottom - bounds.top};
    picture.Create(uint32_t(size.cx), uint32_t(size.cy));
    LentLayer lent(picture, *layer);
    if (!lent.Lent() || !lent.MoveToOrigin())
        return PTzSetLastError(ITzERR_INVALID), nullptr;
    return WriteDib(*this, bmp, picture, memory);
}

void ITzImageIOManager::ConnectLayerDIBExchange()
{
    // One manager per exchange: its row band keeps the first job's geometry.
    static constexpr ITzLayerDIBExchange exchange = {
        [](const BITMAPINFOHEADER* dib, uint32_t size, ITzLayerImage* layer) {
            ITzImageIOManager manager;
            return manager.LoadDIBToLayer(dib, size, layer);
        },
        [](ITzLayerImage* layer, _tagITzMEMHANDLECBS* memory) {
            ITzImageIOManager manager;
            return manager.SaveLayertoDIB(layer, memory);
        },
    };
    ITzSetLayerDIBExchange(&exchange);
}
