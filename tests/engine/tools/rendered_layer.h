// A layer kind that is no image layer but is drawn through a rendered image of its own,
// as text layers are: it gives that image up (RemovePerviewLayer) and takes one back
// (SetPreviewLayer), so that the conversion tools can turn it into an image layer.
#pragma once

#include <cstdint>

#include "engine/pixels/layer_image_argb.h"
#include "floating_test_support.h"

class RenderedLayer : public ITzLayerBase {
public:
    // A patterned image over the picture rectangle; `withImage` false makes a layer
    // that has none to give up.
    RenderedLayer(const PTzRECT& bounds, uint32_t seed, bool withImage = true)
    {
        m_type = ITzLAYERTYPE_TEXT;
        SetBounds(&bounds);
        if (!withImage)
            return;
        m_image = new ITzLayerImageARGB();
        m_image->SetSize(&bounds, 1);
        floating_test::Pattern(m_image, {0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top}, seed);
    }
    ~RenderedLayer() override { ITzLayerBase::DestroyLayer(m_image); }

    ITzLayerImage* GetPreviewLayer() override { return m_image; }
    ITzLayerImage* RemovePerviewLayer() override
    {
        ITzLayerImage* image = m_image;
        m_image = nullptr;
        return image;
    }
    ITzLayerImage* SetPreviewLayer(ITzLayerImage* image) override
    {
        ITzLayerImage* old = m_image;
        m_image = image;
        return old;
    }
    int MoveCore(_tagPTzOFFSET* offset) override
    {
        const int moved = ITzLayerBase::MoveCore(offset);
        if (moved == 0 && m_image)
            m_image->MoveCore(offset);
        return moved;
    }

private:
    ITzLayerImage* m_image = nullptr;
};
