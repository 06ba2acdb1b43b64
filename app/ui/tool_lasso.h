// CTool_Lasso: a freehand selection. The path's points are kept in sixteenths of a pixel
// (at most 65,536; a point equal to the last is not kept) and drawn as a solid line over
// the picture while the button is held; the release closes it into a polygon selection.
#pragma once

#include <QPolygon>
#include <cstdint>
#include <vector>

#include "app/ui/tool_marquee.h"

class CTool_Lasso : public CTool_Marquee_Base {
public:
    static constexpr size_t kCapacity = 65536;

    CTool_Lasso();
    size_t GetPointCount() const { return m_points.size(); }

protected:
    int BeginGesture(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int ContinueGesture(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int EndGesture(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;

private:
    // Keeps the sample's point and draws the path on to its client point.
    void Append(CTamsleyView* view, const _tagPTzMOUSEPOINT* sample);
    void ClearPath(CTamsleyView* view);

    bool m_firstPoint = true;
    std::vector<PTzPOINT> m_points;
    // The path on screen: runs of client points, one overlay item each.
    std::vector<QPolygon> m_drawn;
};
