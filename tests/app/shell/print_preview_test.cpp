// The Print dialog and its page preview driven as a person would, with synthetic mouse
// events: the hit test's order, moves and edge and corner drags (with Center and Fit
// Into Paper), the square-pixel display, the dialog's size rules and buttons on a PDF
// printer, and the Print, Print Preview and Print Setup commands with and without a
// printer.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTest>

#include "app/shell/main_frame.h"
#include "app/shell/picture_view.h"
#include "app/shell/print_dialog.h"
#include "app/shell/print_preview.h"
#include "app/shell/shell_strings.h"
#include "engine/picture/engine_functions.h"
#include "tests/app/shell/print_test_support.h"
#include "tests/app/shell/shell_test_support.h"

using namespace shelltest;
using quorvel::CPrintCaps;
using quorvel::PrintCap;

namespace {

const CPrintCaps kLetter(600, 600, 4800, 6600, 150, 0, 5100, 6600);

// A preview of its own, 400 x 500, shown.
struct ShownPreview {
    ShownPreview(ITzPicture* picture, const quorvel::IPrintMetrics* dc = &kLetter) : preview(nullptr)
    {
        preview.resize(400, 500);
        preview.show();
        (void)QTest::qWaitForWindowExposed(&preview);
        preview.SetPrinterDC(dc);
        preview.SetPicture(picture);
    }
    PTzRECT Shown() const { return preview.PageToControl(preview.GetPictureRect()); }
    QPoint Centre() const
    {
        const PTzRECT s = Shown();
        return QPoint((s.left + s.right) / 2, (s.top + s.bottom) / 2);
    }
    void Drag(QPoint from, QPoint by)
    {
        QTest::mousePress(&preview, Qt::LeftButton, {}, from);
        QTest::mouseMove(&preview, from + by / 2);
        QTest::mouseMove(&preview, from + by);
        QTest::mouseRelease(&preview, Qt::LeftButton, {}, from + by);
    }
    RPrintPreview preview;
};

PTzRECT Rect(const RPrintViewLogic& logic)
{
    return logic.GetPictureRect();
}

TEST(PrintPreview, HitTestTakesCornersThenEdgesThenTheInside)
{
    SizedPicture sized(1000, 800, PelsPerMeter(600), PelsPerMeter(600));
    ShownPreview shown(&sized.picture);
    const PTzRECT s = shown.Shown();
    ASSERT_GT(s.right - s.left, 40);
    const int x0 = s.left, x1 = s.right - 1, y0 = s.top, y1 = s.bottom - 1;
    const QPoint mid = shown.Centre();
    const struct {
        QPoint point;
        RPrintPreview::DragMode mode, centred;
    } cases[] = {
        {{x0, y0}, RPrintPreview::TopLeft, RPrintPreview::TopLeft},
        {{x0 + 3, y0 - 3}, RPrintPreview::TopLeft, RPrintPreview::TopLeft},
        {{x0, y1}, RPrintPreview::BottomLeft, RPrintPreview::BottomLeft},
        {{x1, y0}, RPrintPreview::TopRight, RPrintPreview::TopRight},
        {{x1 + 2, y1 + 3}, RPrintPreview::BottomRight, RPrintPreview::BottomRight},
        {{mid.x(), y0 - 3}, RPrintPreview::TopEdge, RPrintPreview::TopEdge},
        {{mid.x(), y1 + 1}, RPrintPreview::BottomEdge, RPrintPreview::BottomEdge},
        {{x0 - 2, mid.y()}, RPrintPreview::LeftEdge, RPrintPreview::LeftEdge},
        {{x1 + 3, mid.y()}, RPrintPreview::RightEdge, RPrintPreview::RightEdge},
        {{x0 + 4, y0 + 4}, RPrintPreview::Move, RPrintPreview::None},
        {mid, RPrintPreview::Move, RPrintPreview::None},
        {{x1 + 4, mid.y()}, RPrintPreview::None, RPrintPreview::None},
        {{x0 - 4, y0 - 4}, RPrintPreview::None, RPrintPreview::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shown.preview.HitTest(c.point), c.mode) << c.point.x() << "," << c.point.y();
    // The cursor over each part.
    const std::pair<QPoint, Qt::CursorShape> cursors[] = {
        {{x1 + 3, mid.y()}, Qt::SizeHorCursor},  {{mid.x(), y0}, Qt::SizeVerCursor},
        {{x0, y0}, Qt::SizeFDiagCursor},         {{x1, y0}, Qt::SizeBDiagCursor},
        {mid, Qt::SizeAllCursor},                {{x1 + 10, mid.y()}, Qt::ArrowCursor},
    };
    for (const auto& [point, shape] : cursors) {
        QTest::mouseMove(&shown.preview, point);
        EXPECT_EQ(shown.preview.cursor().shape(), shape) << point.x() << "," << point.y();
    }
    shown.preview.SetCenter(true);
    const PTzRECT centred = shown.Shown();
    ASSERT_EQ(centred.left - s.left, 0) << "already centred";
    for (const auto& c : cases)
        EXPECT_EQ(shown.preview.HitTest(c.point), c.centred) << "centred " << c.point.x() << "," << c.point.y();
}

TEST(PrintPreview, MovesAndEdgeDragsKeepTheAspectAndTheNamedSide)
{
    SizedPicture sized(1000, 800, PelsPerMeter(600), PelsPerMeter(600));
    ShownPreview shown(&sized.picture);
    // The page is 500 control pixels high for 6600 printer pixels: 13.2 a control pixel.
    const double scale = 6600.0 / 500;
    const PTzRECT before = Rect(shown.preview);
    const uint32_t resolution = shown.preview.GetPictureDPIX();
    shown.Drag(shown.Centre(), QPoint(20, 10));
    PTzRECT r = Rect(shown.preview);
    EXPECT_NEAR(r.left - before.left, 20 * scale, 1);
    EXPECT_NEAR(r.top - before.top, 10 * scale, 1);
    EXPECT_EQ(shown.preview.GetPictureDPIX(), resolution) << "a move keeps the size";

    // The right edge: the top and left stay, the height follows the width.
    const PTzRECT start = r;
    PTzRECT s = shown.Shown();
    shown.Drag(QPoint(s.right - 1, (s.top + s.bottom) / 2), QPoint(20, 0));
    r = Rect(shown.preview);
    EXPECT_EQ(r.left, start.left);
    EXPECT_EQ(r.top, start.top);
    EXPECT_NEAR(r.right - r.left, 1000 + 20 * scale, 1);
    EXPECT_NEAR(r.bottom - r.top, (r.right - r.left) * 0.8, 1.5);

    // The bottom edge dragged up past the top: the edges swap, the left stays.
    s = shown.Shown();
    const PTzRECT swapped = r;
    shown.Drag(QPoint((s.left + s.right) / 2, s.bottom - 1), QPoint(0, -(s.bottom - s.top) - 10));
    r = Rect(shown.preview);
    EXPECT_EQ(r.left, swapped.left);
    EXPECT_NEAR(r.bottom, swapped.top, 1);
    EXPECT_NEAR(r.bottom - r.top, 10 * scale, scale) << "ten control pixels";
}

TEST(PrintPreview, ACornerFollowsTheSmallerMovementAndKeepsTheOppositeCorner)
{
    const double scale = 6600.0 / 500;
    const struct {
        bool topLeft;  // else bottom right
        QPoint by;
        bool heightFollows;  // the vertical edge operation
    } cases[] = {
        {false, {30, 3}, true},    // mostly across: the bottom edge follows the small drop
        {false, {3, 30}, false},   // mostly down: the right edge follows
        {true, {-30, -3}, true},   // the top edge follows; right and bottom stay
        {true, {-3, -30}, false},
    };
    for (const auto& c : cases) {
        SizedPicture sized(1000, 800, PelsPerMeter(600), PelsPerMeter(600));
        ShownPreview shown(&sized.picture);
        const PTzRECT s = shown.Shown();
        const PTzRECT before = Rect(shown.preview);
        shown.Drag(c.topLeft ? QPoint(s.left, s.top) : QPoint(s.right - 1, s.bottom - 1), c.by);
        const PTzRECT r = Rect(shown.preview);
        const double grown = 3 * scale;
        if (c.heightFollows) {
            EXPECT_NEAR(r.bottom - r.top, 800 + grown, 1.5) << c.by.x() << "," << c.by.y();
            EXPECT_NEAR(r.right - r.left, (800 + grown) * 1.25, 2);
        } else {
            EXPECT_NEAR(r.right - r.left, 1000 + grown, 1.5) << c.by.x() << "," << c.by.y();
        }
        if (c.topLeft) {
            EXPECT_EQ(r.right, before.right);
            EXPECT_EQ(r.bottom, before.bottom);
        } else {
            EXPECT_EQ(r.left, before.left);
            EXPECT_EQ(r.top, before.top);
        }
    }
}

TEST(PrintPreview, CentredPicturesResizeAboutTheirMiddleAndFittedOnesStayOnThePaper)
{
    SizedPicture sized(1000, 800, PelsPerMeter(600), PelsPerMeter(600));
    ShownPreview shown(&sized.picture);
    shown.preview.SetCenter(true);
    const PTzRECT before = Rect(shown.preview);
    PTzRECT s = shown.Shown();
    shown.Drag(shown.Centre(), QPoint(40, 40));  // no move while centred
    EXPECT_EQ(Rect(shown.preview), before);
    shown.Drag(QPoint(s.right - 1, (s.top + s.bottom) / 2), QPoint(20, 0));
    PTzRECT r = Rect(shown.preview);
    EXPECT_NEAR(r.left + r.right, before.left + before.right, 2);
    EXPECT_NEAR(r.top + r.bottom, before.top + before.bottom, 2);
    EXPECT_GT(r.right - r.left, 1400);

    // Fit Into Paper does not enlarge, and pulls an edge dragged off the paper back.
    shown.preview.SetCenter(false);
    const PTzRECT small = Rect(shown.preview);
    shown.preview.SetFitIntoPaper(true);
    EXPECT_EQ(Rect(shown.preview), small);
    s = shown.Shown();
    shown.Drag(QPoint(s.right - 1, (s.top + s.bottom) / 2), QPoint(500, 0));
    r = Rect(shown.preview);
    EXPECT_GE(r.left, 0);
    EXPECT_LE(r.right, 4801);
    EXPECT_LE(r.bottom, 6601);
    EXPECT_NEAR(r.right - r.left, 4800, 2) << "the width limits";
}

TEST(PrintPreview, ANewPictureOrPrinterStartsFittedAndCentred)
{
    SizedPicture large(10000, 8000);  // 72 dpi: 83,333 x 66,667 printer pixels
    ShownPreview shown(&large.picture);
    PTzRECT r = Rect(shown.preview);
    EXPECT_NEAR(r.right - r.left, 4800, 1);
    EXPECT_NEAR(r.left + r.right, 4800, 1);
    EXPECT_NEAR(r.top + r.bottom, 6600, 1);
    // A smaller page shrinks it again, now by the height; a larger one only centres it.
    const CPrintCaps small(600, 600, 3000, 2000, 0, 0, 3000, 2000);
    shown.preview.SetPrinterDC(&small);
    r = Rect(shown.preview);
    EXPECT_NEAR(r.bottom - r.top, 2000, 1);
    EXPECT_NEAR(r.left + r.right, 3000, 1);
    shown.preview.SetPrinterDC(&kLetter);
    const PTzRECT kept = Rect(shown.preview);
    EXPECT_EQ(kept.right - kept.left, r.right - r.left);
    EXPECT_NEAR(kept.left + kept.right, 4800, 1);
    EXPECT_NEAR(kept.top + kept.bottom, 6600, 1);
}

TEST(PrintPreview, UnequalResolutionsAreShownInSquarePixels)
{
    // 300 x 600 dpi: Letter is 2550 x 6600 device pixels, 8.5 x 11 inches.
    const CPrintCaps coarse(300, 600, 2550, 6600, 0, 0, 2550, 6600);
    SizedPicture sized(200, 200, PelsPerMeter(100), PelsPerMeter(100));  // 2 x 2 inches
    ShownPreview shown(&sized.picture, &coarse);
    const PTzRECT page = shown.preview.GetPageRectInControl();
    EXPECT_NEAR(double(page.right - page.left) / (page.bottom - page.top), 8.5 / 11, 0.01);
    const PTzRECT picture = shown.Shown();
    EXPECT_NEAR(picture.right - picture.left, picture.bottom - picture.top, 1);
    EXPECT_NEAR(double(picture.right - picture.left) / (page.right - page.left), 2 / 8.5, 0.01);
}

TEST(PrintDialog, KeepsItsMinimumAndMovesItsControlsWithItsSize)
{
    R_PrintPreDlg dialog(nullptr);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.resize(200, 100);
    QCoreApplication::processEvents();
    EXPECT_GE(dialog.width(), 400);
    EXPECT_GE(dialog.height(), 300);
    const auto geometry = [&](const char* id) { return dialog.findChild<QWidget*>(id)->geometry(); };
    dialog.resize(600, 450);
    QCoreApplication::processEvents();
    const QRect print = geometry("1"), pageSetup = geometry("1147"), centre = geometry("1155"),
                outline = geometry("1149"), preview = geometry("1148");
    dialog.resize(700, 520);
    QCoreApplication::processEvents();
    EXPECT_EQ(geometry("1").topLeft(), print.topLeft() + QPoint(100, 0));
    EXPECT_EQ(geometry("1147").topLeft(), pageSetup.topLeft() + QPoint(100, 0));
    EXPECT_EQ(geometry("1155").topLeft(), centre.topLeft() + QPoint(0, 70));
    EXPECT_EQ(geometry("1149").topLeft(), outline.topLeft() + QPoint(100, 70));
    EXPECT_EQ(geometry("1148").size(), preview.size() + QSize(100, 70));
}

struct PrintFolder {
    TempFolder folder;
    QString Path(const char* name) const { return QString::fromStdString(folder.Item(name)); }
};

TEST(PrintDialog, PrintWritesThePageAndStaysOpen)
{
    PrintFolder files;
    const std::unique_ptr<CApplicationPrinter> printer = PdfApplicationPrinter(files.Path("page.pdf"));
    CTamsleyDoc document;
    document.SetPictureHandle(MakeArgbPicture(64, 48, [](int x, int) { return x < 32 ? 0xFFFF0000u : 0x00000000u; }));
    document.SetPathName(files.Path("picture.bmp"));
    R_PrintPreDlg dialog(printer.get());
    dialog.SetDocument(&document);
    dialog.show();
    ASSERT_NE(dialog.GetPrinterDC(), nullptr);
    dialog.findChild<QPushButton*>("1")->click();
    EXPECT_TRUE(IsPdf(files.Path("page.pdf")));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.GetPrinterDC()->GetPrinter()->docName(), files.Path("picture.bmp"));
}

TEST(PrintDialog, AFailingStartOrNoPrinterPrintsNothing)
{
    PrintFolder files;
    CTamsleyDoc document;
    document.SetPictureHandle(MakeArgbPicture(16, 16, [](int, int) { return 0xFF00FF00u; }));
    // A PDF file that cannot be made: begin() fails and nothing stays open.
    const std::unique_ptr<CApplicationPrinter> unwritable =
        PdfApplicationPrinter(files.Path("missing-folder/page.pdf"));
    R_PrintPreDlg failing(unwritable.get());
    failing.SetDocument(&document);
    failing.OnPrint();
    EXPECT_FALSE(QFile::exists(files.Path("missing-folder/page.pdf")));
    EXPECT_NE(failing.GetPrinterDC()->GetPrinter()->printerState(), QPrinter::Active);
    // No printer: no DC, a grey preview, and Print does nothing.
    CApplicationPrinter none(std::make_unique<NoPrinterSource>());
    R_PrintPreDlg without(&none);
    without.SetDocument(&document);
    without.OnPrint();
    EXPECT_EQ(without.GetPrinterDC(), nullptr);
    RPrintPreview* preview = without.GetPreview();
    preview->resize(100, 100);
    const QImage grabbed = preview->grab().toImage();
    EXPECT_EQ(grabbed.pixel(50, 50), qRgb(0x80, 0x80, 0x80));
    EXPECT_TRUE(QDir(QString::fromStdString(files.folder.path())).isEmpty());
}

TEST(PrintDialog, PageSetupRenewsTheLayoutOnlyWhenAccepted)
{
    PrintFolder files;
    ScopedDialogs dialogs;
    const std::unique_ptr<CApplicationPrinter> printer = PdfApplicationPrinter(files.Path("page.pdf"));
    CTamsleyDoc document;
    document.SetPictureHandle(MakeArgbPicture(3000, 2000, [](int, int) { return 0xFF0000FFu; }));
    R_PrintPreDlg dialog(printer.get());
    dialog.SetDocument(&document);
    const quorvel::CPrinterDC* first = dialog.GetPrinterDC();
    const PTzRECT before = Rect(*dialog.GetPreview());
    dialogs->printerSetup = [](QPrinter*) { return false; };
    dialog.findChild<QPushButton*>("1147")->click();
    EXPECT_EQ(dialogs->printerSetups, 1);
    EXPECT_EQ(dialog.GetPrinterDC(), first);
    EXPECT_EQ(Rect(*dialog.GetPreview()), before);
    // Accepted with the page turned: a new DC, and the picture (still fitting) centred on it.
    dialogs->printerSetup = [](QPrinter* chosen) {
        chosen->setPageOrientation(QPageLayout::Landscape);
        return true;
    };
    dialog.OnPageSetup();
    EXPECT_EQ(dialogs->printerSetups, 2);
    ASSERT_NE(dialog.GetPrinterDC(), nullptr);
    EXPECT_EQ(dialog.GetPrinterDC()->GetDeviceCaps(PrintCap::HorzRes), 6300);
    const PTzRECT after = Rect(*dialog.GetPreview());
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_NEAR(after.left + after.right, 6300, 1);
    EXPECT_NEAR(after.top + after.bottom, 5100, 1);
}

// The application with the printer the test gives.
CShellParts PartsWithPrinter(std::function<std::unique_ptr<quorvel::IPrintSetup>()> printer)
{
    CShellParts parts;
    parts.printSetup = std::move(printer);
    return parts;
}

TEST(PrintCommands, PrintAndPreviewGoToTheActiveViewsPictureOnTheApplicationsPrinter)
{
    PrintFolder files;
    ScopedDialogs dialogs;
    TestApp test(PartsWithPrinter([&] { return PdfApplicationPrinter(files.Path("print.pdf")); }));
    ASSERT_TRUE(test.app->InitInstance());
    CMainFrame* frame = test.app->GetMainFrame();
    frame->UpdateCommandStates();
    EXPECT_FALSE(frame->Action(quorvel::ID_FILE_PRINT)->isEnabled()) << "no picture yet";
    OpenPicture(frame, MakeArgbPicture(40, 30, [](int, int) { return 0xFF336699u; }), files.Path("picture.bmp"));
    frame->UpdateCommandStates();
    ASSERT_TRUE(frame->Action(quorvel::ID_FILE_PRINT)->isEnabled());
    frame->Action(quorvel::ID_FILE_PRINT)->trigger();
    EXPECT_TRUE(IsPdf(files.Path("print.pdf")));
    EXPECT_TRUE(dialogs->messages.empty()) << "no dialog and no message";

    ITzPicture* shownPicture = nullptr;
    dialogs->modal = [&](QDialog* dialog) {
        auto* print = dynamic_cast<R_PrintPreDlg*>(dialog);
        shownPicture = print ? print->GetPreview()->GetPicture() : nullptr;
        return int(QDialog::Rejected);
    };
    frame->Action(quorvel::ID_FILE_PRINT_PREVIEW)->trigger();
    EXPECT_EQ(dialogs->modalDialogs, 1);
    EXPECT_EQ(shownPicture, frame->GetActiveTamsleyView()->GetPicture());

    dialogs->printerSetup = [](QPrinter* printer) { return printer != nullptr; };
    frame->Action(quorvel::ID_FILE_PRINT_SETUP)->trigger();
    EXPECT_EQ(dialogs->printerSetups, 1);
}

TEST(PrintCommands, WithoutAPrinterOrWhenThePrintCannotStartNothingIsPrinted)
{
    for (const bool unwritable : {false, true}) {
        PrintFolder files;
        ScopedDialogs dialogs;
        const QString path = files.Path("missing-folder/print.pdf");
        TestApp test(PartsWithPrinter([&]() -> std::unique_ptr<quorvel::IPrintSetup> {
            if (unwritable)
                return PdfApplicationPrinter(path);
            return std::make_unique<CApplicationPrinter>(std::make_unique<NoPrinterSource>());
        }));
        ASSERT_TRUE(test.app->InitInstance());
        CMainFrame* frame = test.app->GetMainFrame();
        OpenPicture(frame, MakeArgbPicture(40, 30, [](int, int) { return 0xFF336699u; }), files.Path("picture.bmp"));
        frame->Action(quorvel::ID_FILE_PRINT)->trigger();
        frame->Action(quorvel::ID_FILE_PRINT_DIRECT)->trigger();
        EXPECT_TRUE(dialogs->messages.empty());
        EXPECT_TRUE(QDir(QString::fromStdString(files.folder.path())).isEmpty()) << unwritable;
        if (unwritable)
            continue;
        // Print Setup tells the user there is no printer to set up.
        frame->Action(quorvel::ID_FILE_PRINT_SETUP)->trigger();
        EXPECT_EQ(dialogs->printerSetups, 0);
        EXPECT_EQ(dialogs->messages.size(), 1u);
    }
}

}  // namespace
