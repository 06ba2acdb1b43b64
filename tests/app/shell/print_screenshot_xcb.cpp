// What a person sees of the Print dialog: a picture larger than a Letter page at 600 dpi,
// shown shrunk and centred on the paper inside the grey surround, with the printable
// area's outline and the picture's frame and corner handles, grabbed from a real X
// server's screen (run under xvfb-run with QT_QPA_PLATFORM=xcb). The PNGs stay in the
// build tree's screenshot folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPixmap>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "app/shell/document.h"
#include "app/shell/print_dialog.h"
#include "app/shell/print_preview.h"
#include "engine/picture/picture.h"
#include "tests/app/shell/print_test_support.h"
#include "tests/app/shell/shell_test_support.h"
#include "tests/app/shell/xcb_sanitizer_suppressions.h"
#include "tests/base/temp_folder.h"

using namespace shelltest;

namespace {

constexpr QRgb kSurround = qRgb(0x80, 0x80, 0x80);

// 6000 x 4000 at 72 dpi (83 x 56 inches): four quadrants.
uint32_t Quadrants(int x, int y)
{
    if (x < 3000)
        return y < 2000 ? 0xFFE03020u : 0xFF2040E0u;
    return y < 2000 ? 0xFF20C040u : 0xFFF0D020u;
}

QImage OnScreen(QWidget* widget)
{
    QScreen* screen = widget->screen();
    const QPoint corner = widget->mapToGlobal(QPoint(0, 0)) - screen->geometry().topLeft();
    return screen->grabWindow(0, corner.x(), corner.y(), widget->width(), widget->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

TEST(PrintScreenshot, ALargePictureShrunkAndCentredOnLetter)
{
    TempFolder folder;
    const std::unique_ptr<CApplicationPrinter> printer =
        PdfApplicationPrinter(QString::fromStdString(folder.Item("page.pdf")));
    CTamsleyDoc document;
    document.SetPictureHandle(MakeArgbPicture(6000, 4000, Quadrants));
    document.GetPicture()->DoPreparePreviewCache();
    R_PrintPreDlg dialog(printer.get());
    dialog.SetDocument(&document);
    dialog.resize(640, 560);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::qWait(200);
    EXPECT_TRUE(dialog.screen()->grabWindow(0).save(ScreenshotPath(QStringLiteral("print_dialog_screen_xcb.png"))));
    RPrintPreview* preview = dialog.GetPreview();
    const QImage shown = OnScreen(preview);
    shown.save(ScreenshotPath(QStringLiteral("print_preview_xcb.png")));

    // The model: fitted to the printable width and centred.
    const PTzRECT placed = preview->GetPictureRect();
    EXPECT_EQ(placed.left, 0);
    EXPECT_EQ(placed.right, 4800);
    EXPECT_NEAR(placed.top + placed.bottom, 6600, 1);
    const PTzRECT page = preview->GetPageRectInControl();
    const PTzRECT printable = preview->PageToControl(preview->GetPrintableRect());
    const PTzRECT picture = preview->PageToControl(placed);

    // The paper on the grey surround: Letter's width across 8.5 of its 11 inches.
    EXPECT_NEAR(double(page.right - page.left) / (page.bottom - page.top), 8.5 / 11, 0.01);
    const int middleY = (picture.top + picture.bottom) / 2;
    EXPECT_EQ(shown.pixel(page.left - 1, middleY), kSurround);
    EXPECT_EQ(shown.pixel(page.right, middleY), kSurround);
    EXPECT_EQ(shown.pixel(page.left + 1, page.top + 5), qRgb(255, 255, 255));
    // The printable area's outline a quarter inch inside the paper's sides.
    EXPECT_EQ(shown.pixel(printable.left, page.top + 5), qRgb(0x80, 0xFF, 0xFF));
    EXPECT_EQ(shown.pixel(printable.right - 1, page.top + 5), qRgb(0x80, 0xFF, 0xFF));
    EXPECT_GT(printable.left, page.left);
    // The picture inside its frame, its colours where the model puts it.
    const int quarterX = picture.left + (picture.right - picture.left) / 4;
    const int quarterY = picture.top + (picture.bottom - picture.top) / 4;
    EXPECT_EQ(shown.pixel(quarterX, quarterY), qRgb(0xE0, 0x30, 0x20));
    EXPECT_EQ(shown.pixel(picture.right - 1 - (quarterX - picture.left), picture.bottom - 1 - (quarterY - picture.top)),
              qRgb(0xF0, 0xD0, 0x20));
    // The handles invert what lies under them: white paper turns black just above the
    // top corners, where only a handle reaches.
    EXPECT_EQ(shown.pixel(quarterX, picture.top - 3), qRgb(255, 255, 255)) << "no handle mid-edge";
    EXPECT_EQ(shown.pixel(picture.left + 1, picture.top - 3), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(picture.right - 2, picture.top - 3), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(picture.left + 1, picture.bottom + 1), qRgb(0, 0, 0));
}

QPrinterInfo NoQueue()
{
    return {};
}

TEST(PrintScreenshot, ThePrinterSetUpOffersThePdfFilePrinterWithoutAQueue)
{
    quorvel::CSystemPrinterSource source(&NoQueue);
    QPrinter* printer = source.GetPrinter();
    ASSERT_EQ(printer->outputFormat(), QPrinter::PdfFormat);
    QStringList printers;
    QString accept;
    QTimer::singleShot(300, [&] {
        auto* setup = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(setup, nullptr);
        setup->screen()->grabWindow(0).save(ScreenshotPath(QStringLiteral("printer_setup_xcb.png")));
        auto* list = setup->findChild<QComboBox*>(QStringLiteral("printers"));
        for (int i = 0; list && i < list->count(); ++i)
            printers << list->itemText(i);
        if (auto* buttons = setup->findChild<QDialogButtonBox*>())
            accept = buttons->button(QDialogButtonBox::Ok)->text();
        setup->reject();
    });
    EXPECT_FALSE(quorvel::CQtShellDialogs().AskPrinterSetup(nullptr, printer));
    EXPECT_TRUE(printers.contains(QStringLiteral("Print to File (PDF)")));
    EXPECT_EQ(accept, QStringLiteral("OK"));
}

}  // namespace
