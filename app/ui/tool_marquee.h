// The selection tools: CTool_Marquee_Base holds what the rectangle, ellipse, lasso and
// magic wand share: the operation a press chooses from Shift and Alt, the hand-over of a
// press inside the selection to the selection-move tool (MAGM) for the whole gesture, the
// keys (always MAGM's) and the cursors. The rectangle and the ellipse drag a shape
// (CTool_Marquee_Shape), scrolling the view while the pointer is at its edge.
#pragma once

#include <cstdint>
#include <memory>

#include "app/ui/tool_base.h"
#include "base/geometry.h"
#include "engine/tools/tool_mask.h"

// Operations a press chooses; kMarqueeHandOver is the front-end's own and never reaches
// the engine.
enum MarqueeOperation : uint32_t {
    kMarqueeReplace = 0,
    kMarqueeAdd = 1,
    kMarqueeSubtract = 2,
    kMarqueeIntersect = 3,
    kMarqueeHandOver = 5,
};

class CTool_Marquee_Base : public CToolBase {
public:
    int OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) final;
    int OnMouseMove(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) final;
    int OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) final;
    // While MAGM has the gesture, MAGM's idle call, and more idle time until it ends.
    int OnIdle(CTamsleyView* view) final;
    int OnKeyDown(uint32_t key, uint32_t repeat, uint32_t flags, CTamsleyView* view) override;
    // During a gesture its operation; between gestures what a press would do.
    int OnSetCursor(int32_t x, int32_t y, CTamsleyView* view) override;

    uint32_t GetOperation() const { return m_operation; }

    // The operation of a press at the client point: without a selection always replace;
    // with one Shift adds (intersects with Alt too), Alt subtracts, and a press inside the
    // selection hands the gesture over.
    static uint32_t ChooseOperation(bool shift, bool alt, CTamsleyView* view, PTzPOINT client);
    // Whether the client point lies on a selected pixel of the picture.
    static bool PointInSelection(CTamsleyView* view, PTzPOINT client);

protected:
    CTool_Marquee_Base(uint32_t id, uint32_t optionsTemplate, uint32_t paletteButton);

    // The gesture of the tool itself, after the operation was chosen (the base press took
    // the capture, the base release gives it back). Nonzero when handled.
    virtual int BeginGesture(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) = 0;
    virtual int ContinueGesture(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view);
    virtual int EndGesture(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view);
    virtual int IdleGesture(CTamsleyView* view);

    // The short-lived engine tool of one selection change, or null when it cannot be made.
    static std::unique_ptr<ITzToolMask> NewMask();
    // A plain click: the floating layer merged down and the selection cleared.
    static void Deselect(ITzPicture* picture);

    uint32_t m_operation = kMarqueeReplace;

private:
    bool m_handedOver = false;
};

// The rectangle and the ellipse.
class CTool_Marquee_Shape : public CTool_Marquee_Base {
protected:
    CTool_Marquee_Shape(uint32_t id, uint32_t paletteButton);

    int BeginGesture(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int ContinueGesture(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int EndGesture(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    // Keeps scrolling while the pointer rests at the view's edge.
    int IdleGesture(CTamsleyView* view) override;

    // The outline between two client corners, and the selection of the ordered rectangle.
    virtual QPolygon Outline(QPoint corner1, QPoint corner2) const = 0;
    virtual int DrawSelection(ITzToolMask& mask, ITzPicture* picture, const PTzRECT& rect) const = 0;

private:
    // The drag's step: scroll at the edge, the new corner, the outline.
    void Step(CTamsleyView* view);
    // One 30-pixel step towards each edge the pointer is on or beyond, once per repaint:
    // true when it scrolled.
    bool AutoScroll(CTamsleyView* view);
    PTzPOINT Constrained(PTzPOINT point, uint32_t flags);

    PTzPOINT m_anchor = {0, 0};
    PTzPOINT m_current = {0, 0};
    PTzPOINT m_client = {0, 0};       // the pointer's last client point
    uint32_t m_flags = 0;             // and the key flags it came with
    bool m_nothingDrawn = true;
    bool m_shiftReleased = false;
    uint64_t m_scrolledAtPaint = ~uint64_t(0);
};

class CTool_Marquee_Rect : public CTool_Marquee_Shape {
public:
    CTool_Marquee_Rect();

protected:
    QPolygon Outline(QPoint corner1, QPoint corner2) const override;
    int DrawSelection(ITzToolMask& mask, ITzPicture* picture, const PTzRECT& rect) const override;
};

class CTool_Marquee_Circle : public CTool_Marquee_Shape {
public:
    CTool_Marquee_Circle();

protected:
    QPolygon Outline(QPoint corner1, QPoint corner2) const override;
    int DrawSelection(ITzToolMask& mask, ITzPicture* picture, const PTzRECT& rect) const override;
};
