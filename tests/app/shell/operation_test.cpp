// The operation runner and the progress dialog: when the dialog takes over, that End or
// Cancel runs exactly once, and that Run reports what End reported on either path.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/shell/operation.h"
#include "app/shell/progress_dialog.h"
#include "tests/app/shell/shell_test_support.h"

using namespace shelltest;

namespace {

// Each step reads the next scripted clock value and reports the next percentage (0
// means none); the job has as many steps as the script.
class ScriptedOperation : public COperationBase {
public:
    ScriptedOperation(std::vector<uint32_t> percents, bool starts = true, int endResult = 1)
        : m_percents(std::move(percents)), m_starts(starts), m_endResult(endResult)
    {
    }
    int Start() override { return m_starts ? 1 : 0; }
    int Step(uint32_t* percent) override
    {
        if (m_next >= m_percents.size())
            return 0;
        if (m_percents[m_next])
            *percent = m_percents[m_next];
        return ++m_next < m_percents.size() ? 1 : 0;
    }
    int Cancel() override { return ++cancels, 1; }
    int End() override { return ++ends, m_endResult; }

    int ends = 0;
    int cancels = 0;

private:
    std::vector<uint32_t> m_percents;
    size_t m_next = 0;
    bool m_starts;
    int m_endResult;
};

uint32_t fakeNow = 0;
uint32_t fakeStep = 0;
uint32_t FakeClock()
{
    const uint32_t now = fakeNow;
    fakeNow += fakeStep;
    return now;
}

struct ClockScope {
    explicit ClockScope(uint32_t step) : kept(SetOperationClock(FakeClock)) { fakeNow = 0, fakeStep = step; }
    ~ClockScope() { SetOperationClock(kept); }
    OperationClock kept;
};

TEST(Operation, TheDialogTakesOverOnlyWhenTheJobIsSlow)
{
    const struct {
        uint32_t elapsed;
        uint32_t percent;
        bool dialog;
    } cases[] = {
        {500, 0, false}, {501, 0, true},    {600, 50, false},   {600, 10, true},
        {5000, 90, false}, {4000, 40, true}, {2000, 60, false}, {0xFFFFFFFF, 100, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShouldShowProgress(c.elapsed, c.percent), c.dialog) << c.elapsed << " ms, " << c.percent << " %";
}

TEST(Operation, TheRunnerHandsOverByTheClockAndRunsEndOnceOnEitherPath)
{
    const struct {
        uint32_t msPerReading;
        std::vector<uint32_t> percents;
        int endResult;
        int dialogs;
        int run;
    } cases[] = {
        {300, {0, 0, 0, 0}, 1, 1, 1},           // no percentage past 500 ms
        {300, {50, 60, 70, 80}, 1, 0, 1},       // half done at 600 ms: runs on
        {600, {10, 20, 30, 40}, 1, 1, 1},       // a tenth at 600 ms: 6 s in all
        {300, {250, 250, 250, 250}, 1, 0, 1},   // a percentage past 100 counts as 100
        {300, {0, 0, 0, 0}, 0, 1, 0},           // the end fails behind the dialog
        {10, {0, 0, 0, 0}, 0, 0, 0},            // the end fails without one
    };
    for (const auto& c : cases) {
        ScopedDialogs dialogs;
        ClockScope clock(c.msPerReading);
        ScriptedOperation operation(c.percents, true, c.endResult);
        EXPECT_EQ(operation.Run(), c.run);
        EXPECT_EQ(dialogs->progressDialogs, c.dialogs);
        EXPECT_EQ(operation.ends, 1);
        EXPECT_EQ(operation.cancels, 0);
    }
    ScriptedOperation refused({0}, false);
    EXPECT_EQ(refused.Run(), 0);
    EXPECT_EQ(refused.ends + refused.cancels, 0) << "neither End nor Cancel after a failed Start";
}

TEST(Operation, TheRealDialogFinishesTheJobAndReportsItsEnd)
{
    for (int endResult : {1, 0}) {
        ScopedDialogs dialogs;
        dialogs->realProgress = true;
        ClockScope clock(400);
        ScriptedOperation operation(std::vector<uint32_t>(50, 0), true, endResult);
        EXPECT_EQ(operation.Run(), endResult);
        EXPECT_EQ(dialogs->progressDialogs, 1);
        EXPECT_EQ(operation.ends, 1);
        EXPECT_EQ(operation.cancels, 0);
    }
}

TEST(Operation, CancelEscAndClosingTheDialogCancelOnce)
{
    const std::function<void(QDialog*)> ways[] = {
        [](QDialog* dialog) { dialog->findChild<QPushButton*>(QStringLiteral("2"))->click(); },
        [](QDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); },
        [](QDialog* dialog) { dialog->close(); },
    };
    for (const auto& cancel : ways) {
        // A job that never ends by itself: only the user ends it.
        class Endless : public ScriptedOperation {
        public:
            Endless() : ScriptedOperation({0}) {}
            int Step(uint32_t*) override { return 1; }
        } operation;
        QTimer user;
        user.setInterval(20);
        QObject::connect(&user, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                user.stop();
                cancel(dialog);
            }
        });
        user.start();
        COPProgressDlg dialog(&operation);
        dialog.DoModal();
        EXPECT_FALSE(dialog.Completed());
        EXPECT_EQ(operation.cancels, 1);
        EXPECT_EQ(operation.ends, 0);
        EXPECT_TRUE(operation.WasCancelled());
    }
}

}  // namespace
