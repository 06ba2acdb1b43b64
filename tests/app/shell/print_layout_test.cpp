// Where a picture goes on the printed page: the printer DC's caps of a PDF printer, the
// placement of Print, and the Print dialog's page model (resolution and rectangle,
// centring, fitting, keeping inside, the part PrintOnPage prints), on sizes and
// resolutions that overflow 32 and 64 bits.
#include <gtest/gtest.h>

#include <QPainter>
#include <climits>

#include "app/shell/picture_view.h"
#include "app/shell/print_view_logic.h"
#include "tests/app/shell/print_test_support.h"
#include "tests/base/temp_folder.h"

using namespace shelltest;
using quorvel::CPrintCaps;
using quorvel::PrintCap;

namespace {

// The PDF printer's page: 600 dpi Letter, printable 4800 x 6600 at (150, 0) on 5100 x 6600.
const CPrintCaps kLetter(600, 600, 4800, 6600, 150, 0, 5100, 6600);

TEST(PrinterDC, APdfPrinterGivesItsPageAsTheCaps)
{
    TempFolder folder;
    PdfPrinterSource source(QString::fromStdString(folder.Item("page.pdf")));
    const std::unique_ptr<quorvel::CPrinterDC> dc = quorvel::CPrinterDC::Create(source);
    ASSERT_NE(dc, nullptr);
    const std::pair<PrintCap, int32_t> expected[] = {
        {PrintCap::LogPixelsX, 600},    {PrintCap::LogPixelsY, 600},     {PrintCap::HorzRes, 4800},
        {PrintCap::VertRes, 6600},      {PrintCap::PhysicalOffsetX, 150}, {PrintCap::PhysicalOffsetY, 0},
        {PrintCap::PhysicalWidth, 5100}, {PrintCap::PhysicalHeight, 6600},
    };
    for (const auto& [cap, value] : expected)
        EXPECT_EQ(dc->GetDeviceCaps(cap), value) << int(cap);
    NoPrinterSource none;
    EXPECT_EQ(quorvel::CPrinterDC::Create(none), nullptr);
}

TEST(PrintPlacement, AtItsSizeWhenItFitsElseShrunkByTheFillingAxisAndCentred)
{
    TempFolder folder;
    PdfPrinterSource source(QString::fromStdString(folder.Item("page.pdf")));
    const std::unique_ptr<quorvel::CPrinterDC> pdf = quorvel::CPrinterDC::Create(source);
    ASSERT_NE(pdf, nullptr);
    const CPrintCaps coarseAcross(300, 600, 2400, 6600, 0, 0, 2550, 6600);
    const struct {
        const quorvel::IPrintMetrics* dc;
        int32_t width, height;
        uint32_t xPpm, yPpm;
        PTzRECT dest;
    } cases[] = {
        {pdf.get(), 100, 100, PelsPerMeter(72), PelsPerMeter(72), {1983, 2883, 2816, 3716}},
        {pdf.get(), 2480, 3508, PelsPerMeter(300), PelsPerMeter(300), {67, 0, 4732, 6600}},
        {&kLetter, 100, 100, 0, 0, {1983, 2883, 2816, 3716}},      // no resolution: 72 dpi
        {&kLetter, 100, 100, 10, 10, {1983, 2883, 2816, 3716}},    // rounds to 0 dpi: 72 too
        {&kLetter, 30000, 10, 0, 0, {0, 3299, 4800, 3300}},        // the width fills
        {&kLetter, 10, 30000, 0, 0, {2399, 0, 2401, 6600}},        // the height fills
        {&kLetter, 14000, 14000, 0, 0, {0, 900, 4800, 5700}},      // dpi x 256 x width > 2^31
        {&kLetter, 100, 100, UINT32_MAX, UINT32_MAX, {2400, 3300, 2400, 3300}},  // hostile: prints to nothing
        {&kLetter, 1 << 30, 1 << 30, 1, UINT32_MAX, {0, 3300, 4800, 3300}},      // four factors past 2^64
        {&coarseAcross, 600, 600, PelsPerMeter(150), PelsPerMeter(150), {600, 2100, 1800, 4500}},  // 4 x 4 in
    };
    for (const auto& c : cases) {
        SizedPicture sized(c.width, c.height, c.xPpm, c.yPpm);
        PTzRECT sourceRect, dest;
        ASSERT_EQ(CTamsleyView::ComputePrintPlacement(*c.dc, &sized.picture, &sourceRect, &dest), 1);
        EXPECT_EQ(sourceRect, (PTzRECT{0, 0, c.width, c.height}));
        EXPECT_EQ(dest, c.dest) << c.width << " x " << c.height << " at " << c.xPpm << ", " << c.yPpm;
    }
    // Nothing without a printer resolution or a picture.
    SizedPicture sized(100, 100);
    PTzRECT sourceRect = {1, 1, 2, 2}, dest = {1, 1, 2, 2};
    EXPECT_EQ(CTamsleyView::ComputePrintPlacement(CPrintCaps(0, 600, 4800, 6600, 0, 0, 4800, 6600),
                                                   &sized.picture, &sourceRect, &dest),
              0);
    EXPECT_EQ(dest, (PTzRECT{}));
    EXPECT_EQ(CTamsleyView::ComputePrintPlacement(kLetter, nullptr, &sourceRect, &dest), 0);
}

// The model alone, recording what it would print.
class RecordingLogic : public RPrintViewLogic {
public:
    int PrintPart(ITzPicture*, QPainter*, const PTzRECT& source, const PTzRECT& dest) override
    {
        ++prints;
        printedSource = source;
        printedDest = dest;
        return 1;
    }
    int prints = 0;
    PTzRECT printedSource = {};
    PTzRECT printedDest = {};
};

TEST(PrintViewLogic, RectangleAndResolutionMakeARoundTrip)
{
    SizedPicture sized(1000, 500);
    RecordingLogic logic;
    logic.SetPrinterDC(&kLetter);
    logic.SetPicture(&sized.picture);
    logic.SetPictureDPI(150 * 256, 150 * 256);
    EXPECT_EQ(PTzRectWidth(logic.GetPictureRect()), 4000);
    EXPECT_EQ(PTzRectHeight(logic.GetPictureRect()), 2000);
    for (const PTzRECT rect : {PTzRECT{10, 20, 1210, 620}, PTzRECT{-300, 7000, 2700, 8500}, PTzRECT{5, 5, 3005, 1505}}) {
        logic.SetPictureRect(rect);
        EXPECT_EQ(logic.GetPictureRect(), rect);
    }
    // A rectangle without a width or height moves the picture only.
    const uint32_t resolution = logic.GetPictureDPIX();
    logic.SetPictureRect({40, 50, 40, 900});
    EXPECT_EQ(logic.GetPictureDPIX(), resolution);
    EXPECT_EQ(logic.GetPictureRect().left, 40);
    EXPECT_EQ(logic.GetPictureRect().top, 50);
    // 0 stands for 72 dpi.
    logic.SetPictureDPI(0, 0);
    EXPECT_EQ(logic.GetPictureDPIX(), 18432u);
    EXPECT_EQ(logic.GetPictureDPIY(), 18432u);
}

TEST(PrintViewLogic, AResolutionKeepsThePicturesCentre)
{
    SizedPicture sized(1000, 500);
    RecordingLogic logic;
    logic.SetPrinterDC(&kLetter);
    logic.SetPicture(&sized.picture);
    for (uint32_t dpi : {50u, 300u, 1200u, 7u}) {
        logic.SetPictureRect({1000, 1000, 3000, 2000});
        logic.SetPictureDPI(dpi * 256, dpi * 256);
        const PTzRECT r = logic.GetPictureRect();
        EXPECT_NEAR((r.left + r.right) / 2.0, 2000, 1) << dpi;
        EXPECT_NEAR((r.top + r.bottom) / 2.0, 1500, 1) << dpi;
    }
}

TEST(PrintViewLogic, FitShrinksByTheLimitingAxisAndNeverEnlarges)
{
    const struct {
        int32_t width, height;
        PTzRECT fitted;
    } cases[] = {
        {10000, 5000, {0, 2100, 4800, 4500}},      // 83,333 x 41,667 printer pixels: the width limits
        {1000, 10000, {2070, 0, 2730, 6600}},      // the height limits
        {300, 200, {2250, 3200, 2550, 3400}},      // fits at 600 dpi: stays as it is
    };
    for (const auto& c : cases) {
        const uint32_t ppm = c.width == 300 ? PelsPerMeter(600) : 0;
        SizedPicture sized(c.width, c.height, ppm, ppm);
        RecordingLogic logic;
        logic.SetPrinterDC(&kLetter);
        logic.SetPicture(&sized.picture);
        logic.CentrePicture();
        logic.FitIntoPaper();
        EXPECT_EQ(logic.GetPictureRect(), c.fitted) << c.width << " x " << c.height;
    }
}

TEST(PrintViewLogic, KeepInsideMovesBackByTheSmallerDistance)
{
    const struct {
        int32_t left, width;  // across; the picture is 100 high at the top
        int32_t keptLeft;
    } cases[] = {
        {4000, 1000, 3800},   // runs past the end: back by the overhang
        {100, 4900, 0},       // wider than the area: back by its start
        {-300, 1000, 0},      // starts before: forward by its start
        {-300, 4900, -100},   // wider, starting before: forward by the gap at the end
        {-200, 5500, -200},   // covers the whole area: stays
        {0, 1000, 0},
        {3800, 1000, 3800},
    };
    SizedPicture sized(1000, 100, PelsPerMeter(600), PelsPerMeter(600));
    for (const auto& c : cases) {
        RecordingLogic logic;
        logic.SetPrinterDC(&kLetter);
        logic.SetPicture(&sized.picture);
        logic.SetPictureRect({c.left, 0, c.left + c.width, 100 * c.width / 1000});
        logic.KeepInsidePrintable();
        EXPECT_EQ(logic.GetPictureRect().left, c.keptLeft) << c.left << " + " << c.width;
        EXPECT_EQ(logic.GetPictureRect().right - logic.GetPictureRect().left, c.width);
    }
}

TEST(PrintViewLogic, PrintOnPagePrintsThePartOnThePrintableArea)
{
    SizedPicture sized(1000, 800, PelsPerMeter(600), PelsPerMeter(600));
    const struct {
        PTzRECT placed;
        int prints;
        PTzRECT source, dest;
    } cases[] = {
        {{100, 200, 1100, 1000}, 1, {0, 0, 1000, 800}, {100, 200, 1100, 1000}},
        {{-250, 6000, 750, 6800}, 1, {250, 0, 1000, 600}, {0, 6000, 750, 6600}},
        {{4000, -400, 6000, 1200}, 1, {0, 200, 400, 800}, {4000, 0, 4800, 1200}},  // at twice the size
        {{4800, 0, 5800, 800}, 0, {}, {}},                                        // beside the page
        {{-959950, 0, 50, 800}, 1, {999, 0, 1000, 800}, {0, 0, 50, 800}},          // less than a pixel shows: its pixel
    };
    QImage target(8, 8, QImage::Format_RGB32);
    QPainter painter(&target);
    for (const auto& c : cases) {
        RecordingLogic logic;
        logic.SetPrinterDC(&kLetter);
        logic.SetPicture(&sized.picture);
        logic.SetPictureRect(c.placed);
        EXPECT_EQ(logic.PrintOnPage(&painter), c.prints);
        EXPECT_EQ(logic.prints, c.prints);
        if (c.prints) {
            EXPECT_EQ(logic.printedSource, c.source) << c.placed;
            EXPECT_EQ(logic.printedDest, c.dest) << c.placed;
        }
    }
    RecordingLogic unset;
    EXPECT_EQ(unset.PrintOnPage(&painter), 0);
}

TEST(PrintViewLogic, HostileSizesAndResolutionsStayInRange)
{
    RecordingLogic logic;
    logic.SetPrinterDC(&kLetter);
    // A resolution whose 1/256 dpi form passes 32 bits is pinned to the largest.
    SizedPicture hostile(1 << 30, 1 << 30, UINT32_MAX, 1);
    logic.SetPicture(&hostile.picture);
    EXPECT_EQ(logic.GetPictureDPIX(), UINT32_MAX);
    EXPECT_EQ(logic.GetPictureDPIY(), 7u);  // 1 pixel per metre: 0.0254 dpi
    logic.CentrePicture();
    logic.FitIntoPaper();
    const PTzRECT r = logic.GetPictureRect();
    EXPECT_LE(r.left, r.right);
    EXPECT_LE(r.top, r.bottom);
    // 14,000 pixels at 72 dpi on 600 dpi: 116,667 printer pixels, past 2^31 / 256 / 600.
    SizedPicture wide(14000, 10);
    logic.SetPicture(&wide.picture);
    logic.SetPictureRect({0, 0, 0, 0});
    logic.SetPictureDPI(18432, 18432);
    EXPECT_EQ(logic.GetPictureRect().right - logic.GetPictureRect().left, 116667);
    // A small picture dragged far wider than twice its printed size keeps a resolution
    // of at least 1/256 dpi, so the next rectangle divides by it safely.
    SizedPicture small(1, 1);
    logic.SetPicture(&small.picture);
    logic.SetPictureRect({0, 0, 1000000000, 1000000000});
    EXPECT_EQ(logic.GetPictureDPIX(), 1u);
    EXPECT_EQ(logic.GetPictureRect(), (PTzRECT{0, 0, 153600, 153600}));
    // Without a printer nothing is laid out.
    RecordingLogic alone;
    alone.SetPicture(&small.picture);
    alone.CentrePicture();
    alone.FitIntoPaper();
    EXPECT_EQ(alone.GetPictureRect(), (PTzRECT{}));
}

}  // namespace
