// ITzPloygonFill: a closed polygon (vertices in sixteenths of a pixel) turned into the
// list of the pixels its edges cross, with their sides and covered shares; and
// ITzLayerPloygonFill, which hands the list to a layer that fills itself by the even-odd
// rule. The selection tool's polygon and lasso selections use them.
#pragma once

#include <cstdint>
#include <memory>

#include "base/color.h"
#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/polygon_cross_list.h"

class ITzLayerImage;

class LUMATRA_API ITzPloygonFill {
public:
    ITzPloygonFill();
    virtual ~ITzPloygonFill();
    ITzPloygonFill(const ITzPloygonFill&) = delete;
    ITzPloygonFill& operator=(const ITzPloygonFill&) = delete;

    // Snaps every vertex to its pixel's corner, lists the crossings of the edges from
    // each vertex to the next and from the last to the first inside `clip` (pixels), then
    // gives Output's result. 0 without calling Output for fewer than 3 points or null
    // arguments; -51 when memory or the coverage tables ran short.
    virtual int Fill(uint32_t count, const PTzPOINT* points, const PTzRECT* clip);
    // Runs once the list is complete; the base does nothing: 0.
    virtual int Output(ITzPloygonCrossPixelList* list, const PTzRECT* clip);

    // The list of the last Fill; null before one.
    ITzPloygonCrossPixelList* GetList() const { return m_list.get(); }

private:
    void AddEdge(PTzPOINT from, PTzPOINT to, const PTzRECT& clip);

    std::unique_ptr<ITzPloygonCrossPixelList> m_list;
};

class LUMATRA_API ITzLayerPloygonFill : public ITzPloygonFill {
public:
    ITzLayerPloygonFill();
    ~ITzLayerPloygonFill() override;

    void SetLayer(ITzLayerImage* layer) { m_layer = layer; }
    // The target layer's FillPolygonWithCrossData result; 0 without a layer.
    int Output(ITzPloygonCrossPixelList* list, const PTzRECT* clip) override;

private:
    ITzLayerImage* m_layer = nullptr;  // not owned
    _tagPTzCOLOR m_fillData = {};      // what the layer is given to fill with
};
