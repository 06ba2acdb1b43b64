// RToolButton: a tool's button on the tool palette. The palette selects the button of the
// current tool; a button that becomes selected tells its palette, which lets the one
// selected before go, so that one button at a time shows itself pressed.
#pragma once

#include "app/ui/status_button.h"

class RToolButton;

// The palette a tool button belongs to.
class IToolButtonPalette {
public:
    virtual ~IToolButtonPalette() = default;
    // The button has just become the selected one.
    virtual void ToolButtonSelected(RToolButton* button) = 0;
};

class RToolButton : public RCIconButton {
public:
    explicit RToolButton(QWidget* parent = nullptr) : RCIconButton(parent) {}

    void SetPalette(IToolButtonPalette* palette) { m_palette = palette; }
    // Redraws when the flag changes and, when it became selected, tells the palette.
    void SetSelected(bool selected);
    bool IsSelected() const { return m_selected; }

protected:
    // While selected (and enabled) the pressed icon.
    void DrawItem(QPainter& painter) override;

private:
    bool m_selected = false;
    IToolButtonPalette* m_palette = nullptr;
};
