// The document: opening, new pictures, saving and closing, through the application as
// the user drives it, with the dialogs answered by the test.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMdiArea>

#include "app/shell/child_frame.h"
#include "app/shell/document.h"
#include "app/shell/file_filters.h"
#include "app/shell/main_frame.h"
#include "app/shell/operation.h"
#include "app/shell/picture_view.h"
#include "engine/picture/picture.h"
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

}  // namespace
