// The view's picture commands: undo and redo, the clipboard, fill, the selection, resize,
// the rotations and crop, the layer commands and zoom. Most call one engine step; resize
// and the rotations run as operations with progress. Engine results are not reported: a
// refused step leaves the picture as it was. The layer commands give the view the focus
// back, so that keys reach it again after a click on the layers panel.
#include "app/shell/application.h"
#include "app/shell/current_colours.h"
#include "app/shell/document.h"
#include "app/shell/layer_naming.h"
#include "app/shell/main_frame.h"
#include "app/shell/picture_view.h"
#include "app/shell/shell_links.h"
#include "app/shell/shell_strings.h"
#include "engine/picture/engine_functions.h"
#include "engine/tools/tool_crop.h"
#include "engine/tools/tool_fill.h"
#include "engine/tools/tool_layer_merge.h"
#include "engine/tools/tool_mask.h"

using namespace quorvel;

namespace {

constexpr uint16_t kMaxLayersForNew = 100;

// The rotations' codes for the engine.
enum : uint32_t { kRotate90CW = 1, kRotate90CCW = 2, kRotate180 = 3 };

CTamsleyApp* App()
{
    return CTamsleyApp::Get();
}

IViewDialogs* Dialogs()
{
    return App() ? App()->GetViewDialogs() : nullptr;
}

IClipboardBridge* Clipboard()
{
    return App() ? App()->GetClipboardBridge() : nullptr;
}

IToolManager* ToolManager()
{
    return App() ? App()->GetToolManager() : nullptr;
}

ITzLayerBase* ActiveLayer(ITzPicture& picture)
{
    return picture.GetLayerCount() ? picture.GetLayerbyIndex(picture.GetActiveLayerID()) : nullptr;
}

void Rotate(CTamsleyDoc* document, uint32_t code)
{
    if (document)
        document->RotatePicture(code);
}

}  // namespace

void CTamsleyView::OnUndo()
{
    void* handle = m_document ? m_document->GetPictureHandle() : nullptr;
    if (handle && ITzPictDoUndo(handle))
        if (IToolManager* tools = ToolManager())
            tools->OnUndo(this);
}

void CTamsleyView::OnRedo()
{
    void* handle = m_document ? m_document->GetPictureHandle() : nullptr;
    if (handle && ITzPictDoRedo(handle))
        if (IToolManager* tools = ToolManager())
            tools->OnRedo(this);
}

void CTamsleyView::OnCut()
{
    if (IClipboardBridge* clipboard = Clipboard(); clipboard && GetPicture())
        clipboard->Cut(GetPicture());
}

void CTamsleyView::OnCopy()
{
    if (IClipboardBridge* clipboard = Clipboard(); clipboard && GetPicture())
        clipboard->Copy(GetPicture());
}

void CTamsleyView::OnPaste()
{
    if (IClipboardBridge* clipboard = Clipboard(); clipboard && GetPicture())
        clipboard->Paste(GetPicture());
}

void CTamsleyView::OnFillColor()
{
    ITzPicture* picture = GetPicture();
    IViewDialogs* dialogs = Dialogs();
    CImageDataManager* colours = CImageDataManager::GetImageDataManager();
    uint8_t opacity = 0;
    if (!picture || !dialogs || !colours || !dialogs->AskFillOpacity(this, &opacity))
        return;
    _tagPTzCOLOR front;
    colours->GetFrontColor(&front);
    ITzToolFill fill;
    fill.FillData(picture, &front, opacity);
}

void CTamsleyView::OnSelectionMode()
{
    ITzPicture* picture = GetPicture();
    if (!picture)
        return;
    picture->SetMaskEditingMode(picture->GetMaskEditingMode() ? 0 : 1);
    InvalidateAll();
}

void CTamsleyView::OnSelectAll()
{
    if (ITzPicture* picture = GetPicture()) {
        ITzToolMask mask;
        mask.DoSelectALl(picture);
    }
}

void CTamsleyView::OnDeselect()
{
    if (ITzPicture* picture = GetPicture()) {
        ITzToolMask mask;
        mask.ClearSelectioin(picture);
    }
}

void CTamsleyView::OnSelectInverse()
{
    if (ITzPicture* picture = GetPicture()) {
        ITzToolMask mask;
        mask.DoSelectInverse(picture);
    }
}

void CTamsleyView::OnResize()
{
    ITzPicture* picture = GetPicture();
    IViewDialogs* dialogs = Dialogs();
    CImageResizeChoice choice;
    if (!picture || !dialogs || !dialogs->AskImageResize(this, picture, &choice))
        return;
    // A method the dialog left unset resamples bilinearly. The document runs it, as it
    // remembers a new resolution alone, which the undo history keeps no step for.
    m_document->ResizePicture(int32_t(choice.width), int32_t(choice.height),
                              choice.resampleMode == 2 ? 1 : choice.resampleMode, choice.dotsPerMetre);
}

void CTamsleyView::OnRotate90CW()
{
    Rotate(m_document, kRotate90CW);
}

void CTamsleyView::OnRotate90CCW()
{
    Rotate(m_document, kRotate90CCW);
}

void CTamsleyView::OnRotate180()
{
    Rotate(m_document, kRotate180);
}

void CTamsleyView::OnCrop()
{
    if (ITzPicture* picture = GetPicture()) {
        ITzToolCrop crop;
        crop.DoCrop(picture);
    }
}

void CTamsleyView::NewLayer()
{
    if (ITzPicture* picture = GetPicture())
        picture->NewImageLayer(MakeNewLayerName(*picture).c_str());
}

void CTamsleyView::OnNewLayer()
{
    NewLayer();
    setFocus();
}

void CTamsleyView::OnDeleteLayer()
{
    if (ITzPicture* picture = GetPicture())
        picture->DeleteCurrentLayer();
    setFocus();
}

void CTamsleyView::OnMergeAll()
{
    if (ITzPicture* picture = GetPicture()) {
        ITzToolLayerMerge merge;
        merge.MergeLayers(picture);
    }
    setFocus();
}

void CTamsleyView::OnMergeDown()
{
    if (ITzPicture* picture = GetPicture()) {
        ITzToolLayerMerge merge;
        merge.MergeLayerDown(picture);
    }
    setFocus();
}

void CTamsleyView::OnConvertToImage()
{
    if (ITzPicture* picture = GetPicture()) {
        const uint16_t index = picture->GetActiveLayerID();
        picture->ConvertLayerToImageLayer(index);
        picture->SetActiveLayerID(index);
    }
    setFocus();
}

void CTamsleyView::EditLayerProperties()
{
    ITzPicture* picture = GetPicture();
    IViewDialogs* dialogs = Dialogs();
    if (ITzLayerBase* layer = picture && dialogs ? ActiveLayer(*picture) : nullptr)
        dialogs->EditLayerProperties(this, layer);
}

void CTamsleyView::OnLayerProperties()
{
    EditLayerProperties();
}

void CTamsleyView::OnSetActiveLayer()
{
    ITzPicture* picture = GetPicture();
    IViewDialogs* dialogs = Dialogs();
    if (picture && dialogs) {
        // Any index: the picture keeps it within its stack. The old layer's floating
        // layer is merged away as it goes, so not while another edit holds the picture.
        uint16_t index = picture->GetActiveLayerID();
        if (dialogs->AskActiveLayer(this, picture->GetLayerCount(), &index) && picture->AbleEditing())
            picture->SetActiveLayerID(index);
    }
    setFocus();
}

void CTamsleyView::OnRefreshCache()
{
    if (ITzPicture* picture = GetPicture()) {
        _tagITzZOOMLEVEL zoom = m_zoom;
        // The window is composed again, so that it shows the cache rebuilt.
        if (picture->Testing_UpdateActiveLayerCurrentCache(&zoom))
            InvalidateAll();
    }
}

void CTamsleyView::OnTestingDialog()
{
    if (IViewDialogs* dialogs = Dialogs(); dialogs && GetPicture())
        dialogs->RunTestingDialog(this, GetPicture());
}

void CTamsleyView::OnZoomIn()
{
    ZoomInCentre();
}

void CTamsleyView::OnZoomOut()
{
    ZoomOutCentre();
}

bool CTamsleyView::IsCommandEnabled(int id) const
{
    ITzPicture* picture = GetPicture();
    if (!picture)
        return false;
    switch (id) {
    case ID_DESELECT:
    case ID_SELECT_INVERSE:
    case ID_CROP:
        return picture->GetSelectionLayer(0) != nullptr;
    case ID_LAYER_NEW:
        return picture->GetLayerCount() < kMaxLayersForNew;
    case ID_LAYER_DELETE:
        return picture->GetLayerCount() > 1;
    case ID_LAYER_MERGE_ALL:
        return ITzToolLayerMerge::CanMergeLayers(picture) != 0;
    case ID_LAYER_MERGE_DOWN:
        return ITzToolLayerMerge::CanMergeDown(picture) != 0;
    case ID_LAYER_CONVERT: {
        ITzLayerBase* layer = ActiveLayer(*picture);
        return layer && !layer->IsImageLayer();
    }
    case ID_ZOOM_IN:
        return CanZoomIn();
    case ID_ZOOM_OUT:
        return CanZoomOut();
    default:
        return true;
    }
}

void CTamsleyView::UpdateFrameCommands()
{
    CMainFrame* frame = App() ? App()->GetMainFrame() : nullptr;
    if (frame && frame->GetActiveTamsleyView() == this)
        frame->UpdateViewCommands();
}
