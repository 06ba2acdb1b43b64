// CTamsleyApp: Quorvel's one application object. It owns the shell's managers from
// start-up to shut-down, creates the main frame, opens the files of the command line,
// drives the idle turn, and handles the commands that need no view: New, Open, Save,
// Print Setup, About, the colour dialogs, the brush picker and Random Pressure.
//
// Start-up checks the settings' version once the managers, the frame and the tools have
// read theirs, so a stale store loses nothing they hold. Shut-down goes in a fixed
// order: the main frame with every document, then the managers, then the engine's
// process-wide objects; the settings they write back are stored in one batch.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "app/shell/recent_files.h"
#include "app/shell/shell_links.h"

class CImageDataManager;
class CMainFrame;
class CRIdleManager;
class CTamsleyDoc;
class PTzFontManager;
class Quorvel_ERROR;
class RInfoData;

// What start-up is given besides its own managers: the makers of the parts that later
// work supplies (each may be empty or give null), and the two calls that end things.
struct CShellParts {
    std::function<std::unique_ptr<quorvel::IToolManager>()> toolManager;
    std::function<std::unique_ptr<quorvel::IBrushManager>()> brushManager;
    std::function<std::unique_ptr<quorvel::IBrushPicker>()> brushPicker;
    std::function<std::unique_ptr<quorvel::IClipboardBridge>()> clipboardBridge;
    std::function<std::unique_ptr<quorvel::IPanelProvider>()> panels;
    std::function<std::unique_ptr<quorvel::IPrintSetup>()> printSetup;
    std::function<std::unique_ptr<quorvel::IApplicationSupport>()> applicationSupport;
    std::function<std::unique_ptr<quorvel::IViewEditing>()> viewEditing;
    std::function<std::unique_ptr<quorvel::IViewDialogs>()> viewDialogs;
    // Tears down the engine's process-wide objects (ITzUninit unless given).
    std::function<void()> uninitEngine;
    // Ends the event loop once the main frame has closed (QCoreApplication::quit unless given).
    std::function<void()> exitProgram;
};

class CTamsleyApp {
public:
    explicit CTamsleyApp(CShellParts parts = {});
    ~CTamsleyApp();
    CTamsleyApp(const CTamsleyApp&) = delete;
    CTamsleyApp& operator=(const CTamsleyApp&) = delete;

    // The application object (the first one made), or null outside its life.
    static CTamsleyApp* Get();

    // Start-up; the arguments are the command line's bytes after the program's name,
    // each a file to open. False when the main frame cannot be made.
    bool InitInstance(const std::vector<QByteArray>& arguments = {});
    // One idle turn: every idle handler runs; nonzero when any wants more time.
    int OnIdle();

    quorvel::IToolManager* GetToolManager() const { return m_toolManager.get(); }
    CRIdleManager* GetIdleManager() const { return m_idleManager.get(); }
    CImageDataManager* GetColours() const { return m_colours.get(); }
    quorvel::IBrushManager* GetBrushManager() const { return m_brushManager.get(); }
    quorvel::IClipboardBridge* GetClipboardBridge() const { return m_clipboard.get(); }
    Quorvel_ERROR* GetErrorLog() const { return m_errorLog.get(); }
    RInfoData* GetInfoData() const { return m_infoData.get(); }
    quorvel::IPrintSetup* GetPrintSetup() const { return m_printSetup.get(); }
    quorvel::IPanelProvider* GetPanels() const { return m_panels.get(); }
    quorvel::IViewEditing* GetViewEditing() const { return m_viewEditing.get(); }
    quorvel::IViewDialogs* GetViewDialogs() const { return m_viewDialogs.get(); }
    // Made and filled with the installed font families on the first call; null when it
    // cannot be made.
    PTzFontManager* GetFontManager();
    CMainFrame* GetMainFrame() const { return m_mainFrame; }
    CRecentFileList& GetRecentFiles() { return m_recentFiles; }

    // Opens a file as a document, or brings the window that has it open to the front:
    // the document, or null when it could not be opened (the user was told why).
    CTamsleyDoc* OpenDocumentFile(const QString& path);

    // Commands.
    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnFilePrintSetup();
    void OnAppAbout();
    void OnFrontColor();
    void OnBackColor();
    void OnBrushPicker();
    void OnRandomPressure();
    void OnOpenRecentFile(int index);
    // The main frame has closed: the program ends.
    void OnMainFrameClosed();

    // The next pen pressure: 255 while Random Pressure is off, else a triangle wave
    // 0, 10, ... 250, 255, 245, ... 5, 0, 10, ...
    uint8_t GetRandomPressure();
    bool IsRandomPressureOn() const { return m_randomPressureOn != 0; }

private:
    void CreateManagers();
    void ConnectIdlePump();
    void OpenCommandLine(const std::vector<QByteArray>& arguments);
    void ChooseColour(bool front);
    void SaveActive(bool saveAs);

    CShellParts m_parts;
    std::unique_ptr<quorvel::IToolManager> m_toolManager;
    std::unique_ptr<CRIdleManager> m_idleManager;
    std::unique_ptr<CImageDataManager> m_colours;
    std::unique_ptr<quorvel::IBrushManager> m_brushManager;
    std::unique_ptr<quorvel::IClipboardBridge> m_clipboard;
    std::unique_ptr<Quorvel_ERROR> m_errorLog;
    std::unique_ptr<RInfoData> m_infoData;
    std::unique_ptr<PTzFontManager> m_fontManager;
    std::unique_ptr<quorvel::IApplicationSupport> m_support;
    std::unique_ptr<quorvel::IBrushPicker> m_brushPicker;
    std::unique_ptr<quorvel::IPanelProvider> m_panels;
    std::unique_ptr<quorvel::IPrintSetup> m_printSetup;
    std::unique_ptr<quorvel::IViewEditing> m_viewEditing;
    std::unique_ptr<quorvel::IViewDialogs> m_viewDialogs;
    CMainFrame* m_mainFrame = nullptr;
    CRecentFileList m_recentFiles;
    QObject m_connections;  // owns the idle pump's connection

    uint32_t m_randomPressureOn = 0;
    uint8_t m_randomPressure = 0;
    uint32_t m_randomRising = 1;
};
