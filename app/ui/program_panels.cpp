// The panels the main frame floats, made for their slots.
#include "app/ui/program_panels.h"

#include <new>

#include "app/shell/main_frame.h"
#include "app/ui/tool_palette.h"

QWidget* CProgramPanels::CreatePanel(quorvel::PanelSlot slot, QWidget* parent)
{
    switch (slot) {
    case quorvel::PanelSlot::ToolPalette:
        return new (std::nothrow) CToolManagerDlg(dynamic_cast<CMainFrame*>(parent), parent);
    default:
        return nullptr;
    }
}
