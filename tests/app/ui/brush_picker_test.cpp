// The brush picker on the real library: choosing and editing brushes, the application's
// brush command, the round-brush dialog's values, and the previews repainting exactly
// where a brush they show changed.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/ui/brush_file_path.h"
#include "app/ui/brush_manager.h"
#include "app/ui/brush_round.h"
#include "app/ui/brush_static.h"
#include "app/ui/dialog_select_brush.h"
#include "app/ui/program_parts.h"
#include "app/ui/round_brush_dialog.h"
#include "app/ui/slide_and_edit.h"
#include "app/ui/tool_brush.h"
#include "tests/app/shell/shell_test_support.h"
#include "tests/app/ui/tool_test_support.h"

namespace {

// A library of round brushes of the diameters, as the global one.
std::unique_ptr<CBrushManager> LibraryOf(const std::vector<uint32_t>& diameters)
{
    auto library = std::make_unique<CBrushManager>();
    EXPECT_EQ(CBrushManager::GetBrushManager(), library.get());
    for (const uint32_t diameter : diameters)
        library->AppendBrush(std::make_unique<CBrushRound>(diameter, 0));
    return library;
}

CBrushRound* RoundAt(uint32_t index)
{
    return static_cast<CBrushRound*>(CBrushManager::GetBrushManager()->GetBrush(index));
}

// A tool manager whose current tool paints with brush `index` (or with none).
struct RecordingTools : quorvel::IToolManager {
    bool brushTool = true;
    uint32_t index = 0;
    std::vector<uint32_t> given;
    int SelectTool(uint32_t) override { return 1; }
    void LoadSettings(int) override {}
    QWidget* CreateOptionsPanel(QWidget*) override { return nullptr; }
    bool CurrentBrushIndex(uint32_t* out) override
    {
        *out = index;
        return brushTool;
    }
    void SetCurrentBrush(uint32_t chosen) override
    {
        if (brushTool)
            given.push_back(chosen);
    }
};

QPoint CellCentre(RBrushSelectView& grid, uint32_t index)
{
    PTzRECT cell = {};
    EXPECT_TRUE(grid.GetItemRect(index, &cell));
    _tagPTzOFFSET offset = {};
    grid.GetListDisplayOffset(&offset);
    return {(cell.left + cell.right) / 2 - offset.x, (cell.top + cell.bottom) / 2 - offset.y};
}

void Click(QWidget* dialog, int id)
{
    auto* button = dialog->findChild<QPushButton*>(QString::number(id));
    ASSERT_TRUE(button) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

// Types into a number box over what it shows; Enter ends the box's edit (and presses
// the dialog's default button, as it would for a person).
void Type(QDialog& dialog, int id, const QString& text, bool enter)
{
    auto* edit = dialog.findChild<QLineEdit*>(QString::number(id));
    ASSERT_TRUE(edit) << id;
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
    if (enter)
        QTest::keyClick(edit, Qt::Key_Return);
}

// Whether the cell shows the selection's inner frame.
bool Framed(RBrushSelectView& grid, uint32_t index)
{
    const QImage shown = grid.viewport()->grab().toImage();
    const QPoint centre = CellCentre(grid, index);
    const QPoint inner(centre.x() - int(RBrushSelectView::kCellSize) / 2 + 1, centre.y());
    return qGray(shown.pixel(inner)) < 100;
}

TEST(BrushPicker, AClickSelectsADoubleClickEditsAndPresetsPastTheCountFrameNoCell)
{
    shelltest::ScopedDialogs dialogs;
    const auto library = LibraryOf({1, 5, 9, 13, 17, 25, 35, 55});
    struct {
        uint32_t preset;
        int framed;  // the framed cell, or -1
    } const presets[] = {{3, 3}, {8, 8}, {9, -1}, {0xFFFFFFFF, -1}};
    for (const auto& preset : presets) {
        CDialogSelectBrush picker;
        picker.SetSelectedIndex(preset.preset);
        std::vector<QString> opened;
        shelltest::AnswerModals(dialogs, [&](QDialog& dialog) {
            opened.push_back(dialog.windowTitle());
            if (&dialog != &picker) {
                EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("1060"))->text(), QStringLiteral("25"));
                return int(QDialog::Rejected);
            }
            RBrushSelectView& grid = picker.GetGrid();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&picker));
            EXPECT_EQ(grid.GetCount(), 8u);
            for (uint32_t cell = 0; cell < 8; ++cell)
                EXPECT_EQ(Framed(grid, cell), int(cell) == preset.framed) << preset.preset << " cell " << cell;
            QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCentre(grid, 2));
            EXPECT_EQ(picker.GetSelectedIndex(), 2u);
            EXPECT_TRUE(Framed(grid, 2));
            // The gap between cells belongs half to each; the border belongs to none.
            QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(2, 2));
            EXPECT_EQ(picker.GetSelectedIndex(), 2u);
            EXPECT_EQ(opened.size(), 1u);
            QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, CellCentre(grid, 5));
            EXPECT_EQ(picker.GetSelectedIndex(), 5u);
            EXPECT_EQ(opened, (std::vector<QString>{"Select Brush", "Brush"}));
            return int(QDialog::Rejected);
        });
        EXPECT_EQ(picker.DoModal(), QDialog::Rejected);
        EXPECT_EQ(library->GetBrush(5)->GetDisplayNumber(), 25u) << "the editor was cancelled";
    }
}

TEST(BrushPicker, AnEmptyLibraryShowsNoCellAndEditOpensNothing)
{
    shelltest::ScopedDialogs dialogs;
    const auto library = LibraryOf({});
    CDialogSelectBrush picker;
    shelltest::AnswerModals(dialogs, [&](QDialog& dialog) {
        EXPECT_EQ(&dialog, &picker);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&picker));
        EXPECT_EQ(picker.GetGrid().GetCount(), 0u);
        Click(&picker, CDialogSelectBrush::kEditButton);
        QTest::mouseDClick(picker.GetGrid().viewport(), Qt::LeftButton, {}, QPoint(30, 30));
        return int(QDialog::Rejected);
    });
    picker.DoModal();
    EXPECT_EQ(dialogs->modalDialogs, 1);
    EXPECT_EQ(picker.GetGrid().GetPreviewsDrawn(), 0u);
}

// The application's brush command with the real picker and library, and a tool manager
// that records what it is given.
class BrushCommand : public testing::Test {
protected:
    void SetUp() override
    {
        // The default library, whatever other tests of the process left behind.
        _tagPTzFILE file = {};
        ASSERT_TRUE(GetBrushFilePath(&file));
        std::filesystem::remove(std::u16string(file.path));
        CShellParts parts = MakeProgramParts();
        parts.toolManager = [this] {
            auto made = std::make_unique<RecordingTools>();
            tools = made.get();
            return made;
        };
        test = std::make_unique<shelltest::TestApp>(std::move(parts));
        ASSERT_TRUE(test->app->InitInstance());
        ASSERT_EQ(test->app->GetBrushManager()->GetBrushCount(), 20u);
    }
    void TearDown() override { test.reset(); }

    shelltest::ScopedDialogs dialogs;
    std::unique_ptr<shelltest::TestApp> test;
    RecordingTools* tools = nullptr;
};

TEST_F(BrushCommand, OkGivesTheBrushToolTheChosenBrushAndStartsOnItsOwn)
{
    tools->index = 4;
    shelltest::AnswerModals(dialogs, [&](QDialog& dialog) {
        auto& picker = dynamic_cast<CDialogSelectBrush&>(dialog);
        EXPECT_EQ(picker.GetGrid().GetSelectedIndex(), 4u);
        QTest::mouseClick(picker.GetGrid().viewport(), Qt::LeftButton, {}, CellCentre(picker.GetGrid(), 7));
        Click(&picker, 1);
        return picker.result();
    });
    test->app->OnBrushPicker();
    ASSERT_FALSE(tools->given.empty());
    EXPECT_EQ(tools->given, std::vector<uint32_t>(tools->given.size(), 7u));

    // Without a brush tool the picker starts on the first brush and nobody is given one.
    tools->brushTool = false;
    tools->given.clear();
    shelltest::AnswerModals(dialogs, [&](QDialog& dialog) {
        EXPECT_EQ(dynamic_cast<CDialogSelectBrush&>(dialog).GetGrid().GetSelectedIndex(), 0u);
        Click(&dialog, 1);
        return dialog.result();
    });
    test->app->OnBrushPicker();
    EXPECT_TRUE(tools->given.empty());
}

TEST_F(BrushCommand, CancelAfterEditKeepsTheEditsWhichReachTheFileAtExit)
{
    shelltest::AnswerModals(dialogs, [&](QDialog& dialog) {
        if (auto* editor = dynamic_cast<CRoundBrushDlg*>(&dialog)) {
            Type(*editor, 1060, QStringLiteral("77"), false);
            Click(editor, 1);
            return editor->result();
        }
        auto& picker = dynamic_cast<CDialogSelectBrush&>(dialog);
        QTest::mouseDClick(picker.GetGrid().viewport(), Qt::LeftButton, {}, CellCentre(picker.GetGrid(), 2));
        Click(&picker, 2);
        return picker.result();
    });
    test->app->OnBrushPicker();
    EXPECT_EQ(dialogs->modalDialogs, 2);
    EXPECT_TRUE(tools->given.empty());
    EXPECT_EQ(RoundAt(2)->GetDiameter(), 77);
    test.reset();
    CBrushManager again;
    ASSERT_TRUE(again.LoadBrushes());
    EXPECT_EQ(static_cast<CBrushRound*>(again.GetBrush(2))->GetDiameter(), 77);
}

TEST(RoundBrushDialog, TypedValuesReachTheRecordThroughTheClampsOfThePairsAndTheSetters)
{
    shelltest::ScopedDialogs dialogs;
    const struct {
        int box;
        const char* typed;
        uint32_t stored;
        uint32_t (*read)(const CBrushRound&);
    } cases[] = {
        {1060, "0", 1, [](const CBrushRound& r) { return uint32_t(r.GetDiameter()); }},
        {1060, "", 40, [](const CBrushRound& r) { return uint32_t(r.GetDiameter()); }},
        {1060, "99999999999", 1000, [](const CBrushRound& r) { return uint32_t(r.GetDiameter()); }},
        {1060, "-5", 1, [](const CBrushRound& r) { return uint32_t(r.GetDiameter()); }},
        {1065, "180", 0, [](const CBrushRound& r) { return uint32_t(r.GetAngle()); }},
        {1065, "179", 179, [](const CBrushRound& r) { return uint32_t(r.GetAngle()); }},
        {1065, "999", 0, [](const CBrushRound& r) { return uint32_t(r.GetAngle()); }},
        {1061, "150", 100, [](const CBrushRound& r) { return uint32_t(r.GetHardness()); }},
        {1042, "7", 7, [](const CBrushRound& r) { return uint32_t(r.GetRoundness()); }},
        {1067, "0", 1, [](const CBrushRound& r) { return r.GetSpacing(); }},
        {1067, "250", 250, [](const CBrushRound& r) { return r.GetSpacing(); }},
    };
    for (const auto& c : cases) {
        CBrushRound record(40, 50);
        CRoundBrushDlg editor;
        editor.SetBrush(&record);
        editor.SetBrush(nullptr);
        shelltest::AnswerModals(dialogs, [&](QDialog& dialog) {
            Type(dialog, c.box, QString::fromLatin1(c.typed), true);
            return dialog.result();
        });
        EXPECT_EQ(editor.DoModal(), QDialog::Accepted) << c.box << " " << c.typed;
        EXPECT_EQ(c.read(record), c.stored) << c.box << " " << c.typed;
    }
}

TEST(RoundBrushDialog, ShowsTheRecordOrTheDefaultsAndSetsThePressureFlags)
{
    shelltest::ScopedDialogs dialogs;
    const auto shown = [](QDialog& dialog) {
        QStringList values;
        for (const int box : {1060, 1061, 1042, 1065, 1067})
            values << dialog.findChild<QLineEdit*>(QString::number(box))->text();
        for (const int check : {CRoundBrushDlg::kPressureSize, CRoundBrushDlg::kPressureOpacity})
            values << (dialog.findChild<QCheckBox*>(QString::number(check))->isChecked() ? "on" : "off");
        return values.join(' ');
    };
    CRoundBrushDlg empty;
    shelltest::AnswerModals(dialogs, [&](QDialog& dialog) {
        EXPECT_EQ(shown(dialog), QStringLiteral("0 100 100 0 0 on off"));
        Click(&dialog, 1);
        return dialog.result();
    });
    EXPECT_EQ(empty.DoModal(), QDialog::Accepted);

    CBrushRound record(33, 60);
    record.SetRoundness(70);
    record.SetAngle(45);
    record.SetSpacing(150);
    record.SetPressureSize(false);
    CRoundBrushDlg editor;
    editor.SetBrush(&record);
    shelltest::AnswerModals(dialogs, [&](QDialog& dialog) {
        EXPECT_EQ(shown(dialog), QStringLiteral("33 60 70 45 150 off off"));
        QTest::mouseClick(dialog.findChild<QCheckBox*>(QString::number(CRoundBrushDlg::kPressureSize)), Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QCheckBox*>(QString::number(CRoundBrushDlg::kPressureOpacity)), Qt::LeftButton);
        Click(&dialog, 1);
        return dialog.result();
    });
    editor.DoModal();
    EXPECT_TRUE(record.GetPressureSize());
    EXPECT_TRUE(record.GetPressureOpacity());
    EXPECT_EQ(record.GetDiameter(), 33);
}

// Brush previews side by side, shown.
struct Previews {
    explicit Previews(const std::vector<uint32_t>& indexes)
    {
        auto* layout = new QVBoxLayout(&panel);
        for (const uint32_t index : indexes) {
            auto* preview = new RBrushStatic(&panel);
            preview->setFixedSize(60, 60);
            preview->SetBrushIndex(index);
            layout->addWidget(preview);
            shown.push_back(preview);
        }
        panel.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&panel));
        Settle();
        for (const RBrushStatic* preview : shown)
            EXPECT_EQ(preview->GetPreviewsDrawn() > 0, preview->GetHeardRecord() != nullptr);
        Start();
    }
    static void Settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    // The tips each preview drew since it was first shown.
    std::vector<uint64_t> Drawn() const
    {
        std::vector<uint64_t> drawn;
        for (size_t i = 0; i < shown.size(); ++i)
            drawn.push_back(shown[i]->GetPreviewsDrawn() - first[i]);
        return drawn;
    }
    void Start()
    {
        first.clear();
        for (const RBrushStatic* preview : shown)
            first.push_back(preview->GetPreviewsDrawn());
    }
    QWidget panel;
    std::vector<RBrushStatic*> shown;
    std::vector<uint64_t> first;
};

TEST(BrushPreview, AChangedRecordRepaintsOnlyThePreviewsThatShowIt)
{
    const auto library = LibraryOf({5, 9, 13, 17});
    Previews previews({1, 2, 1, 7});
    EXPECT_EQ(previews.shown[3]->GetHeardRecord(), nullptr) << "index 7 has no brush";
    RoundAt(1)->SetDiameter(30);
    Previews::Settle();
    EXPECT_EQ(previews.Drawn(), (std::vector<uint64_t>{1, 0, 1, 0}));
    RoundAt(3)->SetHardness(100);
    RoundAt(2)->SetDiameter(13);  // unchanged: no notification
    Previews::Settle();
    EXPECT_EQ(previews.Drawn(), (std::vector<uint64_t>{1, 0, 1, 0}));
    // A preview that moves to another brush hears that one only.
    previews.shown[0]->SetBrushIndex(3);
    Previews::Settle();
    EXPECT_EQ(previews.shown[0]->GetHeardRecord(), library->GetBrush(3));
    previews.Start();
    RoundAt(1)->SetDiameter(31);
    RoundAt(3)->SetDiameter(40);
    Previews::Settle();
    EXPECT_EQ(previews.Drawn(), (std::vector<uint64_t>{1, 0, 1, 0}));
}

// A brush tool's side of 5153: the parameter points to its brush index.
struct ToolBroadcast : PTzBroadcaster {
    void IndexChanged(uint32_t index)
    {
        m_index = index;
        Broadcast(BRUSH_CHANGED_MESSAGE, &m_index, this);
    }
    uint32_t m_index = 0;
};

TEST(BrushPreview, FollowsTheBrushIndexATool5153CarriesNotOnlyRepaints)
{
    const auto library = LibraryOf({5, 9, 13, 17});
    Previews previews({0});
    RBrushStatic& preview = *previews.shown[0];
    ToolBroadcast tool;
    ASSERT_TRUE(preview.AddToBroadcaster(&tool));
    tool.IndexChanged(2);
    Previews::Settle();
    EXPECT_EQ(preview.GetBrushIndex(), 2u);
    EXPECT_EQ(preview.GetHeardRecord(), library->GetBrush(2));
    EXPECT_EQ(previews.Drawn(), std::vector<uint64_t>{1});
    tool.IndexChanged(2);
    Previews::Settle();
    EXPECT_EQ(previews.Drawn(), std::vector<uint64_t>{1}) << "the index in force changes nothing";
}

TEST(BrushPreview, ADoubleClickPicksTheBrushItShows)
{
    shelltest::ScopedDialogs dialogs;
    const auto library = LibraryOf({5, 9, 13, 17});
    Previews previews({1});
    shelltest::AnswerModals(dialogs, [&](QDialog& dialog) {
        auto& picker = dynamic_cast<CDialogSelectBrush&>(dialog);
        EXPECT_EQ(picker.GetGrid().GetSelectedIndex(), 1u);
        QTest::mouseClick(picker.GetGrid().viewport(), Qt::LeftButton, {}, CellCentre(picker.GetGrid(), 3));
        Click(&picker, 1);
        return picker.result();
    });
    QTest::mouseDClick(previews.shown[0], Qt::LeftButton);
    EXPECT_EQ(previews.shown[0]->GetBrushIndex(), 3u);
}

// The program's own tool manager: the picker's choice reaches the current brush tool,
// whose 5153 moves the preview of its panel to the new brush.
class PickerWithTools : public tooltest::ToolTest {
protected:
    void SetUp() override
    {
        // The default library, whatever other tests of the process left behind.
        _tagPTzFILE file = {};
        ASSERT_TRUE(GetBrushFilePath(&file));
        std::filesystem::remove(std::u16string(file.path));
        ToolTest::SetUp();
    }
    void BeforeStart(CShellParts& parts) override
    {
        parts.brushPicker = [] { return std::make_unique<CBrushPicker>(); };
    }
};

TEST_F(PickerWithTools, OkSetsThePensBrushAndThePreviewOfItsPanelFollows)
{
    ASSERT_GE(CBrushManager::GetBrushManager()->GetBrushCount(), 8u);
    Select(tool_id::PEN);
    auto* pen = static_cast<CTool_BrushBase*>(tools->FindTool(tool_id::PEN));
    RBrushStatic preview(frame);
    preview.SetBrushIndex(pen->GetBrushIndex());
    ASSERT_TRUE(preview.AddToBroadcaster(pen));
    ASSERT_NE(pen->GetBrushIndex(), 7u);
    shelltest::AnswerModals(dialogs, [&](QDialog& dialog) {
        auto& picker = dynamic_cast<CDialogSelectBrush&>(dialog);
        EXPECT_EQ(picker.GetGrid().GetSelectedIndex(), pen->GetBrushIndex());
        QTest::mouseClick(picker.GetGrid().viewport(), Qt::LeftButton, {}, CellCentre(picker.GetGrid(), 7));
        Click(&picker, 1);
        return picker.result();
    });
    test->app->OnBrushPicker();
    EXPECT_EQ(pen->GetBrushIndex(), 7u);
    EXPECT_EQ(preview.GetBrushIndex(), 7u);
    EXPECT_EQ(CBrushManager::GetBrushManager()->GetCurrentBrush(), CBrushManager::GetBrushManager()->GetBrush(7));

    // Under a tool without a brush the choice goes nowhere.
    Select(tool_id::TEXT);
    shelltest::AnswerModals(dialogs, [&](QDialog& dialog) {
        auto& picker = dynamic_cast<CDialogSelectBrush&>(dialog);
        QTest::mouseClick(picker.GetGrid().viewport(), Qt::LeftButton, {}, CellCentre(picker.GetGrid(), 2));
        Click(&picker, 1);
        return picker.result();
    });
    test->app->OnBrushPicker();
    EXPECT_EQ(pen->GetBrushIndex(), 7u);
}

TEST(BrushPicker, APaintOfAThousandBrushesDrawsOnlyTheVisibleCells)
{
    std::vector<uint32_t> diameters;
    for (uint32_t i = 0; i < 1000; ++i)
        diameters.push_back(1 + i % 200);
    const auto library = LibraryOf(diameters);
    RBrushSelectView grid;
    grid.SetCount(1000);
    grid.resize(340, 258);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    for (const int scrolled : {0, 61 * 100 + 30, grid.verticalScrollBar()->maximum()}) {
        grid.verticalScrollBar()->setValue(scrolled);
        QCoreApplication::processEvents();
        const uint64_t before = grid.GetPreviewsDrawn();
        grid.viewport()->repaint();
        uint64_t visible = 0;
        for (uint32_t index = 0; index < 1000; ++index) {
            const QPoint centre = CellCentre(grid, index);
            visible += QRect(centre - QPoint(30, 30), QSize(60, 60)).intersects(grid.viewport()->rect());
        }
        EXPECT_GT(visible, 0u);
        EXPECT_EQ(grid.GetPreviewsDrawn() - before, visible) << scrolled;
    }
}

}  // namespace
