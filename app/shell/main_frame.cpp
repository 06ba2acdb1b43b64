// The main frame's windows and commands. Application-level commands go to the
// application object; document commands to the active document's window.
#include "app/shell/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QLayout>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "app/shell/application.h"
#include "app/shell/child_frame.h"
#include "app/shell/current_colours.h"
#include "app/shell/document.h"
#include "app/shell/modal_focus.h"
#include "app/shell/panel_place.h"
#include "app/shell/path_text.h"
#include "app/shell/picture_view.h"
#include "app/shell/recent_files.h"
#include "app/shell/shell_strings.h"
#include "app/shell/view_commands.h"
#include "base/corvane_types.h"

using namespace quorvel;

namespace {

// Buttons of the tool palette and the tools they choose.
struct PaletteTool {
    int id;
    uint32_t tool;
};
constexpr PaletteTool kPaletteTools[] = {
    {1073, PTzFourCC("MAGR")}, {1074, PTzFourCC("MOVE")}, {1075, PTzFourCC("LASF")}, {1076, PTzFourCC("MAGC")},
    {1077, PTzFourCC("PEN ")}, {1078, PTzFourCC("PENC")}, {1079, PTzFourCC("ERAS")}, {1080, PTzFourCC("CLON")},
    {1081, PTzFourCC("SMDG")}, {1082, PTzFourCC("BUCT")}, {1083, PTzFourCC("BLUR")}, {1084, PTzFourCC("SHAP")},
    {1085, PTzFourCC("TEXT")}, {1086, PTzFourCC("EYED")}, {1087, PTzFourCC("PAN ")}, {1088, PTzFourCC("ZOOM")},
    {1090, PTzFourCC("MACI")}, {1094, PTzFourCC("GRAD")},
};

// Each panel slot with its show command and its menu texts while hidden and shown.
struct PanelCommand {
    PanelSlot slot;
    int command;
    int showText;
    int hideText;
};
constexpr PanelCommand kPanelCommands[] = {
    {PanelSlot::Info, ID_VIEW_SHOW_INFO, IDS_SHOW_INFO, IDS_HIDE_INFO},
    {PanelSlot::Layers, ID_VIEW_SHOW_LAYER, IDS_SHOW_LAYER, IDS_HIDE_LAYER},
    {PanelSlot::ToolPalette, ID_VIEW_SHOW_TOOL, IDS_SHOW_TOOL, IDS_HIDE_TOOL},
};

int SlotIndex(PanelSlot slot)
{
    return int(slot);
}

CTamsleyApp* App()
{
    return CTamsleyApp::Get();
}

// The frame's first size: nine tenths of the screen's free area, so that on a large
// screen a picture has room beside the panels, and never under 1024 x 768.
QSize FirstFrameSize(const QScreen* screen)
{
    const QSize least(1024, 768);
    if (!screen)
        return least;
    const QSize free = screen->availableGeometry().size();
    return QSize(free.width() * 9 / 10, free.height() * 9 / 10).expandedTo(least);
}

}  // namespace

CMainFrame::CMainFrame(IPanelProvider* panels, QWidget* parent) : QMainWindow(parent), m_mdi(new QMdiArea(this))
{
    setWindowTitle(LoadShellString(IDS_APP_NAME));
    setObjectName(QStringLiteral("128"));
    setCentralWidget(m_mdi);
    // The room changes with the frame, the tool bar and the options bar.
    m_mdi->viewport()->installEventFilter(this);
    setAcceptDrops(true);
    resize(FirstFrameSize(screen()));
    CreateCommands();
    CreateViewCommands();
    CreateMenus();
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &CMainFrame::UpdateViewCommands);
    UpdateViewCommands();
    // The message pane says "Ready" whenever no command's prompt shows there.
    const QString idle = QStringLiteral("Ready");
    connect(statusBar(), &QStatusBar::messageChanged, this, [this, idle](const QString& message) {
        if (message.isEmpty())
            statusBar()->showMessage(idle);
    });
    statusBar()->showMessage(idle);
    CreatePanels(panels);
    new CModalFocusReturn(this);
}

CMainFrame::~CMainFrame()
{
    // The document windows close after this body, and no command may follow them then.
    disconnect(m_mdi, nullptr, this, nullptr);
    m_mdi->viewport()->removeEventFilter(this);
    // Panels never placed keep the places stored.
    for (PanelSlot slot : {PanelSlot::Layers, PanelSlot::ToolPalette, PanelSlot::Info}) {
        if (QDockWidget* panel = GetPanel(slot); panel && m_panelsPlaced)
            SavePanelRect(slot, panel->frameGeometry());
    }
    delete m_options;
}

QAction* CMainFrame::AddCommand(int id, const QString& text, const QKeySequence& shortcut)
{
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setShortcut(shortcut);
    addAction(action);
    m_actions[id] = action;
    return action;
}

QAction* CMainFrame::Action(int id) const
{
    const auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

void CMainFrame::CreateCommands()
{
    auto onApp = [](void (CTamsleyApp::*command)()) {
        return [command] {
            if (CTamsleyApp* app = App())
                (app->*command)();
        };
    };
    connect(AddCommand(ID_FILE_NEW, QStringLiteral("&New..."), QKeySequence::New), &QAction::triggered, this,
            onApp(&CTamsleyApp::OnFileNew));
    connect(AddCommand(ID_FILE_OPEN, QStringLiteral("&Open..."), QKeySequence::Open), &QAction::triggered,
            this, onApp(&CTamsleyApp::OnFileOpen));
    connect(AddCommand(ID_FILE_CLOSE, QStringLiteral("&Close")), &QAction::triggered, this, [this] {
        if (CChildFrame* child = GetActiveChild())
            child->close();
    });
    connect(AddCommand(ID_FILE_SAVE, QStringLiteral("&Save"), QKeySequence::Save), &QAction::triggered, this,
            onApp(&CTamsleyApp::OnFileSave));
    connect(AddCommand(ID_FILE_SAVE_AS, QStringLiteral("Save &As...")), &QAction::triggered, this,
            onApp(&CTamsleyApp::OnFileSaveAs));
    connect(AddCommand(ID_FILE_PRINT_SETUP, QStringLiteral("P&rint Setup...")), &QAction::triggered, this,
            onApp(&CTamsleyApp::OnFilePrintSetup));
    connect(AddCommand(ID_APP_EXIT, QStringLiteral("E&xit")), &QAction::triggered, this, &CMainFrame::close);
    CreatePrintCommands();
    connect(AddCommand(ID_APP_ABOUT, QStringLiteral("&About Quorvel...")), &QAction::triggered, this,
            onApp(&CTamsleyApp::OnAppAbout));
    connect(AddCommand(ID_FRONT_COLOR, QStringLiteral("Front Color")), &QAction::triggered, this,
            onApp(&CTamsleyApp::OnFrontColor));
    connect(AddCommand(ID_BACK_COLOR, QStringLiteral("Back Color")), &QAction::triggered, this,
            onApp(&CTamsleyApp::OnBackColor));
    connect(AddCommand(ID_BRUSH_PICKER, QStringLiteral("Brush")), &QAction::triggered, this,
            onApp(&CTamsleyApp::OnBrushPicker));
    QAction* random = AddCommand(ID_RANDOM_PRESSURE, QStringLiteral("Random Pressure"));
    random->setCheckable(true);
    connect(random, &QAction::triggered, this, onApp(&CTamsleyApp::OnRandomPressure));
    connect(AddCommand(ID_WINDOW_CASCADE, QStringLiteral("&Cascade")), &QAction::triggered, m_mdi,
            &QMdiArea::cascadeSubWindows);
    connect(AddCommand(ID_WINDOW_TILE, QStringLiteral("&Tile")), &QAction::triggered, m_mdi,
            &QMdiArea::tileSubWindows);
    for (const PanelCommand& panel : kPanelCommands) {
        connect(AddCommand(panel.command, LoadShellString(panel.showText)), &QAction::triggered, this,
                [this, slot = panel.slot] { TogglePanel(slot); });
    }
    for (const PaletteTool& button : kPaletteTools) {
        connect(AddCommand(button.id, QString()), &QAction::triggered, this,
                [this, tool = button.tool] { SelectPaletteTool(tool); });
    }
    connect(AddCommand(ID_SWITCH_COLOR, QStringLiteral("Switch Color")), &QAction::triggered, this, [] {
        if (CImageDataManager* colours = CImageDataManager::GetImageDataManager())
            colours->SwapColors();
    });
    connect(AddCommand(ID_DEFAULT_COLOR, QStringLiteral("Set Default Color")), &QAction::triggered, this, [] {
        if (CImageDataManager* colours = CImageDataManager::GetImageDataManager())
            colours->ResetColors();
    });
    for (int i = 0; i < CRecentFileList::kSize; ++i) {
        QAction* recent = AddCommand(ID_FILE_MRU_FIRST + i, QString());
        connect(recent, &QAction::triggered, this, [i] {
            if (CTamsleyApp* app = App())
                app->OnOpenRecentFile(i);
        });
        m_recentActions << recent;
    }
}

void CMainFrame::CreateViewCommands()
{
    for (const CViewCommand& command : ViewCommands()) {
        QAction* action = AddCommand(command.id, QString::fromLatin1(command.text));
        action->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(command.shortcut)));
        connect(action, &QAction::triggered, this, [this, handler = command.handler] {
            if (CTamsleyView* view = GetActiveTamsleyView())
                (view->*handler)();
            UpdateViewCommands();
        });
    }
}

QMenu* CMainFrame::AddViewMenu(const QString& title, std::initializer_list<int> ids)
{
    QMenu* menu = menuBar()->addMenu(title);
    for (int id : ids) {
        if (id)
            menu->addAction(Action(id));
        else
            menu->addSeparator();
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateViewCommands);
    return menu;
}

void CMainFrame::CreateViewMenus()
{
    // 0 stands for a separator.
    QMenu* edit = AddViewMenu(QStringLiteral("&Edit"), {ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_EDIT_CUT, ID_EDIT_COPY,
                                                        ID_EDIT_PASTE, 0, ID_FILL_COLOR, 0, ID_RESIZE});
    QMenu* rotate = edit->addMenu(QStringLiteral("&Rotate"));
    for (int id : {ID_ROTATE_90CW, ID_ROTATE_90CCW, ID_ROTATE_180})
        rotate->addAction(Action(id));
    edit->addAction(Action(ID_CROP));
    AddViewMenu(QStringLiteral("&Select"), {ID_SELECT_ALL, ID_DESELECT, ID_SELECT_INVERSE, 0, ID_SELECTION_MODE});
    AddViewMenu(QStringLiteral("&Layer"), {ID_LAYER_NEW, ID_LAYER_DELETE, 0, ID_LAYER_MERGE_ALL, ID_LAYER_MERGE_DOWN,
                                           ID_LAYER_CONVERT, 0, ID_LAYER_PROPERTIES, ID_SET_ACTIVE_LAYER,
                                           ID_REFRESH_CACHE});
}

void CMainFrame::CreateMenus()
{
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS})
        m_fileMenu->addAction(Action(id));
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(Action(ID_FILE_PRINT));
    m_fileMenu->addAction(Action(ID_FILE_PRINT_PREVIEW));
    m_fileMenu->addAction(Action(ID_FILE_PRINT_SETUP));
    m_recentSeparator = m_fileMenu->addSeparator();
    m_fileMenu->addActions(m_recentActions);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(Action(ID_APP_EXIT));
    connect(m_fileMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateRecentFiles);
    CreateViewMenus();

    QMenu* view = AddViewMenu(QStringLiteral("&View"), {ID_ZOOM_IN, ID_ZOOM_OUT, 0});
    for (const PanelCommand& panel : kPanelCommands)
        view->addAction(Action(panel.command));
    view->addSeparator();
    view->addAction(Action(ID_RANDOM_PRESSURE));
    QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
    window->addAction(Action(ID_WINDOW_CASCADE));
    window->addAction(Action(ID_WINDOW_TILE));
    menuBar()->addMenu(QStringLiteral("&Help"))->addAction(Action(ID_APP_ABOUT));

    QToolBar* tools = addToolBar(QStringLiteral("Standard"));
    tools->setObjectName(QStringLiteral("59392"));
    tools->setMovable(true);
    Action(ID_FILE_NEW)->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    Action(ID_FILE_OPEN)->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    Action(ID_FILE_SAVE)->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE})
        tools->addAction(Action(id));
    UpdateRecentFiles();
}

QRect CMainFrame::MdiAreaOnScreen() const
{
    return QRect(m_mdi->mapToGlobal(QPoint(0, 0)), m_mdi->size());
}

void CMainFrame::CreatePanels(IPanelProvider* panels)
{
    if (!panels)
        return;
    for (PanelSlot slot : {PanelSlot::Info, PanelSlot::Layers, PanelSlot::ToolPalette}) {
        QWidget* content = panels->CreatePanel(slot, this);
        if (!content)
            continue;
        auto* panel = new QDockWidget(this);
        panel->setObjectName(PanelSettingPrefix(slot));
        panel->setWindowTitle(content->windowTitle());
        panel->setWidget(content);
        panel->setAllowedAreas(Qt::NoDockWidgetArea);
        panel->setFloating(true);
        panel->hide();
        m_panels[SlotIndex(slot)] = panel;
        m_storedEdges[SlotIndex(slot)] = ReadPanelEdges(slot);
    }
}

void CMainFrame::PlacePanels()
{
    m_panelsPlaced = true;
    // The panels' default places are in the area of the documents, clear of the bars
    // above and below it: the bars laid out first.
    if (QLayout* bars = layout())
        bars->activate();
    const QRect area = MdiAreaOnScreen();
    int infoHeight = 0;
    for (PanelSlot slot : {PanelSlot::Info, PanelSlot::Layers, PanelSlot::ToolPalette}) {
        QDockWidget* panel = GetPanel(slot);
        if (!panel)
            continue;
        panel->show();
        const QSize outer = panel->frameGeometry().size();
        QPoint corner;
        switch (slot) {
        case PanelSlot::Info:
            corner = QPoint(area.right() + 1 - outer.width(), area.top());
            break;
        case PanelSlot::Layers:
            corner = QPoint(area.right() + 1 - outer.width(), area.top() + infoHeight);
            break;
        case PanelSlot::ToolPalette:
            corner = area.topLeft();
            break;
        }
        const PTzRECT place = {corner.x(), corner.y(), corner.x() + outer.width(), corner.y() + outer.height()};
        PTzRECT stored;
        if (LoadPanelRect(m_storedEdges[SlotIndex(slot)], place, &stored))
            corner = QPoint(stored.left, stored.top);
        PlaceWindowCorner(panel, corner);
        if (slot == PanelSlot::Info)
            infoHeight = outer.height() + 20;
    }
    // Files named on the command line opened before the panels had their places.
    for (CChildFrame* child : GetChildFrames())
        MoveBesidePalette(child);
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_placementQueued) {
        m_placementQueued = true;
        // After the window system's turn, when the frame's own place on screen is known.
        QTimer::singleShot(0, this, &CMainFrame::PlacePanels);
    }
}

QDockWidget* CMainFrame::GetPanel(PanelSlot slot) const
{
    return m_panels[SlotIndex(slot)];
}

QWidget* CMainFrame::GetToolPaletteControl(int id) const
{
    QDockWidget* palette = GetPanel(PanelSlot::ToolPalette);
    QWidget* content = palette ? palette->widget() : nullptr;
    return content ? content->findChild<QWidget*>(QString::number(id)) : nullptr;
}

void CMainFrame::TogglePanel(PanelSlot slot)
{
    if (QDockWidget* panel = GetPanel(slot))
        panel->setVisible(!panel->isVisible());
    UpdateCommandStates();
}

void CMainFrame::SelectPaletteTool(uint32_t tool)
{
    CTamsleyApp* app = App();
    if (IToolManager* tools = app ? app->GetToolManager() : nullptr)
        tools->SelectTool(tool);
}

void CMainFrame::FocusMainWindow()
{
    // After a click on a floating panel, that panel's window is the active one. The
    // focus goes on to the active view, as a frame window passes its focus, so that keys
    // (the temporary tools' among them) reach the view after a click on a panel.
    activateWindow();
    if (CTamsleyView* view = GetActiveTamsleyView())
        view->setFocus();
    else
        setFocus();
}

void CMainFrame::ShowToolOptions()
{
    bool floated = false;
    QRect place;
    if (m_options) {
        floated = m_options->isFloating();
        place = m_options->frameGeometry();
        delete m_options;
    }
    CTamsleyApp* app = App();
    IToolManager* tools = app ? app->GetToolManager() : nullptr;
    QWidget* content = tools ? tools->CreateOptionsPanel(this) : nullptr;
    if (!content)
        return;
    auto* panel = new QDockWidget(this);
    panel->setObjectName(QStringLiteral("ToolOptions"));
    panel->setAllowedAreas(Qt::TopDockWidgetArea);
    // A bar with a grip at its left end, as a tool bar has: no close box, since only a
    // change of tool brings a panel back.
    panel->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable |
                       QDockWidget::DockWidgetVerticalTitleBar);
    panel->setWidget(content);
    addDockWidget(Qt::TopDockWidgetArea, panel);
    // The options panel sees the frame's events before the frame does.
    installEventFilter(content);
    m_options = panel;
    if (floated) {
        panel->hide();
        panel->setFloating(true);
        PlaceWindowCorner(panel, place.topLeft());
    }
    // Shown now rather than at the layout's next turn, so that the panels placed below the
    // bars at start-up find it there.
    panel->show();
}

CChildFrame* CMainFrame::AddDocument(std::unique_ptr<CTamsleyDoc> document)
{
    auto* child = new CChildFrame(std::move(document));
    m_mdi->addSubWindow(child);
    child->show();
    MoveBesidePalette(child);
    m_mdi->setActiveSubWindow(child);
    return child;
}

void CMainFrame::MoveBesidePalette(CChildFrame* child)
{
    // A window that would open under the tool palette's floating frame opens beside it,
    // so that its title bar and the picture's first columns show.
    QDockWidget* palette = GetPanel(PanelSlot::ToolPalette);
    if (palette && palette->isVisible() && palette->isFloating()) {
        const QRect frame = palette->frameGeometry();
        const QRect over(m_mdi->viewport()->mapFromGlobal(frame.topLeft()), frame.size());
        if (over.intersects(child->geometry()) && over.left() <= child->x())
            child->move(over.right() + 1, child->y());
    }
    child->FitIntoArea(m_mdi->viewport()->size());
}

CChildFrame* CMainFrame::GetActiveChild() const
{
    // The current window stays current while a floating panel or another program has
    // the focus, when the MDI area reports no active one.
    return dynamic_cast<CChildFrame*>(m_mdi->currentSubWindow());
}

CTamsleyView* CMainFrame::GetActiveTamsleyView() const
{
    CChildFrame* child = GetActiveChild();
    return child ? child->GetView() : nullptr;
}

QList<CChildFrame*> CMainFrame::GetChildFrames() const
{
    QList<CChildFrame*> frames;
    for (QMdiSubWindow* window : m_mdi->subWindowList()) {
        if (auto* child = dynamic_cast<CChildFrame*>(window))
            frames << child;
    }
    return frames;
}

void CMainFrame::UpdateCommandStates()
{
    const bool hasDocument = GetActiveChild() != nullptr;
    for (int id : {ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS})
        Action(id)->setEnabled(hasDocument);
    for (const PanelCommand& command : kPanelCommands) {
        QDockWidget* panel = GetPanel(command.slot);
        QAction* action = Action(command.command);
        action->setEnabled(panel != nullptr);
        action->setText(LoadShellString(panel && panel->isVisible() ? command.hideText : command.showText));
    }
    CTamsleyApp* app = App();
    Action(ID_FILE_PRINT_SETUP)->setEnabled(app && app->GetPrintSetup());
    Action(ID_RANDOM_PRESSURE)->setChecked(app && app->IsRandomPressureOn());
    UpdateViewCommands();
}

void CMainFrame::UpdateViewCommands()
{
    CTamsleyView* view = GetActiveTamsleyView();
    for (const CViewCommand& command : ViewCommands())
        Action(command.id)->setEnabled(view && view->IsCommandEnabled(command.id));
    UpdatePrintCommandStates();
}

void CMainFrame::CreatePrintCommands()
{
    // Print and Print Preview are the active view's.
    const auto onView = [this](void (CTamsleyView::*command)()) {
        return [this, command] {
            if (CTamsleyView* view = GetActiveTamsleyView())
                (view->*command)();
        };
    };
    connect(AddCommand(ID_FILE_PRINT, QStringLiteral("&Print"), QKeySequence::Print), &QAction::triggered,
            this, onView(&CTamsleyView::OnFilePrint));
    connect(AddCommand(ID_FILE_PRINT_DIRECT, QStringLiteral("&Print")), &QAction::triggered, this,
            onView(&CTamsleyView::OnFilePrint));
    connect(AddCommand(ID_FILE_PRINT_PREVIEW, QStringLiteral("Print Pre&view...")), &QAction::triggered, this,
            onView(&CTamsleyView::OnFilePrintPreview));
}

void CMainFrame::UpdatePrintCommandStates()
{
    CTamsleyApp* app = App();
    CTamsleyView* view = GetActiveTamsleyView();
    const bool printable = app && app->GetPrintSetup() && view && view->GetPicture();
    for (int id : {ID_FILE_PRINT, ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW})
        Action(id)->setEnabled(printable);
}

void CMainFrame::UpdateRecentFiles()
{
    CTamsleyApp* app = App();
    const QStringList files = app ? app->GetRecentFiles().Files() : QStringList();
    for (int i = 0; i < m_recentActions.size(); ++i) {
        QAction* action = m_recentActions[i];
        action->setVisible(i < files.size());
        if (i < files.size())
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(DisplayText(QFileInfo(files[i]).fileName())));
    }
    m_recentSeparator->setVisible(!files.isEmpty());
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_mdi->viewport() && event->type() == QEvent::Resize) {
        for (CChildFrame* child : GetChildFrames())
            child->FitIntoArea(m_mdi->viewport()->size());
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    for (CChildFrame* child : GetChildFrames()) {
        if (!child->GetDocument()->SaveModified()) {
            event->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(event);
    if (CTamsleyApp* app = App())
        app->OnMainFrameClosed();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    CTamsleyApp* app = App();
    if (!app)
        return;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            app->OpenDocumentFile(TextFromFileUrl(url));
    }
    event->acceptProposedAction();
}
