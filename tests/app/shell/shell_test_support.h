// Helpers of the shell tests: dialogs that answer from the test's script and record what
// the shell asked, an application object that leaves the engine and the event loop
// alone at its end, and small BMP files written byte by byte.
#pragma once

#include <QColor>
#include <QDir>
#include <QImage>
#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/shell/application.h"
#include "app/shell/child_frame.h"
#include "app/shell/document.h"
#include "app/shell/picture_view.h"
#include "app/shell/shell_dialogs.h"
#include "tests/base/temp_folder.h"

// Shows QStrings as text in test failures.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

class CMainFrame;

namespace shelltest {

class FakeDialogs : public quorvel::CShellDialogs {
public:
    // Every message shown, and the answers to give in turn (Cancel once they run out).
    std::vector<QString> messages;
    std::deque<quorvel::MessageAnswer> answers;
    // Files the Open dialog chooses.
    QStringList openFiles;
    // The Save dialog: called with the proposed name and type; false cancels.
    std::function<bool(QString* name, int* filterIndex)> save;
    int saveDialogs = 0;
    QString saveFilter;
    // The colour dialog's choice; cancelled without one.
    bool colourChosen = false;
    QColor colour;
    // The colour the dialog last opened on.
    QColor colourOffered;
    // The New dialog: called with the proposal; false cancels.
    std::function<bool(int32_t* width, int32_t* height, QString* name)> newImage;
    // The progress dialog: the real one, or steps run here (cancelled when asked).
    bool realProgress = false;
    bool cancelProgress = false;
    int progressDialogs = 0;
    // Called when the progress dialog takes over, before any of its steps.
    std::function<void()> onProgress;
    // The printer set-up: called with the printer; false (or none) cancels.
    std::function<bool(QPrinter* printer)> printerSetup;
    int printerSetups = 0;
    // The program's modal dialogs (the Print dialog): called with the dialog instead of
    // its event loop; Rejected without one.
    std::function<int(QDialog* dialog)> modal;
    int modalDialogs = 0;

    quorvel::MessageAnswer ShowMessage(QWidget*, const QString& text, quorvel::MessageButtons,
                                       const QString&) override;
    QStringList AskOpenFileNames(QWidget*, const QStringList&) override { return openFiles; }
    bool AskSaveFileName(QWidget*, const QString&, const QString& filter, QString* name, int* filterIndex) override;
    bool AskColour(QWidget*, QColor* chosen) override;
    bool AskNewImage(QWidget*, int32_t* width, int32_t* height, QString* name) override;
    void ShowAbout(QWidget*) override {}
    void RunProgress(COperationBase& operation) override;
    bool AskPrinterSetup(QWidget*, QPrinter* printer) override
    {
        ++printerSetups;
        return printerSetup && printerSetup(printer);
    }
    int ExecModal(QDialog* dialog) override
    {
        ++modalDialogs;
        return modal ? modal(dialog) : 0;
    }
};

// Installs fake dialogs for its life; Qt's come back afterwards.
class ScopedDialogs {
public:
    ScopedDialogs();
    ~ScopedDialogs();
    FakeDialogs& operator*() const { return *m_fake; }
    FakeDialogs* operator->() const { return m_fake; }

private:
    FakeDialogs* m_fake;
};

// Answers every modal dialog that opens while it lives, from a timer, and counts them:
// for dialogs the shell does not route through the interface (a plug-in's own).
class ModalWatcher {
public:
    explicit ModalWatcher(bool accept);
    ~ModalWatcher();
    int Seen() const { return *m_seen; }

private:
    struct State;
    std::unique_ptr<State> m_state;
    std::shared_ptr<int> m_seen = std::make_shared<int>(0);
};

// An application object whose end leaves the plug-ins loaded (unloading modules that
// link Qt leaks Qt's start-up memory under the sanitizer) unless the parts say what to
// do instead, and the event loop running; exits counts the program's exit calls.
struct TestApp {
    explicit TestApp(CShellParts parts = {});
    std::unique_ptr<CTamsleyApp> app;
    std::shared_ptr<int> exits = std::make_shared<int>(0);
};

// Counts the times a file is put in place by a rename (every synced replace ends in
// one), from its making on; the file's folder is made when missing.
class ReplaceCounter {
public:
    explicit ReplaceCounter(const QString& file);
    ~ReplaceCounter();
    ReplaceCounter(const ReplaceCounter&) = delete;
    ReplaceCounter& operator=(const ReplaceCounter&) = delete;
    // The renames onto the file so far.
    int Count();

private:
    int m_watch = -1;
    QByteArray m_name;
    int m_count = 0;
};

// A BMP file of the pixels: 24-bit, or with palette at 4 bits per pixel (colour indexes
// into the palette), rows bottom-up as BMP files keep them.
std::string Bmp24(const QImage& image);
std::string Bmp4(int width, int height, const std::vector<QRgb>& palette,
                 const std::function<int(int x, int y)>& index);

// The four-colour test picture: 96 x 64 in quadrants red, green, blue, yellow.
std::string FourColourBmp();
QRgb FourColourAt(int x, int y);

// A picture of one ARGB layer whose pixel (x, y) is argb(x, y) (0xAARRGGBB), as its handle.
void* MakeArgbPicture(int32_t width, int32_t height, const std::function<uint32_t(int x, int y)>& argb);
// The pixels of an image layer over a rectangle of picture coordinates, row by row, as
// 0xAARRGGBB (0 where the layer holds nothing).
std::vector<uint32_t> LayerArgb(ITzLayerBase* layer, const PTzRECT& rect);
// The main frame's window of a new document holding the picture, shown and active.
CChildFrame* OpenPicture(CMainFrame* frame, void* picture, const QString& title);

// A view of its own document, outside any main frame, shown with a viewport of the size
// (no frame, no scroll bars on screen); it dies before its document.
struct ShownView {
    ShownView(void* picture, QSize viewport);
    ~ShownView();
    // The viewport as the window shows it now.
    QImage Grab() const;
    std::unique_ptr<CTamsleyDoc> document;
    std::unique_ptr<CTamsleyView> view;
};

// The picture's selection boundary over the view's visible area, read as the view reads
// it: `visible` in viewport coordinates (empty without a selection), whose corner is
// `zoomedCorner` in zoomed coordinates.
struct ViewBoundary {
    QRect visible;
    QPoint zoomedCorner;
    std::vector<bool> bits;  // one a pixel of `visible`, rows top-down
    // Whether the viewport point is a boundary pixel.
    bool At(QPoint client) const;
};
ViewBoundary SelectionBoundaryOnView(CTamsleyView& view);

// The phase p of the selection outline's stripes in an image of the view's viewport:
// every pixel of the picture's selection boundary over the visible area is black where
// (zoomed x + zoomed y + p) mod 8 is under 4 and white elsewhere. -1 when no one phase
// fits them all, or without such pixels.
int StripePhase(CTamsleyView& view, const QImage& shown);

// The outline in an image of the view's viewport against where the selection is, over the
// picture's part of the viewport: boundary pixels neither black nor white (missing),
// pixels off the boundary that differ from the picture composed without an outline
// (strays: an outline left behind), and boundary pixels without both a black and a white
// boundary pixel within kOutlineDashReach pixels on each axis (gaps: a dash that runs on;
// not judged that near the window's edge).
inline constexpr int kOutlineDashReach = 4;
struct OutlineCheck {
    int boundary = 0;
    int missing = 0;
    int stray = 0;
    int gaps = 0;
};
OutlineCheck CheckOutline(CTamsleyView& view, const QImage& shown);
inline std::ostream& operator<<(std::ostream& out, const OutlineCheck& check)
{
    return out << "boundary " << check.boundary << ", missing " << check.missing << ", stray " << check.stray
               << ", gaps " << check.gaps;
}

// The path of a file in the build tree's screenshot folder (made when missing).
QString ScreenshotPath(const QString& name);

// The viewport of a view as the screen shows it, grabbed from the screen (a real X server).
QImage ViewOnScreen(CTamsleyView* view);

// Runs an event loop for the time, as the program's own loop waits: its idle turns run.
void RunEventLoop(int ms);

// Answers the program's modal dialogs through `answer`, each shown first as its modal run
// would show it.
void AnswerModals(ScopedDialogs& dialogs, std::function<int(QDialog&)> answer);

// The names in a folder, sorted, without "." and "..".
QStringList EntriesIn(const std::string& folder);

}  // namespace shelltest
