// The slide combo, its popup slider and the page slider: what listeners hear for typed
// and dragged values, and where a click on the channel puts the thumb.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <climits>
#include <vector>

#include "app/ui/combo_slider.h"
#include "app/ui/page_slider_bar.h"
#include "app/ui/slide_combobox.h"

namespace {

// Every broadcast a combo sends.
class Heard : public PTzListener {
public:
    struct Message {
        uint32_t code;
        int value;
        int before;
    };
    std::vector<Message> messages;

    int Count(uint32_t code) const
    {
        int count = 0;
        for (const Message& m : messages)
            count += m.code == code;
        return count;
    }

protected:
    int Listen(uint32_t message, void* param, PTzBroadcaster*) override
    {
        const auto* change = static_cast<CSlideCombobox::ValueChange*>(param);
        messages.push_back({message, change->value, change->before});
        return 1;
    }
};

// A shown, active window holding a combo and another box to take the focus.
struct ComboWindow {
    ComboWindow()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(combo);
        layout->addWidget(other);
        window.resize(200, 80);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        heard.AddToBroadcaster(combo);
    }

    // Types the text over the combo's and moves the focus on.
    void TypeAndLeave(const QString& text)
    {
        combo->setFocus();
        combo->selectAll();
        if (text.isEmpty())
            QTest::keyClick(combo, Qt::Key_Delete);
        else
            QTest::keyClicks(combo, text);
        other->setFocus();
    }

    CComboSlider* OpenPopup()
    {
        QTest::mouseClick(combo->findChild<QToolButton*>(), Qt::LeftButton);
        CComboSlider* popup = combo->GetPopup();
        EXPECT_TRUE(QTest::qWaitFor([popup] { return popup->isVisible(); }));
        return popup;
    }

    QWidget window;
    CSlideCombobox* combo = new CSlideCombobox();
    QLineEdit* other = new QLineEdit();
    Heard heard;
};

TEST(SlideCombobox, TypedTextCommitsTheLeadingNumberClampedAndNothingElse)
{
    const struct {
        const char* typed;
        bool committed;
        int value;
        const char* shown;
    } cases[] = {
        {"150", true, 100, "100"},     {"55", true, 55, "55"},       {"-7", true, 0, "0"},
        {"12abc", true, 12, "12"},     {"", false, 40, "40"},        {"abc", false, 40, "40"},
        {".", false, 40, "40"},        {"-", false, 40, "40"},       {"999999999999", true, 100, "100"},
        {"-99999999999999999999", true, 0, "0"},
    };
    for (const auto& c : cases) {
        ComboWindow w;
        w.combo->SetValueQuiet(40);
        w.TypeAndLeave(QString::fromLatin1(c.typed));
        ASSERT_EQ(w.heard.messages.size(), c.committed ? 1u : 0u) << c.typed;
        if (c.committed) {
            EXPECT_EQ(w.heard.messages[0].code, CSlideCombobox::kValueCommitted);
            EXPECT_EQ(w.heard.messages[0].value, c.value);
            EXPECT_EQ(w.heard.messages[0].before, 40);
        }
        EXPECT_EQ(w.combo->GetValue(), c.value) << c.typed;
        EXPECT_EQ(w.combo->text(), QLatin1String(c.shown)) << c.typed;
    }
}

TEST(SlideCombobox, CommitsBroadcastEvenUnchangedWhileTrackingAndQuietSetsDoNot)
{
    ComboWindow w;
    EXPECT_EQ(w.combo->SetValue(30, false), 30);
    EXPECT_EQ(w.combo->SetValue(30, false), 30);  // a commit is always heard
    EXPECT_EQ(w.combo->SetValue(35, true), 35);
    EXPECT_EQ(w.combo->SetValue(35, true), 35);   // no change while tracking: nothing
    EXPECT_EQ(w.combo->SetValue(500, true), 100);
    EXPECT_EQ(w.combo->SetValue(100, false), 100);
    w.combo->SetValueQuiet(10);
    w.combo->UpdateText();  // rebuilding the text is no change of value
    const std::vector<Heard::Message> expected = {
        {5101, 30, 0}, {5101, 30, 30}, {5102, 35, 30}, {5102, 100, 30}, {5101, 100, 30}};
    ASSERT_EQ(w.heard.messages.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(w.heard.messages[i].code, expected[i].code) << i;
        EXPECT_EQ(w.heard.messages[i].value, expected[i].value) << i;
        EXPECT_EQ(w.heard.messages[i].before, expected[i].before) << i;
    }
    EXPECT_EQ(w.combo->text(), QStringLiteral("10"));
}

TEST(SlideCombobox, ADragFrom40To70ReportsEachNewPositionOnceAndClosingCommitsOnce)
{
    ComboWindow w;
    w.combo->SetValueQuiet(40);
    CComboSlider* popup = w.OpenPopup();
    CPopupSlider* slider = popup->GetSlider();
    EXPECT_EQ(slider->value(), 40);
    EXPECT_EQ(w.heard.messages.size(), 0u) << "opening reports nothing";

    const QRect thumb = slider->GetThumbRect();
    QPoint at = thumb.center();
    QTest::mousePress(slider, Qt::LeftButton, {}, at);
    ASSERT_TRUE(slider->isSliderDown());
    // Pixel by pixel to the right until the slider reads 70: several pixels per value on
    // this short slider, so some moves change nothing.
    std::vector<int> reached;
    while (slider->value() < 70 && at.x() < slider->width()) {
        at.rx() += 1;
        QTest::mouseMove(slider, at);
        if (reached.empty() || reached.back() != slider->value())
            reached.push_back(slider->value());
    }
    ASSERT_EQ(slider->value(), 70);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, at);
    ASSERT_EQ(w.heard.Count(5102), int(reached.size()));
    for (size_t i = 0; i < reached.size(); ++i) {
        EXPECT_EQ(w.heard.messages[i].value, reached[i]);
        EXPECT_EQ(w.heard.messages[i].before, 40);
    }
    EXPECT_EQ(w.heard.Count(5101), 0);

    QTest::keyClick(slider, Qt::Key_Escape);
    EXPECT_FALSE(popup->isVisible());
    ASSERT_EQ(w.heard.Count(5101), 1);
    EXPECT_EQ(w.heard.messages.back().value, 70);
    EXPECT_EQ(w.heard.messages.back().before, 40);
    EXPECT_EQ(w.combo->text(), QStringLiteral("70"));
}

TEST(SlideCombobox, ClosingThePopupWithoutAMoveStillCommitsAndKeysWaitForTheClose)
{
    ComboWindow w;
    w.combo->SetValueQuiet(25);
    CComboSlider* popup = w.OpenPopup();
    popup->close();
    ASSERT_EQ(w.heard.messages.size(), 1u);
    EXPECT_EQ(w.heard.messages[0].code, 5101u);
    EXPECT_EQ(w.heard.messages[0].value, 25);
    EXPECT_EQ(w.heard.messages[0].before, 25);

    // Line steps report nothing while the popup is open; the slider losing the focus
    // closes it and commits where they led.
    popup = w.OpenPopup();
    QTest::keyClick(popup->GetSlider(), Qt::Key_Right);
    QTest::keyClick(popup->GetSlider(), Qt::Key_Right);
    EXPECT_EQ(w.heard.messages.size(), 1u);
    popup->GetSlider()->clearFocus();
    EXPECT_FALSE(popup->isVisible());
    ASSERT_EQ(w.heard.messages.size(), 2u);
    EXPECT_EQ(w.heard.messages[1].value, 27);
}

TEST(SlideCombobox, TheKeyboardOpensThePopupAndTypedTextCommitsFirst)
{
    ComboWindow w;
    w.combo->SetValueQuiet(10);
    w.combo->setFocus();
    w.combo->selectAll();
    QTest::keyClicks(w.combo, "60");
    QTest::keyClick(w.combo, Qt::Key_F4);
    CComboSlider* popup = w.combo->GetPopup();
    ASSERT_TRUE(QTest::qWaitFor([popup] { return popup->isVisible(); }));
    EXPECT_EQ(popup->GetSlider()->value(), 60);
    ASSERT_EQ(w.heard.messages.size(), 1u);
    EXPECT_EQ(w.heard.messages[0].value, 60);
    EXPECT_EQ(w.heard.messages[0].before, 10);
    popup->close();
}

TEST(SlideCombobox, ThePopupOpensUnderTheComboRightAligned)
{
    ComboWindow w;
    CComboSlider* popup = w.OpenPopup();
    const QRect combo(w.combo->mapToGlobal(QPoint(0, 0)), w.combo->size());
    EXPECT_EQ(popup->geometry().top(), combo.bottom() + 1);
    EXPECT_EQ(popup->geometry().right(), combo.right());
    popup->close();
}

TEST(SliderClickPosition, PutsTheThumbsCentreUnderThePointWithinTheRange)
{
    const struct {
        int point, start, end, thumb, minimum, maximum, position;
    } cases[] = {
        {100, 0, 200, 10, 0, 100, 50},          // (100 - 5) * 100 / 190
        {100, 0, 200, 200, 0, 100, 0},          // a thumb as long as the channel
        {100, 0, 200, 250, 0, 100, 0},          // and one longer
        {0, 0, 200, 10, 0, 100, 0},             // at the start
        {-5, 0, 200, 10, 0, 100, 0},
        {200, 0, 200, 10, 0, 100, 100},         // at the end
        {2, 0, 200, 10, 0, 100, 0},             // left of the thumb's half: clamped, not negative
        {198, 0, 200, 10, 0, 100, 100},         // right of it: clamped, not past the maximum
        {40, 10, 110, 20, -50, 50, -25},        // (40 - 10 - 10) * 100 / 80 - 50
        {5, 5, 5, 0, 3, 9, 3},                  // no channel
        {150, 0, 300, 0, 0, INT_MAX, 1073741823},  // no overflow on a full range
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SliderClickPosition(c.point, c.start, c.end, c.thumb, c.minimum, c.maximum), c.position)
            << c.point << " on " << c.start << ".." << c.end << " thumb " << c.thumb;
    }
}

TEST(PageSliderBar, AClickOnTheChannelMovesTheThumbThereReadyToDrag)
{
    for (const Qt::Orientation orientation : {Qt::Horizontal, Qt::Vertical}) {
        QWidget window;
        auto* slider = new CNPageSliderBar(orientation, &window);
        slider->setRange(0, 100);
        slider->setGeometry(orientation == Qt::Horizontal ? QRect(10, 10, 220, 24) : QRect(10, 10, 24, 220));
        window.resize(260, 260);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const bool vertical = orientation == Qt::Vertical;
        for (const int along : {30, 110, 190}) {
            const QRect channel = slider->GetChannelRect();
            const QRect thumb = slider->GetThumbRect();
            const QPoint at = vertical ? QPoint(channel.center().x(), along) : QPoint(along, channel.center().y());
            const int expected = vertical ? SliderClickPosition(at.y(), channel.top(), channel.bottom() + 1, thumb.height(), 0, 100)
                                          : SliderClickPosition(at.x(), channel.left(), channel.right() + 1, thumb.width(), 0, 100);
            QTest::mousePress(slider, Qt::LeftButton, {}, at);
            EXPECT_EQ(slider->value(), expected) << along;
            EXPECT_TRUE(slider->isSliderDown()) << "the thumb lies under the pointer, dragging";
            EXPECT_TRUE(slider->GetThumbRect().contains(at));
            QTest::mouseRelease(slider, Qt::LeftButton, {}, at);
        }
        // The minimum lies at the top of a vertical slider as at the left of a horizontal one.
        QTest::mouseClick(slider, Qt::LeftButton, {}, vertical ? QPoint(12, 2) : QPoint(2, 12));
        EXPECT_EQ(slider->value(), 0);
        const QRect thumb = slider->GetThumbRect();
        EXPECT_LT(vertical ? thumb.top() : thumb.left(), 10);
        // A press beside both channel and thumb does nothing.
        slider->setValue(50);
        const QRect both = slider->GetChannelRect().united(slider->GetThumbRect());
        if (vertical ? both.right() < slider->width() - 1 : both.bottom() < slider->height() - 1) {
            QTest::mouseClick(slider, Qt::LeftButton, {}, vertical ? QPoint(slider->width() - 1, 30) : QPoint(30, slider->height() - 1));
            EXPECT_EQ(slider->value(), 50);
        }
    }
}

}  // namespace
