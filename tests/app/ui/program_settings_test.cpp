// The whole program's settings at start and exit: start-up stores its writes at once,
// shut-down everything it writes back at once, and a run that changed nothing leaves the
// file alone; the stored values survive a stale version.
#include <gtest/gtest.h>

#include <QDockWidget>
#include <QTest>

#include "app/shell/current_colours.h"
#include "app/shell/main_frame.h"
#include "app/shell/settings_store.h"
#include "app/ui/program_parts.h"
#include "tests/app/shell/shell_test_support.h"

using namespace shelltest;

namespace {

// Starts the program, waits for its panels to take their places, moves the tool palette
// by the given offset and ends it: the replaces of the settings file during start-up
// and during shut-down.
std::pair<int, int> RunProgram(const QPoint& movePalette = {})
{
    ReplaceCounter replaces(quorvel::AppSettings().FilePath());
    int started = -1;
    {
        ScopedDialogs dialogs;
        TestApp test(MakeProgramParts());
        EXPECT_TRUE(test.app->InitInstance());
        started = replaces.Count();
        // Inside the (offscreen) screen, so that no stored place is moved onto it later.
        test.app->GetMainFrame()->resize(700, 500);
        QDockWidget* palette = test.app->GetMainFrame()->GetPanel(quorvel::PanelSlot::ToolPalette);
        EXPECT_TRUE(palette && QTest::qWaitFor([&] { return palette->isVisible(); }));
        if (palette && !movePalette.isNull())
            palette->move(palette->pos() + movePalette);
        QCoreApplication::processEvents();
    }
    return {started, replaces.Count() - started};
}

QPoint StoredPaletteCorner()
{
    uint32_t left = 0;
    uint32_t top = 0;
    quorvel::ReadSettingDword(u"Tool UI Left", &left);
    quorvel::ReadSettingDword(u"Tool UI Top", &top);
    return QPoint(int32_t(left), int32_t(top));
}

TEST(ProgramSettings, StartAndExitReplaceTheFileOnceEachAndOnlyWhenSomethingChanged)
{
    quorvel::AppSettings().Wipe();
    EXPECT_EQ(RunProgram(), std::make_pair(1, 1)) << "the first run stores the version, then every setting";
    EXPECT_EQ(RunProgram(), std::make_pair(0, 0)) << "nothing changed";
    const QPoint before = StoredPaletteCorner();
    EXPECT_EQ(RunProgram(QPoint(30, 20)), std::make_pair(0, 1));
    EXPECT_EQ(StoredPaletteCorner(), before + QPoint(30, 20));
    // A stale store: wiped at start-up, once the program has read it, and filled again,
    // with the panel's place, at exit.
    ASSERT_EQ(quorvel::WriteSettingDword(u"REG_VERSION", 2), 1);
    EXPECT_EQ(RunProgram(), std::make_pair(1, 1));
    EXPECT_EQ(StoredPaletteCorner(), before + QPoint(30, 20));
    uint32_t version = 0;
    EXPECT_EQ(quorvel::ReadSettingDword(u"REG_VERSION", &version), 1);
    EXPECT_EQ(version, 1u);
}

}  // namespace
