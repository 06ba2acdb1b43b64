// What a person sees of the layers panel on a real X server (run under xvfb-run with
// QT_QPA_PLATFORM=xcb): the main window with a picture of three layers, the middle one
// hidden, and the floating layers panel at the place the settings store holds, showing
// the three rows with their thumbnails and the five layer buttons. The PNGs stay in the build tree's screenshot
// folder.
#include <gtest/gtest.h>

#include <QDockWidget>
#include <QScreen>
#include <QTest>

#include "app/shell/main_frame.h"
#include "app/shell/settings_store.h"
#include "app/ui/layer_list_box.h"
#include "app/ui/layer_list_item.h"
#include "app/ui/layer_manager_dlg.h"
#include "app/ui/program_parts.h"
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

TEST(LayersPanelScreenshot, TheMainWindowShowsAThreeLayerPanelAtItsStoredPlaceWithThumbnailsAndAHiddenLayer)
{
    AppSettings().Wipe();
    CheckSettingsVersion();  // so that start-up keeps what follows
    const QRect stored(700, 120, 240, 330);
    WriteSettingDword(u"Layer UI Left", uint32_t(stored.left()));
    WriteSettingDword(u"Layer UI Top", uint32_t(stored.top()));
    WriteSettingDword(u"Layer UI Right", uint32_t(stored.right() + 1));
    WriteSettingDword(u"Layer UI Bottom", uint32_t(stored.bottom() + 1));
    ScopedDialogs dialogs;
    TestApp test(MakeProgramParts());
    ASSERT_TRUE(test.app->InitInstance());
    CMainFrame* frame = test.app->GetMainFrame();
    frame->setGeometry(20, 40, 960, 640);
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
    child->setGeometry(10, 10, 420, 330);
    QTest::qWait(400);  // placed, painted, and drawn by the X server

    QDockWidget* dock = frame->GetPanel(PanelSlot::Layers);
    ASSERT_NE(dock, nullptr);
    ASSERT_TRUE(dock->isVisible());
    EXPECT_EQ(dock->frameGeometry().topLeft(), stored.topLeft());
    auto* panel = dynamic_cast<CLayerManagerDlg*>(dock->widget());
    ASSERT_NE(panel, nullptr);
    CLayerListBox* list = panel->GetList();
    ASSERT_EQ(list->GetCount(), 3);
    EXPECT_EQ(list->GetCounters().thumbnails, 3u);

    // The hidden layer's row shows no eye: its eye cell is the face colour alone, the
    // shown layers' eye cells are not.
    QScreen* screen = frame->screen();
    const QImage shown = screen->grabWindow(0).toImage();
    EXPECT_TRUE(shown.save(ScreenshotPath(QStringLiteral("layers_panel_window_xcb.png"))));
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
    const QRect panelOnScreen(dock->frameGeometry().topLeft() - screen->geometry().topLeft(), dock->frameGeometry().size());
    EXPECT_TRUE(shown.copy(panelOnScreen).save(ScreenshotPath(QStringLiteral("layers_panel_xcb.png"))));
}

}  // namespace
