// The main window with its panels as a person sees them on a real X server (run under
// xvfb-run with QT_QPA_PLATFORM=xcb): the tool palette, the information panel and the
// layers panel float at the places the settings store holds, clear of the toolbar and of
// one another; the pen is the current tool, its button pressed and its options bar docked
// along the top; the picture has three layers, the middle one hidden, and the layers
// panel shows their rows with thumbnails. The PNGs stay in the build tree's screenshot folder.
#include <gtest/gtest.h>

#include <QDockWidget>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <utility>
#include <vector>

#include "app/shell/main_frame.h"
#include "app/shell/panel_place.h"
#include "app/shell/settings_store.h"
#include "app/ui/layer_list_box.h"
#include "app/ui/layer_list_item.h"
#include "app/ui/layer_manager_dlg.h"
#include "app/ui/program_parts.h"
#include "app/ui/tool_base.h"
#include "app/ui/tool_button.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "tests/app/shell/shell_test_support.h"
#include "tests/app/shell/xcb_sanitizer_suppressions.h"

using namespace quorvel;
using namespace shelltest;

namespace {

// Paints a filled rectangle of the colour (0xAARRGGBB) into a layer.
void Patch(ITzPicture* picture, uint16_t index, const QRect& rect, uint32_t argb)
{
    std::vector<uint8_t> pixels(size_t(rect.width()) * size_t(rect.height()) * 4);
    for (size_t p = 0; p < pixels.size(); p += 4) {
        pixels[p] = uint8_t(argb >> 24);
        pixels[p + 1] = uint8_t(argb >> 16);
        pixels[p + 2] = uint8_t(argb >> 8);
        pixels[p + 3] = uint8_t(argb);
    }
    const _tagITzBITMAP bitmap = {rect.width(), rect.height(), rect.width() * 4, 32, PTzCOLORMODE_ARGB, pixels.data()};
    const PTzRECT place = {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
    auto* layer = static_cast<ITzLayerImage*>(picture->GetLayerbyIndex(index));
    PTzRECT grown;
    layer->ExtendSize(&place, &grown);
    PTzRECT local;
    layer->PRECTtoLRECT(&place, &local);
    ASSERT_EQ(layer->SetRectData(&local, &bitmap), 0);
}

TEST(MainWindowScreenshot, ThePanelsAtTheirStoredPlacesThePenOptionsBarAndAThreeLayerPictureWithOneHidden)
{
    AppSettings().Wipe();
    CheckSettingsVersion();  // so that start-up keeps what follows
    WriteSettingDword(u"Current_Tool", tool_id::PEN);
    // Below the menu, the toolbar and the options bar: the palette down the left, the
    // information and layers panels one above the other on the right.
    const std::pair<PanelSlot, QRect> stored[] = {
        {PanelSlot::ToolPalette, QRect(6, 140, 70, 300)},
        {PanelSlot::Info, QRect(720, 140, 240, 120)},
        {PanelSlot::Layers, QRect(720, 300, 240, 330)},
    };
    for (const auto& [slot, rect] : stored)
        SavePanelRect(slot, rect);
    ScopedDialogs dialogs;
    TestApp test(MakeProgramParts());
    ASSERT_TRUE(test.app->InitInstance());
    CMainFrame* frame = test.app->GetMainFrame();
    frame->setGeometry(0, 0, 1040, 720);
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));

    void* handle = MakeArgbPicture(160, 120, [](int x, int y) { return ((x / 20 + y / 20) & 1) ? 0xFFF0E0C0u : 0xFFD0B080u; });
    ITzPicture* picture = ITzPictGetPictureClass(handle);
    picture->GetLayerbyIndex(0)->SetName(u"Background");
    picture->NewImageLayer(u"Red square");
    Patch(picture, 1, QRect(20, 20, 70, 60), 0xFFD02020u);
    picture->NewImageLayer(u"Blue bar with a rather long name");
    Patch(picture, 2, QRect(60, 50, 90, 30), 0xC02040E0u);
    picture->GetLayerbyIndex(1)->Setvisibility(0);
    picture->ClearModified();
    CChildFrame* child = OpenPicture(frame, handle, QStringLiteral("layers.bmp"));
    child->setGeometry(90, 10, 420, 330);
    QTest::qWait(400);  // placed, painted, and drawn by the X server

    // Each panel at its stored corner, inside the window, clear of the toolbar, the options
    // bar and the others.
    QToolBar* toolbar = frame->findChild<QToolBar*>();
    QDockWidget* options = frame->GetToolOptionsPanel();
    ASSERT_TRUE(toolbar && toolbar->isVisible());
    ASSERT_TRUE(options && options->isVisible() && !options->isFloating());
    EXPECT_EQ(frame->dockWidgetArea(options), Qt::TopDockWidgetArea);
    const QRect bars = QRect(toolbar->mapToGlobal(QPoint(0, 0)), toolbar->size())
                           .united(QRect(options->mapToGlobal(QPoint(0, 0)), options->size()));
    std::vector<QRect> placed;
    for (const auto& [slot, rect] : stored) {
        QDockWidget* panel = frame->GetPanel(slot);
        ASSERT_TRUE(panel && panel->isVisible() && panel->isFloating());
        const QRect outer = panel->frameGeometry();
        EXPECT_EQ(outer.topLeft(), rect.topLeft()) << PanelSettingPrefix(slot).toStdString();
        EXPECT_TRUE(frame->frameGeometry().contains(outer)) << PanelSettingPrefix(slot).toStdString();
        EXPECT_FALSE(outer.intersects(bars)) << PanelSettingPrefix(slot).toStdString();
        for (const QRect& other : placed)
            EXPECT_FALSE(outer.intersects(other)) << PanelSettingPrefix(slot).toStdString();
        placed.push_back(outer);
    }

    // The pen's button pressed and its panel filled.
    auto* pen = dynamic_cast<RToolButton*>(frame->GetToolPaletteControl(1077));
    ASSERT_TRUE(pen);
    EXPECT_TRUE(pen->IsSelected());
    auto* opacity = options->findChild<QLineEdit*>(QStringLiteral("1006"));
    ASSERT_TRUE(opacity && opacity->isVisible());
    EXPECT_EQ(opacity->text(), QStringLiteral("255"));

    auto* panel = dynamic_cast<CLayerManagerDlg*>(frame->GetPanel(PanelSlot::Layers)->widget());
    ASSERT_NE(panel, nullptr);
    CLayerListBox* list = panel->GetList();
    ASSERT_EQ(list->GetCount(), 3);
    EXPECT_EQ(list->GetCounters().thumbnails, 3u);

    QScreen* screen = frame->screen();
    const QImage shown = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    const QRect window = frame->frameGeometry().translated(-screen->geometry().topLeft());
    EXPECT_TRUE(shown.copy(window).save(ScreenshotPath(QStringLiteral("main_window_panels_xcb.png"))));
    // The pressed pen button shows its pressed image where it stands on screen.
    const QRect penOnScreen(pen->mapToGlobal(QPoint(0, 0)) - screen->geometry().topLeft(), pen->size());
    EXPECT_EQ(shown.copy(penOnScreen), pen->grab().toImage().convertToFormat(QImage::Format_RGB32));
    // The hidden layer's row shows no eye: its eye cell is the face colour alone, the
    // shown layers' eye cells are not.
    auto eyeCell = [&](int row) {
        QRect rect;
        EXPECT_TRUE(list->GetRowRect(row, &rect));
        const QRect eye(list->viewport()->mapToGlobal(rect.topLeft()) - screen->geometry().topLeft(),
                        QSize(CLayerListItem::kEyeWidth, rect.height()));
        return shown.copy(eye);
    };
    auto plain = [](const QImage& image) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != image.pixel(0, 0))
                    return false;
        return true;
    };
    EXPECT_FALSE(plain(eyeCell(0)));
    EXPECT_TRUE(plain(eyeCell(1)));
    EXPECT_FALSE(plain(eyeCell(2)));
}

}  // namespace
