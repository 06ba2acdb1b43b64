// The front-end base: capture, the option record's load and save, the forbidden cursor,
// the pressed palette button, and the conversions every front-end shares.
#include "app/ui/tool_base.h"

#include <QWidget>
#include <new>

#include "app/shell/application.h"
#include "app/shell/main_frame.h"
#include "app/shell/picture_view.h"
#include "app/shell/settings_store.h"
#include "app/ui/tool_button.h"
#include "app/ui/tool_cursors.h"
#include "app/ui/tool_manager.h"
#include "app/ui/tool_option_records.h"
#include "app/ui/tool_options.h"
#include "engine/pixels/layer_base.h"
#include "engine/tools/mouse_track.h"

CToolBase::CToolBase(uint32_t id, uint32_t optionsTemplate, uint32_t paletteButton)
    : m_optionsTemplate(optionsTemplate), m_paletteButton(paletteButton), m_id(id)
{
}

int CToolBase::OnLButtonDblClk(uint32_t, _tagPTzMOUSEPOINT*, CTamsleyView*)
{
    return 0;
}

int CToolBase::OnLButtonDown(uint32_t, _tagPTzMOUSEPOINT*, CTamsleyView* view)
{
    if (!view)
        return 0;
    view->SetToolCapture(1);
    return 1;
}

int CToolBase::OnLButtonUp(uint32_t, _tagPTzMOUSEPOINT*, CTamsleyView* view)
{
    if (!view)
        return 0;
    view->SetToolCapture(0);
    return 1;
}

int CToolBase::OnMouseMove(uint32_t, _tagPTzMOUSEPOINT*, CTamsleyView*)
{
    return 0;
}

int CToolBase::OnKeyDown(uint32_t, uint32_t, uint32_t, CTamsleyView*)
{
    return 0;
}

int CToolBase::OnKeyUp(uint32_t, uint32_t, uint32_t, CTamsleyView*)
{
    return 0;
}

int CToolBase::OnTimer(CTamsleyView*)
{
    return 0;
}

int CToolBase::Activate(bool activate)
{
    // The palette lets the button pressed before go.
    CTamsleyApp* app = CTamsleyApp::Get();
    CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
    if (activate && frame && m_paletteButton) {
        if (auto* button = dynamic_cast<RToolButton*>(frame->GetToolPaletteControl(int(m_paletteButton))))
            button->SetSelected(true);
    }
    return 1;
}

int CToolBase::OnSetCursor(int32_t, int32_t, CTamsleyView*)
{
    return 0;
}

int CToolBase::OnIdle(CTamsleyView*)
{
    return int(m_busy);
}

std::u16string CToolBase::OptionValueName(uint32_t id)
{
    std::u16string name;
    for (int byte = 0; byte < 4; ++byte)
        name.push_back(char16_t((id >> (8 * byte)) & 0xFF));
    return name;
}

void CToolBase::LoadOptions()
{
    uint8_t record[kToolOptionsMaxBytes] = {};
    uint32_t type = quorvel::REG_BINARY;
    uint32_t size = sizeof(record);
    const std::u16string name = OptionValueName(m_id);
    if (ReadAppSetting(name.c_str(), &type, record, &size) && type == quorvel::REG_BINARY)
        SetOptions(record, size);
}

void CToolBase::SaveOptions()
{
    uint8_t record[kToolOptionsMaxBytes] = {};
    uint32_t size = sizeof(record);
    GetOptions(record, &size);
    if (size == 0)
        return;
    const std::u16string name = OptionValueName(m_id);
    WriteAppSetting(name.c_str(), quorvel::REG_BINARY, record, size);
}

void CToolBase::OnUndo(CTamsleyView*) {}

void CToolBase::OnRedo(CTamsleyView*) {}

int CToolBase::SetForbiddenCursor(CTamsleyView* view)
{
    ITzPicture* picture = ViewPicture(view);
    ITzLayerBase* layer = picture ? picture->GetLayerbyIndex(picture->GetActiveLayerID()) : nullptr;
    if (!layer || layer->IsImageLayer())
        return 0;
    SetToolCursor(view, IDC_TOOL_FORBIDDEN);
    return 1;
}

QWidget* CToolBase::CreateOptionsPanel(QWidget* parent)
{
    return new (std::nothrow) CToolOptionsDlg(this, GetOptionsDialogID(), parent);
}

void CToolBase::SetOptions(const uint8_t*, uint32_t) {}

void CToolBase::GetOptions(uint8_t*, uint32_t* size)
{
    if (size)
        *size = 0;
}

CToolManager* CToolBase::Manager()
{
    return CToolManager::GetToolManager();
}

const CToolKeyState* CToolBase::Keys()
{
    CToolManager* manager = Manager();
    return manager ? &manager->GetKeyState() : nullptr;
}

int CToolBase::ShowCursor(CTamsleyView* view, uint32_t cursor)
{
    if (!view)
        return 0;
    SetToolCursor(view, cursor);
    return 1;
}

int CToolBase::ShowPaintingCursor(CTamsleyView* view, uint32_t cursor)
{
    if (!view)
        return 0;
    if (!SetForbiddenCursor(view))
        SetToolCursor(view, cursor);
    return 1;
}

bool ShiftIn(uint32_t flags)
{
    return (flags & Qt::ShiftModifier) != 0;
}

bool AltIn(uint32_t flags)
{
    return (flags & Qt::AltModifier) != 0;
}

ITzPicture* ViewPicture(CTamsleyView* view)
{
    return view ? view->GetPicture() : nullptr;
}

bool ToPictureSubpixel(CTamsleyView* view, _tagPTzMOUSEPOINT* sample)
{
    if (!view || !sample)
        return false;
    const PTzPOINT zoomed = view->ClientToZoomed({sample->x, sample->y});
    PTzPOINT picture;
    if (view->ZoomedToPictureSubpixel(&zoomed, &picture) != 0)
        return false;
    sample->x = picture.x;
    sample->y = picture.y;
    return true;
}

bool ToPicturePixel(CTamsleyView* view, const _tagPTzMOUSEPOINT* sample, PTzPOINT* picture)
{
    if (!view || !sample || !picture)
        return false;
    const PTzPOINT zoomed = view->ClientToZoomed({sample->x, sample->y});
    return view->ZoomedToPicture(&zoomed, picture) == 0;
}

QPoint PictureToClient(CTamsleyView* view, PTzPOINT picture)
{
    PTzPOINT zoomed;
    if (view->PictureToZoomed(&picture, &zoomed) != 0)
        zoomed = {picture.x < 0 ? INT32_MIN : INT32_MAX, picture.y < 0 ? INT32_MIN : INT32_MAX};
    const PTzPOINT client = view->ZoomedToClient(zoomed);
    return {client.x, client.y};
}
