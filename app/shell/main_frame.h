// CMainFrame: the program's main window. It holds the MDI area of the document windows,
// the menus, toolbar and status bar, the three floating panels at their stored places,
// and the current tool's options panel; it routes the palette's tool and colour
// commands, opens dropped files and asks to save every modified document before it
// closes.
#pragma once

#include <QDockWidget>
#include <QMainWindow>
#include <QPointer>
#include <initializer_list>
#include <map>
#include <memory>

#include "app/shell/panel_place.h"
#include "app/shell/shell_links.h"

class CChildFrame;
class CTamsleyDoc;
class CTamsleyView;
class QAction;
class QMdiArea;
class QMenu;

class CMainFrame : public QMainWindow {
public:
    // The panels come from the provider (may be null: no panels).
    explicit CMainFrame(quorvel::IPanelProvider* panels = nullptr, QWidget* parent = nullptr);
    // Stores the panels' places.
    ~CMainFrame() override;

    // Gives a new or opened document its window in the MDI area, shown and active.
    CChildFrame* AddDocument(std::unique_ptr<CTamsleyDoc> document);
    QMdiArea* GetMdiArea() const { return m_mdi; }
    CChildFrame* GetActiveChild() const;
    CTamsleyView* GetActiveTamsleyView() const;
    // The document windows, in the MDI area's order.
    QList<CChildFrame*> GetChildFrames() const;

    // Puts the current tool's options panel in place of the old one, at the old one's
    // place when that floated; none without a tool manager or a current tool.
    void ShowToolOptions();
    QDockWidget* GetToolOptionsPanel() const { return m_options; }
    // The panel of a slot; null when the provider gave none.
    QDockWidget* GetPanel(quorvel::PanelSlot slot) const;
    // The tool palette's control whose object name is the id, or null.
    QWidget* GetToolPaletteControl(int id) const;
    void FocusMainWindow();

    // The action of a command id, or null.
    QAction* Action(int id) const;
    // Refreshes the enabled state and texts of the commands (the idle turn calls it).
    void UpdateCommandStates();
    // Enables the view's commands, Print and Print Preview too, as the active view's
    // picture allows, every one of them disabled without an active view. Runs when a view
    // becomes active, when its picture announces a change, after each command, before a
    // menu opens and at idle.
    void UpdateViewCommands();
    // Rebuilds the recent-file entries of the File menu.
    void UpdateRecentFiles();

protected:
    // The first time: the panels go to their places once the frame's is known.
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The MDI area's room changed: every document window fits into it anew.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateCommands();
    void CreatePrintCommands();
    void UpdatePrintCommandStates();
    void CreateMenus();
    void CreatePanels(quorvel::IPanelProvider* panels);
    void PlacePanels();
    // Moves a document window that lies under the floating tool palette out beside it.
    void MoveBesidePalette(CChildFrame* child);
    QAction* AddCommand(int id, const QString& text, const QKeySequence& shortcut = {});
    void CreateViewCommands();
    void CreateViewMenus();
    QMenu* AddViewMenu(const QString& title, std::initializer_list<int> ids);
    void TogglePanel(quorvel::PanelSlot slot);
    void SelectPaletteTool(uint32_t tool);
    // The MDI area that holds the documents, below the tool bar and the options bar and
    // above the status bar, in screen coordinates.
    QRect MdiAreaOnScreen() const;

    QMdiArea* m_mdi;
    std::map<int, QAction*> m_actions;
    QMenu* m_fileMenu = nullptr;
    QAction* m_recentSeparator = nullptr;
    QList<QAction*> m_recentActions;
    QPointer<QDockWidget> m_panels[3];
    QPointer<QDockWidget> m_options;
    // Each panel's stored place, read when the panel is made (start-up may then wipe the
    // store; the place comes back at shut-down).
    quorvel::StoredPanelEdges m_storedEdges[3];
    bool m_placementQueued = false;
    bool m_panelsPlaced = false;
};
