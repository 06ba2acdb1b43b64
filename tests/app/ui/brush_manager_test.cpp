// The brush library in the program: reading the file at start, writing it at exit without
// ever leaving it cut or overwriting a file it did not understand, the path setting, the
// current brush and its engine tip, and its place in start-up and shut-down.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/shell/main_frame.h"
#include "app/shell/settings_codec.h"
#include "app/shell/settings_store.h"
#include "app/ui/brush_file_path.h"
#include "app/ui/brush_manager.h"
#include "app/ui/program_parts.h"
#include "tests/app/shell/shell_test_support.h"
#include "tests/app/ui/brush_test_support.h"
#include "tests/engine/picture/image_io_test_support.h"

using namespace brushtest;
using quorvel::REG_BINARY;
using quorvel::REG_EXPAND_SZ;
using quorvel::REG_SZ;

namespace {

std::string DataFolder()
{
    return qEnvironmentVariable("XDG_DATA_HOME").toStdString() + "/Pellidor/Brush";
}

std::string DefaultPath()
{
    return DataFolder() + "/Brush.dat";
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Text(const _tagPTzFILE& record)
{
    return std::string(record.path, record.path + std::char_traits<PTzChar>::length(record.path));
}

// The stored "Brush_File", as text.
std::string StoredPath()
{
    _tagPTzFILE stored = {};
    uint32_t type = REG_EXPAND_SZ;
    uint32_t size = sizeof stored.path;
    if (!ReadAppSetting(u"Brush_File", &type, stored.path, &size))
        return "<none>";
    EXPECT_EQ(size, (Text(stored).size() + 1) * 2) << "the units and their terminator";
    return Text(stored);
}

void StorePath(const std::string& path)
{
    const std::u16string units(path.begin(), path.end());
    ASSERT_EQ(WriteAppSetting(u"Brush_File", REG_EXPAND_SZ, units.c_str(), uint32_t(units.size() + 1) * 2), 1);
}

class BrushLibrary : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(quorvel::AppSettings().Wipe(), 1);
        std::filesystem::remove_all(DataFolder());
        std::filesystem::remove_all(scratch);
        std::filesystem::create_directories(scratch);
    }
    void TearDown() override { std::filesystem::remove_all(scratch); }

    const std::string scratch = qEnvironmentVariable("XDG_DATA_HOME").toStdString() + "/scratch";
};

CBrushRound& RoundAt(CBrushManager& manager, uint32_t index)
{
    return dynamic_cast<CBrushRound&>(*manager.GetBrush(index));
}

TEST_F(BrushLibrary, WithoutAFileTheDefaultsLoadAndAreWrittenAtExitThenReadBack)
{
    {
        CBrushManager manager;
        EXPECT_EQ(CBrushManager::GetBrushManager(), &manager);
        ASSERT_EQ(manager.LoadBrushes(), 1);
        EXPECT_EQ(manager.GetBrushCount(), 20u);
        EXPECT_EQ(manager.GetDefaultCount(), 20u);
        EXPECT_EQ(StoredPath(), DefaultPath());
        EXPECT_FALSE(std::filesystem::exists(DefaultPath())) << "written at exit only";
    }
    EXPECT_EQ(CBrushManager::GetBrushManager(), nullptr);
    EXPECT_EQ(ReadFile(DefaultPath()), DefaultLibrary());
    {
        CBrushManager manager;
        ASSERT_EQ(manager.LoadBrushes(), 1);
        ASSERT_EQ(manager.GetBrushCount(), 20u) << "read, no defaults appended";
        RoundAt(manager, 3).SetAngle(45);
    }
    CBrushManager manager;
    manager.LoadBrushes();
    EXPECT_EQ(RoundAt(manager, 3).GetAngle(), 45);
    EXPECT_EQ(QDir(QString::fromStdString(DataFolder())).entryList(QDir::Files), QStringList{"Brush.dat"});
}

TEST_F(BrushLibrary, ALibraryOfNoBrushesLoadsEmptyAndIsNotWritten)
{
    WriteFile(DefaultPath(), Head(0, 0));
    {
        CBrushManager manager;
        manager.LoadBrushes();
        EXPECT_EQ(manager.GetBrushCount(), 0u);
        EXPECT_EQ(manager.GetBrush(0), nullptr);
        EXPECT_EQ(manager.SelectCurrentBrush(0), 1);
        EXPECT_EQ(manager.GetCurrentBrush(), nullptr);
    }
    EXPECT_EQ(ReadFile(DefaultPath()), Head(0, 0));
    EXPECT_EQ(shelltest::EntriesIn(DataFolder()), QStringList{"Brush.dat"});
}

TEST_F(BrushLibrary, AFileThatDidNotReadWholeIsKeptBesideTheNewOne)
{
    const std::string cut = DefaultLibrary().substr(0, 16 + 3 * 18 + 5);
    const struct {
        const char* what;
        std::string bytes;
        uint32_t brushes;  // read ones and the defaults
        QStringList before;
        QString kept;
    } cases[] = {
        {"not a library", "my shopping list", 20, {}, "Brush.dat_0"},
        {"empty", "", 20, {}, "Brush.dat_0"},
        {"version 2", Head(0, 0, 0x72626666, 2), 20, {}, "Brush.dat_0"},
        {"cut in the fourth entry", cut, 3 + 20, {}, "Brush.dat_0"},
        {"with a kept file already there", "x", 20, {"Brush.dat_0"}, "Brush.dat_1"},
    };
    for (const auto& c : cases) {
        SetUp();
        WriteFile(DefaultPath(), c.bytes);
        for (const QString& name : c.before)
            WriteFile(DataFolder() + "/" + name.toStdString(), "older");
        {
            CBrushManager manager;
            ASSERT_EQ(manager.LoadBrushes(), 1) << c.what;
            EXPECT_EQ(manager.GetBrushCount(), c.brushes) << c.what;
        }
        QStringList expected = c.before + QStringList{"Brush.dat", c.kept};
        expected.sort();
        EXPECT_EQ(shelltest::EntriesIn(DataFolder()), expected) << c.what;
        EXPECT_EQ(ReadFile(DataFolder() + "/" + c.kept.toStdString()), c.bytes) << c.what;
        for (const QString& name : c.before)
            EXPECT_EQ(ReadFile(DataFolder() + "/" + name.toStdString()), "older") << c.what;
        CBrushManager again;
        again.LoadBrushes();
        EXPECT_EQ(again.GetBrushCount(), c.brushes) << c.what << ": the new file reads whole";
    }
}

TEST_F(BrushLibrary, AWriteFailingPartwayLeavesTheOldFileWholeAndNoTemporary)
{
    const std::string good = Head(2, 2) + RondEntry({20, 1, 300, 50, 60, 70}) + RondEntry({});
    for (const std::string& old : {good, std::string("not a library, kept in place")}) {
        SetUp();
        WriteFile(DefaultPath(), old);
        StorePath(DefaultPath());
        {
            // Made first, gone last: the manager writes in its destructor.
            image_io_test::FileSizeLimit limit(20);
            ASSERT_TRUE(limit.Set());
            CBrushManager manager;
            manager.LoadBrushes();
            RoundAt(manager, 0).SetDiameter(301);
        }
        EXPECT_EQ(ReadFile(DefaultPath()), old);
        EXPECT_EQ(shelltest::EntriesIn(DataFolder()), QStringList{"Brush.dat"});
        EXPECT_EQ(StoredPath(), DefaultPath()) << "a failed write is no reason to move the library";
    }
}

TEST_F(BrushLibrary, ABadPathSettingFallsBackToTheDefaultPath)
{
    std::u16string unterminated(260, u'/');
    std::u16string tooLong = u"/" + std::u16string(300, u'a');
    const struct {
        const char* what;
        uint32_t type;
        std::u16string units;  // stored with a NUL unless the case says otherwise
        bool terminate;
    } cases[] = {
        {"no terminator in its 260 units", REG_EXPAND_SZ, unterminated, false},
        {"empty", REG_EXPAND_SZ, u"", true},
        {"relative", REG_EXPAND_SZ, u"brushes/Brush.dat", true},
        {"longer than a path", REG_EXPAND_SZ, tooLong, true},
        {"type 1", REG_SZ, u"/tmp/Brush.dat", true},
        {"binary", REG_BINARY, u"/tmp/Brush.dat", true},
    };
    for (const auto& c : cases) {
        SetUp();
        const uint32_t units = uint32_t(c.units.size()) + (c.terminate ? 1 : 0);
        ASSERT_EQ(WriteAppSetting(u"Brush_File", c.type, c.units.c_str(), units * 2), 1) << c.what;
        _tagPTzFILE path = {};
        ASSERT_EQ(GetBrushFilePath(&path), 1) << c.what;
        EXPECT_EQ(Text(path), DefaultPath()) << c.what;
        EXPECT_EQ(StoredPath(), DefaultPath()) << c.what;
    }
    SetUp();
    StorePath(scratch + "/mine.dat");
    _tagPTzFILE path = {};
    ASSERT_EQ(GetBrushFilePath(&path), 1);
    EXPECT_EQ(Text(path), scratch + "/mine.dat");
}

TEST_F(BrushLibrary, APathThatCannotTakeAFileSendsTheLibraryToTheDefaultPath)
{
    const struct {
        const char* what;
        std::string path;
        std::function<void(const std::string&)> make;
    } cases[] = {
        {"a folder", scratch + "/folder", [](const std::string& p) { std::filesystem::create_directory(p); }},
        {"a FIFO", scratch + "/fifo", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }},
        {"under a file", scratch + "/file/Brush.dat",
         [this](const std::string&) { WriteFile(scratch + "/file", "plain"); }},
    };
    for (const auto& c : cases) {
        SetUp();
        c.make(c.path);
        StorePath(c.path);
        const QStringList before = shelltest::EntriesIn(scratch);
        {
            CBrushManager manager;
            ASSERT_EQ(manager.LoadBrushes(), 1) << c.what;
            EXPECT_EQ(manager.GetBrushCount(), 20u) << c.what;
            EXPECT_EQ(StoredPath(), c.path) << c.what;
        }
        EXPECT_EQ(shelltest::EntriesIn(scratch), before) << c.what;
        EXPECT_EQ(StoredPath(), DefaultPath()) << c.what;
        EXPECT_EQ(ReadFile(DefaultPath()), DefaultLibrary()) << c.what;
    }
}

// A round brush that counts the engine tips built from it.
struct CountingRound : CBrushRound {
    explicit CountingRound(uint32_t diameter) : CBrushRound(diameter, 0) {}
    std::unique_ptr<ITzBrushBase> CreateEngineBrush() const override
    {
        ++builds;
        return CBrushRound::CreateEngineBrush();
    }
    mutable int builds = 0;
};

TEST_F(BrushLibrary, StrokesWithTheSameBrushBuildItsTipOnceAndAChangeDropsOnlyThatTip)
{
    CBrushManager manager;
    std::vector<CountingRound*> brushes;
    for (uint32_t diameter : {5, 9, 13}) {
        auto brush = std::make_unique<CountingRound>(diameter);
        brushes.push_back(brush.get());
        ASSERT_EQ(manager.AppendBrush(std::move(brush)), 1);
    }
    // What a brush tool does on each press.
    auto stroke = [&](uint32_t index) {
        manager.SelectCurrentBrush(index);
        return manager.GetBrush(index)->GetEngineBrush();
    };
    for (int i = 0; i < 100; ++i)
        ASSERT_NE(stroke(1), nullptr);
    EXPECT_EQ(brushes[1]->builds, 1);
    EXPECT_EQ(brushes[0]->builds + brushes[2]->builds, 0);

    brushes[2]->SetDiameter(40);  // not the current brush
    EXPECT_TRUE(brushes[1]->HasEngineBrush());
    EXPECT_EQ(manager.GetCurrentIndex(), 1u);
    brushes[1]->SetHardness(50);
    EXPECT_FALSE(brushes[1]->HasEngineBrush());
    EXPECT_EQ(manager.GetCurrentBrush(), nullptr);
    EXPECT_EQ(manager.GetCurrentIndex(), CBrushManager::kNoIndex);

    _tagITzBITMAP tip = {};
    ASSERT_EQ(stroke(1)->GetBitmap(&tip), 1);
    EXPECT_EQ(brushes[1]->builds, 2) << "rebuilt by the next selection";
    stroke(1);
    EXPECT_EQ(brushes[1]->builds, 2);
    stroke(7);  // past the end: the last brush
    EXPECT_FALSE(brushes[1]->HasEngineBrush()) << "only the current brush keeps a tip";
    EXPECT_EQ(manager.GetCurrentBrush(), brushes[2]);
    EXPECT_TRUE(brushes[2]->HasEngineBrush());
}

TEST_F(BrushLibrary, ClampBrushIndexLowersToTheLastBrushAndKeepsItWithoutBrushes)
{
    CBrushManager empty;
    uint32_t index = 5;
    EXPECT_EQ(empty.ClampBrushIndex(&index), 1);
    EXPECT_EQ(index, 5u) << "no brush: the index is kept, not wrapped";
    EXPECT_EQ(empty.ClampBrushIndex(nullptr), 0);
    CBrushManager manager;
    manager.CreateDefaultBrushes();
    const struct {
        uint32_t in, out;
    } cases[] = {{0, 0}, {19, 19}, {20, 19}, {0xFFFFFFFF, 19}};
    for (const auto& c : cases) {
        index = c.in;
        EXPECT_EQ(manager.ClampBrushIndex(&index), 1);
        EXPECT_EQ(index, c.out) << c.in;
    }
    EXPECT_EQ(manager.GetBrush(20), manager.GetBrush(19));
}

// Records whether the main frame was up when the library was read.
struct WatchedBrushes : CBrushManager {
    explicit WatchedBrushes(std::shared_ptr<std::vector<std::string>> log) : log(std::move(log)) {}
    int Load() override
    {
        CMainFrame* frame = CTamsleyApp::Get()->GetMainFrame();
        log->push_back(frame && frame->isVisible() ? "read after the frame" : "read before the frame");
        return CBrushManager::Load();
    }
    std::shared_ptr<std::vector<std::string>> log;
};

struct WatchedTools : quorvel::IToolManager {
    explicit WatchedTools(std::shared_ptr<std::vector<std::string>> log) : log(std::move(log)) {}
    ~WatchedTools() override { log->push_back(std::filesystem::exists(DefaultPath()) ? "tools: file" : "tools: none"); }
    int SelectTool(uint32_t) override { return 0; }
    void LoadSettings(int brushes) override
    {
        log->push_back("tools load, brushes " + std::to_string(brushes) + " of " +
                       std::to_string(CBrushManager::GetBrushManager()->GetBrushCount()));
    }
    QWidget* CreateOptionsPanel(QWidget*) override { return nullptr; }
    bool CurrentBrushIndex(uint32_t*) override { return false; }
    void SetCurrentBrush(uint32_t) override {}
    std::shared_ptr<std::vector<std::string>> log;
};

TEST_F(BrushLibrary, TheApplicationReadsAfterTheFrameIsShownAndWritesWhenItDeletesTheManager)
{
    ASSERT_TRUE(dynamic_cast<CBrushManager*>(MakeProgramParts().brushManager().get()));
    shelltest::ScopedDialogs dialogs;
    auto log = std::make_shared<std::vector<std::string>>();
    {
        CShellParts parts;
        parts.brushManager = [log] { return std::make_unique<WatchedBrushes>(log); };
        parts.toolManager = [log] { return std::make_unique<WatchedTools>(log); };
        shelltest::TestApp test(std::move(parts));
        ASSERT_TRUE(test.app->InitInstance());
        EXPECT_EQ(test.app->GetBrushManager()->GetBrushCount(), 20u);
        log->push_back(std::filesystem::exists(DefaultPath()) ? "running: file" : "running: none");
    }
    EXPECT_EQ(*log, (std::vector<std::string>{"read after the frame", "tools load, brushes 1 of 20", "running: none",
                                              "tools: none"}));
    EXPECT_EQ(ReadFile(DefaultPath()), DefaultLibrary());
}

}  // namespace
