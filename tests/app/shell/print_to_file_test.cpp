// Printing on a machine without a print queue: the application's printer is then the PDF
// file printer, which asks for its file at each print; the page printed into that file
// is rendered back (pdftoppm) and must show the picture, on the paper, orientation and
// margins chosen in the printer set-up. Qt's own set-up dialog lists the PDF printer, its
// choice reaches the Print dialog's paper, and it asks nothing about the PDF file; a
// queue that refuses a whole layout still gets its paper.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPaintEngine>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/shell/main_frame.h"
#include "app/shell/page_layout_printer.h"
#include "app/shell/print_dialog.h"
#include "app/shell/shell_strings.h"
#include "tests/app/shell/print_test_support.h"
#include "tests/app/shell/shell_test_support.h"

using namespace shelltest;
using quorvel::PrintCap;

namespace {

QPrinterInfo NoQueue()
{
    return {};
}

std::unique_ptr<quorvel::IPrintSetup> PrinterWithoutQueues()
{
    return std::make_unique<CApplicationPrinter>(std::make_unique<quorvel::CSystemPrinterSource>(&NoQueue));
}

// The first page of a PDF file as pdftoppm renders it at 72 dpi (one pixel a point);
// null when it cannot.
QImage RenderedPage(const QString& pdf)
{
    const QString base = pdf + QStringLiteral("-page");
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf,
                  base});
    if (!render.waitForFinished(30000) || render.exitCode() != 0)
        return {};
    return QImage(base + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// The rectangle of the page's pixels that are not white paper.
QRect Inked(const QImage& page)
{
    QRect inked;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) < 240)
                inked |= QRect(x, y, 1, 1);
        }
    }
    return inked;
}

bool Near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) < 12 && std::abs(qGreen(a) - qGreen(b)) < 12 &&
           std::abs(qBlue(a) - qBlue(b)) < 12;
}

// 144 x 96 pixels at 72 dpi, two inches by one and a third: red on the left, blue on
// the right.
void* HalvesPicture()
{
    return MakeArgbPicture(144, 96, [](int x, int) { return x < 72 ? 0xFFFF0000u : 0xFF0000FFu; });
}

struct PrintTest {
    PrintTest() : test(PartsWithQueuelessPrinter())
    {
        EXPECT_TRUE(test.app->InitInstance());
        frame = test.app->GetMainFrame();
        OpenPicture(frame, HalvesPicture(), Path("picture.bmp"));
    }
    static CShellParts PartsWithQueuelessPrinter()
    {
        CShellParts parts;
        parts.printSetup = PrinterWithoutQueues;
        return parts;
    }
    QString Path(const char* name) const { return QString::fromStdString(folder.Item(name)); }
    // The Save dialog answers with the file, or cancels for an empty one.
    void ChooseFile(const QString& file)
    {
        dialogs->save = [this, file](QString* name, int*) {
            offered = *name;
            *name = file;
            return !file.isEmpty();
        };
    }
    TempFolder folder;
    ScopedDialogs dialogs;
    TestApp test;
    CMainFrame* frame = nullptr;
    QString offered;
};

TEST(PrintToFile, WithoutAQueueThePictureIsPrintedIntoThePdfFileTheUserChooses)
{
    PrintTest print;
    // Cancelled: no file and no message.
    print.ChooseFile({});
    print.frame->Action(quorvel::ID_FILE_PRINT)->trigger();
    EXPECT_EQ(print.dialogs->saveDialogs, 1);
    EXPECT_EQ(print.offered, print.Path("picture.pdf"));
    EXPECT_EQ(print.dialogs->saveFilter, quorvel::LoadShellString(quorvel::IDS_PDF_FILTER));
    EXPECT_EQ(EntriesIn(print.folder.path()), QStringList());
    EXPECT_TRUE(print.dialogs->messages.empty());

    print.ChooseFile(print.Path("printed.pdf"));
    print.frame->Action(quorvel::ID_FILE_PRINT)->trigger();
    const QImage page = RenderedPage(print.Path("printed.pdf"));
    ASSERT_FALSE(page.isNull()) << "pdftoppm renders the printed file";
    // A4 at the physical size of the picture, centred: two inches by one and a third.
    EXPECT_EQ(page.size(), QSize(595, 842));
    const QRect picture = Inked(page);
    EXPECT_NEAR(picture.width(), 144, 2);
    EXPECT_NEAR(picture.height(), 96, 2);
    EXPECT_NEAR(picture.center().x(), 595 / 2, 2);
    EXPECT_NEAR(picture.center().y(), 842 / 2, 2);
    EXPECT_TRUE(Near(page.pixel(picture.left() + 30, picture.center().y()), qRgb(255, 0, 0)));
    EXPECT_TRUE(Near(page.pixel(picture.right() - 30, picture.center().y()), qRgb(0, 0, 255)));

    // The next print proposes the same file; Print Setup and the Print dialog work too.
    print.frame->Action(quorvel::ID_FILE_PRINT_DIRECT)->trigger();
    EXPECT_EQ(print.offered, print.Path("printed.pdf"));
    print.dialogs->printerSetup = [](QPrinter* printer) { return printer->outputFormat() == QPrinter::PdfFormat; };
    print.frame->Action(quorvel::ID_FILE_PRINT_SETUP)->trigger();
    EXPECT_EQ(print.dialogs->printerSetups, 1);
    print.ChooseFile(print.Path("from-dialog.pdf"));
    AnswerModals(print.dialogs, [](QDialog& dialog) {
        dialog.findChild<QPushButton*>(QStringLiteral("1"))->click();
        return int(QDialog::Rejected);
    });
    print.frame->Action(quorvel::ID_FILE_PRINT_PREVIEW)->trigger();
    EXPECT_FALSE(Inked(RenderedPage(print.Path("from-dialog.pdf"))).isEmpty());
    EXPECT_TRUE(print.dialogs->messages.empty());
}

TEST(PrintToFile, ThePaperOrientationAndMarginsChosenReachThePreviewAndThePrintedPage)
{
    const struct {
        QPageSize paper;
        QPageLayout::Orientation orientation;
        QMarginsF margins;  // points
        QSize page;         // points
    } cases[] = {
        {QPageSize(QPageSize::Letter), QPageLayout::Portrait, {144, 36, 0, 36}, {612, 792}},
        {QPageSize(QPageSize::A5), QPageLayout::Landscape, {10, 72, 10, 10}, {595, 420}},
    };
    for (const auto& c : cases) {
        PrintTest print;
        print.dialogs->printerSetup = [&c](QPrinter* printer) {
            return printer->setPageLayout(QPageLayout(c.paper, c.orientation, c.margins, QPageLayout::Point));
        };
        print.ChooseFile(print.Path("page.pdf"));
        const quorvel::CPrinterDC* shown = nullptr;
        AnswerModals(print.dialogs, [&](QDialog& dialog) {
            auto& printDialog = static_cast<R_PrintPreDlg&>(dialog);
            printDialog.findChild<QPushButton*>(QStringLiteral("1147"))->click();
            // The preview's paper at the printer's 1200 dpi.
            const QPageLayout chosen(c.paper, c.orientation, c.margins, QPageLayout::Point);
            const QRect paper = chosen.fullRectPixels(1200);
            const QRect printable = chosen.paintRectPixels(1200);
            shown = printDialog.GetPrinterDC();
            EXPECT_NEAR(shown->GetDeviceCaps(PrintCap::PhysicalWidth), paper.width(), 1);
            EXPECT_NEAR(shown->GetDeviceCaps(PrintCap::PhysicalHeight), paper.height(), 1);
            EXPECT_NEAR(shown->GetDeviceCaps(PrintCap::PhysicalOffsetX), printable.left(), 1);
            EXPECT_NEAR(shown->GetDeviceCaps(PrintCap::PhysicalOffsetY), printable.top(), 1);
            EXPECT_NEAR(shown->GetDeviceCaps(PrintCap::HorzRes), printable.width(), 1);
            printDialog.findChild<QPushButton*>(QStringLiteral("1"))->click();
            return int(QDialog::Rejected);
        });
        print.frame->Action(quorvel::ID_FILE_PRINT_PREVIEW)->trigger();
        EXPECT_EQ(print.dialogs->printerSetups, 1);
        const QImage page = RenderedPage(print.Path("page.pdf"));
        EXPECT_EQ(page.size(), c.page);
        // The picture is centred in what the margins leave of the paper.
        const QRect picture = Inked(page);
        EXPECT_NEAR(picture.center().x(), (c.margins.left() + c.page.width() - c.margins.right()) / 2, 2);
        EXPECT_NEAR(picture.center().y(), (c.margins.top() + c.page.height() - c.margins.bottom()) / 2, 2);
    }
}

// Runs `handle` on each modal dialog as it opens, from a timer, until it gives true.
struct ModalScript {
    explicit ModalScript(std::function<void(QDialog*)> handle)
    {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this, handle] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || handled.contains(dialog))
                return;
            handled << dialog;
            handle(dialog);
        });
        timer.start();
    }
    QTimer timer;
    QList<QDialog*> handled;
};

TEST(PrintToFile, PageSetupShowsThePrinterSetUpWhoseChoiceOfPaperReachesThePreview)
{
    TempFolder folder;
    const std::unique_ptr<quorvel::IPrintSetup> printer = PrinterWithoutQueues();
    CTamsleyDoc document;
    document.SetPictureHandle(HalvesPicture());
    R_PrintPreDlg dialog(printer.get());
    dialog.SetDocument(&document);
    QStringList printers;
    ModalScript script([&printers](QDialog* shown) {
        if (auto* setup = qobject_cast<QPrintDialog*>(shown)) {
            auto* list = setup->findChild<QComboBox*>(QStringLiteral("printers"));
            for (int i = 0; list && i < list->count(); ++i)
                printers << list->itemText(i);
            // Its properties hold the paper: they open over it, and it is accepted after.
            QTimer::singleShot(0, setup, [setup] { setup->findChild<QPushButton*>(QStringLiteral("properties"))->click(); });
            QTimer::singleShot(200, setup, [setup] { setup->accept(); });
            return;
        }
        auto* sizes = shown->findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
        if (sizes)
            sizes->setCurrentIndex(sizes->findData(QVariant::fromValue(QPageSize(QPageSize::A5))));
        if (auto* landscape = shown->findChild<QRadioButton*>(QStringLiteral("landscape")))
            landscape->click();
        shown->accept();
    });
    dialog.OnPageSetup();
    EXPECT_TRUE(printers.contains(QStringLiteral("Print to File (PDF)"))) << printers.join(u',').toStdString();
    ASSERT_NE(dialog.GetPrinterDC(), nullptr);
    const QRect a5 = QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape, {}).fullRectPixels(1200);
    EXPECT_NEAR(dialog.GetPrinterDC()->GetDeviceCaps(PrintCap::PhysicalWidth), a5.width(), 1);
    EXPECT_NEAR(dialog.GetPrinterDC()->GetDeviceCaps(PrintCap::PhysicalHeight), a5.height(), 1);
}

TEST(PrintToFile, PrintSetupAsksNothingAboutTheFileEachPrintChooses)
{
    TempFolder folder;
    ScopedDialogs dialogs;
    quorvel::CSystemPrinterSource source(&NoQueue);
    const QString picture = QString::fromStdString(folder.Item("picture.bmp"));
    const QString earlier = QString::fromStdString(folder.Item("earlier.pdf"));
    folder.Write("earlier.pdf", "%PDF-earlier");
    QStringList offered;
    dialogs->save = [&](QString* name, int*) {
        offered << *name;
        *name = earlier;
        return true;
    };
    // OK in each set-up (which a refused OK leaves up, to be closed); every other window
    // is a question of Qt's, answered Yes.
    QStringList questions;
    QTimer script;
    QObject::connect(&script, &QTimer::timeout, [&questions] {
        auto* shown = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!shown || shown->property("answered").toBool())
            return;
        shown->setProperty("answered", true);
        // Clicks from timers of their own: a question Qt asks on OK waits in the click.
        if (auto* setup = qobject_cast<QPrintDialog*>(shown)) {
            QTimer::singleShot(0, setup, [setup] {
                setup->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            });
            QTimer::singleShot(500, setup, [setup] { setup->reject(); });
        } else if (auto* box = qobject_cast<QMessageBox*>(shown)) {
            questions << box->text();
            if (QAbstractButton* yes = box->button(QMessageBox::Yes))
                yes->click();
            else
                box->reject();
        }
    });
    script.start(5);
    for (int print = 0; print < 2; ++print) {
        EXPECT_TRUE(quorvel::CQtShellDialogs().AskPrinterSetup(nullptr, source.GetPrinter()));
        ASSERT_TRUE(source.ChooseOutput(nullptr, picture));
    }
    EXPECT_EQ(questions, QStringList());
    EXPECT_EQ(offered, (QStringList{QString::fromStdString(folder.Item("picture.pdf")), earlier}))
        << "the document's name, then the last print's file";
    EXPECT_EQ(folder.Read("earlier.pdf"), "%PDF-earlier");
}

// A print queue's engine as far as page layouts go: every paper has margins of at least
// 18 points, a whole layout with smaller ones is refused, and paper, orientation and
// margins set one by one are taken (the paper with the queue's margins).
class QueueEngine : public QPrintEngine {
public:
    static constexpr qreal kLeast = 18;

    void setProperty(PrintEnginePropertyKey key, const QVariant& value) override
    {
        switch (key) {
        case PPK_QPageLayout:
            if (Printable(value.value<QPageLayout>()))
                layout = value.value<QPageLayout>();
            break;
        case PPK_QPageSize:
            layout.setPageSize(value.value<QPageSize>(), Least());
            layout.setMargins(Least());
            break;
        case PPK_Orientation:
            layout.setOrientation(QPageLayout::Orientation(value.toInt()));
            break;
        case PPK_QPageMargins: {
            const auto [margins, units] = value.value<QPair<QMarginsF, QPageLayout::Unit>>();
            QPageLayout wanted = layout;
            wanted.setUnits(units);
            if (wanted.setMargins(margins) && Printable(wanted))
                layout = wanted;
            break;
        }
        default:
            break;
        }
    }
    QVariant property(PrintEnginePropertyKey key) const override
    {
        switch (key) {
        case PPK_QPageLayout:
            return QVariant::fromValue(layout);
        case PPK_QPageSize:
            return QVariant::fromValue(layout.pageSize());
        case PPK_Orientation:
            return int(layout.orientation());
        case PPK_QPageMargins:
            return QVariant::fromValue(qMakePair(layout.margins(), layout.units()));
        case PPK_Resolution:
            return 72;
        default:
            return {};
        }
    }
    bool newPage() override { return true; }
    bool abort() override { return true; }
    int metric(QPaintDevice::PaintDeviceMetric) const override { return 72; }
    QPrinter::PrinterState printerState() const override { return QPrinter::Idle; }

    QPageLayout layout{QPageSize(QPageSize::A4), QPageLayout::Portrait, Least(), QPageLayout::Point, Least()};

private:
    static QMarginsF Least() { return {kLeast, kLeast, kLeast, kLeast}; }
    static bool Printable(const QPageLayout& wanted)
    {
        const QMarginsF m = wanted.margins(QPageLayout::Point);
        return m.left() >= kLeast && m.top() >= kLeast && m.right() >= kLeast && m.bottom() >= kLeast;
    }
};

class IdlePaintEngine : public QPaintEngine {
public:
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    Type type() const override { return User; }
};

struct QueuePrinter : CPageLayoutPrinter {
    QueuePrinter() { setEngines(&engine, &paint); }
    QueueEngine engine;
    IdlePaintEngine paint;
};

TEST(PageLayoutPrinter, AQueueThatRefusesTheWholeLayoutStillGetsItsPaperOrientationAndMargins)
{
    const struct {
        QPageLayout wanted;
        QPageLayout printed;
    } cases[] = {
        // Margins the queue prints within: taken whole.
        {QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, {36, 20, 36, 72}, QPageLayout::Point),
         QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, {36, 20, 36, 72}, QPageLayout::Point)},
        // The old paper's narrower margins, as a page set-up keeps them: the paper and
        // the orientation still change, each margin at least the queue's.
        {QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape, {5, 30, 5, 5}, QPageLayout::Point),
         QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape, {18, 30, 18, 18}, QPageLayout::Point)},
        {QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, {1, 1, 1, 1}, QPageLayout::Millimeter),
         QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, {18, 18, 18, 18}, QPageLayout::Point)},
    };
    for (const auto& c : cases) {
        QueuePrinter printer;
        EXPECT_TRUE(printer.setPageLayout(c.wanted)) << c.wanted.pageSize().name().toStdString();
        const QPageLayout now = printer.pageLayout();
        EXPECT_TRUE(now.pageSize().isEquivalentTo(c.printed.pageSize()));
        EXPECT_EQ(now.orientation(), c.printed.orientation());
        const QMarginsF margins = now.margins(QPageLayout::Point);
        const QMarginsF expected = c.printed.margins(QPageLayout::Point);
        EXPECT_NEAR(margins.left(), expected.left(), 0.01);
        EXPECT_NEAR(margins.top(), expected.top(), 0.01);
        EXPECT_NEAR(margins.right(), expected.right(), 0.01);
        EXPECT_NEAR(margins.bottom(), expected.bottom(), 0.01);
    }
}

}  // namespace
