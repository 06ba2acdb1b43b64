// The view's commands: the picture commands of the Edit, Select, Layer and View menus,
// each with its id, menu text, shortcut and the handler of the active view that runs it.
// The main frame makes them actions and keeps them enabled as the active view's state
// allows (CTamsleyView::IsCommandEnabled); the layers panel's buttons find the layer
// commands among the frame's actions by the same ids.
#pragma once

#include <span>

class CTamsleyView;

struct CViewCommand {
    int id;
    const char* text;
    // In QKeySequence's portable text, alternatives after "; " (the menu shows the
    // first); empty for none.
    const char* shortcut;
    void (CTamsleyView::*handler)();
};

std::span<const CViewCommand> ViewCommands();
