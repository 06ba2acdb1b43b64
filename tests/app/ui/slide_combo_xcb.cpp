// What a person sees: the slide combo's popup slider opening on a real X server's screen
// (run under xvfb-run with QT_QPA_PLATFORM=xcb), under the combo with right edges in line.
// The PNGs stay in the build tree's screenshot folder.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/ui/combo_slider.h"
#include "app/ui/slide_combobox.h"
#include "tests/app/shell/shell_test_support.h"
#include "tests/app/shell/xcb_sanitizer_suppressions.h"

namespace {

TEST(Screenshot, TheSlideCombosPopupOpensUnderItRightAligned)
{
    QWidget window;
    window.setWindowTitle(QStringLiteral("Layers"));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Opacity:")));
    auto* combo = new CSlideCombobox();
    combo->setFixedWidth(120);
    layout->addWidget(combo, 0, Qt::AlignRight);
    layout->addStretch();
    window.setGeometry(200, 150, 300, 160);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    combo->SetValueQuiet(40);

    QTest::mouseClick(combo->findChild<QToolButton*>(), Qt::LeftButton);
    CComboSlider* popup = combo->GetPopup();
    ASSERT_TRUE(QTest::qWaitFor([popup] { return popup->isVisible(); }));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
    QTest::qWait(200);  // the X server has drawn what the windows painted

    // The popup's outer edges on the screen: top at the combo's bottom, right edges in line.
    const QRect comboOnScreen(combo->mapToGlobal(QPoint(0, 0)), combo->size());
    const QRect popupOnScreen = popup->frameGeometry();
    EXPECT_EQ(popupOnScreen.top(), comboOnScreen.bottom() + 1);
    EXPECT_EQ(popupOnScreen.right(), comboOnScreen.right());
    EXPECT_EQ(popup->GetSlider()->value(), 40);

    QScreen* screen = window.screen();
    const QRect area = comboOnScreen.united(popupOnScreen).adjusted(-20, -20, 20, 20);
    const QPoint corner = area.topLeft() - screen->geometry().topLeft();
    const QImage shown = screen->grabWindow(0, corner.x(), corner.y(), area.width(), area.height()).toImage();
    EXPECT_TRUE(shown.save(shelltest::ScreenshotPath(QStringLiteral("slide_combo_popup_xcb.png"))));
    EXPECT_TRUE(screen->grabWindow(0).save(shelltest::ScreenshotPath(QStringLiteral("slide_combo_screen_xcb.png"))));

    // What is on the screen there is the popup: its slider's handle sits where the
    // widget says, and the popup's own pixels differ from the window's beneath.
    const QImage popupPixels = popup->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint popupInShot = popupOnScreen.topLeft() - area.topLeft();
    int same = 0;
    for (int y = 0; y < popupPixels.height(); y += 3) {
        for (int x = 0; x < popupPixels.width(); x += 3)
            same += (shown.pixel(popupInShot + QPoint(x, y)) & 0xFFFFFF) == (popupPixels.pixel(x, y) & 0xFFFFFF);
    }
    const int sampled = ((popupPixels.height() + 2) / 3) * ((popupPixels.width() + 2) / 3);
    EXPECT_GT(same, sampled * 9 / 10) << "the screen shows the popup where it should be";
    popup->close();
    EXPECT_EQ(combo->GetValue(), 40);
}

}  // namespace
