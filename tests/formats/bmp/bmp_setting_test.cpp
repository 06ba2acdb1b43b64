// The format setting: its rules on their own, the setting entries with the prompt
// replaced, and the options dialog's controls driven without showing it modally.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "base/memory.h"
#include "formats/bmp/bitmora_entries.h"
#include "formats/bmp/bmp_options_dialog.h"
#include "formats/bmp/bmp_setting.h"
#include "tests/formats/bmp/bmp_test_files.h"

namespace {

_tagFTzBMPSETTING Normalised(_tagFTzBMPSETTING setting, uint16_t imageBits)
{
    bitmora::NormaliseBmpSetting(&setting, imageBits);
    return setting;
}

TEST(BmpSettingRules, NormalisingKeepsOnlyDepthsTheImageAllows)
{
    const struct {
        uint16_t imageBits;
        uint32_t os2;
        uint32_t depth;
        uint32_t expected;
    } cases[] = {
        {1, 0, 24, 1},  {8, 0, 4, 8},   {4, 0, 8, 8}, {4, 0, 24, 4},  {4, 1, 8, 8},
        {24, 0, 16, 16}, {24, 0, 32, 32}, {24, 0, 8, 24},   {24, 1, 32, 24}, {24, 0, 0x10010, 16},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Normalised(Setting(c.depth, c.os2), c.imageBits).depth, c.expected)
            << c.imageBits << " " << c.os2 << " " << c.depth;
}

TEST(BmpSettingRules, NormalisingClearsCompressAndOs2Flip)
{
    EXPECT_EQ(Normalised(Setting(8, 0, 1, 1), 8).compress, 0u);
    EXPECT_EQ(Normalised(Setting(8, 0, 1, 1), 8).flip, 1u);
    EXPECT_EQ(Normalised(Setting(8, 1, 1, 0), 8).flip, 0u);
}

TEST(BmpSettingRules, EnabledControlsFollowTheImageAndFormat)
{
    using bitmora::BmpEnabledControls;
    const bitmora::BmpControlStates rgbWindows = BmpEnabledControls(Setting(24), 24);
    EXPECT_FALSE(rgbWindows.depth[0] || rgbWindows.depth[1] || rgbWindows.depth[2]);
    EXPECT_TRUE(rgbWindows.depth[3] && rgbWindows.depth[4] && rgbWindows.depth[5]);
    EXPECT_TRUE(rgbWindows.flip);
    const bitmora::BmpControlStates rgbOs2 = BmpEnabledControls(Setting(24, 1), 24);
    EXPECT_FALSE(rgbOs2.depth[3] || rgbOs2.depth[5] || rgbOs2.flip);
    EXPECT_TRUE(rgbOs2.depth[4]);
    const bitmora::BmpControlStates nibbles = BmpEnabledControls(Setting(4), 4);
    EXPECT_TRUE(nibbles.depth[1]);
    EXPECT_FALSE(nibbles.depth[2] || nibbles.depth[4]);
    EXPECT_FALSE(nibbles.compress);
    EXPECT_TRUE(BmpEnabledControls(Setting(1), 1).depth[0]);
}

TEST(BmpSettingEntries, ANewSettingIsWindows24Bit)
{
    void* block = FTzPlugInCreateFormatSetting(nullptr);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(PTzBlockSize(block), 36u);
    _tagFTzBMPSETTING setting;
    ASSERT_TRUE(bitmora::LoadBmpSetting(block, &setting));
    EXPECT_EQ(setting.os2, 0u);
    EXPECT_EQ(setting.depth, 24u);
    EXPECT_EQ(setting.compress, 0u);
    EXPECT_EQ(setting.flip, 0u);
    EXPECT_EQ(FTzPlugInReleaseFormatSetting(block), 1);
    EXPECT_EQ(FTzPlugInReleaseFormatSetting(nullptr), 0);
}

_tagFTzIMAGEINFO_1 ImageOf(uint16_t bits)
{
    _tagFTzIMAGEINFO_1 info{};
    info.width = 2;
    info.height = 2;
    info.bits = bits;
    info.mode = PTzCOLORMODE_RGB;
    return info;
}

// Answers for the user: picks OS/2 and confirms, or cancels after changing the copy.
bool ConfirmOs2(_tagFTzBMPSETTING* setting, uint16_t, void*)
{
    setting->os2 = 1;
    return true;
}

bool CancelAfterChange(_tagFTzBMPSETTING* setting, uint16_t, void*)
{
    setting->depth = 1;
    return false;
}

TEST(BmpSettingEntries, TheDialogsChoiceIsKeptOnlyWhenConfirmed)
{
    void* block = FTzPlugInCreateFormatSetting(nullptr);
    const _tagFTzIMAGEINFO_1 info = ImageOf(24);
    bitmora::SetBmpOptionsPrompt(CancelAfterChange);
    EXPECT_EQ(FTzPlugInGetFormatSettingByDefaultDlg_1(block, &info, nullptr), 0);
    _tagFTzBMPSETTING setting;
    bitmora::LoadBmpSetting(block, &setting);
    EXPECT_EQ(setting.depth, 24u);
    bitmora::SetBmpOptionsPrompt(ConfirmOs2);
    EXPECT_NE(FTzPlugInGetFormatSettingByDefaultDlg_1(block, &info, nullptr), 0);
    bitmora::LoadBmpSetting(block, &setting);
    EXPECT_EQ(setting.os2, 1u);
    bitmora::SetBmpOptionsPrompt(nullptr);
    EXPECT_EQ(FTzPlugInGetFormatSettingByDefaultDlg_1(nullptr, &info, nullptr), 0);
    EXPECT_EQ(FTzPlugInGetFormatSettingByDefaultDlg_1(block, nullptr, nullptr), 0);
    FTzPlugInReleaseFormatSetting(block);
}

// Runs before any application object exists in this process.
TEST(BmpOptionsWithoutApplication, AnswersCancel)
{
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    void* block = FTzPlugInCreateFormatSetting(nullptr);
    const _tagFTzIMAGEINFO_1 info = ImageOf(8);
    EXPECT_EQ(FTzPlugInGetFormatSettingByDefaultDlg_1(block, &info, nullptr), 0);
    _tagFTzBMPSETTING setting;
    bitmora::LoadBmpSetting(block, &setting);
    EXPECT_EQ(setting.depth, 24u);
    FTzPlugInReleaseFormatSetting(block);
}

class BmpOptionsDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "bmp_setting_test";
        static char* argv[] = {name, nullptr};
        application = new QApplication(argc, argv);
    }
    static void TearDownTestSuite()
    {
        delete application;
        application = nullptr;
    }

    template <typename Widget>
    static Widget* Control(const QDialog& dialog, int id)
    {
        auto* widget = dialog.findChild<Widget*>(QString::number(id));
        EXPECT_NE(widget, nullptr) << id;
        return widget;
    }

    static QApplication* application;
};

QApplication* BmpOptionsDialogTest::application = nullptr;

TEST_F(BmpOptionsDialogTest, ShowsTheControlsOfItsResource)
{
    bitmora::BmpOptionsDialog dialog(Setting(24), 24);
    EXPECT_EQ(dialog.windowTitle(), "BMP Options");
    const std::pair<int, const char*> texts[] = {
        {1000, "Windows"}, {1001, "OS/2"},   {1002, "1 bit"},  {1003, "4 bit"},  {1004, "8 bit"},
        {1005, "16 bit"},  {1006, "24 bit"}, {1007, "32 bit"}, {1008, "Compress"}, {1009, "Flip row order"},
        {1, "OK"},         {2, "Cancel"},
    };
    for (const auto& [id, text] : texts)
        EXPECT_EQ(Control<QAbstractButton>(dialog, id)->text(), text);
    QStringList groups;
    for (const QGroupBox* group : dialog.findChildren<QGroupBox*>())
        groups << group->title();
    EXPECT_EQ(groups, (QStringList{"File Format", "Depth"}));
}

TEST_F(BmpOptionsDialogTest, EveryClickIsNormalisedAndShown)
{
    bitmora::BmpOptionsDialog dialog(Setting(32, 0, 1), 24);
    EXPECT_TRUE(Control<QRadioButton>(dialog, 1007)->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(dialog, 1009)->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(dialog, 1008)->isEnabled());

    Control<QRadioButton>(dialog, 1001)->click();  // OS/2: 24 bits, no flip
    EXPECT_EQ(dialog.setting().os2, 1u);
    EXPECT_EQ(dialog.setting().depth, 24u);
    EXPECT_EQ(dialog.setting().flip, 0u);
    EXPECT_TRUE(Control<QRadioButton>(dialog, 1006)->isChecked());
    EXPECT_FALSE(Control<QRadioButton>(dialog, 1007)->isChecked());
    EXPECT_FALSE(Control<QRadioButton>(dialog, 1005)->isEnabled());
    EXPECT_FALSE(Control<QCheckBox>(dialog, 1009)->isEnabled());
    EXPECT_FALSE(Control<QRadioButton>(dialog, 1000)->isChecked());

    Control<QRadioButton>(dialog, 1000)->click();
    Control<QRadioButton>(dialog, 1005)->click();
    Control<QCheckBox>(dialog, 1009)->click();
    EXPECT_EQ(dialog.setting().depth, 16u);
    EXPECT_EQ(dialog.setting().flip, 1u);
    Control<QRadioButton>(dialog, 1005)->click();  // clicking the checked depth keeps it
    EXPECT_TRUE(Control<QRadioButton>(dialog, 1005)->isChecked());

    Control<QPushButton>(dialog, 1)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(BmpOptionsDialogTest, OpensOnTheNormalisedSettingAndCancels)
{
    bitmora::BmpOptionsDialog dialog(Setting(24, 0, 0, 1), 4);
    EXPECT_EQ(dialog.setting().depth, 4u);
    EXPECT_EQ(dialog.setting().compress, 0u);
    EXPECT_TRUE(Control<QRadioButton>(dialog, 1003)->isChecked());
    EXPECT_FALSE(Control<QRadioButton>(dialog, 1004)->isEnabled());
    Control<QPushButton>(dialog, 2)->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

}  // namespace
