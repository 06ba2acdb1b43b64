// The picture's life: making and destroying it, its size and its creation from a size,
// a layer or a colour.
#include <climits>
#include <memory>
#include <new>

#include "base/error_codes.h"
#include "engine/picture/image_io_manager.h"
#include "engine/picture/picture.h"
#include "engine/picture/text_manager.h"
#include "engine/picture/undo_data_manager.h"
#include "engine/pixels/layer_image_argb.h"

ITzPictDataChangeHandler::~ITzPictDataChangeHandler() = default;
void ITzPictDataChangeHandler::DataChanged(const PTzRECT*, int) {}
void ITzPictDataChangeHandler::DataChangedSelection(const PTzRECT*, int) {}

ITzPicture::ITzPicture() : m_undo(new (std::nothrow) CUndoDataManager(this))
{
    // Layers copied out of a picture exchange DIBs with the clipboard.
    ITzImageIOManager::ConnectLayerDIBExchange();
}

ITzPicture::~ITzPicture()
{
    Broadcast(ITzPICTMSG_DESTROY, nullptr, this);
    if (m_observers)
        PTzDestroyTwoLevelHandle(m_observers);
    m_observers = nullptr;
    // The picture stops listening before it frees its layers: they have nothing left to
    // tell it, and each would otherwise take itself out of its partner list one by one,
    // shifting the rest of the list every time.
    RemoveFromAllBroadcaster();
    for (ITzLayerBase*& layer : m_layers) {
        ITzLayerBase::DestroyLayer(layer);
        layer = nullptr;
    }
    m_layerCount = 0;
    ReleaseFormat();
    // Records may hold layers taken out of the stack; the history frees them now.
    m_undo.reset();
    // Every selection layer taken out went to its taker; the installed one has no
    // other keeper, so it goes with the picture, after the records that may name it.
    if (ITzLayerImage* selection = RemoveSelectionLayer())
        ITzLayerBase::DestroyLayer(selection);
    // Layers and records held glyphs of the text model: it goes last.
    m_textManager.reset();
}

void* ITzPicture::CreatePicture()
{
    return new (std::nothrow) ITzPicture();
}

ITzPicture* ITzPicture::Lock(void* handle)
{
    return static_cast<ITzPicture*>(handle);
}

int ITzPicture::DestoryPicture(void* handle)
{
    if (!handle)
        return 0;
    delete Lock(handle);
    return 1;
}

ITzTextManager* ITzPicture::GetTextManager()
{
    if (!m_textManager)
        m_textManager.reset(new (std::nothrow) ITzTextManager());
    return m_textManager.get();
}

int ITzPicture::Create(uint32_t width, uint32_t height)
{
    const _tagPTzSIZE size = {static_cast<int32_t>(width), static_cast<int32_t>(height)};
    SetSize(&size);
    return 0;
}

int ITzPicture::Create(ITzLayerBase* layer)
{
    if (!layer)
        return ITzERR_INVALID;
    if (const int refusal = CheckInsertable(layer))
        return refusal;
    PTzRECT bounds;
    layer->GetLBounds(&bounds);
    if (layer->IsImageLayer()) {
        const auto* image = static_cast<const ITzLayerImage*>(layer);
        m_colorMode = image->GetColorMode();
        m_bitDepth = static_cast<uint8_t>(image->GetBitDepth());
    }
    const _tagPTzSIZE size = {bounds.right - bounds.left, bounds.bottom - bounds.top};
    SetSize(&size);
    return InsertLayer(0, layer);
}

int ITzPicture::Create_1(uint32_t width, uint32_t height, const _tagPTzCOLOR* colour)
{
    if (m_layerCount != 0)
        return ITzERR_HAS_LAYERS;
    if (width > INT32_MAX || height > INT32_MAX)
        return PTzFail(ITzERR_INVALID);
    std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer> layer(new (std::nothrow) ITzLayerImageARGB());
    // A layer without its block list is no layer either; asking again is harmless.
    if (!layer || layer->InitBlockList() != 0)
        return PTzFail(PTzERR_OUT_OF_MEMORY);
    _tagPTzCOLOR white = {};
    white.mode = PTzCOLORMODE_ARGB;
    white.alpha = 255;
    white.components[0] = white.components[1] = white.components[2] = 255;
    const PTzRECT rect = {0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height)};
    if (const int result = layer->FillRect(&rect, colour ? colour : &white))
        return result;
    const _tagPTzSIZE size = {rect.right, rect.bottom};
    SetSize(&size);
    InsertLayer(0, layer.release());
    return 0;
}

int ITzPicture::GetSize(_tagPTzSIZE* size) const
{
    if (size)
        *size = {static_cast<int32_t>(m_width), static_cast<int32_t>(m_height)};
    return 0;
}

int ITzPicture::SetSize(const _tagPTzSIZE* size)
{
    if (!size)
        return 0;
    const auto width = static_cast<uint32_t>(size->cx);
    const auto height = static_cast<uint32_t>(size->cy);
    if (width != m_width || height != m_height) {
        m_width = width;
        m_height = height;
        Broadcast(ITzPICTMSG_SIZE_CHANGED, nullptr, this);
    }
    return 1;
}
