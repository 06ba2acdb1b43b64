// CProgramPanels: the contents of the main frame's three floating panels. The
// information panel is CDialogInfo; the layers panel and the tool palette are not here
// yet, so their slots stay empty.
#pragma once

#include "app/shell/shell_links.h"

class CProgramPanels : public quorvel::IPanelProvider {
public:
    QWidget* CreatePanel(quorvel::PanelSlot slot, QWidget* parent) override;
};
