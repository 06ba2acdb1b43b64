// Start-up, shut-down, the idle turn and opening files.
#include "app/shell/application.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFileInfo>
#include <QMdiArea>
#include <new>

#include "app/shell/child_frame.h"
#include "app/shell/current_colours.h"
#include "app/shell/document.h"
#include "app/shell/error_log.h"
#include "app/shell/error_text.h"
#include "app/shell/idle_manager.h"
#include "app/shell/info_data.h"
#include "app/shell/main_frame.h"
#include "app/shell/path_text.h"
#include "app/shell/picture_view.h"
#include "app/shell/settings_store.h"
#include "app/shell/shell_dialogs.h"
#include "app/shell/shell_strings.h"
#include "base/error_codes.h"
#include "base/font_list.h"
#include "engine/picture/engine_functions.h"

using namespace quorvel;

namespace {

CTamsleyApp* instance = nullptr;

// A part made by its maker, or null without one.
template <typename Part>
std::unique_ptr<Part> Make(const std::function<std::unique_ptr<Part>()>& maker)
{
    return maker ? maker() : nullptr;
}

// A manager of the shell's own, or null when memory is short.
template <typename Manager>
std::unique_ptr<Manager> MakeOwn()
{
    return std::unique_ptr<Manager>(new (std::nothrow) Manager());
}

}  // namespace

CTamsleyApp::CTamsleyApp(CShellParts parts) : m_parts(std::move(parts))
{
    if (!m_parts.uninitEngine)
        m_parts.uninitEngine = [] { ITzUninit(); };
    if (!m_parts.exitProgram)
        m_parts.exitProgram = [] { QCoreApplication::quit(); };
    if (!instance)
        instance = this;
}

CTamsleyApp::~CTamsleyApp()
{
    {
        // Everything the frame and the managers write back goes to the store at once.
        CSettingsBatch shutDown(AppSettings());
        // The documents die with the main window, before any manager they might reach.
        delete m_mainFrame;
        m_mainFrame = nullptr;
        m_clipboard.reset();
        m_colours.reset();
        m_idleManager.reset();
        m_toolManager.reset();
        m_brushManager.reset();
        m_errorLog.reset();
        m_infoData.reset();
        m_fontManager.reset();
        m_support.reset();
        m_brushPicker.reset();
        m_panels.reset();
        m_printSetup.reset();
        m_viewEditing.reset();
        m_viewDialogs.reset();
    }
    // Last, since pictures still alive would need the plug-ins it unloads.
    m_parts.uninitEngine();
    if (instance == this)
        instance = nullptr;
}

CTamsleyApp* CTamsleyApp::Get()
{
    return instance;
}

void CTamsleyApp::CreateManagers()
{
    if (!m_toolManager)
        m_toolManager = Make(m_parts.toolManager);
    if (!m_idleManager)
        m_idleManager = MakeOwn<CRIdleManager>();
    if (!m_colours)
        m_colours = MakeOwn<CImageDataManager>();
    if (!m_brushManager)
        m_brushManager = Make(m_parts.brushManager);
    if (!m_clipboard)
        m_clipboard = Make(m_parts.clipboardBridge);
    if (!m_errorLog)
        m_errorLog = MakeOwn<Quorvel_ERROR>();
    if (!m_infoData)
        m_infoData = MakeOwn<RInfoData>();
    if (!m_support)
        m_support = Make(m_parts.applicationSupport);
    m_brushPicker = Make(m_parts.brushPicker);
    m_panels = Make(m_parts.panels);
    m_printSetup = Make(m_parts.printSetup);
    m_viewEditing = Make(m_parts.viewEditing);
    m_viewDialogs = Make(m_parts.viewDialogs);
}

bool CTamsleyApp::InitInstance(const std::vector<QByteArray>& arguments)
{
    {
        // Start-up's writes reach the store at once, at the end of this block.
        CSettingsBatch startUp(AppSettings());
        m_recentFiles.Load();
        CreateManagers();
        m_mainFrame = new (std::nothrow) CMainFrame(m_panels.get());
        if (!m_mainFrame)
            return false;
        m_mainFrame->show();
        const int brushesLoaded = m_brushManager ? m_brushManager->Load() : 0;
        if (m_toolManager)
            m_toolManager->LoadSettings(brushesLoaded);
        // After the colours, panel places, brushes and tools have read their settings: a
        // wiped store is filled again from them at shut-down.
        CheckSettingsVersion();
    }
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, &m_connections, [this](Qt::ApplicationState state) {
        if (m_clipboard)
            m_clipboard->OnAppActivate(state == Qt::ApplicationActive);
    });
    ConnectIdlePump();
    OpenCommandLine(arguments);
    return true;
}

void CTamsleyApp::ConnectIdlePump()
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher)
        return;
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &m_connections, [this, dispatcher] {
        // A modal dialog runs its own loop; the work behind it waits.
        if (QApplication::activeModalWidget())
            return;
        if (OnIdle())
            dispatcher->wakeUp();
        else if (m_mainFrame)
            m_mainFrame->UpdateCommandStates();
    });
}

int CTamsleyApp::OnIdle()
{
    return m_idleManager ? m_idleManager->RunAll() : 0;
}

PTzFontManager* CTamsleyApp::GetFontManager()
{
    if (!m_fontManager) {
        m_fontManager.reset(new (std::nothrow) PTzFontManager());
        if (m_fontManager)
            m_fontManager->Init();
    }
    return m_fontManager.get();
}

void CTamsleyApp::OpenCommandLine(const std::vector<QByteArray>& arguments)
{
    for (const QByteArray& argument : arguments) {
        QString path;
        if (TextFromSystemBytes(argument, &path)) {
            OpenDocumentFile(QFileInfo(path).absoluteFilePath());
            continue;
        }
        ShellDialogs().ShowMessage(m_mainFrame, FileErrorMessage(IDS_COULD_NOT_OPEN, path, PTzGetLastError()),
                                   MessageButtons::Ok);
    }
}

CTamsleyDoc* CTamsleyApp::OpenDocumentFile(const QString& path)
{
    if (!m_mainFrame)
        return nullptr;
    for (CChildFrame* child : m_mainFrame->GetChildFrames()) {
        const QString open = child->GetDocument()->GetPathName();
        if (!open.isEmpty() && (open == path || SameExistingFile(open, path))) {
            m_mainFrame->GetMdiArea()->setActiveSubWindow(child);
            return child->GetDocument();
        }
    }
    auto document = std::make_unique<CTamsleyDoc>();
    document->SetWindow(m_mainFrame);
    if (!document->OnOpenDocument(path))
        return nullptr;
    CChildFrame* child = m_mainFrame->AddDocument(std::move(document));
    child->GetView()->FitFrameToPicture();
    m_recentFiles.Add(path);
    return child->GetDocument();
}

void CTamsleyApp::OnMainFrameClosed()
{
    m_parts.exitProgram();
}
