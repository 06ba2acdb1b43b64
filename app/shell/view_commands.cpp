// The table of the view's commands.
#include "app/shell/view_commands.h"

#include "app/shell/picture_view.h"
#include "app/shell/shell_strings.h"

using namespace quorvel;

namespace {

const CViewCommand kViewCommands[] = {
    {ID_EDIT_UNDO, "&Undo", "Ctrl+Z", &CTamsleyView::OnUndo},
    {ID_EDIT_REDO, "&Redo", "Ctrl+Y", &CTamsleyView::OnRedo},
    {ID_EDIT_CUT, "Cu&t", "Ctrl+X", &CTamsleyView::OnCut},
    {ID_EDIT_COPY, "&Copy", "Ctrl+C", &CTamsleyView::OnCopy},
    {ID_EDIT_PASTE, "&Paste", "Ctrl+V", &CTamsleyView::OnPaste},
    {ID_FILL_COLOR, "&Fill Color...", "Ctrl+F", &CTamsleyView::OnFillColor},
    {ID_SELECTION_MODE, "Selection", "", &CTamsleyView::OnSelectionMode},
    {ID_SELECT_ALL, "Select All", "Ctrl+A", &CTamsleyView::OnSelectAll},
    {ID_DESELECT, "Deselect", "Ctrl+D", &CTamsleyView::OnDeselect},
    {ID_SELECT_INVERSE, "Inverse", "Ctrl+I", &CTamsleyView::OnSelectInverse},
    {ID_RESIZE, "Re&size...", "", &CTamsleyView::OnResize},
    {ID_ROTATE_90CW, "90 CW", "", &CTamsleyView::OnRotate90CW},
    {ID_ROTATE_90CCW, "90 CCW", "", &CTamsleyView::OnRotate90CCW},
    {ID_ROTATE_180, "180", "", &CTamsleyView::OnRotate180},
    {ID_CROP, "Cr&op", "", &CTamsleyView::OnCrop},
    {ID_LAYER_NEW, "&New", "Ctrl+Shift+N", &CTamsleyView::OnNewLayer},
    {ID_LAYER_DELETE, "&Delete", "", &CTamsleyView::OnDeleteLayer},
    {ID_LAYER_MERGE_ALL, "Merge &All", "", &CTamsleyView::OnMergeAll},
    {ID_LAYER_MERGE_DOWN, "&Merge Down", "", &CTamsleyView::OnMergeDown},
    {ID_LAYER_CONVERT, "&Convert to Image", "", &CTamsleyView::OnConvertToImage},
    {ID_LAYER_PROPERTIES, "&Properties", "", &CTamsleyView::OnLayerProperties},
    {ID_SET_ACTIVE_LAYER, "&Set Active Layer", "", &CTamsleyView::OnSetActiveLayer},
    {ID_REFRESH_CACHE, "Refresh Cache", "", &CTamsleyView::OnRefreshCache},
    {ID_TESTING_DIALOG, "Testing Dialog", "", &CTamsleyView::OnTestingDialog},
    // The key that carries "+" zooms in with or without Shift, as Ctrl+- needs none.
    {ID_ZOOM_IN, "&Zoom In", "Ctrl++; Ctrl+=", &CTamsleyView::OnZoomIn},
    {ID_ZOOM_OUT, "Zoom &Out", "Ctrl+-", &CTamsleyView::OnZoomOut},
};

}  // namespace

std::span<const CViewCommand> ViewCommands()
{
    return kViewCommands;
}
