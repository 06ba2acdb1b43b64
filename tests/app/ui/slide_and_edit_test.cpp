// Number entry: the slider-and-box pair, the filtered boxes, and the typed-number reading
// they share.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QVBoxLayout>
#include <cfloat>
#include <climits>

#include "app/ui/filter_edit.h"
#include "app/ui/slide_and_edit.h"
#include "app/ui/typed_number.h"

namespace {

TEST(ReadLeadingInteger, TakesTheLeadingNumberSaturatedAndRefusesTextWithout)
{
    const struct {
        const char* text;
        bool read;
        int value;
    } cases[] = {
        {"42", true, 42},           {"  -17x", true, -17},       {"+8", true, 8},
        {"007", true, 7},           {"2147483647", true, INT_MAX}, {"2147483648", true, INT_MAX},
        {"99999999999999999999999", true, INT_MAX},                {"-2147483648", true, INT_MIN},
        {"-99999999999999", true, INT_MIN},                        {"", false, -1},
        {"-", false, -1},           {".", false, -1},            {"abc", false, -1},
        {"x12", false, -1},         {"- 3", false, -1},
    };
    for (const auto& c : cases) {
        int value = -1;
        EXPECT_EQ(ReadLeadingInteger(QString::fromLatin1(c.text), &value), c.read) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

// A dialog with a slider 1007 and a number box 1006.
struct PairDialog {
    PairDialog()
    {
        auto* layout = new QVBoxLayout(&dialog);
        slider->setObjectName(QStringLiteral("1007"));
        edit->setObjectName(QStringLiteral("1006"));
        layout->addWidget(slider);
        layout->addWidget(edit);
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        pair = new CRSlideAndEditCom(&dialog, 1007, 1006);
        QObject::connect(pair, &CRSlideAndEditCom::slideEditChanged, [this](int value, CRSlideAndEditCom* from) {
            EXPECT_EQ(from, pair);
            reports.push_back(value);
        });
    }

    void Type(const QString& text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    QWidget dialog;
    QSlider* slider = new QSlider(Qt::Horizontal);
    QLineEdit* edit = new QLineEdit();
    CRSlideAndEditCom* pair = nullptr;
    std::vector<int> reports;
};

TEST(SlideAndEdit, ATypedValueBeyondTheRangeIsRewrittenAndMovesTheSliderToTheEnd)
{
    PairDialog d;
    ASSERT_EQ(d.pair->SetRange(0, 1000), 1);
    EXPECT_TRUE(d.reports.empty()) << "the first value, 0, is no news";
    d.Type(QStringLiteral("1500"));
    EXPECT_EQ(d.edit->text(), QStringLiteral("1000"));
    EXPECT_EQ(d.slider->value(), d.slider->maximum());
    EXPECT_EQ(d.pair->GetValue(), 1000);
    EXPECT_EQ(d.reports, (std::vector<int>{1, 15, 150, 1000}));
}

TEST(SlideAndEdit, SliderAndBoxStayInStepAndEachValueIsReportedOnce)
{
    PairDialog d;
    ASSERT_EQ(d.pair->SetRange(10, 60), 1);
    EXPECT_EQ(d.slider->maximum(), 50);
    EXPECT_EQ(d.pair->GetValue(), 10);
    // Through the slider: keys, then a drag.
    d.slider->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(d.slider, Qt::Key_Right);
    EXPECT_EQ(d.edit->text(), QStringLiteral("13"));
    d.slider->setSliderDown(true);
    for (int position : {5, 9, 9, 20})
        d.slider->setSliderPosition(position);
    d.slider->setSliderDown(false);
    EXPECT_EQ(d.edit->text(), QStringLiteral("30"));
    // Through the box: the "4" of "45" lies below the minimum and waits for the "5".
    d.Type(QStringLiteral("45"));
    EXPECT_EQ(d.slider->value(), 35);
    // Text without a number waits; leaving the box shows the value in force again.
    d.Type(QStringLiteral("-"));
    EXPECT_EQ(d.pair->GetValue(), 45);
    EXPECT_EQ(d.edit->text(), QStringLiteral("-"));
    d.slider->setFocus();
    EXPECT_EQ(d.edit->text(), QStringLiteral("45"));
    d.Type(QStringLiteral("abc"));
    d.Type(QStringLiteral("99999999999999"));
    EXPECT_EQ(d.edit->text(), QStringLiteral("60"));
    EXPECT_EQ(d.slider->value(), 50);
    // A number below the minimum is taken, clamped, when the box is left.
    d.Type(QStringLiteral("3"));
    EXPECT_EQ(d.pair->GetValue(), 60);
    d.slider->setFocus();
    EXPECT_EQ(d.edit->text(), QStringLiteral("10"));
    EXPECT_EQ(d.slider->value(), 0);

    // One report per value reached, however it was reached.
    EXPECT_EQ(d.reports, (std::vector<int>{10, 11, 12, 13, 15, 19, 30, 45, 60, 10}));
}

TEST(SlideAndEdit, RangesThatCannotBeAreRefused)
{
    PairDialog d;
    ASSERT_EQ(d.pair->SetRange(-5, 5), 1);
    EXPECT_EQ(d.pair->SetRange(5, 4), 0);
    EXPECT_EQ(d.pair->SetRange(INT_MIN, INT_MAX), 0);
    int minimum = 0, maximum = 0;
    d.pair->GetRange(&minimum, &maximum);
    EXPECT_EQ(minimum, -5);
    EXPECT_EQ(maximum, 5);
    EXPECT_EQ(d.pair->SetValue(-100), -5);
    EXPECT_EQ(d.edit->text(), QStringLiteral("-5"));

    CRSlideAndEditCom lost(&d.dialog, 1, 2);
    EXPECT_EQ(lost.SetRange(0, 10), 0);
    EXPECT_EQ(lost.GetValue(), 0);
    CRSlideAndEditCom orphan(nullptr, 1007, 1006);
    EXPECT_EQ(orphan.SetRange(0, 10), 0);
}

// A filter that wants the text to start with '#': deleting it must be refused.
class HashEdit : public CFilterEdit {
public:
    bool IsValidText(const QString& text) const override { return text.startsWith(u'#'); }
    int changes = 0;

protected:
    void OnTextChanged() override { ++changes; }
};

TEST(FilterEdit, EveryEditIsCheckedTypedPastedCutOrDeleted)
{
    HashEdit edit;
    edit.setText(QStringLiteral("#ab"));
    edit.show();
    edit.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
    edit.setFocus();

    edit.setCursorPosition(3);
    QTest::keyClick(&edit, Qt::Key_C);
    EXPECT_EQ(edit.text(), QStringLiteral("#abc"));
    EXPECT_EQ(edit.changes, 1);

    edit.setCursorPosition(0);
    QTest::keyClick(&edit, Qt::Key_Delete);
    edit.setCursorPosition(1);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    edit.setSelection(0, 2);
    edit.cut();
    QGuiApplication::clipboard()->setText(QStringLiteral("xyz"));
    edit.selectAll();
    edit.paste();
    edit.setCursorPosition(0);
    QTest::keyClick(&edit, Qt::Key_Z);
    EXPECT_EQ(edit.text(), QStringLiteral("#abc")) << "refused edits leave the text as it was";
    EXPECT_EQ(edit.changes, 1) << "and tell nobody";

    edit.setCursorPosition(4);
    edit.paste();
    EXPECT_EQ(edit.text(), QStringLiteral("#abcxyz"));
    EXPECT_EQ(edit.changes, 2);
}

TEST(FloatEdit, TakesDigitsAndOnePointTypedOrPasted)
{
    const struct {
        const char* typed;
        bool integerOnly;
        const char* result;
    } cases[] = {
        {"12.5", false, "12.5"}, {"1.2.3", false, "1.23"}, {"-4", false, "4"},  {"a1b2", false, "12"},
        {"1,5", false, "15"},    {"3.7", true, "37"},      {".", true, ""},     {".5", false, ".5"},
    };
    for (const auto& c : cases) {
        CFloatEdit edit;
        edit.SetIntegerOnly(c.integerOnly);
        edit.show();
        edit.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
        QTest::keyClicks(&edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(edit.text(), QLatin1String(c.result)) << c.typed;
        // Pasting the whole text is checked the same way.
        CFloatEdit pasted;
        pasted.SetIntegerOnly(c.integerOnly);
        QGuiApplication::clipboard()->setText(QString::fromLatin1(c.typed));
        pasted.paste();
        EXPECT_EQ(pasted.text(), pasted.IsValidText(QString::fromLatin1(c.typed)) ? QLatin1String(c.typed) : QLatin1String(""))
            << c.typed;
    }
    CFloatEdit edit;
    EXPECT_TRUE(edit.IsValidText(QString()));
    EXPECT_FALSE(edit.IsValidText(QStringLiteral("1..")));
    edit.SetIntegerOnly(true);
    EXPECT_TRUE(edit.IsValidText(QString()));
    EXPECT_FALSE(edit.IsValidText(QStringLiteral("1.")));
}

TEST(FloatEdit, TellsItsParentOfEachChangeAndReadsItsNumber)
{
    CFloatEdit edit;
    edit.setObjectName(QStringLiteral("1103"));
    std::vector<int> told;
    QObject::connect(&edit, &CFloatEdit::floatEditChanged, [&](int id) { told.push_back(id); });
    edit.show();
    edit.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
    QTest::keyClicks(&edit, QStringLiteral("2.x5"));
    EXPECT_EQ(told, (std::vector<int>{1103, 1103, 1103}));
    EXPECT_DOUBLE_EQ(edit.GetValue(), 2.5);

    const struct {
        QString text;
        double value;
    } cases[] = {
        {QString(), 0}, {QStringLiteral("."), 0}, {QStringLiteral("5."), 5}, {QStringLiteral(".25"), 0.25},
        {QString(400, u'9'), DBL_MAX}, {QStringLiteral("0.") + QString(400, u'0') + u'1', 0},
    };
    for (const auto& c : cases) {
        edit.setText(c.text);
        EXPECT_DOUBLE_EQ(edit.GetValue(), c.value) << c.text.left(8).toStdString();
    }
    EXPECT_EQ(told.size(), 3u) << "the program's own texts are no user change";
}

}  // namespace
