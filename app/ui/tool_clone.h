// CTool_Clone: the clone stamp's front-end. Alt+click takes the active layer's pixels
// under the point as the source; a stroke then copies from the source point outwards as
// far as it lies from the stroke's destination start point. Aligned keeps the first
// stroke's start point for later strokes on the same layer. A source (or destination)
// layer that is destroyed is forgotten.
#pragma once

#include <cstdint>
#include <memory>

#include "app/ui/tool_brush.h"
#include "base/broadcaster.h"
#include "base/geometry.h"

class ITzLayerBase;
class ITzLayerImage;

// The message over the view when a stroke starts without a source.
constexpr uint32_t IDS_CLONE_NEEDS_SOURCE = 132;

class CTool_Clone : public CTool_BrushBase, public PTzListener {
public:
    CTool_Clone();
    ~CTool_Clone() override;

    // With Alt: the source. Without: a stroke on an image layer, or the message when the
    // engine has no source to paint from.
    int OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    std::unique_ptr<ITzToolBrushBase> CreateEngineTool() override;
    // Then the source and the destination start point.
    void ApplySettings() override;
    QWidget* CreateOptionsPanel(QWidget* parent) override;
    // The tail: aligned.
    void SetExtraOptions(const uint8_t* bytes, uint32_t size) override;
    void GetExtraOptions(uint8_t* buffer, uint32_t* size) override;

    void SetAligned(uint32_t aligned) { m_aligned = aligned; }
    uint32_t GetAligned() const { return m_aligned; }
    ITzLayerImage* GetSourceLayer() const { return m_source; }
    PTzPOINT GetSourcePoint() const { return m_sourcePoint; }
    PTzPOINT GetDestinationStart() const { return m_destinationStart; }

protected:
    // Alt shows the source cursor.
    uint32_t CursorId() const override;
    // The source's or the destination's 1108 (destroyed).
    int Listen(uint32_t message, void* param, PTzBroadcaster* sender) override;

private:
    void SetSource(ITzLayerImage* layer, PTzPOINT point);
    void SetDestination(ITzLayerBase* layer);

    uint32_t m_aligned = 1;
    ITzLayerImage* m_source = nullptr;       // listened to
    PTzPOINT m_sourcePoint = {0, 0};         // in the source layer's coordinates
    ITzLayerBase* m_destination = nullptr;   // listened to
    PTzPOINT m_destinationStart = {0, 0};    // picture pixels
};
