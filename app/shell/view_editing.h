// CViewEditing: what the view's editing keys do to its picture. Shift+Backspace and
// Ctrl+Backspace fill the selection (the whole active layer without one) with the front
// or back colour at full opacity, Delete takes the selected pixels out; each is one undo
// step, and a refused edit leaves the picture as it was.
#pragma once

#include "app/shell/shell_links.h"

class CViewEditing : public quorvel::IViewEditing {
public:
    void FillSelection(CTamsleyView* view, const _tagPTzCOLOR& colour) override;
    void ClearSelection(CTamsleyView* view) override;
};
