// The application object and its managers: start-up and shut-down order, the idle turn,
// Random Pressure, the filter string, the current colours, the error log, and the main
// frame's panels with stand-ins for the parts that come later.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDockWidget>
#include <QLabel>
#include <QMdiArea>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <string>
#include <sys/stat.h>

#include "app/shell/clamp_rect.h"
#include "app/shell/current_colours.h"
#include "app/shell/error_log.h"
#include "app/shell/file_filters.h"
#include "app/shell/idle_manager.h"
#include "app/shell/info_data.h"
#include "app/shell/main_frame.h"
#include "app/shell/panel_place.h"
#include "app/shell/path_text.h"
#include "app/shell/settings_store.h"
#include "app/shell/shell_strings.h"
#include "tests/app/shell/shell_test_support.h"

using namespace shelltest;
using quorvel::PanelSlot;

namespace {

using Log = std::shared_ptr<std::vector<std::string>>;

// Stand-ins record what happens to them in one shared log.
struct StandInTools : quorvel::IToolManager {
    explicit StandInTools(Log log) : log(std::move(log)) {}
    ~StandInTools() override
    {
        const bool frameGone = !CTamsleyApp::Get() || !CTamsleyApp::Get()->GetMainFrame();
        log->push_back(frameGone ? "tools after the frame" : "tools before the frame");
    }
    int SelectTool(uint32_t id) override { return log->push_back("select " + std::to_string(id)), 1; }
    void LoadSettings(int brushes) override { log->push_back("load tools " + std::to_string(brushes)); }
    QWidget* CreateOptionsPanel(QWidget* parent) override { return new QLabel(QStringLiteral("Options"), parent); }
    bool CurrentBrushIndex(uint32_t*) override { return false; }
    void SetCurrentBrush(uint32_t) override {}
    Log log;
};

struct StandInBrushes : quorvel::IBrushManager {
    explicit StandInBrushes(Log log) : log(std::move(log)) {}
    ~StandInBrushes() override { log->push_back("brushes"); }
    int Load() override { return log->push_back("load brushes"), 1; }
    uint32_t GetBrushCount() override { return 3; }
    Log log;
};

struct StandInClipboard : quorvel::IClipboardBridge {
    explicit StandInClipboard(Log log) : log(std::move(log)) {}
    ~StandInClipboard() override { log->push_back("clipboard"); }
    int GetImageSize(int32_t* width, int32_t* height) override { return *width = 320, *height = 200, 1; }
    void OnAppActivate(bool) override {}
    Log log;
};

// Panels of fixed sizes: information 200 x 100, layers 220 x 300, palette 60 x 400.
struct StandInPanels : quorvel::IPanelProvider {
    QWidget* CreatePanel(PanelSlot slot, QWidget* parent) override
    {
        auto* panel = new QLabel(parent);
        panel->setFixedSize(slot == PanelSlot::Info ? QSize(200, 100)
                            : slot == PanelSlot::Layers ? QSize(220, 300)
                                                        : QSize(60, 400));
        if (slot == PanelSlot::ToolPalette)
            (new QWidget(panel))->setObjectName(QStringLiteral("1082"));
        return panel;
    }
};

CShellParts PartsWith(const Log& log)
{
    CShellParts parts;
    parts.toolManager = [log] { return std::make_unique<StandInTools>(log); };
    parts.brushManager = [log] { return std::make_unique<StandInBrushes>(log); };
    parts.clipboardBridge = [log] { return std::make_unique<StandInClipboard>(log); };
    parts.panels = [] { return std::make_unique<StandInPanels>(); };
    parts.uninitEngine = [log] { log->push_back("engine"); };
    return parts;
}

struct CountingHandler : CRIdlehandler {
    int OnIdle() override { return ++calls, calls < wanted ? 1 : 0; }
    int calls = 0;
    int wanted = 0;
};

TEST(Application, StartsWithoutDocumentsAndShutsDownInOrder)
{
    ScopedDialogs dialogs;
    const Log log = std::make_shared<std::vector<std::string>>();
    {
        TestApp test(PartsWith(log));
        ASSERT_TRUE(test.app->InitInstance());
        EXPECT_TRUE(test.app->GetMainFrame()->isVisible());
        EXPECT_TRUE(test.app->GetMainFrame()->GetChildFrames().isEmpty());
        EXPECT_EQ(test.app->GetMainFrame()->Action(quorvel::ID_APP_ABOUT)->text(),
                  QStringLiteral("&About ") + quorvel::LoadShellString(quorvel::IDS_APP_NAME) + QStringLiteral("..."));
        test.app->GetMainFrame()->Action(1082)->trigger();  // the bucket's palette button
        log->push_back("end");
    }
    EXPECT_EQ(*log, (std::vector<std::string>{"load brushes", "load tools 1", "select " + std::to_string(PTzFourCC("BUCT")),
                                              "end", "clipboard", "tools after the frame", "brushes", "engine"}));
}

TEST(Application, TheStatusBarSaysReadyAgainOnceACommandsPromptIsGone)
{
    ScopedDialogs dialogs;
    TestApp test;
    ASSERT_TRUE(test.app->InitInstance());
    CMainFrame* frame = test.app->GetMainFrame();
    EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("Ready"));
    // What a menu's command sends while the pointer is on it, and as the menu closes.
    for (const QString& tip : {QStringLiteral("Zoom in"), QString()}) {
        QStatusTipEvent prompt(tip);
        QCoreApplication::sendEvent(frame, &prompt);
        EXPECT_EQ(frame->statusBar()->currentMessage(), tip.isEmpty() ? QStringLiteral("Ready") : tip);
    }
}

TEST(Application, EveryIdleHandlerRunsEachTurnButNoneUnderAModalDialog)
{
    ScopedDialogs dialogs;
    TestApp test;
    ASSERT_TRUE(test.app->InitInstance());
    CountingHandler first;
    CountingHandler second;
    CountingHandler never;
    EXPECT_EQ(test.app->OnIdle(), 0) << "no handlers, no more time";
    EXPECT_EQ(never.Unregister(), 1);
    first.wanted = 100;
    EXPECT_EQ(first.Register(), 1);
    EXPECT_EQ(first.Register(), 1);
    EXPECT_EQ(second.Register(), 1);
    EXPECT_EQ(test.app->OnIdle(), 1);
    EXPECT_EQ(first.calls, 1) << "registered twice, called once";
    EXPECT_EQ(second.calls, 1) << "called although the first wants more";
    // The event loop keeps coming round while the first wants time.
    RunEventLoop(100);
    EXPECT_GE(first.calls, 100);
    const int before = second.calls;
    int duringModal = -1;
    QDialog modal(test.app->GetMainFrame());
    QTimer::singleShot(50, [&] { duringModal = second.calls; });
    QTimer::singleShot(100, &modal, &QDialog::accept);
    modal.exec();
    EXPECT_EQ(duringModal, before);
    EXPECT_EQ(first.Unregister(), 1);
    EXPECT_EQ(first.IsRegistered(), 0);
}

TEST(Application, RandomPressureRunsATriangleWave)
{
    ScopedDialogs dialogs;
    TestApp test;
    EXPECT_EQ(test.app->GetRandomPressure(), 255);
    test.app->OnRandomPressure();
    std::vector<int> wave;
    for (int i = 0; i < 55; ++i)
        wave.push_back(test.app->GetRandomPressure());
    std::vector<int> expected;
    for (int v = 10; v <= 250; v += 10)
        expected.push_back(v);
    for (int v = 255; v >= 5; v -= 10)
        expected.push_back(v);
    expected.insert(expected.end(), {0, 10, 20, 30});
    EXPECT_EQ(wave, expected);
    test.app->OnRandomPressure();
    EXPECT_EQ(test.app->GetRandomPressure(), 255);
}

TEST(Application, TheOpenFilterListsAllFormatsFirst)
{
    auto record = [](const char16_t* description, const char16_t* patterns) {
        _tagFTzFILTERINFO info = {};
        std::char_traits<char16_t>::copy(info.description, description, std::char_traits<char16_t>::length(description));
        std::char_traits<char16_t>::copy(info.patterns, patterns, std::char_traits<char16_t>::length(patterns));
        return info;
    };
    const std::vector<_tagFTzFILTERINFO> records = {record(u"A", u"*.A1;*.A2"), record(u"B (*.B)", u"*.B")};
    const QString filter = quorvel::BuildLoadFilterString(records);
    EXPECT_EQ(filter, QStringLiteral("All Formats|*.A1;*.A2;*.B;|A|*.A1;*.A2|B (*.B)|*.B||"));
    EXPECT_EQ(quorvel::QtNameFilters(filter),
              (QStringList{QStringLiteral("All Formats (*.A1 *.A2 *.B)"), QStringLiteral("A (*.A1 *.A2)"),
                           QStringLiteral("B (*.B)")}));
    EXPECT_EQ(quorvel::BuildSaveFilterString(records), QStringLiteral("A|*.A1;*.A2|B (*.B)|*.B||"));
}

struct ColourListener : PTzListener {
    int Listen(uint32_t message, void* param, PTzBroadcaster*) override
    {
        heard.push_back({message, static_cast<_tagPTzCOLOR*>(param)->components[0]});
        return 1;
    }
    std::vector<std::pair<uint32_t, uint8_t>> heard;
};

TEST(Application, TheCurrentColoursStayOpaqueAnnounceSwapsAndPersist)
{
    quorvel::AppSettings().Wipe();
    ScopedDialogs dialogs;
    {
        CImageDataManager colours;
        EXPECT_EQ(CImageDataManager::GetImageDataManager(), &colours);
        ColourListener listener;
        ASSERT_EQ(listener.AddToBroadcaster(&colours), 1);
        const _tagPTzCOLOR clear = {PTzCOLORMODE_GRAY, 0, {40, 50, 60}};
        colours.SetFrontColor(&clear);
        _tagPTzCOLOR front = {};
        _tagPTzCOLOR back = {};
        colours.GetFrontColor(&front);
        colours.GetBackColor(&back);
        EXPECT_EQ(front.alpha, 255);
        EXPECT_EQ(front.mode, PTzCOLORMODE_ARGB);
        EXPECT_EQ(front.components[0], 40);
        EXPECT_EQ(back.components[0], 255) << "the other colour stays";
        listener.heard.clear();
        colours.SwapColors();
        EXPECT_EQ(listener.heard, (std::vector<std::pair<uint32_t, uint8_t>>{{5151, 255}, {5152, 40}}));
        // A stored colour is taken as stored, alpha 0 included.
    }
    EXPECT_EQ(CImageDataManager::GetImageDataManager(), nullptr);
    _tagPTzCOLOR stored = {PTzCOLORMODE_ARGB, 0, {1, 2, 3}};
    WriteAppSetting(u"Back_Color", quorvel::REG_BINARY, &stored, sizeof(stored));
    CImageDataManager colours;
    _tagPTzCOLOR front = {};
    _tagPTzCOLOR back = {};
    colours.GetFrontColor(&front);
    colours.GetBackColor(&back);
    EXPECT_EQ(front.components[0], 255);
    EXPECT_EQ(back.alpha, 0);
    EXPECT_EQ(back.components[2], 3);
}

TEST(Application, TheInformationDataReadsAsAbsentOnceCleared)
{
    struct Heard : PTzListener {
        int Listen(uint32_t message, void*, PTzBroadcaster* sender) override
        {
            messages.push_back(message);
            senders.push_back(sender);
            return 1;
        }
        std::vector<uint32_t> messages;
        std::vector<PTzBroadcaster*> senders;
    } heard;
    RInfoData info;
    EXPECT_EQ(RInfoData::GetInfoData(), &info);
    ASSERT_EQ(heard.AddToBroadcaster(&info), 1);
    uint32_t colour[3] = {};
    int32_t position[2] = {};
    EXPECT_EQ(info.GetColor(colour), 0);
    const uint32_t red[3] = {255, 0, 0};
    const int32_t where[2] = {-3, 7};
    info.SetColor(red);
    info.SetPosition(where);
    ASSERT_EQ(info.GetPosition(position), 1);
    EXPECT_EQ(position[0], -3);
    info.Clear();
    EXPECT_EQ(info.GetColor(colour), 0);
    EXPECT_EQ(info.GetPosition(position), 0);
    EXPECT_EQ(heard.messages, (std::vector<uint32_t>{5155, 5156, 5157}));
    EXPECT_EQ(heard.senders, (std::vector<PTzBroadcaster*>(3, &info)));
}

TEST(Application, TheColourDialogChangesOnlyRedGreenAndBlue)
{
    quorvel::AppSettings().Wipe();
    ScopedDialogs dialogs;
    TestApp test;
    ASSERT_TRUE(test.app->InitInstance());
    const _tagPTzCOLOR half = {PTzCOLORMODE_ARGB, 128, {1, 2, 3}};
    test.app->GetColours()->SetFrontColor(&half);
    dialogs->colourChosen = true;
    dialogs->colour = QColor(10, 20, 30);
    test.app->OnFrontColor();
    _tagPTzCOLOR front = {};
    test.app->GetColours()->GetFrontColor(&front);
    EXPECT_EQ(front.alpha, 128);
    EXPECT_EQ(front.components[0], 10);
    EXPECT_EQ(front.components[2], 30);
}

TEST(Application, TheErrorLogStartsAfreshEachRun)
{
    TempFolder temp;
    const _tagPTzFILE path = temp.Record("Error/Error.dat");
    Quorvel_ERROR::SetCurrentTool(1);
    Quorvel_ERROR::WriteEntry();  // no log: nothing happens
    ASSERT_EQ(mkdir(temp.Item("Error").c_str(), 0700), 0);
    temp.Write("Error/Error.dat", std::string(4000, 'x'));  // a longer log of an earlier run
    {
        Quorvel_ERROR log(&path);
        EXPECT_EQ(Quorvel_ERROR::GetErrorLog(), &log);
        Quorvel_ERROR::SetCurrentTool(PTzFourCC("BUCT"));
        Quorvel_ERROR::WriteEntry();
        Quorvel_ERROR::WriteEntry();
    }
    const std::string bytes = temp.Read("Error/Error.dat");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 5) << text.toStdString();
    EXPECT_TRUE(lines[4].isEmpty());
    EXPECT_EQ(lines[1], QStringLiteral("Tool = BUCT"));
    EXPECT_EQ(lines[3], QStringLiteral("Tool = BUCT"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d/\\d\\d,\\d\\d:\\d\\d:\\d\\d$")).match(lines[0]).hasMatch());
    EXPECT_FALSE(text.contains(QLatin1Char('x')));
    // A program folder that cannot take the log sends it to the state folder.
    _tagPTzFILE place;
    ASSERT_TRUE(Quorvel_ERROR::LogPath(QString::fromStdString(temp.Item("gone")), &place));
    EXPECT_EQ(quorvel::TextFromPathRecord(place),
              qEnvironmentVariable("XDG_STATE_HOME") + QStringLiteral("/Pellidor/Quorvel/Error/Error.dat"));
}

TEST(Application, PanelsStartAtTheirDefaultPlacesAndComeBackWhereTheyWereLeft)
{
    quorvel::AppSettings().Wipe();
    ScopedDialogs dialogs;
    const Log log = std::make_shared<std::vector<std::string>>();
    QPoint moved;
    {
        TestApp test(PartsWith(log));
        ASSERT_TRUE(test.app->InitInstance());
        CMainFrame* frame = test.app->GetMainFrame();
        ASSERT_TRUE(QTest::qWaitFor([&] { return frame->GetPanel(PanelSlot::ToolPalette)->isVisible(); }));
        // In the area of the documents, below the bars.
        const QPoint client = frame->GetMdiArea()->mapToGlobal(QPoint(0, 0));
        const int right = client.x() + frame->GetMdiArea()->width();
        EXPECT_GT(client.y(), frame->findChild<QToolBar*>()->mapToGlobal(QPoint(0, 0)).y());
        QDockWidget* info = frame->GetPanel(PanelSlot::Info);
        QDockWidget* layers = frame->GetPanel(PanelSlot::Layers);
        QDockWidget* palette = frame->GetPanel(PanelSlot::ToolPalette);
        ASSERT_TRUE(info && layers && palette);
        EXPECT_EQ(info->frameGeometry().topLeft(), QPoint(right - info->frameGeometry().width(), client.y()));
        EXPECT_EQ(layers->frameGeometry().topLeft(),
                  QPoint(right - layers->frameGeometry().width(), client.y() + info->frameGeometry().height() + 20));
        EXPECT_EQ(palette->frameGeometry().topLeft(), client);
        EXPECT_NE(frame->GetToolPaletteControl(1082), nullptr);
        EXPECT_EQ(frame->GetToolPaletteControl(1083), nullptr);
        // Show/Hide follows the panel.
        frame->UpdateCommandStates();
        QAction* show = frame->Action(quorvel::ID_VIEW_SHOW_LAYER);
        EXPECT_EQ(show->text(), quorvel::LoadShellString(quorvel::IDS_HIDE_LAYER));
        show->trigger();
        EXPECT_FALSE(layers->isVisible());
        EXPECT_EQ(show->text(), quorvel::LoadShellString(quorvel::IDS_SHOW_LAYER));
        moved = QPoint(123, 234);
        palette->move(moved);
    }
    TestApp again(PartsWith(log));
    ASSERT_TRUE(again.app->InitInstance());
    QDockWidget* palette = again.app->GetMainFrame()->GetPanel(PanelSlot::ToolPalette);
    ASSERT_TRUE(QTest::qWaitFor([&] { return palette->isVisible(); }));
    EXPECT_EQ(palette->frameGeometry().topLeft(), moved);
}

TEST(Application, ANewOptionsPanelTakesTheFloatingPlaceOfTheOldOne)
{
    ScopedDialogs dialogs;
    const Log log = std::make_shared<std::vector<std::string>>();
    TestApp test(PartsWith(log));
    ASSERT_TRUE(test.app->InitInstance());
    CMainFrame* frame = test.app->GetMainFrame();
    frame->ShowToolOptions();
    QDockWidget* first = frame->GetToolOptionsPanel();
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->isFloating());
    EXPECT_EQ(frame->dockWidgetArea(first), Qt::TopDockWidgetArea);
    first->setFloating(true);
    first->move(300, 200);
    const QPoint place = first->frameGeometry().topLeft();
    frame->ShowToolOptions();
    QDockWidget* second = frame->GetToolOptionsPanel();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_TRUE(second->isFloating());
    EXPECT_EQ(second->frameGeometry().topLeft(), place);
}

TEST(Application, ARectangleIsBroughtOntoTheNearestScreenWithItsCornerVisible)
{
    const std::vector<PTzRECT> screens = {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}};
    const struct {
        PTzRECT rect;
        int result;
        PTzRECT placed;
    } cases[] = {
        {{100, 100, 300, 200}, 1, {100, 100, 300, 200}},        // inside: stays
        {{1850, 50, 2050, 150}, 1, {1920, 50, 2120, 150}},      // mostly on the second: onto it
        {{5000, 2000, 5200, 2100}, 1, {3000, 924, 3200, 1024}}, // on no screen: the nearest
        {{-400, -50, -100, 50}, 1, {0, 0, 300, 100}},
        {{100, 100, 2500, 1500}, 1, {0, 0, 2400, 1400}},        // larger than its screen: corner kept on it
        {{10, 10, 10, 300}, 0, {10, 10, 10, 300}},              // empty: the caller's default place
        {{300, 300, 100, 100}, 0, {300, 300, 100, 100}},        // inverted
    };
    for (const auto& c : cases) {
        PTzRECT rect = c.rect;
        EXPECT_EQ(ClampRectToScreens(&rect, screens), c.result);
        EXPECT_TRUE(PTzRectEqual(&rect, &c.placed)) << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
    }
    PTzRECT rect = {1, 2, 3, 4};
    EXPECT_EQ(ClampRectToScreens(&rect, {}), 0);
}

TEST(Application, AStoredPanelRectangleKeepsEachStoredCoordinateAndDefaultsOnlyTheMissingOnes)
{
    const PTzRECT place = {300, 100, 500, 400};  // the default: 200 x 300
    const int32_t screenRight = QGuiApplication::primaryScreen()->geometry().right() + 1;
    constexpr int32_t kMissing = INT32_MIN;
    const struct {
        int32_t stored[4];  // left, top, right, bottom
        bool placed;
        PTzRECT expected;
    } cases[] = {
        {{kMissing, kMissing, kMissing, kMissing}, false, {}},
        {{10, 20, 110, 220}, true, {10, 20, 110, 220}},
        {{50, kMissing, kMissing, kMissing}, true, {50, 100, 250, 400}},
        {{kMissing, 40, kMissing, kMissing}, true, {300, 40, 500, 340}},
        {{30, 60, kMissing, kMissing}, true, {30, 60, 230, 360}},
        {{kMissing, kMissing, 400, kMissing}, true, {200, 100, 400, 400}},
        {{kMissing, kMissing, 260, 350}, true, {60, 50, 260, 350}},
        {{20, kMissing, 120, kMissing}, true, {20, 100, 120, 400}},
        // Kept on the screen; and edges in the wrong order cannot be placed.
        {{screenRight - 100, kMissing, kMissing, kMissing}, true, {screenRight - 200, 100, screenRight, 400}},
        {{300, kMissing, 100, kMissing}, false, {}},
    };
    const char16_t* const names[4] = {u"Layer UI Left", u"Layer UI Top", u"Layer UI Right", u"Layer UI Bottom"};
    for (const auto& c : cases) {
        quorvel::AppSettings().Wipe();
        for (int i = 0; i < 4; ++i) {
            if (c.stored[i] != kMissing)
                quorvel::WriteSettingDword(names[i], uint32_t(c.stored[i]));
        }
        PTzRECT rect = {};
        const std::string what = std::to_string(c.stored[0]) + "," + std::to_string(c.stored[1]) + "," +
                                 std::to_string(c.stored[2]) + "," + std::to_string(c.stored[3]);
        ASSERT_EQ(quorvel::LoadPanelRect(quorvel::ReadPanelEdges(PanelSlot::Layers), place, &rect), c.placed) << what;
        if (c.placed) {
            EXPECT_EQ(rect.left, c.expected.left) << what;
            EXPECT_EQ(rect.top, c.expected.top) << what;
            EXPECT_EQ(rect.right, c.expected.right) << what;
            EXPECT_EQ(rect.bottom, c.expected.bottom) << what;
        }
    }
}

}  // namespace
