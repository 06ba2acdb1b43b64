// CToolManager: owns the twenty tool front-ends, knows the current one, puts a temporary
// tool in its place while Space (the hand), Ctrl (move) or Alt (the eyedropper, over the
// pen, pencil, bucket and gradient) is held, and forwards the views' events to the
// current tool, ending a gesture whose view closes before its release. The application
// owns one from start-up to exit; it loads every tool's options and the current tool at
// start-up and stores them when it is deleted.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/shell/shell_links.h"
#include "app/ui/tool_key_state.h"
#include "base/geometry.h"

class CToolBase;

class CToolManager : public quorvel::IToolManager, public quorvel::IViewTools {
public:
    // Makes the tools; TEXT, the last made, is current until the settings are loaded.
    CToolManager();
    // Stores the options and the current tool, then deletes the tools.
    ~CToolManager() override;
    CToolManager(const CToolManager&) = delete;
    CToolManager& operator=(const CToolManager&) = delete;

    // The application's tool manager, or null.
    static CToolManager* GetToolManager();

    // The first tool with the id, or null.
    CToolBase* FindTool(uint32_t id) const;
    CToolBase* GetCurrentTool() const { return m_current; }
    // The tool a temporary tool stands in for, or null.
    CToolBase* GetRememberedTool() const { return m_remembered; }
    const CToolKeyState& GetKeyState() const { return m_keys; }

    // The user's choice of a tool: the error log learns it, the tool the user had is
    // deactivated and the new one activated, its options panel shown; under a temporary
    // tool the choice is what comes back when the key is let go. The focus goes to the
    // main window in every case. Nonzero when a tool is current.
    int SelectTool(uint32_t id) override;
    // Every tool's options, then the current tool. (Brush indexes are settled against the
    // library when a tool is activated, whatever the library's load gave.)
    void LoadSettings(int brushesLoaded) override;
    void SaveSettings();
    // "Current_Tool", MAGR when missing; a stored id that changes nothing leaves the tool
    // current then activated.
    void LoadCurrentTool();
    void SaveCurrentTool();

    QWidget* CreateOptionsPanel(QWidget* parent) override;
    bool CurrentBrushIndex(uint32_t* index) override;
    void SetCurrentBrush(uint32_t index) override;
    quorvel::IViewTools* GetViewTools() override { return this; }

    // The views' events. Keys arrive as Qt::Key codes and reach the tools as virtual keys.
    int OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnLButtonDblClk(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnMouseMove(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnSetCursor(CTamsleyView* view, int32_t x, int32_t y) override;
    int OnKeyDown(uint32_t key, uint32_t repeat, uint32_t flags, CTamsleyView* view) override;
    int OnKeyUp(uint32_t key, uint32_t repeat, uint32_t flags, CTamsleyView* view) override;
    int OnSysKey() override;
    int OnIdle(CTamsleyView* view) override;
    void OnTimer(CTamsleyView* view) override;
    void OnUndo(CTamsleyView* view) override;
    void OnRedo(CTamsleyView* view) override;
    // A gesture still running in the view is released where the pointer was last seen.
    void OnViewClosing(CTamsleyView* view) override;

private:
    void CreateTools();
    // Swaps the temporary tool in or out by the held keys; nothing while the button is held.
    void UpdateTemporaryTool();
    void UseTemporaryTool(uint32_t id);
    // Asks the current tool for the cursor over the view (the main frame's active view
    // when none is given).
    void RefreshCursor(CTamsleyView* view);
    // The tool the user chose: the remembered one under a temporary tool.
    CToolBase* ChosenTool() const { return m_remembered ? m_remembered : m_current; }

    CToolBase* m_remembered = nullptr;
    CToolBase* m_current = nullptr;
    std::vector<std::unique_ptr<CToolBase>> m_tools;
    uint32_t m_buttonHeld = 0;
    // The view of the running gesture and its last client point.
    CTamsleyView* m_gestureView = nullptr;
    PTzPOINT m_gesturePoint = {0, 0};
    CToolKeyState m_keys;
};
