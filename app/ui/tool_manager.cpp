// The tool manager: the twenty tools, the current one, the temporary tools and the
// forwarding of the views' events.
#include "app/ui/tool_manager.h"

#include <new>

#include "app/shell/application.h"
#include "app/shell/error_log.h"
#include "app/shell/main_frame.h"
#include "app/shell/picture_view.h"
#include "app/shell/settings_store.h"
#include "app/ui/tool_brush.h"
#include "app/ui/tool_brush_kinds.h"
#include "app/ui/tool_bucket.h"
#include "app/ui/tool_clone.h"
#include "app/ui/tool_eyedrop.h"
#include "app/ui/tool_gradient.h"
#include "app/ui/tool_lasso.h"
#include "app/ui/tool_magic.h"
#include "app/ui/tool_marquee.h"
#include "app/ui/tool_marquee_move.h"
#include "app/ui/tool_move.h"
#include "app/ui/tool_options.h"
#include "app/ui/tool_pan.h"
#include "app/ui/tool_text.h"
#include "app/ui/tool_zoom.h"
#include "app/ui/virtual_keys.h"
#include "engine/tools/mouse_track.h"

namespace {

constexpr char16_t kCurrentToolSetting[] = u"Current_Tool";

CMainFrame* MainFrame()
{
    CTamsleyApp* app = CTamsleyApp::Get();
    return app ? app->GetMainFrame() : nullptr;
}

template <typename Tool, typename... Arguments>
std::unique_ptr<CToolBase> Make(Arguments... arguments)
{
    return std::unique_ptr<CToolBase>(new (std::nothrow) Tool(arguments...));
}

}  // namespace

CToolManager::CToolManager()
{
    CreateTools();
}

CToolManager::~CToolManager()
{
    SaveSettings();
    m_current = nullptr;
    m_remembered = nullptr;
    m_tools.clear();
}

CToolManager* CToolManager::GetToolManager()
{
    CTamsleyApp* app = CTamsleyApp::Get();
    return app ? dynamic_cast<CToolManager*>(app->GetToolManager()) : nullptr;
}

void CToolManager::CreateTools()
{
    std::unique_ptr<CToolBase> made[] = {
        Make<CTool_ITzBrushTesting>(), Make<CTool_Move>(),       Make<CTool_Marquee_Rect>(),
        Make<CTool_Marquee_Circle>(),  Make<CTool_Marquee_Move>(), Make<CTOOL_PAN>(),
        Make<CTOOL_ZOOM>(),            Make<CTool_Pen>(),        Make<CTool_Pencil>(),
        Make<CTool_Erase>(),           Make<CTool_Clone>(),      Make<CTool_Eyedrop>(),
        Make<CTool_Lasso>(),           Make<CTool_Magic>(),      Make<CTool_Smudge>(),
        Make<CTool_Blur>(),            Make<CTool_Sharp>(),      Make<CTool_Gradient>(),
        Make<CTool_Bucket>(),          Make<CTool_Text>(),
    };
    for (std::unique_ptr<CToolBase>& tool : made) {
        if (tool)
            m_tools.push_back(std::move(tool));
    }
    if (!m_current && !m_tools.empty())
        m_current = m_tools.back().get();
}

CToolBase* CToolManager::FindTool(uint32_t id) const
{
    for (const std::unique_ptr<CToolBase>& tool : m_tools) {
        if (tool->GetToolID() == id)
            return tool.get();
    }
    return nullptr;
}

int CToolManager::SelectTool(uint32_t id)
{
    CToolBase* tool = FindTool(id);
    CToolBase* chosen = ChosenTool();
    if (tool && chosen && tool != chosen) {
        Quorvel_ERROR::SetCurrentTool(id);
        chosen->Activate(false);
        m_current = tool;
        // Under a temporary tool the choice is what the key's release brings back.
        if (m_remembered)
            m_remembered = tool;
        tool->Activate(true);
        if (CMainFrame* frame = MainFrame())
            frame->ShowToolOptions();
    }
    if (CMainFrame* frame = MainFrame())
        frame->FocusMainWindow();
    return m_current ? 1 : 0;
}

void CToolManager::LoadSettings(int)
{
    for (const std::unique_ptr<CToolBase>& tool : m_tools)
        tool->LoadOptions();
    LoadCurrentTool();
}

void CToolManager::SaveSettings()
{
    for (const std::unique_ptr<CToolBase>& tool : m_tools)
        tool->SaveOptions();
    SaveCurrentTool();
}

void CToolManager::LoadCurrentTool()
{
    uint32_t id = tool_id::MAGR;
    quorvel::ReadSettingDword(kCurrentToolSetting, &id);
    CToolBase* before = m_current;
    SelectTool(id);
    // The tool current from the start (the stored one, or one unknown) was never
    // activated: it is now, with its panel.
    if (m_current && m_current == before) {
        Quorvel_ERROR::SetCurrentTool(m_current->GetToolID());
        m_current->Activate(true);
        if (CMainFrame* frame = MainFrame())
            frame->ShowToolOptions();
    }
}

void CToolManager::SaveCurrentTool()
{
    if (m_current)
        quorvel::WriteSettingDword(kCurrentToolSetting, m_current->GetToolID());
}

QWidget* CToolManager::CreateOptionsPanel(QWidget* parent)
{
    CToolBase* chosen = ChosenTool();
    QWidget* panel = chosen ? chosen->CreateOptionsPanel(parent) : nullptr;
    // The panel shows the tool's fields before the frame docks it.
    if (auto* options = dynamic_cast<CToolOptionsDlg*>(panel))
        options->UpdateControls();
    return panel;
}

bool CToolManager::CurrentBrushIndex(uint32_t* index)
{
    auto* brush = m_current && m_current->IsBrushTool() ? static_cast<CTool_BrushBase*>(m_current) : nullptr;
    if (!brush || !index)
        return false;
    *index = brush->GetBrushIndex();
    return true;
}

void CToolManager::SetCurrentBrush(uint32_t index)
{
    if (m_current && m_current->IsBrushTool())
        static_cast<CTool_BrushBase*>(m_current)->SetBrushIndex(index);
}

void CToolManager::UseTemporaryTool(uint32_t id)
{
    CToolBase* tool = FindTool(id);
    if (!tool)
        return;
    if (!m_remembered)
        m_remembered = m_current;
    m_current = tool;
}

void CToolManager::UpdateTemporaryTool()
{
    // A temporary tool never changes in the middle of a gesture.
    if (m_buttonHeld)
        return;
    if (m_keys.IsSpaceDown()) {
        UseTemporaryTool(tool_id::PAN);
    } else if (m_keys.IsControlDown()) {
        UseTemporaryTool(tool_id::MOVE);
    } else if (m_keys.IsAltDown()) {
        const uint32_t current = m_current ? m_current->GetToolID() : 0;
        if (current == tool_id::PEN || current == tool_id::PENC || current == tool_id::BUCT ||
            current == tool_id::GRAD)
            UseTemporaryTool(tool_id::EYED);
    } else if (m_remembered) {
        m_current = m_remembered;
        m_remembered = nullptr;
    }
}

void CToolManager::RefreshCursor(CTamsleyView* view)
{
    if (!view) {
        CMainFrame* frame = MainFrame();
        view = frame ? frame->GetActiveTamsleyView() : nullptr;
    }
    if (view)
        view->RefreshCursor();
}

int CToolManager::OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    UpdateTemporaryTool();
    m_buttonHeld = 1;
    m_gestureView = view;
    if (point)
        m_gesturePoint = {point->x, point->y};
    if (m_current)
        m_current->OnLButtonDown(flags, point, view);
    return 0;
}

int CToolManager::OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    m_buttonHeld = 0;
    m_gestureView = nullptr;
    const int result = m_current ? m_current->OnLButtonUp(flags, point, view) : 0;
    UpdateTemporaryTool();
    return result;
}

int CToolManager::OnLButtonDblClk(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    UpdateTemporaryTool();
    if (m_current)
        m_current->OnLButtonDblClk(flags, point, view);
    return 0;
}

int CToolManager::OnMouseMove(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    if (m_buttonHeld && point && view == m_gestureView)
        m_gesturePoint = {point->x, point->y};
    return m_current ? m_current->OnMouseMove(flags, point, view) : 0;
}

int CToolManager::OnSetCursor(CTamsleyView* view, int32_t x, int32_t y)
{
    return m_current ? m_current->OnSetCursor(x, y, view) : 0;
}

int CToolManager::OnKeyDown(uint32_t key, uint32_t repeat, uint32_t flags, CTamsleyView* view)
{
    UpdateTemporaryTool();
    RefreshCursor(view);
    return m_current ? m_current->OnKeyDown(VirtualKeyFromQt(int(key)), repeat, flags, view) : 0;
}

int CToolManager::OnKeyUp(uint32_t key, uint32_t repeat, uint32_t flags, CTamsleyView* view)
{
    UpdateTemporaryTool();
    RefreshCursor(view);
    return m_current ? m_current->OnKeyUp(VirtualKeyFromQt(int(key)), repeat, flags, view) : 0;
}

int CToolManager::OnSysKey()
{
    UpdateTemporaryTool();
    RefreshCursor(nullptr);
    return 0;
}

int CToolManager::OnIdle(CTamsleyView* view)
{
    return m_current ? m_current->OnIdle(view) : 0;
}

void CToolManager::OnTimer(CTamsleyView* view)
{
    if (m_current)
        m_current->OnTimer(view);
}

void CToolManager::OnUndo(CTamsleyView* view)
{
    if (m_current)
        m_current->OnUndo(view);
}

void CToolManager::OnRedo(CTamsleyView* view)
{
    if (m_current)
        m_current->OnRedo(view);
}

void CToolManager::OnViewClosing(CTamsleyView* view)
{
    // The release the closing view can no longer send: the tool finishes the gesture while
    // the picture still lives, gives back its editing ticket and is ready for the next one.
    if (!m_buttonHeld || !view || view != m_gestureView)
        return;
    _tagPTzMOUSEPOINT release = {m_gesturePoint.x, m_gesturePoint.y, 0, {}};
    OnLButtonUp(0, &release, view);
}
