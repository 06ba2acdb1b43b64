// CProgramPanels: the contents of the main frame's floating panels (the tool palette).
#pragma once

#include "app/shell/shell_links.h"

class CProgramPanels : public quorvel::IPanelProvider {
public:
    // The slot's panel for the main frame that is its parent; null for a slot without one.
    QWidget* CreatePanel(quorvel::PanelSlot slot, QWidget* parent) override;
};
