// The brush-testing tool: a stroke driven through the brush functions, whose coverage
// reaches the floating layer through the tool's data callback.
#include "engine/tools/tool_brush_testing.h"

#include <limits>

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/tools/brush_base.h"
#include "engine/tools/brush_functions.h"

namespace {

int DataToTool(_tagITzBITMAP* bitmap, PTzRECT* rect, void* tool)
{
    return static_cast<ITzToolBrushTesting*>(tool)->SetData(bitmap, rect);
}

// A sample in sixteenths of a pixel as a point in whole pixels.
_tagITzBRUSHPOINTINFO WholePixels(const _tagPTzMOUSEPOINT& sample)
{
    return {sample.x >> 4, sample.y >> 4, sample.pressure};
}

bool FitsInt16(int64_t value)
{
    return value >= 1 && value <= std::numeric_limits<int16_t>::max();
}

}  // namespace

ITzToolBrushTesting::ITzToolBrushTesting() : m_context(ITzBrushInit())
{
    // The context gathers the dabs in a cache of its own.
    ReleaseChaeBitmap();
}

ITzToolBrushTesting::~ITzToolBrushTesting()
{
    if (m_strokeRunning) {
        // The front-end replaces the tool at the next press, possibly mid-stroke: the
        // stroke's last dabs are still brought into the layer.
        ITzBrushMouseUp(m_context);
        while (ITzBrushRun(m_context)) {
        }
        EndStroke();
    }
    ITzBrushUninit(m_context);
}

bool ITzToolBrushTesting::GiveBrushToContext()
{
    if (!m_brush)
        return true;
    _tagITzBITMAP tip;
    const int64_t step = m_brush->GetStep();
    if (!m_brush->GetBitmap(&tip) || !FitsInt16(tip.width) || !FitsInt16(tip.height) || !FitsInt16(tip.stride) ||
        !FitsInt16(step))
        return false;
    // The step as a percentage of a nominal size of 100: the context spaces the dabs
    // exactly as the brush does.
    const _tagITzBRUSHBRUSHINFO info = {100,
                                        int16_t(tip.width),
                                        int16_t(tip.height),
                                        int16_t(tip.stride),
                                        tip.pixels,
                                        int16_t(step),
                                        uint32_t(m_pressFlags & (ITzBRUSHINFO_PRESS_SIZE | ITzBRUSHINFO_PRESS_OPACITY))};
    return ITzBrushSetBrush(m_context, &info) != 0;
}

int ITzToolBrushTesting::OnMouseDown(_tagPTzMOUSEPOINT* sample, ITzPicture* picture)
{
    if (!sample || !picture || !m_context || m_strokeRunning || !StartEditing(picture))
        return 0;
    const _tagITzBRUSHDATACALLBACKINFO data = {DataToTool, this};
    // What the context needs is had before the floating layer, which cannot be given
    // back once made.
    ITzLayerImage* floating = nullptr;
    if (GiveBrushToContext() && ITzBrushSetDataCallback(m_context, &data))
        floating = CreateToolFloatLayer(picture);
    if (!floating || !ITzBrushMouseDown(m_context)) {
        if (floating)
            DiscardFloatingLayer(picture);
        StopEditing(picture);
        return 0;
    }
    PrepareFloatingLayer(floating, picture);
    m_strokePicture = picture;
    m_pushPicture = picture;
    m_strokeRunning = true;
    const _tagITzBRUSHPOINTINFO point = WholePixels(*sample);
    ITzBrushSetPoint(m_context, &point);
    return 1;
}

int ITzToolBrushTesting::OnMouseMove(_tagPTzMOUSEPOINT* sample, ITzPicture* /*picture*/)
{
    if (!sample || !m_strokeRunning)
        return 0;
    const _tagITzBRUSHPOINTINFO point = WholePixels(*sample);
    ITzBrushSetPoint(m_context, &point);
    return 1;
}

int ITzToolBrushTesting::OnMouseUp(_tagPTzMOUSEPOINT* sample, ITzPicture* picture)
{
    if (!OnMouseMove(sample, picture))
        return 0;
    ITzBrushMouseUp(m_context);
    return 1;
}

int ITzToolBrushTesting::OnIdle(ITzPicture* /*picture*/)
{
    if (!m_context || !m_strokeRunning)
        return 0;
    if (const uint8_t result = ITzBrushRun(m_context))
        return result;
    EndStroke();
    return 0;
}

void ITzToolBrushTesting::EndStroke()
{
    ITzPicture* picture = m_strokePicture;
    MergeToolFloatLayer(picture);
    StopEditing(picture);
    m_strokePicture = nullptr;
    m_pushPicture = nullptr;
    m_strokeRunning = false;
    OnMouseActionEnd();
}

int ITzToolBrushTesting::SetData(_tagITzBITMAP* bitmap, PTzRECT* rect)
{
    if (!bitmap || !rect || !m_strokeRunning)
        return 0;
    ITzLayerImage* floating = GetPushLayer(m_strokePicture);
    PTzRECT pictureRect = *rect, layerRect;
    if (!floating || !GetRectDataReady(floating, &pictureRect, nullptr) ||
        floating->PRECTtoLRECT(&pictureRect, &layerRect) != 0)
        return 0;
    const int merged = floating->MergeMask(bitmap, &layerRect, 255);
    UpdateCacheDataForDataChange(floating, &pictureRect, 1);
    DataChanged(m_strokePicture, &pictureRect);
    return merged;
}

int ITzToolBrushTesting::PrepareBlockData(ITzLayerImage* layer, uint32_t block)
{
    return SetBlockClearColor(layer, block, m_frontColor);
}
