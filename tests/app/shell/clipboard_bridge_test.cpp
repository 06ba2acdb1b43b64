// The clipboard bridge on real engine pictures: with a port that counts every bitmap
// made or read, the kept layer, the render on deactivation (and one that fails), a change
// by another program, the size New proposes; one round trip through the offscreen
// QClipboard; and the packed DIBs of clipboard images of every kind.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <limits>

#include "app/shell/clipboard_bridge.h"
#include "app/shell/packed_dib.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/image_io_manager.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_dib_exchange.h"
#include "engine/tools/tool_mask.h"
#include "tests/app/shell/shell_test_support.h"

using namespace shelltest;

namespace {

struct CountingPort : IClipboardPort {
    uint32_t sequence = 7;
    QImage image;
    int reads = 0;
    int writes = 0;
    uint32_t GetSequenceNumber() override { return sequence; }
    QImage GetImage() override { return ++reads, image; }
    void SetImage(const QImage& written) override
    {
        ++writes;
        ++sequence;
        image = written;
    }
};

constexpr QRgb kOpaque = 0xFF3060C0;

// 40 x 30, opaque but for a transparent band at x 12..15; the selection is the odd-width
// rectangle below.
uint32_t SourcePixel(int x, int)
{
    return x >= 12 && x < 16 ? 0x00000000u : kOpaque;
}
constexpr PTzRECT kSelected = {10, 5, 31, 20};

class ClipboardBridge : public ::testing::Test {
protected:
    ClipboardBridge() : handle(MakeArgbPicture(40, 30, SourcePixel)), picture(ITzPictGetPictureClass(handle))
    {
        auto made = std::make_unique<CountingPort>();
        port = made.get();
        bridge = std::make_unique<TzClipBoard>(std::move(made));
        ITzToolMask mask;
        mask.DrawRectSelection(picture, &kSelected, 255, ITzSELECTION_REPLACE);
    }
    ~ClipboardBridge() override
    {
        bridge.reset();
        ITzPictDestroy(handle);
    }

    ITzLayerBase* Top() const { return picture->GetLayerbyIndex(uint16_t(picture->GetLayerCount() - 1)); }

    void* handle;
    ITzPicture* picture;
    CountingPort* port = nullptr;
    std::unique_ptr<TzClipBoard> bridge;
};

TEST_F(ClipboardBridge, CopyThenPasteInsideTheProgramTakesTheKeptLayerAndConvertsNothing)
{
    ASSERT_EQ(bridge->Copy(picture), 1);
    bridge->Paste(picture);
    ASSERT_EQ(picture->GetLayerCount(), 2);
    EXPECT_EQ(port->reads + port->writes, 0);
    // Centred on the selection, so over the pixels it came from; the band stays clear.
    EXPECT_EQ(LayerArgb(Top(), kSelected), LayerArgb(picture->GetLayerbyIndex(0), kSelected));
    int32_t width = 0;
    int32_t height = 0;
    ASSERT_EQ(bridge->GetImageSize(&width, &height), 1);
    EXPECT_EQ(QSize(width, height), QSize(21, 15));
}

TEST_F(ClipboardBridge, APastedLayerWithoutANameIsNamedAsNewLayerNamesIt)
{
    // The copies of a selection come without a name, as do bitmaps.
    const struct {
        const char16_t* picturesLayer;  // the name of the layer pasted over
        bool rendered;                  // the paste takes the clipboard's bitmap
        const char16_t* pasted;
    } cases[] = {
        {u"", false, u"Layer 1"},
        {u"Layer 1", false, u"Layer 2"},
        {u"Layer 1", true, u"Layer 2"},
    };
    for (const auto& c : cases) {
        picture->GetLayerbyIndex(0)->SetName(c.picturesLayer);
        ASSERT_EQ(bridge->Copy(picture), 1);
        if (c.rendered) {
            bridge->OnAppActivate(false);
            bridge->OnAppActivate(true);
        }
        bridge->Paste(picture);
        ASSERT_EQ(picture->GetLayerCount(), 2);
        EXPECT_EQ(QString::fromStdU16String(Top()->GetName()), QString::fromStdU16String(c.pasted)) << c.rendered;
        ASSERT_TRUE(picture->DoUndo());
    }
}

TEST_F(ClipboardBridge, AfterLeavingAndComingBackAPasteTakesTheRenderedBitmapWithTransparentPartsWhite)
{
    ASSERT_EQ(bridge->Copy(picture), 1);
    bridge->OnAppActivate(false);
    bridge->OnAppActivate(false);  // rendered once
    ASSERT_EQ(port->writes, 1);
    EXPECT_EQ(port->image.size(), QSize(21, 15));
    bridge->OnAppActivate(true);
    bridge->Paste(picture);
    EXPECT_EQ(port->reads, 1);
    EXPECT_FALSE(bridge->HasKeptLayer());
    ASSERT_EQ(picture->GetLayerCount(), 2);
    const std::vector<uint32_t> pasted = LayerArgb(Top(), kSelected);
    for (int x = kSelected.left; x < kSelected.right; ++x)
        EXPECT_EQ(pasted[size_t(x - kSelected.left)], x >= 12 && x < 16 ? 0xFFFFFFFFu : kOpaque) << x;
}

TEST_F(ClipboardBridge, AChangeByAnotherProgramReleasesTheKeptLayerAndAPasteWithoutImageDoesNothing)
{
    ASSERT_EQ(bridge->Copy(picture), 1);
    ++port->sequence;  // someone copied text
    bridge->Paste(picture);
    EXPECT_EQ(picture->GetLayerCount(), 1);
    EXPECT_FALSE(bridge->HasKeptLayer());
    int32_t width = 0;
    int32_t height = 0;
    EXPECT_EQ(bridge->GetImageSize(&width, &height), 0);
    port->image = QImage(123, 45, QImage::Format_RGB32);
    ASSERT_EQ(bridge->GetImageSize(&width, &height), 1);
    EXPECT_EQ(QSize(width, height), QSize(123, 45));
}

TEST_F(ClipboardBridge, ARenderThatFailsLeavesTheClipboardAndTheCopyAsTheyWere)
{
    static constexpr ITzLayerDIBExchange failing = {
        [](const BITMAPINFOHEADER*, uint32_t, ITzLayerImage*) { return 0; },
        [](ITzLayerImage*, _tagITzMEMHANDLECBS*) -> void* { return nullptr; },
    };
    ASSERT_EQ(bridge->Copy(picture), 1);
    ITzSetLayerDIBExchange(&failing);
    bridge->OnAppActivate(false);
    ITzImageIOManager::ConnectLayerDIBExchange();
    EXPECT_EQ(port->writes, 0);
    bridge->OnAppActivate(true);
    bridge->Paste(picture);
    EXPECT_EQ(port->reads, 0);
    EXPECT_EQ(picture->GetLayerCount(), 2);
}

TEST_F(ClipboardBridge, CutTakesThePixelsOutAndPasteBringsThemBack)
{
    const std::vector<uint32_t> before = LayerArgb(picture->GetLayerbyIndex(0), kSelected);
    ASSERT_EQ(bridge->Cut(picture), 1);
    for (uint32_t pixel : LayerArgb(picture->GetLayerbyIndex(0), kSelected))
        ASSERT_EQ(pixel >> 24, 0u);
    // The cut took the selection: the paste centres on the picture.
    bridge->Paste(picture);
    const PTzRECT centred = {9, 7, 30, 22};
    EXPECT_EQ(LayerArgb(Top(), centred), before);
    EXPECT_EQ(port->reads + port->writes, 0);
}

TEST(ClipboardNew, NewProposesTheSizeOfTheImageOnTheClipboard)
{
    ScopedDialogs dialogs;
    CShellParts parts;
    parts.clipboardBridge = [] {
        auto port = std::make_unique<CountingPort>();
        port->image = QImage(123, 45, QImage::Format_Indexed8);
        return std::make_unique<TzClipBoard>(std::move(port));
    };
    TestApp test(std::move(parts));
    ASSERT_TRUE(test.app->InitInstance());
    QSize proposed;
    dialogs->newImage = [&proposed](int32_t* width, int32_t* height, QString*) {
        proposed = QSize(*width, *height);
        return false;
    };
    test.app->OnFileNew();
    EXPECT_EQ(proposed, QSize(123, 45));
}

TEST(ClipboardSystem, ARoundTripThroughTheSystemClipboardKeepsAnOddWidthAndMakesTransparentWhite)
{
    void* handle = MakeArgbPicture(37, 9, [](int x, int) { return x == 36 ? 0x00000000u : 0xFF804020u; });
    ITzPicture* picture = ITzPictGetPictureClass(handle);
    {
        TzClipBoard bridge(std::make_unique<CQtClipboardPort>());
        ASSERT_EQ(bridge.Copy(picture), 1);
        bridge.OnAppActivate(false);
        EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(37, 9));
        bridge.OnAppActivate(true);
        EXPECT_FALSE(bridge.HasKeptLayer());  // the render changed the clipboard
        bridge.Paste(picture);
        ASSERT_EQ(picture->GetLayerCount(), 2);
        const std::vector<uint32_t> row = LayerArgb(picture->GetLayerbyIndex(1), {0, 4, 37, 5});
        EXPECT_EQ(row[0], 0xFF804020u);
        EXPECT_EQ(row[36], 0xFFFFFFFFu);
        // Another program's text: a paste finds no image.
        ASSERT_EQ(bridge.Copy(picture), 1);
        QGuiApplication::clipboard()->setText(QStringLiteral("words"));
        bridge.Paste(picture);
        EXPECT_EQ(picture->GetLayerCount(), 2);
        EXPECT_FALSE(bridge.HasKeptLayer());
    }
    ITzPictDestroy(handle);
}

// The first row of a packed DIB's bitmap (its bottom row) as 0xRRGGBB values.
std::vector<uint32_t> BottomRow(const CPackedDib& dib, int width)
{
    std::vector<uint32_t> row;
    for (int x = 0; x < width; ++x) {
        const uint8_t* p = dib.bytes.get() + 40 + x * 3;
        row.push_back(uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
    }
    return row;
}

TEST(PackedDib, ClipboardImagesOfEveryKindBecomeTheTwentyFourBitBitmapOrAreRefused)
{
    QImage alpha(2, 1, QImage::Format_ARGB32);
    alpha.setPixel(0, 0, qRgba(255, 0, 0, 128));
    alpha.setPixel(1, 0, qRgba(0, 0, 0, 0));
    QImage palette(3, 2, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 50)});
    palette.fill(1);
    QImage odd(5, 1, QImage::Format_RGB888);
    odd.fill(QColor(1, 2, 3));
    struct Case {
        const char* name;
        QImage image;
        bool made;
        uint32_t size;
        std::vector<uint32_t> bottom;
    } cases[] = {
        // Red at half alpha over white: the premultiplied 128 plus the 127 left clear.
        {"alpha", alpha, true, 40 + 8, {0xFF7F7F, 0xFFFFFF}},
        {"palette", palette, true, 40 + 2 * 12, {0xC86432, 0xC86432, 0xC86432}},
        {"odd width", odd, true, 40 + 16, {0x010203, 0x010203, 0x010203, 0x010203, 0x010203}},
        {"zero size", QImage(0, 4, QImage::Format_RGB32), false, 0, {}},
        {"null", QImage(), false, 0, {}},
    };
    for (const Case& c : cases) {
        CPackedDib dib;
        ASSERT_EQ(PackedDibFromImage(c.image, &dib), c.made) << c.name;
        if (!c.made)
            continue;
        EXPECT_EQ(dib.size, c.size) << c.name;
        EXPECT_EQ(BottomRow(dib, c.image.width()), c.bottom) << c.name;
        // And back, as the engine's own renders come.
        const QImage back = ImageFromPackedDib(dib.bytes.get(), dib.size);
        ASSERT_EQ(back.size(), c.image.size()) << c.name;
        EXPECT_EQ(back.pixel(0, back.height() - 1) & 0xFFFFFF, c.bottom[0]) << c.name;
        EXPECT_TRUE(ImageFromPackedDib(dib.bytes.get(), dib.size - 1).isNull()) << c.name;
    }
}

TEST(PackedDib, ABitmapWhosePackedSizePassesThirtyTwoBitsIsRefused)
{
    // 1 pixel wide: 4 bytes a row after the 40 of the header.
    const int64_t rowsThatFit = (int64_t(UINT32_MAX) - 40) / 4;
    struct Case {
        int64_t width, height;
        bool fits;
    } cases[] = {{1, 1, true}, {0, 1, false}, {1, -1, false}, {1, rowsThatFit, true}, {1, rowsThatFit + 1, false},
                 {65536, 65536, false}, {int64_t(INT32_MAX) + 1, 1, false}};
    for (const Case& c : cases) {
        uint32_t size = 0;
        EXPECT_EQ(PackedDib24Size(c.width, c.height, &size), c.fits) << c.width << "x" << c.height;
    }
}

}  // namespace
