// The settings store: values keep their type and exact bytes, reads refuse a wrong type
// or a short buffer, a garbled file reads as no values, batches replace the file once
// and never drop what another copy wrote, and the version check wipes a stale layout
// once start-up has read what it keeps.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

#include "app/shell/current_colours.h"
#include "app/shell/path_text.h"
#include "app/shell/settings_store.h"
#include "tests/app/shell/shell_test_support.h"

using namespace quorvel;
using namespace shelltest;

namespace {

void Clear()
{
    ASSERT_EQ(AppSettings().Wipe(), 1);
}

TEST(SettingsStore, ValuesOfEveryTypeAndOddNamesComeBackExactly)
{
    Clear();
    const std::vector<uint8_t> path(520, 0x41);
    const struct {
        std::u16string name;
        uint32_t type;
        std::vector<uint8_t> bytes;
    } values[] = {
        {u"REG_VERSION", REG_DWORD, {1, 0, 0, 0}},
        {u" NAP", REG_BINARY, std::vector<uint8_t>(200, 7)},
        {u"DARG", REG_BINARY, {}},
        {u"Brush_File", REG_EXPAND_SZ, path},
        {u"Info UI Left", REG_DWORD, {0xF6, 0xFF, 0xFF, 0xFF}},
        {u"\u00e9t\u00e9 \u2603", REG_SZ, {'a', 0, 0, 0}},
    };
    for (const auto& v : values)
        ASSERT_EQ(AppSettings().Write(v.name, v.type, v.bytes.data(), uint32_t(v.bytes.size())), 1);
    for (const auto& v : values) {
        std::vector<uint8_t> read(v.bytes.size() + 3, 0xCC);
        uint32_t type = v.type;
        uint32_t size = uint32_t(read.size());
        ASSERT_EQ(AppSettings().Read(v.name, &type, read.data(), &size), 1);
        EXPECT_EQ(size, v.bytes.size());
        read.resize(size);
        EXPECT_EQ(read, v.bytes);
    }
    uint32_t signedValue = 0;
    ASSERT_EQ(ReadSettingDword(u"Info UI Left", &signedValue), 1);
    EXPECT_EQ(int32_t(signedValue), -10);
}

TEST(SettingsStore, AReadOfTheWrongTypeOrIntoTooSmallABufferFailsAndTellsTheTruth)
{
    Clear();
    const uint8_t colour[12] = {3, 0, 0, 0, 255, 1, 2, 3};
    ASSERT_EQ(WriteAppSetting(u"Front_Color", REG_BINARY, colour, 12), 1);
    ASSERT_EQ(WriteSettingDword(u"Current_Tool", 0x4D414752), 1);
    const struct {
        const char16_t* name;
        uint32_t type;
        uint32_t room;
        uint32_t storedType;
        uint32_t storedSize;
    } refusals[] = {
        {u"Front_Color", REG_DWORD, 4, REG_BINARY, 12},
        {u"Front_Color", REG_BINARY, 11, REG_BINARY, 12},
        {u"Current_Tool", REG_BINARY, 4, REG_DWORD, 4},
        {u"Current_Tool", REG_DWORD, 3, REG_DWORD, 4},
    };
    for (const auto& r : refusals) {
        uint8_t buffer[16];
        std::fill(std::begin(buffer), std::end(buffer), 0xCC);
        uint32_t type = r.type;
        uint32_t size = r.room;
        EXPECT_EQ(ReadAppSetting(r.name, &type, buffer, &size), 0);
        EXPECT_EQ(type, r.storedType);
        EXPECT_EQ(size, r.storedSize);
        EXPECT_EQ(buffer[0], 0xCC) << "a refused read leaves the buffer alone";
    }
    // A DWORD is exactly four bytes, and nothing is stored under an empty name.
    EXPECT_EQ(AppSettings().Write(u"Current_Tool", REG_DWORD, colour, 5), 0);
    EXPECT_EQ(AppSettings().Write(u"", REG_BINARY, colour, 1), 0);
    uint32_t missing = 0;
    EXPECT_EQ(ReadSettingDword(u"Tool UI Left", &missing), 0);
}

TEST(SettingsStore, AGarbledFileReadsAsNoValuesAndIsReplacedAtTheNextWrite)
{
    Clear();
    ASSERT_EQ(WriteSettingDword(u"New Image Width", 640), 1);
    QFile file(AppSettings().FilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray good = file.readAll();
    file.close();
    for (const QByteArray& garbled : {good.left(good.size() - 1), good + 'x', QByteArray("QVST"), QByteArray()}) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(garbled);
        file.close();
        uint32_t width = 7;
        EXPECT_EQ(ReadSettingDword(u"New Image Width", &width), 0);
        EXPECT_EQ(width, 7u);
    }
    EXPECT_EQ(WriteSettingDword(u"New Image Height", 480), 1);
    uint32_t height = 0;
    EXPECT_EQ(ReadSettingDword(u"New Image Height", &height), 1);
    EXPECT_EQ(height, 480u);
}

TEST(SettingsStore, AFifoAtTheStorePathReadsAsNoValuesWithoutWaitingForAWriter)
{
    Clear();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(AppSettings().FilePath()).absolutePath()));
    const QByteArray path = QFile::encodeName(AppSettings().FilePath());
    ASSERT_EQ(mkfifo(path.constData(), 0600), 0);
    auto read = std::async(std::launch::async, [] {
        uint32_t width = 7;
        return ReadSettingDword(u"New Image Width", &width) == 0 && width == 7;
    });
    if (read.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // Lets the stuck reader go before the test fails.
        const int writer = open(path.constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            close(writer);
        read.wait();
        unlink(path.constData());
        FAIL() << "the read waited on the FIFO";
    }
    EXPECT_TRUE(read.get());
    EXPECT_EQ(WriteSettingDword(u"New Image Width", 640), 0) << "a FIFO is never replaced";
    EXPECT_EQ(unlink(path.constData()), 0);
}

TEST(SettingsStore, TheCodecRefusesEveryCutOfAGoodFile)
{
    const SettingValues values = {{u"A", REG_DWORD, {1, 2, 3, 4}}, {u"Bee", REG_BINARY, {9, 8}}};
    const std::vector<uint8_t> bytes = EncodeSettings(values);
    SettingValues decoded;
    ASSERT_TRUE(DecodeSettings(bytes.data(), bytes.size(), &decoded));
    ASSERT_EQ(decoded.size(), 2u);
    EXPECT_EQ(decoded[1].name, u"Bee");
    EXPECT_EQ(decoded[1].data, (std::vector<uint8_t>{9, 8}));
    for (size_t cut = 0; cut < bytes.size(); ++cut)
        EXPECT_FALSE(DecodeSettings(bytes.data(), cut, &decoded)) << cut;
    const std::vector<uint8_t> twice = EncodeSettings({values[0], values[0]});
    EXPECT_FALSE(DecodeSettings(twice.data(), twice.size(), &decoded)) << "one name, two values";
    EXPECT_TRUE(decoded.empty());
}

TEST(SettingsStore, AStaleVersionIsWipedAfterStartUpHasReadAndWhatWasReadComesBackAtShutDown)
{
    for (uint32_t version : {0u, 1u, 2u}) {
        Clear();
        if (version != 0) {  // 0: none stored
            ASSERT_EQ(WriteSettingDword(u"REG_VERSION", version), 1);
        }
        const _tagPTzCOLOR red = {PTzCOLORMODE_ARGB, 255, {255, 0, 0}};
        ASSERT_EQ(WriteAppSetting(u"Front_Color", REG_BINARY, &red, sizeof(red)), 1);
        ASSERT_EQ(WriteSettingDword(u"New Image Width", 640), 1);  // read only by New, later
        const bool stale = version != 1;
        {
            ScopedDialogs dialogs;
            TestApp test;
            ASSERT_TRUE(test.app->InitInstance());
            _tagPTzCOLOR front = {};
            test.app->GetColours()->GetFrontColor(&front);
            EXPECT_EQ(front.components[0], 255) << "read before the check: " << version;
            uint32_t stored = 0;
            ASSERT_EQ(ReadSettingDword(u"REG_VERSION", &stored), 1);
            EXPECT_EQ(stored, 1u);
            uint32_t type = REG_BINARY;
            uint32_t size = sizeof(front);
            EXPECT_EQ(ReadAppSetting(u"Front_Color", &type, &front, &size), stale ? 0 : 1) << version;
        }
        _tagPTzCOLOR front = {};
        uint32_t type = REG_BINARY;
        uint32_t size = sizeof(front);
        ASSERT_EQ(ReadAppSetting(u"Front_Color", &type, &front, &size), 1) << "written back at shut-down: " << version;
        EXPECT_EQ(front.components[0], 255);
        uint32_t width = 0;
        EXPECT_EQ(ReadSettingDword(u"New Image Width", &width), stale ? 0 : 1) << version;
    }
}

uint32_t Dword(CSettingsStore& store, const char16_t* name)
{
    uint32_t type = REG_DWORD;
    uint32_t size = 4;
    uint8_t bytes[4] = {};
    return store.Read(name, &type, bytes, &size) ? PTzReadLE32(bytes) : 0;
}

void PutDword(CSettingsStore& store, const char16_t* name, uint32_t value)
{
    uint8_t bytes[4];
    PTzWriteLE32(bytes, value);
    ASSERT_EQ(store.Write(name, REG_DWORD, bytes, 4), 1);
}

TEST(SettingsStore, ABatchReplacesTheFileOnceAndKeepsWhatAnotherStoreWroteMeanwhile)
{
    Clear();
    PutDword(AppSettings(), u"Kept", 7);
    // Two stores of the same file, as two running copies of the program have.
    CSettingsStore first(QStringLiteral("Pellidor"), QStringLiteral("Quorvel"));
    CSettingsStore second(QStringLiteral("Pellidor"), QStringLiteral("Quorvel"));
    ReplaceCounter replaces(AppSettings().FilePath());
    {
        CSettingsBatch one(first);
        CSettingsBatch two(second);
        for (uint32_t i = 1; i <= 5; ++i) {
            CSettingsBatch nested(first);
            PutDword(first, u"First", i);
        }
        PutDword(second, u"Second", 2);
        EXPECT_EQ(Dword(first, u"First"), 5u) << "a batch reads its own writes";
        EXPECT_EQ(Dword(AppSettings(), u"First"), 0u) << "others see them once it ends";
        EXPECT_EQ(replaces.Count(), 0);
        EXPECT_EQ(two.Commit(), 1);
        EXPECT_EQ(replaces.Count(), 1);
    }
    EXPECT_EQ(replaces.Count(), 2);
    EXPECT_EQ(Dword(AppSettings(), u"Kept"), 7u);
    EXPECT_EQ(Dword(AppSettings(), u"First"), 5u);
    EXPECT_EQ(Dword(AppSettings(), u"Second"), 2u);
    {
        // A wipe drops what came before it in the batch and in the file, not what follows;
        // a batch that changes nothing leaves the file alone.
        CSettingsBatch batch(first);
        PutDword(first, u"Before", 1);
        ASSERT_EQ(first.Wipe(), 1);
        PutDword(first, u"After", 3);
        EXPECT_EQ(Dword(first, u"Kept"), 0u);
    }
    EXPECT_EQ(replaces.Count(), 3);
    PutDword(first, u"After", 3);
    EXPECT_EQ(replaces.Count(), 3);
    EXPECT_EQ(Dword(AppSettings(), u"Kept") + Dword(AppSettings(), u"Before"), 0u);
    EXPECT_EQ(Dword(AppSettings(), u"After"), 3u);
}

// Two copies of this test program write values of their own, one write at a time, at
// the same time into one store: every value of both is there at the end.
TEST(SettingsStore, TwoProgramsWritingAtOnceKeepEachOthersValues)
{
    constexpr int kValues = 40;
    const QByteArray writer = qgetenv("QUORVEL_TEST_SETTINGS_WRITER");
    if (!writer.isEmpty()) {
        qputenv("XDG_CONFIG_HOME", qgetenv("QUORVEL_TEST_SHARED_CONFIG"));
        for (int i = 0; i < kValues; ++i)
            PutDword(AppSettings(), (QString::fromLatin1(writer) + QString::number(i)).toStdU16String().c_str(), i + 1);
        return;
    }
    Clear();
    std::vector<std::unique_ptr<QProcess>> writers;
    for (const char* name : {"A", "B"}) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QUORVEL_TEST_SETTINGS_WRITER"), QLatin1String(name));
        environment.insert(QStringLiteral("QUORVEL_TEST_SHARED_CONFIG"), qEnvironmentVariable("XDG_CONFIG_HOME"));
        process->setProcessEnvironment(environment);
        process->start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--gtest_filter=SettingsStore.TwoProgramsWritingAtOnceKeepEachOthersValues")});
        writers.push_back(std::move(process));
    }
    for (const auto& process : writers) {
        ASSERT_TRUE(process->waitForFinished(120000));
        EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardOutput().toStdString();
    }
    for (const char* name : {"A", "B"}) {
        for (int i = 0; i < kValues; ++i) {
            const std::u16string value = (QLatin1String(name) + QString::number(i)).toStdU16String();
            EXPECT_EQ(Dword(AppSettings(), value.c_str()), uint32_t(i + 1)) << name << i;
        }
    }
}

TEST(SettingsStore, TheAppDataFolderIsTheVendorsFolderUnderTheUsersData)
{
    const QString expected = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Pellidor");
    QDir(expected).removeRecursively();
    _tagPTzFILE folder;
    ASSERT_EQ(GetAppDataFolder(&folder), 1);
    EXPECT_EQ(TextFromPathRecord(folder), expected);
    EXPECT_TRUE(QDir(expected).exists());
    EXPECT_EQ(GetAppDataFolder(nullptr), 0);
}

}  // namespace
