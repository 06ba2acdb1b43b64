// CProgramPanels: the contents of the main frame's three floating panels. The
// information panel is CDialogInfo, the layers panel CLayerManagerDlg, shown the active
// view's picture, and the tool palette CToolManagerDlg.
#pragma once

#include <QPointer>

#include "app/shell/shell_links.h"
#include "app/ui/layer_manager_dlg.h"

class CProgramPanels : public quorvel::IPanelProvider {
public:
    QWidget* CreatePanel(quorvel::PanelSlot slot, QWidget* parent) override;
    void ShowLayersOf(ITzPicture* picture) override;

private:
    QPointer<CLayerManagerDlg> m_layers;  // the main frame's, while it lives
};
