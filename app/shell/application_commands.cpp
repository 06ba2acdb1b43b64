// The application's commands and the Random Pressure generator.
#include <QColor>

#include "app/shell/application.h"
#include "app/shell/child_frame.h"
#include "app/shell/current_colours.h"
#include "app/shell/document.h"
#include "app/shell/file_filters.h"
#include "app/shell/main_frame.h"
#include "app/shell/shell_dialogs.h"

using namespace quorvel;

void CTamsleyApp::OnFileNew()
{
    if (!m_mainFrame)
        return;
    auto document = std::make_unique<CTamsleyDoc>();
    document->SetWindow(m_mainFrame);
    if (document->OnNewDocument())
        m_mainFrame->AddDocument(std::move(document));
}

void CTamsleyApp::OnFileOpen()
{
    const std::vector<_tagFTzFILTERINFO> filters = LoadFilters();
    if (filters.empty())
        return;
    const QStringList files = ShellDialogs().AskOpenFileNames(m_mainFrame, QtNameFilters(BuildLoadFilterString(filters)));
    for (const QString& file : files)
        OpenDocumentFile(file);
}

void CTamsleyApp::SaveActive(bool saveAs)
{
    CChildFrame* child = m_mainFrame ? m_mainFrame->GetActiveChild() : nullptr;
    if (!child)
        return;
    CTamsleyDoc* document = child->GetDocument();
    if (saveAs ? document->DoFileSaveAs() : document->DoFileSave()) {
        child->UpdateTitle();
        m_recentFiles.Add(document->GetPathName());
    }
}

void CTamsleyApp::OnFileSave()
{
    SaveActive(false);
}

void CTamsleyApp::OnFileSaveAs()
{
    SaveActive(true);
}

void CTamsleyApp::OnFilePrintSetup()
{
    if (m_printSetup)
        m_printSetup->Run(m_mainFrame);
}

void CTamsleyApp::OnAppAbout()
{
    ShellDialogs().ShowAbout(m_mainFrame);
}

void CTamsleyApp::ChooseColour(bool front)
{
    if (!m_colours)
        return;
    _tagPTzCOLOR colour;
    if (front)
        m_colours->GetFrontColor(&colour);
    else
        m_colours->GetBackColor(&colour);
    QColor chosen(Qt::black);
    if (!ShellDialogs().AskColour(m_mainFrame, &chosen))
        return;
    // The colour's mode and alpha stay; only red, green and blue change.
    colour.components[0] = uint8_t(chosen.red());
    colour.components[1] = uint8_t(chosen.green());
    colour.components[2] = uint8_t(chosen.blue());
    if (front)
        m_colours->SetFrontColor(&colour);
    else
        m_colours->SetBackColor(&colour);
}

void CTamsleyApp::OnFrontColor()
{
    ChooseColour(true);
}

void CTamsleyApp::OnBackColor()
{
    ChooseColour(false);
}

void CTamsleyApp::OnBrushPicker()
{
    if (!m_brushPicker)
        return;
    const uint32_t count = m_brushManager ? m_brushManager->GetBrushCount() : 0;
    uint32_t start = 0;
    const bool brushTool = m_toolManager && m_toolManager->CurrentBrushIndex(&start);
    uint32_t chosen = 0;
    if (m_brushPicker->Pick(m_mainFrame, count, brushTool ? start : 0, &chosen) && chosen < count && brushTool)
        m_toolManager->SetCurrentBrush(chosen);
}

void CTamsleyApp::OnRandomPressure()
{
    m_randomPressureOn = m_randomPressureOn == 0 ? 1 : 0;
}

void CTamsleyApp::OnOpenRecentFile(int index)
{
    const QStringList& files = m_recentFiles.Files();
    if (index < 0 || index >= files.size())
        return;
    const QString path = files[index];
    if (!OpenDocumentFile(path))
        m_recentFiles.Remove(int(m_recentFiles.Files().indexOf(path)));
}

uint8_t CTamsleyApp::GetRandomPressure()
{
    if (!m_randomPressureOn)
        return 255;
    if (m_randomPressure == 0)
        m_randomRising = 1;
    else if (m_randomPressure == 255)
        m_randomRising = 0;
    const int next = m_randomRising ? m_randomPressure + 10 : m_randomPressure - 10;
    m_randomPressure = uint8_t(next > 255 ? 255 : next < 0 ? 0 : next);
    return m_randomPressure;
}
