// What the picture tells others: its messages 1001 to 1007 with their data and order,
// the data-change observers, the layers' changes passed on, and the selection layer.
#include <gtest/gtest.h>

#include <vector>

#include "base/error_codes.h"
#include "picture_test_support.h"

using namespace picture_test;

TEST(PictureMessages, EveryKindInOrderWithItsData)
{
    auto* picture = new ITzPicture();
    Recorder recorder;
    recorder.Watch(*picture);
    FillLayers(*picture, 2);
    ITzLayerBase* removed = nullptr;
    picture->RemoveLayer(0, &removed);
    picture->InsertLayer(1, removed);
    picture->MoveLayer(0, 1);
    const _tagPTzSIZE size = {40, 30};
    picture->SetSize(&size);
    picture->SetSize(&size);
    picture->RemoveDataChangeHandler(&recorder);
    delete picture;

    const std::vector<uint32_t> expected = {
        ITzPICTMSG_LAYER_INSERTED, kDataChanged, ITzPICTMSG_LAYER_INSERTED, kDataChanged,
        ITzPICTMSG_LAYER_REMOVED, kDataChanged, ITzPICTMSG_LAYER_INSERTED, kDataChanged,
        ITzPICTMSG_LAYER_MOVED, kDataChanged, ITzPICTMSG_ACTIVE_CHANGED,
        ITzPICTMSG_SIZE_CHANGED, ITzPICTMSG_DESTROY};
    ASSERT_EQ(recorder.codes(), expected);
    EXPECT_EQ(recorder.events[0].a, 0u);
    EXPECT_EQ(recorder.events[2].a, 1u);
    EXPECT_TRUE(recorder.events[0].joined);
    EXPECT_EQ(recorder.events[4].a, 0u);
    EXPECT_EQ(recorder.events[4].layer, removed);
    EXPECT_EQ(recorder.events[6].a, 1u);
    EXPECT_EQ(recorder.events[8].a, 0u);
    EXPECT_EQ(recorder.events[8].b, 1u);
    // Insertions and removals report the layer's area in picture coordinates.
    EXPECT_TRUE(SameRect(recorder.events[1].rect, PTzRECT{0, 0, 10, 10}));
    EXPECT_EQ(recorder.events[1].flag, 0);
}

TEST(PictureObservers, CalledInInsertionOrderUntilRemoved)
{
    struct Named : ITzPictDataChangeHandler {
        std::vector<int>* log;
        int name;
        Named(std::vector<int>* l, int n) : log(l), name(n) {}
        void DataChanged(const PTzRECT*, int flag) override { log->push_back(name * 10 + flag); }
        void DataChangedSelection(const PTzRECT*, int flag) override { log->push_back(-(name * 10 + flag)); }
    };
    std::vector<int> log;
    Named first(&log, 1), second(&log, 2);
    ITzPicture picture;
    EXPECT_EQ(picture.RemoveDataChangeHandler(&first), 0);
    EXPECT_EQ(picture.InsertDataChangeHandler(nullptr), 0);
    ASSERT_EQ(picture.InsertDataChangeHandler(&first), 1);
    ASSERT_EQ(picture.InsertDataChangeHandler(&second), 1);
    ASSERT_EQ(picture.InsertDataChangeHandler(&first), 1);
    const PTzRECT rect = {1, 2, 3, 4};
    picture.DataChanged(&rect, 5);
    picture.DataChangedSelect(&rect, 6);
    picture.DataChangedInBrush(9, &rect);
    picture.DataChangedInBrush(9, nullptr);
    EXPECT_EQ(log, (std::vector<int>{15, 25, 15, -16, -26, -16, 10, 20, 10}));

    log.clear();
    EXPECT_EQ(picture.RemoveDataChangeHandler(&first), 1);
    picture.DataChanged(&rect, 0);
    EXPECT_EQ(log, (std::vector<int>{20, 10}));
}

// A stand-in selection: the picture treats its selection layer as any image layer.
TEST(PictureSelection, InstalledListenedToAndHandedBack)
{
    ITzPicture picture;
    Recorder recorder;
    recorder.Watch(picture);
    EXPECT_EQ(picture.GetSelectionLayer(0), nullptr);
    EXPECT_EQ(picture.RemoveSelectionLayer(), nullptr);

    ITzLayerImageARGB* first = MakeLayer({0, 0, 8, 8});
    EXPECT_EQ(picture.SetSelectLayer(first), nullptr);
    EXPECT_EQ(picture.GetSelectionLayer(1), first);
    EXPECT_EQ(first->GetPicture(), &picture);
    EXPECT_EQ(picture.SetSelectLayer(first), nullptr);

    ITzLayerImageARGB* second = MakeLayer({0, 0, 4, 4});
    EXPECT_EQ(picture.SetSelectLayer(second), first);
    EXPECT_EQ(first->GetPicture(), nullptr);
    ASSERT_EQ(recorder.codes(), (std::vector<uint32_t>{kSelectionChanged}));
    EXPECT_TRUE(SameRect(recorder.events[0].rect, PTzRECT{0, 0, 8, 8}));

    // The one taken out is not listened to any more; the installed one is.
    recorder.events.clear();
    const PTzRECT rect = {0, 0, 2, 2};
    first->PreviewChanged(&rect);
    second->PreviewChanged(&rect);
    EXPECT_EQ(recorder.codes(), (std::vector<uint32_t>{kDataChanged}));
    ITzLayerBase::DestroyLayer(first);
    // `second` goes with the picture: LeakSanitizer reports it otherwise.
}
