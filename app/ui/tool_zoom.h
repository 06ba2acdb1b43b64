// CTOOL_ZOOM: a click zooms in one step about the point (out with the Zoom Out option, or
// with Shift, which reverses the option); a drag of more than 10 pixels zooms the
// dragged rectangle to fill the view.
#pragma once

#include <cstdint>

#include "app/ui/tool_base.h"
#include "base/geometry.h"

class CTOOL_ZOOM : public CToolBase {
public:
    static constexpr int32_t kDragThreshold = 10;

    CTOOL_ZOOM();

    int OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnMouseMove(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnSetCursor(int32_t x, int32_t y, CTamsleyView* view) override;
    QWidget* CreateOptionsPanel(QWidget* parent) override;

    void SetZoomOut(uint32_t zoomOut) { m_zoomOut = zoomOut; }
    uint32_t GetZoomOut() const { return m_zoomOut; }
    bool ZoomsOut(bool shift) const { return (m_zoomOut != 0) != shift; }

private:
    void ShowRectangle(CTamsleyView* view) const;

    bool m_dragged = false;
    PTzPOINT m_anchor = {0, 0};   // client
    PTzPOINT m_current = {0, 0};  // client
    uint32_t m_zoomOut = 0;
};
