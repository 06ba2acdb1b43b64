// The bridge's states: empty, kept (Copy or Cut), rendered (the program went inactive),
// released (the clipboard changed, a new Copy or Cut, the bridge's end).
#include "app/shell/clipboard_bridge.h"

#include <new>

#include "app/shell/layer_naming.h"
#include "app/shell/packed_dib.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_dib_exchange.h"
#include "engine/pixels/layer_image.h"

namespace {

// The render's memory: a zero-filled byte buffer that knows its size, behind the four
// callbacks through which the layer writes its bitmap.
struct ByteBlock {
    std::unique_ptr<uint8_t[]> bytes;
    uint32_t size = 0;
};

void* AllocateBlock(uint32_t size)
{
    std::unique_ptr<ByteBlock> block(new (std::nothrow) ByteBlock());
    if (!block)
        return nullptr;
    block->bytes.reset(new (std::nothrow) uint8_t[size]());
    if (!block->bytes)
        return nullptr;
    block->size = size;
    return block.release();
}

void* LockBlock(void* block)
{
    return static_cast<ByteBlock*>(block)->bytes.get();
}

int UnlockBlock(void*)
{
    return 1;
}

void* FreeBlock(void* block)
{
    delete static_cast<ByteBlock*>(block);
    return nullptr;
}

// The layer's pixels as an image, through a packed DIB: a null image when the layer
// cannot write itself.
QImage RenderLayer(ITzLayerImage& layer)
{
    _tagITzMEMHANDLECBS memory = {AllocateBlock, LockBlock, UnlockBlock, FreeBlock};
    std::unique_ptr<ByteBlock> block(static_cast<ByteBlock*>(layer.SavetoDIB(&memory)));
    return block ? ImageFromPackedDib(block->bytes.get(), block->size) : QImage();
}

}  // namespace

void TzClipBoard::KeptLayerDeleter::operator()(ITzLayerImage* layer) const
{
    ITzLayerDestroy(layer);
}

TzClipBoard::TzClipBoard(std::unique_ptr<IClipboardPort> port) : m_port(std::move(port)) {}

TzClipBoard::~TzClipBoard() = default;

int TzClipBoard::Keep(ITzLayerImage* layer)
{
    if (!layer)
        return 0;
    // Copies start at the origin, wherever the selection lay.
    PTzRECT bounds = {};
    layer->GetBounds(&bounds);
    _tagPTzOFFSET offset = {-bounds.left, -bounds.top};
    layer->MoveCore(&offset);
    Release();
    m_kept.reset(layer);
    m_sequence = m_port->GetSequenceNumber();
    return 1;
}

int TzClipBoard::Copy(ITzPicture* picture)
{
    return picture ? Keep(picture->CreateCopyLayer()) : 0;
}

int TzClipBoard::Cut(ITzPicture* picture)
{
    return picture ? Keep(picture->DoCut()) : 0;
}

bool TzClipBoard::IsCurrent()
{
    if (!m_kept)
        return false;
    if (m_port->GetSequenceNumber() == m_sequence)
        return true;
    Release();
    return false;
}

void TzClipBoard::Release()
{
    m_rendered = 0;
    m_kept.reset();
}

void TzClipBoard::Paste(ITzPicture* picture)
{
    if (!picture)
        return;
    const uint16_t layers = picture->GetLayerCount();
    CPackedDib dib;
    if (IsCurrent())
        picture->DoPasteImageLayer(m_kept.get());
    else if (PackedDibFromImage(m_port->GetImage(), &dib))
        picture->DoPasteDIB(reinterpret_cast<const BITMAPINFOHEADER*>(dib.bytes.get()), dib.size);
    // A bitmap, or a layer without a name, would give a layer nobody can tell apart.
    if (picture->GetLayerCount() > layers)
        NameUnnamedLayer(*picture, picture->GetActiveLayerID());
}

int TzClipBoard::GetImageSize(int32_t* width, int32_t* height)
{
    if (!width || !height)
        return 0;
    if (IsCurrent()) {
        PTzRECT bounds = {};
        m_kept->GetBounds(&bounds);
        *width = bounds.right - bounds.left;
        *height = bounds.bottom - bounds.top;
        return 1;
    }
    const QImage image = m_port->GetImage();
    if (image.isNull())
        return 0;
    *width = image.width();
    *height = image.height();
    return 1;
}

void TzClipBoard::OnAppActivate(bool active)
{
    if (!active) {
        Render();
        return;
    }
    // Whoever owns the clipboard now: a layer that was rendered is no longer current
    // (the render changed the sequence number), and one whose render failed is still
    // the copy while the clipboard is as it was.
    IsCurrent();
}

void TzClipBoard::Render()
{
    if (!IsCurrent() || m_rendered)
        return;
    const QImage image = RenderLayer(*m_kept);
    if (image.isNull())
        return;
    // Writing changes the clipboard's sequence number: the next paste takes this bitmap.
    m_port->SetImage(image);
    m_rendered = 1;
}
