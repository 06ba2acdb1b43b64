// The panels' contents.
#include "app/ui/program_panels.h"

#include <new>

#include "app/ui/dialog_info.h"

QWidget* CProgramPanels::CreatePanel(quorvel::PanelSlot slot, QWidget* parent)
{
    switch (slot) {
    case quorvel::PanelSlot::Info:
        return new (std::nothrow) CDialogInfo(parent);
    case quorvel::PanelSlot::Layers:
    case quorvel::PanelSlot::ToolPalette:
        break;
    }
    return nullptr;
}
