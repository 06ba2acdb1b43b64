// The panels' contents, made for the main frame's slots.
#include "app/ui/program_panels.h"

#include <new>

#include "app/shell/main_frame.h"
#include "app/ui/dialog_info.h"
#include "app/ui/layer_manager_dlg.h"
#include "app/ui/tool_palette.h"

QWidget* CProgramPanels::CreatePanel(quorvel::PanelSlot slot, QWidget* parent)
{
    switch (slot) {
    case quorvel::PanelSlot::Info:
        return new (std::nothrow) CDialogInfo(parent);
    case quorvel::PanelSlot::Layers:
        m_layers = new (std::nothrow) CLayerManagerDlg(parent);
        return m_layers;
    case quorvel::PanelSlot::ToolPalette:
        return new (std::nothrow) CToolManagerDlg(dynamic_cast<CMainFrame*>(parent), parent);
    }
    return nullptr;
}

void CProgramPanels::ShowLayersOf(ITzPicture* picture)
{
    if (m_layers)
        m_layers->SetPicture(picture);
}
