// ITzArcFill: the scan of the ellipse inscribed in a rectangle into a crossing list, and
// ITzLayerArcFill, which hands the list to a layer to fill the ellipse with a colour.
// The elliptical selection and FillArc use them.
#pragma once

#include <cstdint>
#include <memory>

#include "base/color.h"
#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/cross_pixel_list.h"

class ITzLayerImage;

// The longest side, in pixels, of an ellipse the scan takes.
inline constexpr int64_t ITzARC_MAX_SIDE = int64_t(1) << 24;

class LUMATRA_API ITzArcFill {
public:
    ITzArcFill();
    virtual ~ITzArcFill();
    ITzArcFill(const ITzArcFill&) = delete;
    ITzArcFill& operator=(const ITzArcFill&) = delete;

    // Lists every pixel inside `clip` that the outline of the ellipse inscribed in
    // `ellipse` crosses (both in pixels), then gives FillCallback's result. An empty or
    // inverted rectangle or clip lists nothing and gives 0 without the callback; -1001
    // for null or a side longer than ITzARC_MAX_SIDE; -51 when memory ran short.
    virtual int Fill(const PTzRECT* ellipse, const PTzRECT* clip);
    // Runs once the list is complete: gives every record its coverage, then 0.
    virtual int FillCallback(ITzCrossPixelList* list);

    // The list of the last Fill; null before one.
    ITzCrossPixelList* GetList() const { return m_list.get(); }

private:
    void Scan(const PTzRECT& ellipse, const PTzRECT& clip);

    std::unique_ptr<ITzCrossPixelList> m_list;
};

class LUMATRA_API ITzLayerArcFill : public ITzArcFill {
public:
    ITzLayerArcFill();
    ~ITzLayerArcFill() override;

    void SetLayer(ITzLayerImage* layer) { m_layer = layer; }
    void SetColor(const _tagPTzCOLOR* colour);
    // The coverage, then the layer's FillDataWithCrossData(list, colour): its result;
    // -1001 without a layer.
    int FillCallback(ITzCrossPixelList* list) override;

private:
    ITzLayerImage* m_layer = nullptr;  // not owned
    _tagPTzCOLOR m_colour = {};
};
