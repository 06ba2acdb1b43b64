// CTool_Move: moves the active layer, its floating layer or the selected pixels through
// the engine's move tool, by dragging (Shift keeps the motion at multiples of 45 degrees)
// or by the arrow keys. The Copy option, toggled by Alt, leaves a copy behind. It is also
// the temporary tool while Ctrl is held.
#pragma once

#include <cstdint>
#include <memory>

#include "app/ui/tool_base.h"
#include "base/geometry.h"

class ITzToolMove;

class CTool_Move : public CToolBase {
public:
    CTool_Move();
    ~CTool_Move() override;

    int OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnMouseMove(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    // The arrows move by 1 pixel, 10 with Shift: 1; another key 0.
    int OnKeyDown(uint32_t key, uint32_t repeat, uint32_t flags, CTamsleyView* view) override;
    int OnSetCursor(int32_t x, int32_t y, CTamsleyView* view) override;
    QWidget* CreateOptionsPanel(QWidget* parent) override;

    void SetCopy(uint32_t copy) { m_copy = copy; }
    uint32_t GetCopy() const { return m_copy; }
    // Copy (1) when exactly one of the Copy option and Alt holds, else move (0).
    uint32_t MoveType(bool alt) const { return (m_copy != 0) != alt ? 1 : 0; }

private:
    // The engine tool, made on first use; null when it cannot be made.
    ITzToolMove* Engine();
    // The sample in picture pixels, on a 45-degree line from the start with Shift.
    bool DragPoint(uint32_t flags, const _tagPTzMOUSEPOINT* point, CTamsleyView* view, PTzPOINT* at) const;
    void MoveTo(PTzPOINT at);

    PTzPOINT m_last = {0, 0};
    PTzPOINT m_start = {0, 0};
    std::unique_ptr<ITzToolMove> m_engine;
    uint32_t m_copy = 0;
};
