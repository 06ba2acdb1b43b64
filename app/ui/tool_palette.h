// CToolManagerDlg: the floating tool palette. One button per tool, the Set Default Color
// and Switch Color buttons and the front and back swatches, each named by its control
// id. A button's click runs the main frame's command of that id (which selects the tool
// or changes the colours); the tool that becomes current then shows its own button
// pressed, and the palette lets the button pressed before go.
#pragma once

#include <QPointer>
#include <QWidget>

#include "app/ui/tool_button.h"

class CMainFrame;
class QButtonGroup;

class CToolManagerDlg : public QWidget, public IToolButtonPalette {
public:
    // The palette of the frame, whose commands its buttons run (null: they do nothing).
    CToolManagerDlg(CMainFrame* frame, QWidget* parent = nullptr);

    // The tool button shown pressed, or null.
    RToolButton* GetPressedButton() const { return m_pressed; }
    void ToolButtonSelected(RToolButton* button) override;

protected:
    // In its floating window, the palette takes the window's close and docking buttons
    // away: the palette always floats, and is hidden and shown only through the frame's
    // Show Tool command.
    bool event(QEvent* event) override;

private:
    void RunCommand(int id);
    void RemoveCloseBox();

    QPointer<CMainFrame> m_frame;
    QButtonGroup* m_tools;
    RToolButton* m_pressed = nullptr;
};
