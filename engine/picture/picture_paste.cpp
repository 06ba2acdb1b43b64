// Pastes into the picture: a copy of an image layer or a packed DIB becomes a new layer
// above the active one and the active layer; and the undoable paste, cut and delete,
// each run by a short-lived tool.
#include <memory>
#include <new>

#include "base/error_codes.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/tools/tool_cut.h"
#include "engine/tools/tool_paste.h"

namespace {

using OwnedLayer = std::unique_ptr<ITzLayerImage, ITzLayerDestroyer>;

}  // namespace

ITzLayerImage* ITzPicture::PasteCreateLayer()
{
    if (!IsArgb32())
        return nullptr;
    if (m_layerCount >= ITzPICTURE_MAX_LAYERS) {
        PTzSetLastError(ITzERR_TOO_MANY_LAYERS);
        return nullptr;
    }
    return new (std::nothrow) ITzLayerImageARGB();
}

int ITzPicture::InsertAsActive(ITzLayerImage* pasted)
{
    OwnedLayer layer(pasted);
    const uint16_t index = IndexAboveActive();
    // A refused insertion would otherwise leave the layer with nobody to free it.
    if (!layer || InsertLayer(index, layer.get()) != 0)
        return 0;
    layer.release();
    SetActiveLayerID(index);
    return 1;
}

int ITzPicture::PasteImageLayer(ITzLayerImage* source)
{
    if (!source)
        return PTzFailWithZero(ITzERR_INVALID);
    OwnedLayer layer;
    if (source->GetColorMode() == m_colorMode && source->GetBitDepth() == m_bitDepth) {
        layer.reset(source->CopyLayer());
    } else {
        layer.reset(PasteCreateLayer());
        if (layer && !layer->RebuildWithImageLayer(source))
            layer.reset();
    }
    if (!layer)
        return 0;
    layer->SetName(source->GetName());
    return InsertAsActive(layer.release());
}

int ITzPicture::PasteDIB(const BITMAPINFOHEADER* header, uint32_t size)
{
    if (!header)
        return PTzFailWithZero(ITzERR_INVALID);
    OwnedLayer layer(PasteCreateLayer());
    if (!layer || !layer->RebuildWithDib(header, size))
        return 0;
    return InsertAsActive(layer.release());
}

int ITzPicture::DoPasteImageLayer(ITzLayerImage* layer)
{
    ITzToolPaste tool;
    return tool.DoPasteImageLayer(this, layer);
}

int ITzPicture::DoPasteDIB(const BITMAPINFOHEADER* header, uint32_t size)
{
    ITzToolPaste tool;
    return tool.DoPasteDIB(this, header, size);
}

ITzLayerImage* ITzPicture::DoCut()
{
    ITzToolCut tool;
    return tool.DoCut(this);
}

ITzLayerImage* ITzPicture::DoDelete()
{
    ITzToolCut tool;
    return tool.DoDelete(this);
}
