// Each dialog lives for its one run.
#include "app/ui/view_dialogs.h"

#include "app/shell/picture_view.h"
#include "app/shell/shell_dialogs.h"
#include "app/ui/active_layer_dialog.h"
#include "app/ui/fill_dialog.h"
#include "app/ui/image_resize_dialog.h"
#include "app/ui/layer_list_box.h"
#include "app/ui/layer_properties_dialog.h"
#include "app/ui/testing_dialog.h"

using namespace quorvel;

namespace {

bool Run(QDialog& dialog)
{
    return ShellDialogs().ExecModal(&dialog) == QDialog::Accepted;
}

}  // namespace

bool CViewDialogs::AskFillOpacity(QWidget* parent, uint8_t* opacity)
{
    CFILLDLG dialog(parent);
    if (!Run(dialog))
        return false;
    *opacity = dialog.GetOpacity();
    return true;
}

bool CViewDialogs::AskImageResize(QWidget* parent, ITzPicture* picture, CImageResizeChoice* choice)
{
    ImageResizeDlg dialog(parent);
    dialog.SetPicture(picture);
    if (!Run(dialog))
        return false;
    choice->width = dialog.GetNewWidth();
    choice->height = dialog.GetNewHeight();
    choice->dotsPerMetre = dialog.GetResolutionDPM();
    choice->resampleMode = dialog.GetResampleMode();
    return true;
}

bool CViewDialogs::EditLayerProperties(QWidget* parent, ITzLayerBase* layer)
{
    CLayerProperties dialog(parent);
    dialog.SetLayer(layer);
    return Run(dialog);
}

bool CViewDialogs::AskActiveLayer(QWidget* parent, uint16_t count, uint16_t* index)
{
    CActiveLayerIDDlg dialog(parent);
    dialog.SetLayerCount(count);
    dialog.SetActiveLayer(*index);
    if (!Run(dialog))
        return false;
    *index = dialog.GetActiveLayer();
    return true;
}

void CViewDialogs::RunTestingDialog(QWidget* parent, ITzPicture* picture)
{
    CTestingDialog dialog(parent);
    dialog.SetPicture(picture);
    // A double click in the list opens the layer's properties through the view that asked.
    if (auto* view = dynamic_cast<CTamsleyView*>(parent))
        dialog.GetList()->SetPropertiesHandler([view] { view->EditLayerProperties(); });
    Run(dialog);
}
