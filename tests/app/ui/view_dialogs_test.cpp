// The dialogs of the view's commands as a person uses them: typed text, left boxes and
// OK, each dialog shown but not modal; the view's dialog part run through the scripted
// dialog interface; and the information panel.
#include <gtest/gtest.h>

#include <QAbstractSlider>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/shell/document.h"
#include "app/shell/info_data.h"
#include "app/shell/settings_store.h"
#include "app/ui/active_layer_dialog.h"
#include "app/ui/dialog_info.h"
#include "app/ui/fill_dialog.h"
#include "app/ui/image_resize_dialog.h"
#include "app/ui/layer_properties_dialog.h"
#include "app/ui/view_dialogs.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "tests/app/shell/shell_test_support.h"

using namespace shelltest;

namespace {

template <typename Control>
Control* Find(QWidget& dialog, int id)
{
    return dialog.findChild<Control*>(QString::number(id));
}

// Replaces a box's text as typing does.
void Type(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void Leave(QWidget* control)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(control, &out);
}

TEST(FillDialog, OpensOnTheStoredPercentageCappedAt100AndStoresWhatOkTook)
{
    const struct {
        uint32_t stored;
        QString typed;
        QString shown;
        uint32_t kept;
        uint8_t opacity;
    } cases[] = {
        {250, {}, QStringLiteral("100"), 100, 255},
        {37, QStringLiteral("150"), QStringLiteral("100"), 100, 255},
        {37, QStringLiteral("50"), QStringLiteral("50"), 50, 128},
        {37, QStringLiteral("-5"), QStringLiteral("-5"), 37, 94},  // not taken: the value in force
    };
    for (const auto& c : cases) {
        quorvel::WriteSettingDword(u"Tool_Fill_Opacity", c.stored);
        CFILLDLG dialog;
        dialog.show();
        QLineEdit* edit = Find<QLineEdit>(dialog, 1006);
        if (!c.typed.isEmpty())
            Type(edit, c.typed);
        EXPECT_EQ(edit->text(), c.shown) << c.stored << " " << c.typed.toStdString();
        dialog.accept();
        uint32_t stored = 0;
        ASSERT_TRUE(quorvel::ReadSettingDword(u"Tool_Fill_Opacity", &stored));
        EXPECT_EQ(stored, c.kept) << c.typed.toStdString();
        EXPECT_EQ(dialog.GetOpacity(), c.opacity) << c.typed.toStdString();
    }
}

TEST(LayerPropertiesDialog, KeepsAnOpacityWhosePercentageWasLeftAloneAndRecordsNothingForAnUntouchedOk)
{
    const struct {
        uint8_t opacity;
        QString typed;
        uint8_t applied;
        bool undoStep;
    } cases[] = {
        {255, {}, 255, false},
        {200, {}, 200, false},
        {200, QStringLiteral("150"), 255, true},
        {200, QStringLiteral("50"), 128, true},
    };
    for (const auto& c : cases) {
        void* handle = MakeArgbPicture(8, 8, [](int, int) { return 0xFF000000u; });
        ITzPicture* picture = ITzPictGetPictureClass(handle);
        ITzLayerBase* layer = picture->GetLayerbyIndex(0);
        layer->SetOpacity(c.opacity);
        layer->SetName(u"Base");
        CLayerProperties dialog;
        dialog.SetLayer(layer);
        dialog.show();
        if (!c.typed.isEmpty())
            Type(Find<QLineEdit>(dialog, 1006), c.typed);
        dialog.accept();
        EXPECT_EQ(layer->GetOpacity(), c.applied) << int(c.opacity) << " " << c.typed.toStdString();
        EXPECT_EQ(picture->DoUndo() != 0, c.undoStep) << int(c.opacity) << " " << c.typed.toStdString();
        EXPECT_EQ(layer->GetOpacity(), c.opacity);
        ITzPictDestroy(handle);
    }
}

TEST(LayerPropertiesDialog, NamesAreCutAt63UnitsWithoutSplittingASurrogatePair)
{
    const QString pair = QString::fromUcs4(U"\U0001F600");
    const struct {
        QString text;
        QString cut;
    } cases[] = {
        {QString(62, u'a') + pair + QString(6, u'b'), QString(62, u'a')},  // 70 units, the pair across the cut
        {QString(68, u'a') + pair, QString(63, u'a')},                      // 70 units ending in the pair
        {QString(61, u'a') + pair + u'c', QString(61, u'a') + pair},
        {QStringLiteral("short"), QStringLiteral("short")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CutToLayerName(c.text), c.cut) << c.text.size();

    void* handle = MakeArgbPicture(8, 8, [](int, int) { return 0xFF000000u; });
    ITzLayerBase* layer = ITzPictGetPictureClass(handle)->GetLayerbyIndex(0);
    CLayerProperties dialog;
    dialog.SetLayer(layer);
    dialog.show();
    QLineEdit* name = Find<QLineEdit>(dialog, 1005);
    Type(name, QString(70, u'n'));
    EXPECT_EQ(name->text().size(), 63);
    name->setText(cases[0].text);  // not typed: OK cuts it
    dialog.accept();
    EXPECT_EQ(QString::fromUtf16(layer->GetName()), cases[0].cut);
    ITzPictDestroy(handle);
}

TEST(ActiveLayerDialog, TakesAnyNumberKeptTo16Bits)
{
    const struct {
        QString typed;
        uint16_t index;
    } cases[] = {{QStringLiteral(""), 0},          {QStringLiteral("."), 0},      {QStringLiteral("0"), 0},
                 {QStringLiteral("-1"), 0xFFFF},   {QStringLiteral("7abc"), 7},   {QStringLiteral("65537"), 1},
                 {QStringLiteral("999999999999"), 0xFFFF}};
    for (const auto& c : cases) {
        CActiveLayerIDDlg dialog;
        dialog.SetLayerCount(3);
        dialog.SetActiveLayer(2);
        EXPECT_EQ(Find<QLabel>(dialog, 1009)->text(), QStringLiteral("3"));
        Find<QLineEdit>(dialog, 1008)->setText(c.typed);
        dialog.accept();
        EXPECT_EQ(dialog.GetActiveLayer(), c.index) << c.typed.toStdString();
    }
}

class ResizeDialog : public ::testing::Test {
protected:
    void Open(int32_t width, int32_t height)
    {
        handle = MakeArgbPicture(width, height, [](int, int) { return 0xFF000000u; });
        dialog.SetPicture(ITzPictGetPictureClass(handle));
        dialog.show();
    }
    ~ResizeDialog() override { ITzPictDestroy(handle); }

    QString Text(int id) { return dialog.findChild<QWidget*>(QString::number(id))->property("text").toString(); }
    QLineEdit* Box(int id) { return Find<QLineEdit>(dialog, id); }
    void Choose(int comboId, int index)
    {
        auto* combo = Find<QComboBox>(dialog, comboId);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    ImageResizeDlg dialog;
    void* handle = nullptr;
};

TEST_F(ResizeDialog, TypingAWidthKeepsTheProportionsAndLeavingTheBoxAppliesTheLimits)
{
    Open(1000, 800);
    EXPECT_EQ(Text(1114), QStringLiteral("71.98"));
    EXPECT_EQ(Text(1104), QStringLiteral("71.98"));
    Type(Box(1102), QStringLiteral("500"));
    EXPECT_EQ(Text(1103), QStringLiteral("400"));
    Type(Box(1102), QStringLiteral("30001"));
    Leave(Box(1102));
    EXPECT_EQ(Text(1102), QStringLiteral("30000"));
    EXPECT_EQ(Text(1103), QStringLiteral("24000"));
    Choose(1105, 1);
    EXPECT_EQ(Text(1114), QStringLiteral("28.34"));
    // Checking Constrain again brings the picture's size back.
    auto* constrain = Find<QCheckBox>(dialog, 1109);
    constrain->click();
    constrain->click();
    EXPECT_EQ(Text(1102), QStringLiteral("1000"));
    Choose(1111, 1);
    dialog.accept();
    EXPECT_EQ(dialog.GetNewWidth(), 1000u);
    EXPECT_EQ(dialog.GetNewHeight(), 800u);
    EXPECT_EQ(dialog.GetResolutionDPM(), 0u) << "the picture's own: none";
    EXPECT_EQ(dialog.GetResampleMode(), 0u);
}

TEST_F(ResizeDialog, PrintedSizesInInchesNeverGiveMoreThan30000Pixels)
{
    Open(1000, 800);
    Choose(1106, 1);
    Choose(1107, 1);
    Type(Box(1104), QStringLiteral("2159.55"));
    dialog.accept();
    EXPECT_EQ(dialog.GetNewWidth(), 30000u);
    EXPECT_EQ(dialog.GetNewHeight(), 24000u);
}

TEST(ResizeCommand, AnUntouchedOkLeavesThePictureUnchangedAndUnmodified)
{
    for (const uint32_t own : {0u, 3000u}) {
        CTamsleyDoc document;
        document.SetPictureHandle(MakeArgbPicture(120, 80, [](int, int) { return 0xFF102030u; }));
        ITzPicture* picture = document.GetPicture();
        picture->SetXPelsPerMeter(own);
        picture->SetYPelsPerMeter(own);
        picture->ClearModified();
        ImageResizeDlg dialog;
        dialog.SetPicture(picture);
        dialog.show();
        dialog.accept();
        ASSERT_TRUE(document.ResizePicture(int32_t(dialog.GetNewWidth()), int32_t(dialog.GetNewHeight()),
                                           dialog.GetResampleMode(), dialog.GetResolutionDPM()));
        EXPECT_EQ(picture->GetXPelsPerMeter(), own);
        EXPECT_EQ(document.IsModified(), 0) << own;
    }
}

TEST_F(ResizeDialog, WithoutResamplingAPrintedWidthSetsTheResolutionAndTheResolutionBoxTakesOnlyNumbersInRange)
{
    Open(144, 100);
    Find<QCheckBox>(dialog, 1110)->click();
    EXPECT_FALSE(Box(1102)->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>(dialog, 1109)->isEnabled());
    Choose(1106, 1);
    EXPECT_TRUE(Box(1102)->isEnabled());
    Type(Box(1102), QStringLiteral("2"));
    EXPECT_EQ(Text(1104), QStringLiteral("72.00"));
    Type(Box(1102), QStringLiteral("0"));  // ignored
    EXPECT_EQ(Text(1104), QStringLiteral("72.00"));
    Type(Box(1104), QStringLiteral("0"));
    EXPECT_EQ(Text(1104), QStringLiteral("0"));
    Leave(Box(1104));
    EXPECT_EQ(Text(1104), QStringLiteral("1.00"));
    Type(Box(1104), QStringLiteral("."));
    dialog.accept();
    EXPECT_EQ(dialog.GetNewWidth(), 144u);
    EXPECT_EQ(dialog.GetResolutionDPM(), 39u);  // 1 pixel per inch
    EXPECT_EQ(dialog.GetResampleMode(), 1u);
}

TEST_F(ResizeDialog, BadTextInAnyBoxEndsInRangeOnOk)
{
    Open(300, 200);
    const QString typed[] = {QString(), QStringLiteral("."), QStringLiteral("0"), QStringLiteral("-5"),
                             QStringLiteral("999999999999")};
    // Pixels with resampling, then printed inches without it.
    for (bool resample : {true, false}) {
        if (!resample) {
            Find<QCheckBox>(dialog, 1110)->click();
            Choose(1106, 1);
        }
        for (int box : {1102, 1103, 1104}) {
            for (const QString& text : typed) {
                if (!Box(box)->isEnabled())
                    continue;
                Type(Box(box), text);
                Leave(Box(box));
                // OK applies the limits to all three boxes.
                dialog.accept();
                dialog.show();
                EXPECT_GE(dialog.GetNewWidth(), 1u) << box << " " << text.toStdString();
                EXPECT_LE(dialog.GetNewWidth(), 30000u) << box << " " << text.toStdString();
                EXPECT_GE(dialog.GetNewHeight(), 1u) << box << " " << text.toStdString();
                EXPECT_LE(dialog.GetNewHeight(), 30000u) << box << " " << text.toStdString();
                // A resolution typed or reached through a printed size; until then the
                // picture's own, which it has none of.
                if ((box == 1104 && !text.isEmpty()) || !resample) {
                    EXPECT_GE(dialog.GetResolutionDPM(), 1u) << box << " " << text.toStdString();
                }
            }
        }
    }
}

TEST(ViewDialogs, RunThroughTheDialogInterfaceAndGiveTheirAnswerOnlyOnOk)
{
    ScopedDialogs dialogs;
    CViewDialogs view;
    uint8_t opacity = 0;
    EXPECT_FALSE(view.AskFillOpacity(nullptr, &opacity));
    dialogs->modal = [](QDialog* dialog) {
        dialog->show();
        Type(Find<QLineEdit>(*dialog, 1006), QStringLiteral("50"));
        dialog->accept();
        return dialog->result();
    };
    ASSERT_TRUE(view.AskFillOpacity(nullptr, &opacity));
    EXPECT_EQ(opacity, 128);
    dialogs->modal = [](QDialog* dialog) {
        dialog->show();
        Find<QLineEdit>(*dialog, 1008)->setText(QStringLiteral("4"));
        dialog->accept();
        return dialog->result();
    };
    uint16_t index = 1;
    ASSERT_TRUE(view.AskActiveLayer(nullptr, 5, &index));
    EXPECT_EQ(index, 4);
    EXPECT_EQ(dialogs->modalDialogs, 3);
}

TEST(InformationPanel, ShowsTheColourAndPositionUnderTheCursorAndEmptiesWhenCleared)
{
    RInfoData info;
    CDialogInfo panel;
    panel.AttachInfoData(&info);
    const auto fields = [&panel] {
        QStringList texts;
        for (int id = 1131; id <= 1135; ++id)
            texts << Find<QLabel>(panel, id)->text();
        return texts.join(u',');
    };
    EXPECT_EQ(fields(), QStringLiteral(",,,,"));
    const uint32_t colour[3] = {12, 34, 56};
    const int32_t position[2] = {-3, 70000};
    info.SetPosition(position);
    info.SetColor(colour);
    EXPECT_EQ(fields(), QStringLiteral("12,34,56,-3,70000"));
    info.Clear();
    EXPECT_EQ(fields(), QStringLiteral(",,,,"));
}

}  // namespace
