// The document: opening, new pictures, saving and closing, through the application as
// the user drives it, with the dialogs answered by the test.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QDropEvent>
#include <QMdiArea>
#include <QMimeData>
#include <QUrl>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "app/shell/child_frame.h"
#include "app/shell/document.h"
#include "app/shell/file_filters.h"
#include "app/shell/main_frame.h"
#include "app/shell/operation.h"
#include "app/shell/picture_view.h"
#include "app/shell/settings_store.h"
#include "app/shell/shell_links.h"
#include "base/error_codes.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_base.h"
#include "tests/app/shell/shell_test_support.h"

using namespace shelltest;

namespace {

uint32_t slowNow = 0;

// Every reading of the clock is 700 ms after the last: each job looks slow.
uint32_t SlowClock()
{
    return slowNow += 700;
}

// The 1-based index of the save type whose patterns name the extension.
int TypeIndex(const QString& filter, const QString& extension)
{
    const std::vector<quorvel::FilterPair> pairs = quorvel::SplitFilterString(filter);
    for (size_t i = 0; i < pairs.size(); ++i) {
        if (pairs[i].patterns.contains(extension, Qt::CaseInsensitive))
            return int(i) + 1;
    }
    return 0;
}

// The view's pixels at picture coordinates.
QRgb ShownAt(CTamsleyView* view, int x, int y)
{
    const QImage shown = view->viewport()->grab().toImage();
    const QPoint origin = view->PictureOrigin();
    return shown.pixel(origin.x() + x, origin.y() + y);
}

TEST(Document, OpensABmpUnderTheProgressDialogSavesItNativeAndReopensIt)
{
    TempFolder temp;
    temp.Write("four.bmp", FourColourBmp());
    ScopedDialogs dialogs;
    dialogs->realProgress = true;
    TestApp test;
    ASSERT_TRUE(test.app->InitInstance());
    const OperationClock kept = SetOperationClock(SlowClock);
    CTamsleyDoc* document = test.app->OpenDocumentFile(QString::fromStdString(temp.Item("four.bmp")));
    SetOperationClock(kept);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(dialogs->progressDialogs, 1);
    EXPECT_TRUE(dialogs->messages.empty());
    CTamsleyView* view = test.app->GetMainFrame()->GetActiveTamsleyView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetZoomedSize(), QSize(96, 64));
    for (const QPoint& p : {QPoint(5, 5), QPoint(90, 5), QPoint(5, 60), QPoint(90, 60)})
        EXPECT_EQ(ShownAt(view, p.x(), p.y()), FourColourAt(p.x(), p.y())) << p.x() << "," << p.y();

    const QString native = QString::fromStdString(temp.Item("four.dwk"));
    dialogs->save = [&](QString* name, int* index) {
        *name = native;
        *index = TypeIndex(dialogs->saveFilter, QStringLiteral("DWK"));
        return *index > 0;
    };
    test.app->OnFileSaveAs();
    EXPECT_EQ(document->GetPathName(), native);
    EXPECT_EQ(document->IsModified(), 0);
    EXPECT_TRUE(dialogs->messages.empty());

    test.app->GetMainFrame()->GetActiveChild()->close();
    QCoreApplication::processEvents();
    ASSERT_TRUE(test.app->GetMainFrame()->GetChildFrames().isEmpty());
    ASSERT_NE(test.app->OpenDocumentFile(native), nullptr);
    view = test.app->GetMainFrame()->GetActiveTamsleyView();
    for (const QPoint& p : {QPoint(47, 31), QPoint(48, 31), QPoint(47, 32), QPoint(48, 32)})
        EXPECT_EQ(ShownAt(view, p.x(), p.y()), FourColourAt(p.x(), p.y())) << p.x() << "," << p.y();
}

class Documents : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(test.app->InitInstance()); }
    QString Path(const std::string& name) const { return QString::fromStdString(temp.Item(name)); }
    int Windows() const { return int(test.app->GetMainFrame()->GetChildFrames().size()); }

    TempFolder temp;
    ScopedDialogs dialogs;
    TestApp test;
};

TEST_F(Documents, ThreeFilesWithABadOneBetweenGiveTwoDocumentsAndOneMessage)
{
    temp.Write("a.bmp", FourColourBmp());
    temp.Write("bad.bmp", "BM not really");
    temp.Write("c.bmp", FourColourBmp());
    dialogs->openFiles = {Path("a.bmp"), Path("bad.bmp"), Path("c.bmp")};
    test.app->OnFileOpen();
    EXPECT_EQ(Windows(), 2);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].startsWith(QStringLiteral("Could not open \"") + Path("bad.bmp") + '"'));
}

TEST_F(Documents, BadFilesGiveAMessageWithThePathTheCodeAndWhatItMeans)
{
    const std::string bmp = FourColourBmp();
    temp.Write("corrupt.bmp", "BM" + std::string(200, '\xEE'));
    temp.Write("truncated.bmp", bmp.substr(0, 40));  // short pixel rows load as far as they go
    temp.Write("words.bmp", "nothing but words");
    ASSERT_EQ(mkdir(temp.Item("folder.bmp").c_str(), 0700), 0);
    const std::string longName = std::string(300, 'n') + ".bmp";
    const struct {
        std::string name;
        int code;
        QString reason;
    } cases[] = {
        {"missing.bmp", ENOENT, QString::fromLocal8Bit(strerror(ENOENT))},
        {"corrupt.bmp", FTzERR_BAD_DATA, QStringLiteral("not a BMP file")},
        {"truncated.bmp", FTzERR_SHORT_READ, QStringLiteral("the file is truncated")},
        {"words.bmp", FTzERR_BAD_DATA, QStringLiteral("not a BMP file")},
        {"folder.bmp", EISDIR, QString::fromLocal8Bit(strerror(EISDIR))},
        {longName, PTzERR_PATH_TOO_LONG, QStringLiteral("the path is too long")},
    };
    for (const auto& c : cases) {
        const QString path = Path(c.name);
        dialogs->messages.clear();
        EXPECT_EQ(test.app->OpenDocumentFile(path), nullptr) << c.name << " " << Windows();
        ASSERT_EQ(dialogs->messages.size(), 1u) << c.name;
        const QString& message = dialogs->messages[0];
        EXPECT_TRUE(message.startsWith(QStringLiteral("Could not open \"") + path +
                                       QStringLiteral("\" because err code: ") + QString::number(c.code) +
                                       QStringLiteral(" (")))
            << message.toStdString();
        EXPECT_TRUE(message.contains(c.reason) && message.endsWith(QLatin1Char(')'))) << message.toStdString();
    }
    EXPECT_EQ(Windows(), 0);
}

TEST(DocumentsFromTheCommandLine, OpenEachFileWhateverBytesItsNameHolds)
{
    TempFolder temp;
    temp.Write("a.bmp", FourColourBmp());
    temp.Write("latin1-\xE9t\xE9.bmp", FourColourBmp());
    ScopedDialogs dialogs;
    TestApp test;
    const QByteArray good = QFile::encodeName(QString::fromStdString(temp.Item("a.bmp")));
    const QByteArray latin1 = QByteArray::fromStdString(temp.Item("latin1-\xE9t\xE9.bmp"));
    const QByteArray missing = QFile::encodeName(QString::fromStdString(temp.Item("b"))) + "\xFF.bmp";
    ASSERT_TRUE(test.app->InitInstance({good, latin1, missing, good}));
    EXPECT_EQ(test.app->GetMainFrame()->GetChildFrames().size(), 2) << "the same path re-activates its window";
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].contains(QStringLiteral("/b\uFFFD.bmp\" because err code: ") +
                                              QString::number(ENOENT)))
        << dialogs->messages[0].toStdString();
}

TEST_F(Documents, AnOpenPathBringsItsWindowBack)
{
    temp.Write("a.bmp", FourColourBmp());
    temp.Write("b.bmp", FourColourBmp());
    CTamsleyDoc* a = test.app->OpenDocumentFile(Path("a.bmp"));
    test.app->OpenDocumentFile(Path("b.bmp"));
    EXPECT_EQ(test.app->OpenDocumentFile(temp.path().c_str() + QStringLiteral("/./a.bmp")), a);
    EXPECT_EQ(Windows(), 2);
    EXPECT_EQ(test.app->GetMainFrame()->GetActiveChild()->GetDocument(), a);
}

TEST_F(Documents, NewProposesOnlySizesInRangeAndNamesThePictureWithoutAPath)
{
    const struct {
        uint32_t storedWidth;
        uint32_t storedHeight;
        int32_t proposedWidth;
        int32_t proposedHeight;
    } cases[] = {
        {0, 0, 1000, 800},          // nothing stored (0 stands for none)
        {640, 480, 640, 480},
        {uint32_t(-5), 30001, 1000, 800},
        {30000, 1, 30000, 1},
    };
    for (const auto& c : cases) {
        quorvel::AppSettings().Wipe();
        if (c.storedWidth)
            quorvel::WriteSettingDword(u"New Image Width", c.storedWidth);
        if (c.storedHeight)
            quorvel::WriteSettingDword(u"New Image Height", c.storedHeight);
        int32_t proposedWidth = 0;
        int32_t proposedHeight = 0;
        dialogs->newImage = [&](int32_t* width, int32_t* height, QString* name) {
            proposedWidth = *width;
            proposedHeight = *height;
            *width = 30;
            *height = 20;
            *name = QStringLiteral("Sketch #1");
            return true;
        };
        test.app->OnFileNew();
        EXPECT_EQ(proposedWidth, c.proposedWidth);
        EXPECT_EQ(proposedHeight, c.proposedHeight);
    }
    CTamsleyDoc* document = test.app->GetMainFrame()->GetActiveChild()->GetDocument();
    EXPECT_EQ(document->GetTitle(), QStringLiteral("Sketch #1"));
    EXPECT_TRUE(document->GetPathName().isEmpty());
    EXPECT_TRUE(std::u16string_view(document->GetPicture()->GetLayerbyIndex(0)->GetName()) == u"Layer")
        << "named as a loaded file's first layer is";
    uint32_t stored = 0;
    EXPECT_TRUE(quorvel::ReadSettingDword(u"New Image Width", &stored) && stored == 30);
    dialogs->newImage = [](int32_t*, int32_t*, QString*) { return false; };
    test.app->OnFileNew();
    EXPECT_EQ(Windows(), 4);
}

TEST(DocumentsWithAClipboard, NewProposesTheClipboardImageOnlyWhenItsSizeFits)
{
    struct Clipboard : quorvel::IClipboardBridge {
        Clipboard(int32_t w, int32_t h) : width(w), height(h) {}
        int GetImageSize(int32_t* w, int32_t* h) override { return *w = width, *h = height, 1; }
        void OnAppActivate(bool) override {}
        int32_t width;
        int32_t height;
    };
    const struct {
        int32_t width;
        int32_t height;
        QSize proposed;
    } cases[] = {{320, 200, {320, 200}}, {0, 200, {640, 480}}, {40000, 10, {640, 480}}};
    for (const auto& c : cases) {
        ScopedDialogs dialogs;
        CShellParts parts;
        parts.clipboardBridge = [&] { return std::make_unique<Clipboard>(c.width, c.height); };
        TestApp test(std::move(parts));
        ASSERT_TRUE(test.app->InitInstance());
        quorvel::WriteSettingDword(u"New Image Width", 640);
        quorvel::WriteSettingDword(u"New Image Height", 480);
        QSize proposed;
        dialogs->newImage = [&](int32_t* width, int32_t* height, QString*) {
            return proposed = QSize(*width, *height), false;
        };
        test.app->OnFileNew();
        EXPECT_EQ(proposed, c.proposed);
    }
}

TEST_F(Documents, DroppedLocalFilesOpenAsDocuments)
{
    temp.Write("a.bmp", FourColourBmp());
    temp.Write("b.bmp", FourColourBmp());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Path("a.bmp")), QUrl::fromLocalFile(Path("b.bmp")),
                  QUrl(QStringLiteral("https://example.com/c.bmp"))});
    QWidget* target = test.app->GetMainFrame()->GetMdiArea()->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    EXPECT_EQ(Windows(), 2);
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(Documents, SaveOfANewPictureAsksForANameAndSaveAsAlwaysAsks)
{
    QString proposed;
    dialogs->save = [&](QString* name, int*) { return proposed = *name, false; };
    // The whole name typed is offered, up to a "/", which no file name holds.
    const std::pair<const char*, const char*> names[] = {
        {"My Picture", "My Picture"}, {"#1; 50% done", "#1; 50% done"}, {"a/b", "a"}};
    for (const auto& [typed, offered] : names) {
        dialogs->newImage = [typed](int32_t*, int32_t*, QString* name) { return *name = QString::fromUtf8(typed), true; };
        test.app->OnFileNew();
        CTamsleyDoc* document = test.app->GetMainFrame()->GetActiveChild()->GetDocument();
        EXPECT_FALSE(document->DoFileSave());
        EXPECT_EQ(proposed, QString::fromUtf8(offered));
    }
    temp.Write("a.bmp", FourColourBmp());
    CTamsleyDoc* opened = test.app->OpenDocumentFile(Path("a.bmp"));
    dialogs->saveDialogs = 0;
    EXPECT_FALSE(opened->DoFileSaveAs());
    EXPECT_EQ(dialogs->saveDialogs, 1);
    EXPECT_EQ(proposed, Path("a.bmp"));
    EXPECT_EQ(opened->GetPathName(), Path("a.bmp"));
}

TEST_F(Documents, TheClosePromptKeepsSavesOrDropsAModifiedPicture)
{
    temp.Write("a.bmp", FourColourBmp());
    const std::string before = temp.Read("a.bmp");
    CTamsleyDoc* document = test.app->OpenDocumentFile(Path("a.bmp"));
    ASSERT_EQ(document->GetPicture()->NewImageLayer(u"Edit"), 1);
    // Saving asks first whether the two layers may go into the BMP merged.
    const struct {
        std::deque<quorvel::MessageAnswer> answers;
        bool closes;
        bool saved;
    } cases[] = {
        {{quorvel::MessageAnswer::Cancel}, false, false},
        {{quorvel::MessageAnswer::Yes, quorvel::MessageAnswer::No}, false, false},
        {{quorvel::MessageAnswer::Yes, quorvel::MessageAnswer::Yes}, true, true},
    };
    for (const auto& c : cases) {
        dialogs->answers = c.answers;
        test.app->GetMainFrame()->GetActiveChild()->close();
        QCoreApplication::processEvents();
        EXPECT_EQ(Windows(), c.closes ? 0 : 1);
        EXPECT_EQ(temp.Read("a.bmp") != before, c.saved);
    }
    document = test.app->OpenDocumentFile(Path("a.bmp"));
    ASSERT_EQ(document->GetPicture()->NewImageLayer(u"Edit"), 1);
    const std::string saved = temp.Read("a.bmp");
    dialogs->answers = {quorvel::MessageAnswer::No};
    test.app->GetMainFrame()->close();
    EXPECT_EQ(*test.exits, 1);
    EXPECT_EQ(temp.Read("a.bmp"), saved);
}

TEST_F(Documents, AResizeToTheSameSizeCountsAsAChangeUntilSaved)
{
    temp.Write("a.bmp", FourColourBmp());
    CTamsleyDoc* document = test.app->OpenDocumentFile(Path("a.bmp"));
    ASSERT_EQ(document->IsModified(), 0);
    ASSERT_TRUE(document->ResizePicture(96, 64, 1, 5000));
    EXPECT_EQ(document->GetPicture()->GetXPelsPerMeter(), 5000u);
    EXPECT_EQ(document->IsModified(), 1);
    ASSERT_TRUE(document->DoFileSave());
    EXPECT_EQ(document->IsModified(), 0);
    // Past 30000 pixels a side, or under 1, no resize is made.
    for (const QSize refused : {QSize(30001, 20000), QSize(96, 0), QSize(-5, 64)})
        EXPECT_FALSE(document->ResizePicture(refused.width(), refused.height(), 1, 5000));
    EXPECT_EQ(document->IsModified(), 0);
    ASSERT_TRUE(document->ResizePicture(48, 32, 0, 5000));
    ASSERT_TRUE(document->RotatePicture(1));
    _tagPTzSIZE size = {};
    document->GetPicture()->GetSize(&size);
    EXPECT_EQ(size.cx, 32);
    EXPECT_EQ(size.cy, 48);
    EXPECT_EQ(document->IsModified(), 1);
}

}  // namespace
