// What a person sees of the view's dialogs (Fill Color, Resize, Layer Properties, Set
// Active Layer) on a real X server's screen (run under xvfb-run with QT_QPA_PLATFORM=xcb):
// every control of the dialog's own shows whole inside it, none over another. The PNGs
// stay in the build tree's screenshot folder.
#include <gtest/gtest.h>

#include <QDialog>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <functional>

#include "app/ui/active_layer_dialog.h"
#include "app/ui/fill_dialog.h"
#include "app/ui/image_resize_dialog.h"
#include "app/ui/layer_properties_dialog.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "tests/app/shell/shell_test_support.h"
#include "tests/app/shell/xcb_sanitizer_suppressions.h"

using namespace shelltest;

namespace {

// The dialog's controls that carry an id, in dialog coordinates.
std::vector<std::pair<QString, QRect>> IdControls(QDialog& dialog)
{
    std::vector<std::pair<QString, QRect>> controls;
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        bool numbered = false;
        child->objectName().toInt(&numbered);
        if (numbered && child->isVisible())
            controls.emplace_back(child->objectName(), QRect(child->mapTo(&dialog, QPoint(0, 0)), child->size()));
    }
    return controls;
}

TEST(ViewDialogsScreenshot, EveryControlShowsWholeAndApartFromTheOthers)
{
    void* handle = MakeArgbPicture(1000, 800, [](int, int) { return 0xFF000000u; });
    ITzLayerBase* layer = ITzPictGetPictureClass(handle)->GetLayerbyIndex(0);
    layer->SetName(u"Background");
    const struct {
        const char* name;
        std::function<std::unique_ptr<QDialog>()> make;
    } dialogs[] = {
        {"fill_dialog", [] { return std::make_unique<CFILLDLG>(); }},
        {"resize_dialog",
         [handle] {
             auto dialog = std::make_unique<ImageResizeDlg>();
             dialog->SetPicture(ITzPictGetPictureClass(handle));
             return dialog;
         }},
        {"layer_properties_dialog",
         [layer] {
             auto dialog = std::make_unique<CLayerProperties>();
             dialog->SetLayer(layer);
             return dialog;
         }},
        {"active_layer_dialog",
         [] {
             auto dialog = std::make_unique<CActiveLayerIDDlg>();
             dialog->SetLayerCount(3);
             return dialog;
         }},
    };
    for (const auto& d : dialogs) {
        std::unique_ptr<QDialog> dialog = d.make();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        QTest::qWait(100);
        const std::vector<std::pair<QString, QRect>> controls = IdControls(*dialog);
        EXPECT_FALSE(controls.empty()) << d.name;
        for (size_t i = 0; i < controls.size(); ++i) {
            EXPECT_TRUE(dialog->rect().contains(controls[i].second)) << d.name << " " << controls[i].first.toStdString();
            for (size_t j = i + 1; j < controls.size(); ++j)
                EXPECT_FALSE(controls[i].second.intersects(controls[j].second))
                    << d.name << " " << controls[i].first.toStdString() << " " << controls[j].first.toStdString();
        }
        QScreen* screen = dialog->screen();
        const QRect frame = dialog->frameGeometry().translated(-screen->geometry().topLeft());
        EXPECT_TRUE(screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                        .save(ScreenshotPath(QString::fromLatin1(d.name) + QStringLiteral("_xcb.png"))));
    }
    ITzPictDestroy(handle);
}

}  // namespace
