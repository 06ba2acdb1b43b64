// What a person sees: the brush picker over the default library on a real X server (run
// under xvfb-run with QT_QPA_PLATFORM=xcb): every brush's tip in its cell over its
// diameter, the chosen cell framed twice. The PNG stays in the build tree's screenshots/.
#include <gtest/gtest.h>

#include <QScreen>
#include <QTest>

#include "app/ui/brush_manager.h"
#include "app/ui/dialog_select_brush.h"
#include "tests/app/shell/shell_test_support.h"
#include "tests/app/shell/xcb_sanitizer_suppressions.h"

namespace {

// Pixels darker than the threshold in the part of the image.
int DarkIn(const QImage& image, const QRect& part, int threshold)
{
    int dark = 0;
    for (int y = part.top(); y <= part.bottom(); ++y) {
        for (int x = part.left(); x <= part.right(); ++x)
            dark += qGray(image.pixel(x, y)) < threshold;
    }
    return dark;
}

TEST(Screenshot, ThePickerShowsEachDefaultBrushsTipOverItsDiameter)
{
    shelltest::ScopedDialogs dialogs;
    CBrushManager library;
    library.CreateDefaultBrushes();
    CDialogSelectBrush picker;
    picker.SetSelectedIndex(6);
    shelltest::AnswerModals(dialogs, [&](QDialog& dialog) {
        dialog.move(200, 150);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        QTest::qWait(300);  // the X server has drawn what the window painted
        QScreen* screen = dialog.screen();
        const QRect frame = dialog.frameGeometry();
        const QPoint corner = frame.topLeft() - screen->geometry().topLeft();
        const QImage shown = screen->grabWindow(0, corner.x(), corner.y(), frame.width(), frame.height()).toImage();
        EXPECT_TRUE(shown.save(shelltest::ScreenshotPath(QStringLiteral("brush_picker_xcb.png"))));

        // Each cell on the screen: ink in its tip area and in its label band; the tips
        // grow with the diameters.
        RBrushSelectView& grid = picker.GetGrid();
        const QPoint gridInShot = grid.viewport()->mapToGlobal(QPoint(0, 0)) - frame.topLeft();
        int lastTip = 0;
        for (uint32_t index = 0; index < 8; ++index) {
            PTzRECT cell = {};
            grid.GetItemRect(index, &cell);
            const QRect tip = QRect(cell.left + 4, cell.top + 4, 52, 36).translated(gridInShot);
            const QRect band = QRect(cell.left + 4, cell.top + 40, 52, 20).translated(gridInShot);
            if (!shown.rect().contains(tip.united(band)))
                continue;
            const int tipInk = DarkIn(shown, tip, 250);
            EXPECT_GT(tipInk, 0) << index;
            EXPECT_GE(tipInk, lastTip) << index;
            lastTip = tipInk;
            EXPECT_GT(DarkIn(shown, band, 128), 4) << "the diameter under brush " << index;
        }
        return int(QDialog::Rejected);
    });
    picker.DoModal();
    EXPECT_EQ(dialogs->modalDialogs, 1);
}

}  // namespace
