// Saving never loses the user's work: a save that fails at any write, at the sync or at
// the rename, or that the user cancels, leaves the target byte for byte as it was, no
// temporary file, and the document modified with its undo history; the message gives
// the system's own error number and its words.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <csignal>
#include <cstring>
#include <fstream>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "app/shell/document.h"
#include "app/shell/file_filters.h"
#include "app/shell/main_frame.h"
#include "app/shell/operation.h"
#include "app/shell/shell_strings.h"
#include "base/file_copy_test_hooks.h"
#include "base/memory.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/layer_text.h"
#include "engine/picture/picture.h"
#include "engine/tools/tool_fill.h"
#include "formats/bmp/bmp_setting.h"
#include "tests/app/shell/shell_test_support.h"

using namespace shelltest;

namespace {

constexpr uint64_t kWindow = 256 * 1024;  // the file stream writes this much at a time

// While it lives, no file of this process grows past the limit: writes beyond it fail
// with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_kept);
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_kept;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_kept);
        std::signal(SIGXFSZ, m_signal);
    }

private:
    rlimit m_kept {};
    void (*m_signal)(int) = nullptr;
};

QImage Noise(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, random.generate() | 0xFF000000u);
    }
    return image;
}

uint32_t slowNow = 0;
uint32_t SlowClock()
{
    return slowNow += 700;
}

class DocumentSave : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(test.app->InitInstance()); }

    // Opens the file and makes one undoable edit on its one layer, so the document is
    // modified and a BMP keeps all of it.
    CTamsleyDoc* OpenEdited(const std::string& name)
    {
        CTamsleyDoc* document = test.app->OpenDocumentFile(QString::fromStdString(temp.Item(name)));
        EXPECT_NE(document, nullptr);
        if (document)
            Edit(document);
        return document;
    }
    static void Edit(CTamsleyDoc* document)
    {
        _tagPTzCOLOR grey = {PTzCOLORMODE_RGB, 255, {128, 128, 128}};
        ITzToolFill fill;
        EXPECT_EQ(fill.FillData(document->GetPicture(), &grey, 128), 1);
        EXPECT_EQ(document->IsModified(), 1);
    }
    // Saves as the type whose patterns hold the extension.
    bool SaveAs(CTamsleyDoc* document, const std::string& name, const char* extension)
    {
        dialogs->save = [this, name, extension](QString* path, int* index) {
            *path = QString::fromStdString(temp.Item(name));
            const std::vector<quorvel::FilterPair> pairs = quorvel::SplitFilterString(dialogs->saveFilter);
            for (size_t i = 0; i < pairs.size(); ++i) {
                if (pairs[i].patterns.contains(QLatin1String(extension)))
                    *index = int(i) + 1;
            }
            return true;
        };
        return document->DoFileSaveAs();
    }
    // The document failed to save and nothing changed.
    void ExpectKept(CTamsleyDoc* document, const std::string& name, const std::string& before,
                    const QStringList& entries)
    {
        EXPECT_EQ(temp.Read(name), before);
        EXPECT_EQ(EntriesIn(temp.path()), entries);
        EXPECT_EQ(document->IsModified(), 1);
    }

    TempFolder temp;
    ScopedDialogs dialogs;
    TestApp test;
};

TEST_F(DocumentSave, AFailureAtEveryWriteKeepsTheTargetAndTheHistory)
{
    temp.Write("noise.bmp", Bmp24(Noise(640, 480)));
    CTamsleyDoc* bmp = OpenEdited("noise.bmp");
    ASSERT_NE(bmp, nullptr);
    temp.Write("copy.bmp", temp.Read("noise.bmp"));
    CTamsleyDoc* native = test.app->OpenDocumentFile(QString::fromStdString(temp.Item("copy.bmp")));
    ASSERT_TRUE(native && SaveAs(native, "noise.dwk", "DWK"));
    Edit(native);
    const QStringList entries = EntriesIn(temp.path());
    for (const auto& [document, name] : {std::pair{bmp, std::string("noise.bmp")}, {native, std::string("noise.dwk")}}) {
        const std::string before = temp.Read(name);
        std::vector<uint64_t> limits;
        for (uint64_t at = 0; at < before.size(); at += kWindow)
            limits.insert(limits.end(), {at, at + kWindow / 2});
        limits.push_back(before.size() - 1);
        dialogs->messages.clear();
        for (uint64_t limit : limits) {
            ModalWatcher noDialog(false);
            {
                FileSizeLimit cap(limit);
                EXPECT_FALSE(document->DoFileSave()) << name << " cut at " << limit;
            }
            EXPECT_EQ(noDialog.Seen(), 0);
            ExpectKept(document, name, before, entries);
        }
        ASSERT_EQ(dialogs->messages.size(), limits.size());
        EXPECT_TRUE(dialogs->messages.back().contains(QString::fromStdString(temp.Item(name))));
        EXPECT_FALSE(dialogs->messages.back().endsWith(QStringLiteral("code: 0")));
        EXPECT_NE(ITzPictDoUndo(document->GetPictureHandle()), 0) << "the undo history survived";
    }
}

TEST_F(DocumentSave, AFailedSyncOrRenameOrACancelKeepsTheTarget)
{
    temp.Write("noise.bmp", Bmp24(Noise(64, 64)));
    CTamsleyDoc* document = OpenEdited("noise.bmp");
    ASSERT_NE(document, nullptr);
    const std::string before = temp.Read("noise.bmp");
    const QStringList entries = EntriesIn(temp.path());
    for (int step : {PTzTEST_REPLACE_SYNC, PTzTEST_REPLACE_RENAME}) {
        PTzTestFailNextReplaceStep(step);
        EXPECT_FALSE(document->DoFileSave());
        ExpectKept(document, "noise.bmp", before, entries);
    }
    EXPECT_EQ(dialogs->messages.size(), 2u);
    dialogs->cancelProgress = true;
    const OperationClock kept = SetOperationClock(SlowClock);
    EXPECT_FALSE(document->DoFileSave());
    SetOperationClock(kept);
    ExpectKept(document, "noise.bmp", before, entries);
    EXPECT_EQ(dialogs->progressDialogs, 1);
    EXPECT_EQ(dialogs->messages.size(), 2u) << "no message after a cancel";
}

TEST_F(DocumentSave, ASaveTakesTheFirstFreeTemporaryNameAndKeepsTheModeBits)
{
    temp.Write("noise.bmp", Bmp24(Noise(64, 64)));
    ASSERT_EQ(chmod(temp.Item("noise.bmp").c_str(), 0640), 0);
    temp.Write("R#&%_0", "taken");
    ASSERT_EQ(mkdir(temp.Item("R#&%_1").c_str(), 0700), 0);
    CTamsleyDoc* document = OpenEdited("noise.bmp");
    ASSERT_NE(document, nullptr);
    QStringList during;
    dialogs->onProgress = [&] { during = EntriesIn(temp.path()); };
    const OperationClock kept = SetOperationClock(SlowClock);
    EXPECT_TRUE(document->DoFileSave());
    SetOperationClock(kept);
    EXPECT_TRUE(during.contains(QStringLiteral("R#&%_2")));
    EXPECT_EQ(EntriesIn(temp.path()), (QStringList{QStringLiteral("R#&%_0"), QStringLiteral("R#&%_1"),
                                                   QStringLiteral("noise.bmp")}));
    EXPECT_EQ(temp.Read("R#&%_0"), "taken");
    EXPECT_EQ(document->IsModified(), 0);
    struct stat info {};
    ASSERT_EQ(stat(temp.Item("noise.bmp").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(DocumentSave, AReadOnlyTargetIsNeverReplaced)
{
    temp.Write("noise.bmp", Bmp24(Noise(32, 32)));
    temp.Write("locked.bmp", "read-only");
    ASSERT_EQ(chmod(temp.Item("noise.bmp").c_str(), 0444), 0);
    ASSERT_EQ(chmod(temp.Item("locked.bmp").c_str(), 0444), 0);
    CTamsleyDoc* document = OpenEdited("noise.bmp");
    ASSERT_NE(document, nullptr);
    const std::string before = temp.Read("noise.bmp");
    // Save As onto a read-only file is refused; so is Save, which asks for another name.
    EXPECT_FALSE(SaveAs(document, "locked.bmp", "BMP"));
    dialogs->saveDialogs = 0;
    dialogs->messages.clear();
    EXPECT_FALSE(document->DoFileSave());
    EXPECT_EQ(dialogs->saveDialogs, 1);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].endsWith(QStringLiteral("err code: 13 (") +
                                              QString::fromLocal8Bit(strerror(EACCES)) + QLatin1Char(')')))
        << dialogs->messages[0].toStdString();
    EXPECT_EQ(temp.Read("noise.bmp"), before);
    EXPECT_EQ(temp.Read("locked.bmp"), "read-only");
    EXPECT_EQ(document->IsModified(), 1);
    EXPECT_EQ(EntriesIn(temp.path()), (QStringList{QStringLiteral("locked.bmp"), QStringLiteral("noise.bmp")}));
}

TEST_F(DocumentSave, AWriterThatRefusesTheKeptSettingShowsItsOptionsOnce)
{
    temp.Write("noise.bmp", Bmp24(Noise(32, 32)));
    CTamsleyDoc* document = OpenEdited("noise.bmp");
    ASSERT_NE(document, nullptr);
    // An 8-bit depth kept from before does not suit the picture's 24-bit rows.
    _tagITzPICTFORMETSETTING format = {};
    document->GetPicture()->GetFormat(&format);
    ASSERT_NE(format.setting, nullptr);
    static_cast<_tagFTzBMPSETTING*>(PTzHandleLock(format.setting))->depth = 8;
    PTzHandleUnlock(format.setting);
    ModalWatcher options(true);
    EXPECT_TRUE(document->DoFileSave());
    EXPECT_EQ(options.Seen(), 1);
    EXPECT_EQ(document->IsModified(), 0);
    EXPECT_TRUE(dialogs->messages.empty());
    EXPECT_EQ(temp.Read("noise.bmp").size(), 54u + 32u * 32u * 3u);
}

TEST_F(DocumentSave, LayersGoIntoAFormatWithoutThemOnlyAfterAYesAskedAtEachSaveAs)
{
    temp.Write("noise.bmp", Bmp24(Noise(32, 32)));
    ModalWatcher options(true);  // the BMP writer's options at each Save As
    // Two image layers, and a text layer alone: each asks.
    for (const bool textOnly : {false, true}) {
        const std::string name = textOnly ? "text" : "layers";
        const QString bmp = QString::fromStdString(temp.Item(name + ".bmp"));
        const QString question = quorvel::LoadShellString(quorvel::IDS_MERGES_LAYERS).arg(QFileInfo(bmp).fileName());
        CTamsleyDoc* document = test.app->OpenDocumentFile(QString::fromStdString(temp.Item("noise.bmp")));
        ASSERT_NE(document, nullptr);
        ITzPicture* picture = document->GetPicture();
        if (textOnly) {
            const PTzPOINT start = {2, 2};
            ASSERT_EQ(picture->InsertLayer(1, new ITzLayerText(picture->GetTextManager(), &start)), 0);
            ITzLayerBase* image = nullptr;
            ASSERT_EQ(picture->RemoveLayer(0, &image), 0);
            ITzLayerDestroy(image);
        } else {
            ASSERT_EQ(picture->NewImageLayer(u"Second"), 1);
        }
        dialogs->messages.clear();
        dialogs->answers = {quorvel::MessageAnswer::No};
        const int modified = document->IsModified();
        EXPECT_FALSE(SaveAs(document, name + ".bmp", "BMP"));
        EXPECT_EQ(dialogs->messages, std::vector<QString>{question});
        EXPECT_FALSE(QFile::exists(bmp));
        EXPECT_EQ(document->IsModified(), modified);
        dialogs->answers = {quorvel::MessageAnswer::Yes};
        EXPECT_TRUE(SaveAs(document, name + ".bmp", "BMP"));
        EXPECT_TRUE(QFile::exists(bmp));
        EXPECT_EQ(document->IsModified(), 0);
        EXPECT_EQ(dialogs->messages.size(), 2u);
        // Save to the file agreed to asks no more; the next Save As asks again.
        EXPECT_TRUE(document->DoFileSave());
        EXPECT_EQ(dialogs->messages.size(), 2u);
        dialogs->answers = {quorvel::MessageAnswer::No};
        EXPECT_FALSE(SaveAs(document, name + ".bmp", "BMP"));
        EXPECT_EQ(dialogs->messages.size(), 3u);
        // The native format keeps the layers: no question.
        EXPECT_TRUE(SaveAs(document, name + ".dwk", "DWK"));
        EXPECT_EQ(dialogs->messages.size(), 3u);
        test.app->GetMainFrame()->GetActiveChild()->close();
        QCoreApplication::processEvents();
    }
}

// A full disk and a read-only file system, on a small file system of the test's own: the
// test runs itself again in a mount namespace of its own, with a tmpfs of 256 KiB
// mounted on a folder; without the right to do so it is skipped.
TEST_F(DocumentSave, AFullDiskAndAReadOnlyFileSystemAreReportedWithTheSystemsNumbersAndWords)
{
    const QByteArray mounted = qgetenv("QUORVEL_TEST_SMALL_FILE_SYSTEM");
    if (mounted.isEmpty()) {
        ASSERT_EQ(mkdir(temp.Item("small").c_str(), 0700), 0);
        const QString namespaceFlag = geteuid() == 0 ? QStringLiteral("-m") : QStringLiteral("-Urm");
        // unshare fails where it cannot make the new namespace's mounts private (in a
        // chroot, whose root is no mount point): no place for a file system of our own.
        QProcess probe;
        probe.start(QStringLiteral("unshare"), {namespaceFlag, QStringLiteral("true")});
        if (!probe.waitForFinished(120000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
            GTEST_SKIP() << "no mount namespace here: " << probe.readAllStandardError().toStdString();
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QUORVEL_TEST_SMALL_FILE_SYSTEM"), QString::fromStdString(temp.Item("small")));
        child.setProcessEnvironment(environment);
        child.start(QStringLiteral("unshare"),
                    {namespaceFlag, QStringLiteral("sh"),
                     QStringLiteral("-c"),
                     QStringLiteral("mount -t tmpfs -o size=256k none \"$1\" || exit 77; exec \"$0\" "
                                    "--gtest_filter=DocumentSave.AFullDiskAndAReadOnlyFileSystemAreReported*"),
                     QCoreApplication::applicationFilePath(), QString::fromStdString(temp.Item("small"))});
        ASSERT_TRUE(child.waitForFinished(120000));
        if (child.exitStatus() != QProcess::NormalExit || child.exitCode() == 77 ||
            child.error() == QProcess::FailedToStart)
            GTEST_SKIP() << "no mount namespace here: " << child.readAllStandardError().toStdString();
        EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
        return;
    }
    const std::string folder = mounted.toStdString();
    std::ofstream(folder + "/noise.bmp", std::ios::binary) << Bmp24(Noise(64, 64));
    CTamsleyDoc* document = test.app->OpenDocumentFile(QString::fromStdString(folder + "/noise.bmp"));
    ASSERT_NE(document, nullptr);
    Edit(document);
    // Leaves less room than the new file needs beside the old one.
    struct statvfs space {};
    ASSERT_EQ(statvfs(folder.c_str(), &space), 0);
    std::ofstream(folder + "/filler", std::ios::binary) << std::string(space.f_bavail * space.f_frsize - 4096, 'f');
    const auto expectMessage = [&](int code) {
        ASSERT_FALSE(dialogs->messages.empty());
        EXPECT_TRUE(dialogs->messages.back().endsWith(QStringLiteral("err code: ") + QString::number(code) +
                                                      QStringLiteral(" (") + QString::fromLocal8Bit(strerror(code)) +
                                                      QLatin1Char(')')))
            << dialogs->messages.back().toStdString();
    };
    EXPECT_FALSE(document->DoFileSave());
    expectMessage(ENOSPC);
    ASSERT_EQ(mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0) << strerror(errno);
    dialogs->save = [&](QString* path, int* index) {
        *path = QString::fromStdString(folder + "/noise.bmp");
        *index = 1;
        return true;
    };
    EXPECT_FALSE(document->DoFileSave());
    expectMessage(EROFS);
    EXPECT_EQ(document->IsModified(), 1);
}

}  // namespace
