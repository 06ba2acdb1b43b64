// The layers panel and its list as a person uses them, on real engine pictures: rows and
// the active layer, the opacity box's drag and commit, the eye and link clicks, the
// controls without a picture, repaints of one column, thumbnails from the preview cache,
// the drop arithmetic, refused drops and auto-scroll; and the panel inside the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <memory>

#include "app/shell/main_frame.h"
#include "app/shell/settings_store.h"
#include "app/shell/shell_strings.h"
#include "app/ui/layer_drop.h"
#include "app/ui/layer_list_box.h"
#include "app/ui/layer_list_item.h"
#include "app/ui/layer_manager_dlg.h"
#include "app/ui/layer_properties_dialog.h"
#include "app/ui/program_parts.h"
#include "app/ui/status_button.h"
#include "app/ui/testing_dialog.h"
#include "engine/picture/editing_ticket.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "tests/app/shell/shell_test_support.h"

using namespace shelltest;

namespace {

// A picture of `count` layers named "Layer 0" (the bottom) upwards, the bottom one active,
// with no undo step of its making.
struct Layers {
    explicit Layers(int count, QSize size = {120, 80})
    {
        handle = MakeArgbPicture(size.width(), size.height(), [](int x, int) { return x < 60 ? 0xFFFF0000u : 0x800000FFu; });
        picture = ITzPictGetPictureClass(handle);
        picture->GetLayerbyIndex(0)->SetName(u"Layer 0");
        for (int i = 1; i < count; ++i)
            picture->NewImageLayer(reinterpret_cast<const PTzChar*>(QStringLiteral("Layer %1").arg(i).utf16()));
        picture->SetActiveLayerID(0);
        picture->ClearModified();
    }
    ~Layers() { Destroy(); }
    void Destroy()
    {
        if (handle)
            ITzPictDestroy(handle);
        handle = nullptr;
        picture = nullptr;
    }
    ITzLayerBase* Layer(int index) const { return picture->GetLayerbyIndex(uint16_t(index)); }

    void* handle = nullptr;
    ITzPicture* picture = nullptr;
};

// A point inside a row's name column.
QPoint NameOf(CLayerListBox* list, int row)
{
    QRect rect;
    EXPECT_TRUE(list->GetRowRect(row, &rect));
    return rect.topLeft() + QPoint(CLayerListItem::kEyeWidth + CLayerListItem::kLinkWidth + 60, 10);
}

QPoint ColumnOf(CLayerListBox* list, int row, int x)
{
    QRect rect;
    EXPECT_TRUE(list->GetRowRect(row, &rect));
    return rect.topLeft() + QPoint(x, 10);
}

struct ShownPanel {
    ShownPanel()
    {
        panel.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&panel));
    }
    CLayerListBox* List() const { return panel.GetList(); }
    CLayerManagerDlg panel;
};

TEST(LayersPanel, ClickedOrKeyedRowsActivateTheirLayerAndRebuildsNeverChangeTheActiveLayer)
{
    Layers layers(3);
    ShownPanel shown;
    shown.panel.SetPicture(layers.picture);
    CLayerListBox* list = shown.List();
    ASSERT_EQ(list->GetCount(), 3);
    EXPECT_EQ(list->currentIndex().row(), 2);  // the bottom layer, the last row
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, NameOf(list, 1));
    EXPECT_EQ(layers.picture->GetActiveLayerID(), 1);
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(layers.picture->GetActiveLayerID(), 2);

    // While an edit holds the picture the active layer and its floating layer stay.
    auto* active = static_cast<ITzLayerImage*>(layers.Layer(2));
    {
        ITzEditingTicket gesture;
        ASSERT_TRUE(gesture.Start(layers.picture));
        ASSERT_NE(active->CreateFloatingLayer(), nullptr);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, NameOf(list, 2));
        EXPECT_EQ(layers.picture->GetActiveLayerID(), 2);
        EXPECT_NE(active->GetFloatingLayer(), nullptr);
        EXPECT_EQ(list->currentIndex().row(), 0);
        gesture.Stop();
    }

    // A layer inserted at the bottom, a layer removed and a size change each rebuild the rows.
    ITzLayerBase* added = ITzLayerBase::CreateLayer(ITzLAYERTYPE_ARGB);
    ASSERT_EQ(layers.picture->InsertLayer(0, added), 0);
    EXPECT_EQ(list->GetCount(), 4);
    const _tagPTzSIZE size = {100, 70};
    layers.picture->SetSize(&size);
    ITzLayerBase* removed = nullptr;
    layers.picture->RemoveLayer(0, &removed);
    ITzLayerBase::DestroyLayer(removed);
    EXPECT_EQ(layers.picture->GetActiveLayerID(), 2) << "the picture's own active index, pulled into the stack";
    EXPECT_EQ(list->GetCount(), 3);
    EXPECT_EQ(list->currentIndex().row(), list->RowOfLayer(layers.picture->GetActiveLayerID()));
    EXPECT_EQ(list->GetCounters().rebuilds, 4u);
}

TEST(LayersPanel, AnOpacityDragRecordsOneStepOnReleaseAndKeepsABytePercentagesCannotExpress)
{
    Layers layers(2);
    layers.Layer(0)->SetOpacity(200);  // 78 %, which comes back as 199
    ShownPanel shown;
    shown.panel.SetPicture(layers.picture);
    CLayerOpacitySCBox* box = shown.panel.GetOpacityBox();
    EXPECT_EQ(box->text(), QStringLiteral("78%"));

    box->SetValue(40, true);
    box->SetValue(55, true);
    EXPECT_EQ(layers.Layer(0)->GetOpacity(), 140);
    EXPECT_FALSE(layers.picture->IsModified()) << "a drag records nothing until released";
    box->SetValue(55, false);
    EXPECT_EQ(layers.Layer(0)->GetOpacity(), 140);
    ASSERT_NE(layers.picture->DoUndo(), 0);
    EXPECT_EQ(layers.Layer(0)->GetOpacity(), 200);
    EXPECT_EQ(box->text(), QStringLiteral("78%"));
    EXPECT_EQ(layers.picture->DoUndo(), 0) << "one step";

    // Away and back: the byte itself, and no step.
    layers.picture->ClearModified();
    box->SetValue(10, true);
    box->SetValue(78, false);
    EXPECT_EQ(layers.Layer(0)->GetOpacity(), 200);
    EXPECT_FALSE(layers.picture->IsModified());
    // A typed commit of the shown percentage leaves the byte alone too.
    box->SetValue(78, false);
    EXPECT_EQ(layers.Layer(0)->GetOpacity(), 200);
    EXPECT_FALSE(layers.picture->IsModified());
}

TEST(LayersPanel, TextTypedForOneLayerNeverLandsOnTheLayerThatBecomesActiveBeforeItIsCommitted)
{
    // Both layers at 100 %: the box's value does not change with the active layer.
    Layers layers(2);
    ShownPanel shown;
    shown.panel.SetPicture(layers.picture);
    CLayerOpacitySCBox* box = shown.panel.GetOpacityBox();
    box->selectAll();
    QTest::keyClicks(box, "30");
    // A shortcut (New Layer) changes the active layer, then the focus goes to the view.
    layers.picture->SetActiveLayerID(1);
    EXPECT_EQ(box->text(), QStringLiteral("100%"));
    QFocusEvent leave(QEvent::FocusOut, Qt::OtherFocusReason);
    QApplication::sendEvent(box, &leave);
    EXPECT_EQ(layers.Layer(1)->GetOpacity(), 255);
    EXPECT_EQ(layers.Layer(0)->GetOpacity(), 255);
    EXPECT_FALSE(layers.picture->IsModified());
}

TEST(LayersPanel, EyeAndLinkClicksAreOneStepEachAndLeaveTheSelectionAlone)
{
    Layers layers(3);
    ShownPanel shown;
    shown.panel.SetPicture(layers.picture);
    CLayerListBox* list = shown.List();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, ColumnOf(list, 0, 5));
    EXPECT_FALSE(layers.Layer(2)->IsVisible());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, ColumnOf(list, 1, CLayerListItem::kEyeWidth + 5));
    EXPECT_TRUE(layers.Layer(1)->IsLinkWithCurrent());
    EXPECT_EQ(layers.picture->GetActiveLayerID(), 0) << "icon clicks do not select";
    ASSERT_NE(layers.picture->DoUndo(), 0);
    EXPECT_FALSE(layers.Layer(1)->IsLinkWithCurrent());
    EXPECT_FALSE(layers.Layer(2)->IsVisible());
    ASSERT_NE(layers.picture->DoUndo(), 0);
    EXPECT_TRUE(layers.Layer(2)->IsVisible());
    EXPECT_EQ(layers.picture->DoUndo(), 0);
}

TEST(LayersPanel, WithoutAPictureOrAfterItsEndTheControlsAreDisabledAndOneLayerDisablesDeleteAndMergeAll)
{
    auto expectControls = [](CLayerManagerDlg& panel, bool list, bool fresh, bool remove, bool down) {
        EXPECT_EQ(panel.GetList()->isEnabled(), list);
        EXPECT_EQ(panel.GetOpacityBox()->isEnabled(), list);
        EXPECT_EQ(panel.GetButton(CLayerManagerDlg::kNewLayerId)->isEnabled(), fresh);
        EXPECT_EQ(panel.GetButton(CLayerManagerDlg::kDeleteId)->isEnabled(), remove);
        EXPECT_EQ(panel.GetButton(CLayerManagerDlg::kMergeAllId)->isEnabled(), remove);
        EXPECT_EQ(panel.GetButton(CLayerManagerDlg::kMergeDownId)->isEnabled(), down);
    };
    ShownPanel shown;
    expectControls(shown.panel, false, false, false, false);
    {
        Layers one(1);
        shown.panel.SetPicture(one.picture);
        expectControls(shown.panel, true, true, false, false);
        shown.panel.SetPicture(nullptr);
    }
    Layers three(3);
    shown.panel.SetPicture(three.picture);
    expectControls(shown.panel, true, true, true, false);
    three.picture->SetActiveLayerID(2);
    expectControls(shown.panel, true, true, true, true);

    // The picture goes while shown, in the panel and in the Testing Dialog.
    CTestingDialog dialog;
    dialog.SetPicture(three.picture);
    EXPECT_EQ(dialog.GetList()->GetCount(), 3);
    three.Destroy();
    EXPECT_EQ(shown.List()->GetCount(), 0);
    EXPECT_EQ(shown.panel.GetPicture(), nullptr);
    EXPECT_EQ(dialog.GetList()->GetCount(), 0);
    EXPECT_EQ(dialog.GetPicture(), nullptr);
    expectControls(shown.panel, false, false, false, false);
    QCoreApplication::processEvents();  // paints with nothing to show
}

TEST(LayersPanel, ALayerMessageRepaintsOnlyItsColumnAndThumbnailsComeFromThePreviewCache)
{
    Layers layers(3, {800, 600});
    ShownPanel shown;
    shown.panel.SetPicture(layers.picture);
    CLayerListBox* list = shown.List();
    // The first paint reads the thumbnails, whose widths then move the columns right of them.
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    CLayerListCounters& counters = list->GetCounters();
    EXPECT_EQ(counters.thumbnails, 3u);
    EXPECT_EQ(counters.fullSizeReads, 0u);

    CLayerListItem* item = list->GetLayerItem(0);
    QRect row;
    ASSERT_TRUE(list->GetRowRect(0, &row));
    const struct {
        const char* what;
        std::function<void()> change;
        CLayerListItem::Column column;
    } cases[] = {
        {"name", [&] { layers.Layer(2)->SetName(u"Renamed"); }, CLayerListItem::Column::Name},
        {"link", [&] { layers.Layer(2)->LinkWithCurrent(1); }, CLayerListItem::Column::Link},
    };
    for (const auto& c : cases) {
        const uint64_t paints = counters.paints;
        c.change();
        QCoreApplication::processEvents();
        EXPECT_EQ(counters.paints, paints + 1) << c.what;
        EXPECT_EQ(counters.lastPainted.boundingRect(), item->ColumnRect(c.column, row.width()).translated(row.topLeft()))
            << c.what;
    }
}

TEST(LayerDrop, TheDropArithmeticMovesALayerToTheBoundaryNearestThePointer)
{
    EXPECT_EQ(LayerInsertionRow(0, 29, 0, 40), -1);
    EXPECT_EQ(LayerInsertionRow(0, 29, 5, 0), 0);
    EXPECT_EQ(LayerInsertionRow(0, 29, 5, 14), 0);
    EXPECT_EQ(LayerInsertionRow(0, 29, 5, 15), 1);  // past half a row: the boundary below
    EXPECT_EQ(LayerInsertionRow(2, 29, 5, 13), 2);
    const struct {
        int count, layer, row, moved;
    } cases[] = {
        {4, 1, 2, -1},  // its own place (layer 1 is row 2)
        {4, 1, 3, -1},  // the boundary just below it
        {4, 3, 4, 0},   // the top row to below the last: the bottom
        {4, 3, 9, 0},   // past the end, clamped
        {4, 0, 0, 3},   // the bottom to the top
        {4, 2, 3, 1},
        {4, 4, 0, -1},  // no such layer
    };
    for (const auto& c : cases)
        EXPECT_EQ(LayerDropIndex(c.count, c.layer, c.row), c.moved) << c.count << " " << c.layer << " " << c.row;
}

TEST(LayerDrop, OnlyTheListsOwnDragOfALayerOfThePictureShownIsTakenAndNearTheBottomItScrollsARowPerHalfSecond)
{
    Layers layers(20);
    Layers other(2);
    CLayerListBox list;
    list.resize(200, 29 * 5);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    layers.picture->SetActiveLayerID(19);  // the first row, shown at the top
    list.SetPicture(layers.picture);
    ASSERT_EQ(list.GetTopIndex(), 0);
    const QString type = CRDropDataBase::MimeType(CLayerListDataSource::FormatName());
    auto mime = [&](uint16_t index, ITzPicture* picture) {
        auto data = std::make_unique<QMimeData>();
        data->setData(type, CLayerDragPayload{index, picture}.Encode());
        return data;
    };
    CLayerDragPayload payload;
    EXPECT_TRUE(list.AcceptsDrop(mime(19, layers.picture).get(), &list, &payload));
    EXPECT_FALSE(list.AcceptsDrop(mime(19, layers.picture).get(), nullptr, &payload)) << "another program's";
    EXPECT_FALSE(list.AcceptsDrop(mime(20, layers.picture).get(), &list, &payload)) << "a stale index";
    EXPECT_FALSE(list.AcceptsDrop(mime(1, other.picture).get(), &list, &payload)) << "another picture";
    QMimeData text;
    text.setText(QStringLiteral("Layer"));
    EXPECT_FALSE(list.AcceptsDrop(&text, &list, &payload));

    // A drop that another program could send: the right bytes, no source here.
    const auto data = mime(19, layers.picture);
    QDropEvent drop(QPointF(10, 29 * 4 + 20), Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(list.viewport(), &drop);
    EXPECT_FALSE(drop.isAccepted());
    EXPECT_EQ(layers.Layer(19)->GetName()[6], u'1');
    EXPECT_FALSE(layers.picture->IsModified());

    CLayerListDropTarget& target = list.GetDropTarget();
    const int bottom = list.viewport()->height() - 5;
    target.DragOver(bottom, 1000);
    EXPECT_EQ(list.GetTopIndex(), 1);
    EXPECT_FALSE(target.GetMarker().isEmpty());
    target.DragOver(bottom, 1300);
    target.AutoScroll(1499);
    EXPECT_EQ(list.GetTopIndex(), 1);
    target.AutoScroll(1500);
    EXPECT_EQ(list.GetTopIndex(), 2);
    target.DragOver(60, 2100);  // away from the edges: no scrolling
    EXPECT_EQ(list.GetTopIndex(), 2);

    // The top layer dropped below the row shown last, as the list's own drag ends.
    ASSERT_TRUE(list.AcceptsDrop(mime(19, layers.picture).get(), &list, &payload));
    // The boundary under the third row shown (rows 2 to 4): the layer becomes row 4.
    EXPECT_TRUE(target.Drop(payload, 29 * 3));
    EXPECT_TRUE(target.GetMarker().isEmpty());
    EXPECT_EQ(QString::fromUtf16(layers.Layer(15)->GetName()), QStringLiteral("Layer 19"));
    EXPECT_EQ(layers.picture->GetActiveLayerID(), 15);
    EXPECT_EQ(list.currentIndex().row(), 4);
}

// The panel in the program: it shows the active view's picture, its buttons run the view's
// layer commands, a double click opens the Layer Properties, and the Testing Dialog lists
// the picture's layers.
TEST(LayersPanel, InTheProgramItFollowsTheActiveViewAndRunsItsCommands)
{
    quorvel::AppSettings().Wipe();
    ScopedDialogs dialogs;
    TestApp test(MakeProgramParts());
    ASSERT_TRUE(test.app->InitInstance());
    CMainFrame* frame = test.app->GetMainFrame();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    QDockWidget* dock = frame->GetPanel(quorvel::PanelSlot::Layers);
    ASSERT_TRUE(dock);
    auto* panel = dynamic_cast<CLayerManagerDlg*>(dock->widget());
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->GetPicture(), nullptr);

    void* handle = MakeArgbPicture(64, 48, [](int, int) { return 0xFF808080u; });
    ITzPicture* picture = ITzPictGetPictureClass(handle);
    OpenPicture(frame, handle, QStringLiteral("panel.bmp"));
    QCoreApplication::processEvents();
    EXPECT_EQ(panel->GetPicture(), picture);
    EXPECT_FALSE(panel->GetButton(CLayerManagerDlg::kDeleteId)->isEnabled());

    QTest::mouseClick(panel->GetButton(CLayerManagerDlg::kNewLayerId), Qt::LeftButton);
    EXPECT_EQ(picture->GetLayerCount(), 2);
    EXPECT_EQ(panel->GetList()->GetCount(), 2);
    EXPECT_TRUE(panel->GetButton(CLayerManagerDlg::kDeleteId)->isEnabled());

    QString seen;
    int rows = 0;
    dialogs->modal = [&](QDialog* dialog) {
        seen = dialog->objectName().isEmpty() ? dialog->windowTitle() : dialog->objectName();
        if (auto* testing = dynamic_cast<CTestingDialog*>(dialog))
            rows = testing->GetList()->GetCount();
        return int(QDialog::Rejected);
    };
    CLayerListBox* list = panel->GetList();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, NameOf(list, 0));
    EXPECT_EQ(seen, QStringLiteral("Layer Properties"));
    frame->Action(quorvel::ID_TESTING_DIALOG)->trigger();
    EXPECT_EQ(seen, QStringLiteral("151"));
    EXPECT_EQ(rows, 2);

    picture->ClearModified();
    frame->GetActiveChild()->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(panel->GetPicture(), nullptr);
    EXPECT_EQ(list->GetCount(), 0);
}

}  // namespace
